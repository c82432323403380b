// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Attack/release envelope follower for a meter that is fed once per redraw, not per sample.
class CMeterEnvelope
{
public:
    enum DetectMode : int32_t
    {
        kPeak = 0,
        kMeanSquare = 1,
        kRootMeanSquare = 2
    };

    void setup(float rate, float attackMs, float releaseMs, bool analogTimeConstant,
               int32_t detectMode, bool logOutput);
    void reset() { envelope = 0.f; }
    float detect(float input);

    int32_t detectMode = 0;
    float attackCoef = 0.f;
    float releaseCoef = 0.f;
    float attackMs = 0.f;
    float releaseMs = 0.f;
    float rate = 44100.f;
    float envelope = 0.f;
    bool analogTimeConstant = false;
    bool logOutput = false;
};
