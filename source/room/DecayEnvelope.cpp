// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecayEnvelope.h"

#include <algorithm>
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
    if (kind != kExponential || ratio == powersOf) return;
    // By doubling: each power is at most log2(kExactEvery) products away from the ratio,
    // where a running product would be up to kExactEvery - 1.
    powers[0] = 1.0;
    powers[1] = ratio;
    for (int have = 2; have < kExactEvery; have *= 2)
    {
        const double step = powers[have / 2] * powers[have / 2];
        for (int j = 0; j < have; ++j)
            powers[have + j] = powers[j] * step;
    }
    powersOf = ratio;
}

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) &&         \
    !defined(HALVANE_NO_FUNCTION_CLONES)
__attribute__((target_clones("avx2", "default")))
#endif
void CDecayEnvelope::fill(int firstTap, int count, double* values) const
{
    if (kind == kHyperbolic)
    {
        // The formula tap by tap, as at() computes it; a plain loop, so the divisions go
        // several at a time.
        const double fs = sampleRate;
        const double k = slope;
        for (int i = 0; i < count; ++i)
            values[i] = fs / (static_cast<double>(firstTap + i) * k + fs);
        return;
    }
    if (kind != kExponential)
    {
        std::fill(values, values + std::max(count, 0), 0.0);
        return;
    }
    for (int i = 0; i < count;)
    {
        const int tap = firstTap + i;
        const int seedTap = tap & ~(kExactEvery - 1);
        const int from = tap - seedTap;
        const int run = std::min(kExactEvery - from, count - i);
        const double seed = at(seedTap);
        const double* p = powers + from;
        double* v = values + i;
        for (int j = 0; j < run; ++j)
            v[j] = seed * p[j];
        i += run;
    }
}
