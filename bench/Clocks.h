// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <ctime>

namespace bench
{

// CPU seconds used so far by every thread of this process (zita-convolver does its longer
// partitions on threads of its own, so a thread clock would miss most of its work).
inline double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

inline double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

using WallClock = std::chrono::steady_clock;

inline double secondsBetween(WallClock::time_point a, WallClock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

} // namespace bench
