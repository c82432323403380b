// SPDX-License-Identifier: GPL-3.0-or-later
#include "Workload.h"

#include "Inputs.h"

#include <algorithm>
#include <cmath>

namespace bench
{

Workload::Workload(double secondsPerPass, int passes)
    : cycles(std::max(1L, std::lround(std::ceil(secondsPerPass * kSampleRate / kCycleFrames)))),
      passCount(std::max(1, passes)), noiseLeft(noise(kCycleFrames, 0x1234567u)),
      noiseRight(noise(kCycleFrames, 0x89abcdeu))
{
}

Runner Workload::runner() const
{
    // Two cycles of warm-up: the 69632-tap history fills and the bank is paged in.
    return Runner(cycles * kCycleFrames, passCount, 2 * kCycleFrames, kScheduleFrames, kSampleRate);
}

double Workload::automation(long hostBlock)
{
    constexpr long kPeriod = 1024; // host blocks: 1.37 s up and down
    const long phase = hostBlock % kPeriod;
    const long half = kPeriod / 2;
    return static_cast<double>(phase < half ? phase : kPeriod - phase) / half;
}

} // namespace bench
