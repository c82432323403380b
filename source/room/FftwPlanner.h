// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>

// FFTW's planner is not thread-safe, and instances are made on whatever thread a host likes:
// every plan in this module is made and destroyed under this one lock.
std::mutex& fftwPlannerLock();
