// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecayEnvelope.h"

#include <cmath>

void CDecayEnvelope::set(Curve curve, double a, double fs)
{
    // Out-of-range settings (a corrupt state, a rate of 0) must not turn the output into
    // NaN or infinity: a missing rate silences the axis, negative absorption counts as 0.
    if (!(fs > 0.0) || !std::isfinite(fs) || !std::isfinite(a)) curve = kUnset;
    if (!(a > 0.0) || !std::isfinite(a)) a = 0.0;
    kind = curve;
    absorption = a;
    sampleRate = fs;
    slope = a * 7.5 + 0.07;
    ratio = std::exp(-a / fs);
    lastTap = -2;
}

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) &&         \
    !defined(HALVANE_NO_FUNCTION_CLONES)
__attribute__((target_clones("avx2", "default")))
#endif
void CDecayEnvelope::fill(int firstTap, int count, double* values)
{
    if (count <= 0) return;
    if (kind != kHyperbolic)
    {
        for (int i = 0; i < count; ++i)
            values[i] = next(firstTap + i);
        return;
    }
    // The formula tap by tap, as at() computes it; a plain loop, so the divisions go
    // several at a time.
    const double fs = sampleRate;
    const double k = slope;
    for (int i = 0; i < count; ++i)
        values[i] = fs / (static_cast<double>(firstTap + i) * k + fs);
    current = values[count - 1];
    lastTap = firstTap + count - 1;
}
