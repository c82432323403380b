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

// RMS of (output - gain * reference delayed by delay frames) over the RMS of the scaled
// reference, both ears together. Shows that every contender computes the same thing.
double relativeDifference(const StereoOutput& output, const StereoOutput& reference, double gain,
                          int delay);

} // namespace bench
