// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define HALVANE_HAS_MXCSR 1
#endif

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Flushes denormals to zero (FTZ and DAZ) for one processing call and restores the host's
// setting afterwards: a decaying reverb tail must not fall into slow denormal arithmetic.
class DenormalGuard
{
public:
    DenormalGuard()
    {
#ifdef HALVANE_HAS_MXCSR
        saved = _mm_getcsr();
        _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero);
#endif
    }
    ~DenormalGuard()
    {
#ifdef HALVANE_HAS_MXCSR
        _mm_setcsr(saved);
#endif
    }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#ifdef HALVANE_HAS_MXCSR
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved = 0;
#endif
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
