// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

// Level of one room axis's part of the response at tap n, for absorption A at rate fs:
// hyperbolic fs / (n (7.5 A + 0.07) + fs) or exponential exp(-n A / fs). Zero until set,
// so an unconfigured convolver is silent.
class CDecayEnvelope
{
public:
    enum Curve
    {
        kUnset = -1,
        kExponential = 0,
        kHyperbolic = 1,
    };

    // Exponential runs are reseeded exactly this often, which keeps the recurrence within
    // a few ulps of exp() while costing one exp() per 32 taps.
    static constexpr int kExactEvery = 32;

    void set(Curve curve, double absorption, double sampleRate);

    Curve curve() const { return kind; }
    // The value at an absolute tap, straight from the formula.
    double at(int tap) const;
    // The value at tap; cheap when called for consecutive taps.
    double next(int tap)
    {
        if (kind == kExponential && tap == lastTap + 1 && (tap & (kExactEvery - 1)) != 0)
            current *= ratio;
        else
            current = at(tap);
        lastTap = tap;
        return current;
    }

    // next() for count consecutive taps from firstTap, into values.
    void fill(int firstTap, int count, double* values);

private:
    Curve kind = kUnset;
    double absorption = 0.0;
    double sampleRate = 44100.0;
    double slope = 0.0; // hyperbolic: 7.5 A + 0.07 per tap
    double ratio = 1.0; // exponential: exp(-A / fs) per tap
    double current = 0.0;
    int lastTap = -2;
};

// Inline: the convolver calls it for every tap of a hyperbolic envelope.
inline double CDecayEnvelope::at(int tap) const
{
    switch (kind)
    {
    case kHyperbolic:
        return sampleRate / (tap * slope + sampleRate);
    case kExponential:
        return std::exp(-(tap * absorption) / sampleRate);
    case kUnset:
        break;
    }
    return 0.0;
}
