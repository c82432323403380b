// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A value that follows its target along an S-shaped glide of a fixed number of samples
// instead of stepping, and lands on the target exactly, so that settled output is what an
// unsmoothed value would give.
class CValueGlide
{
public:
    explicit CValueGlide(float value = 0.0f) : current(value), from(value), to(value) {}

    void setLength(int samples) { length = samples > 1 ? samples : 1; }
    // Jumps straight to value (no glide).
    void reset(float value);
    // The value for the next sample while heading for target; a new target restarts the
    // glide from where the value stands.
    float next(float target)
    {
        if (target == to && step >= length) return current;
        return advance(target);
    }
    bool settled() const { return step >= length; }
    // Whether next(target) would return the value unchanged.
    bool restsAt(float target) const { return target == to && settled(); }
    float value() const { return current; }

private:
    float advance(float target);

    float current;
    float from;
    float to;
    int length = 1;
    int step = 1;
};
