// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Runner.h"

#include <vector>

namespace bench
{

// What every contender processes: the same looping stereo noise at 48 kHz, timed in passes
// whose length is a whole number of 65536-frame cycles (the room's longest partition
// cycle, the noise loop and the automation period all divide it).
class Workload
{
public:
    static constexpr double kSampleRate = 48000.0;
    static constexpr int kHostBlock = 64;
    // The smallest block hosts commonly use; spikes hurt most there.
    static constexpr int kSmallBlock = 32;
    static constexpr int kCycleFrames = 65536;
    // The room's schedule repeats every two of its longest (2048-sample) blocks: a pass's cold
    // start is left out of its worst block for that long (the same points come again later).
    static constexpr int kScheduleFrames = 4096;

    // secondsPerPass is rounded up to whole cycles.
    Workload(double secondsPerPass, int passes);

    // Runs contenders whose block sizes are powers of two up to kCycleFrames.
    Runner runner() const;
    // Input of the block starting at frame, which must be a multiple of the block size.
    const float* left(long frame) const { return noiseLeft.data() + frame % kCycleFrames; }
    const float* right(long frame) const { return noiseRight.data() + frame % kCycleFrames; }
    // "Abs L-R" while automated: a triangle between 0 and 1, new every host block.
    static double automation(long hostBlock);

    int passes() const { return passCount; }
    double secondsPerPass() const { return cycles * kCycleFrames / kSampleRate; }

private:
    long cycles;
    int passCount;
    std::vector<float> noiseLeft;
    std::vector<float> noiseRight;
};

} // namespace bench
