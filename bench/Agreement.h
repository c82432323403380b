// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace bench
{

class FftwConvolver;
class RoomUnderTest;
class Workload;
class ZitaPair;

// Stereo output of a contender, from silence, for the workload's input.
struct StereoOutput
{
    std::vector<float> left;
    std::vector<float> right;
};

StereoOutput render(const Workload& workload, RoomUnderTest& room, long frames);
StereoOutput render(const Workload& workload, ZitaPair& zita, long frames);
StereoOutput render(const Workload& workload, FftwConvolver& left, FftwConvolver& right,
                    long frames);

// Samples from an impulse in to the impulse out, for each reference convolver set up as in
// the timing runs but around a unit impulse response of the given length, so that outputs
// are compared like for like.
int zitaLatency(int responseLength, int quantum, int maxPart, unsigned options);
int fftwLatency(int responseLength, int partitionSize);

// RMS of (output - gain * reference delayed by delay frames) over the RMS of the scaled
// reference, both ears together, over the output's frames from "from" on. Shows that every
// contender computes the same thing.
double relativeDifference(const StereoOutput& output, const StereoOutput& reference, double gain,
                          int delay, long from = 0);

} // namespace bench
