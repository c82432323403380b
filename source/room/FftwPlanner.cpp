// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftwPlanner.h"

std::mutex& fftwPlannerLock()
{
    // Never destroyed: the plan caches may be torn down after it at unload.
    static std::mutex* lock = new std::mutex;
    return *lock;
}
