// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecayEnvelope.h"

#include "VectorHelpers.h"

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
    // Only the exponential curve steps by a ratio; the partitions set their envelopes every
    // block while a control moves.
    if (kind != kExponential) return;
    ratio = std::exp(-a / fs);
    if (ratio == powersOf) return;
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

namespace
{
// fs / d_i for the denominators d_i = n k_i + fs of tap n, from one division of their
// product, in the precision of T. Inlined into each loop and clone below.
template <class T>
inline __attribute__((always_inline)) void threeOverDenominators(T n, T fs, T k0, T k1, T k2,
                                                                 T& w0, T& w1, T& w2)
{
    const T d0 = n * k0 + fs;
    const T d1 = n * k1 + fs;
    const T d2 = n * k2 + fs;
    const T d12 = d1 * d2;
    const T q = fs / (d0 * d12);
    w0 = q * d12;
    w1 = q * (d0 * d2);
    w2 = q * (d0 * d1);
}

HALVANE_WIDE_CLONES
void hyperbolicTogether(int envelopes, double fs, double k0, double k1, double k2, int firstTap,
                        int count, double* __restrict v0, double* __restrict v1,
                        double* __restrict v2)
{
    if (envelopes == 3)
        for (int i = 0; i < count; ++i)
            threeOverDenominators(static_cast<double>(firstTap + i), fs, k0, k1, k2, v0[i], v1[i],
                                  v2[i]);
    else
        for (int i = 0; i < count; ++i)
        {
            const double n = static_cast<double>(firstTap + i);
            const double d0 = n * k0 + fs;
            const double d1 = n * k1 + fs;
            const double q = fs / (d0 * d1);
            v0[i] = q * d1;
            v1[i] = q * d0;
        }
}
} // namespace

namespace
{
// All three hyperbolic at one rate, as the defaults are: hyperbolicTogether's envelopes and
// the sum in one pass, so the values never go through memory. In single precision, as the
// response transform takes the taps: twice the taps per vector, while a control moves this
// is a good part of the work, and each tap stays within a few parts in 1e7.
template <class S>
HALVANE_WIDE_CLONES void hyperbolicSum(double fs, double k0, double k1, double k2,
                                       const S* __restrict x0, const S* __restrict x1,
                                       const S* __restrict x2, double g0, double g1, double g2,
                                       int firstTap, int count, float* __restrict out)
{
    const float rate = static_cast<float>(fs);
    const float s0 = static_cast<float>(k0), s1 = static_cast<float>(k1);
    const float s2 = static_cast<float>(k2);
    // fs folded into the gains, and the three terms over their common denominator: one
    // division and a quarter fewer products than weighting each term by fs / d_i.
    const float h0 = static_cast<float>(fs * g0), h1 = static_cast<float>(fs * g1);
    const float h2 = static_cast<float>(fs * g2);
    for (int i = 0; i < count; ++i)
    {
        const float n = static_cast<float>(firstTap + i);
        const float d0 = n * s0 + rate;
        const float d1 = n * s1 + rate;
        const float d2 = n * s2 + rate;
        const float d12 = d1 * d2;
        const float a1 = h1 * static_cast<float>(x1[i]);
        const float a2 = h2 * static_cast<float>(x2[i]);
        const float a0 = h0 * static_cast<float>(x0[i]);
        const float across = a1 * d2 + a2 * d1;
        out[i] = (a0 * d12 + d0 * across) / (d0 * d12);
    }
}

// One pass over a run of taps summing the terms in the order given. Restrict pointers as
// parameters: otherwise the compiler must assume the stores may change the samples.
template <class S>
HALVANE_WIDE_CLONES void
sumTerms(float* __restrict out, int count, int terms, const double* __restrict e0,
         const double* __restrict e1, const double* __restrict e2, const S* __restrict x0,
         const S* __restrict x1, const S* __restrict x2, double g0, double g1, double g2)
{
    switch (terms)
    {
    case 3:
        for (int i = 0; i < count; ++i)
            out[i] = static_cast<float>(e0[i] * g0 * x0[i] + e1[i] * g1 * x1[i] +
                                        e2[i] * g2 * x2[i]);
        break;
    case 2:
        for (int i = 0; i < count; ++i)
            out[i] = static_cast<float>(e0[i] * g0 * x0[i] + e1[i] * g1 * x1[i]);
        break;
    case 1:
        for (int i = 0; i < count; ++i)
            out[i] = static_cast<float>(e0[i] * g0 * x0[i]);
        break;
    default:
        for (int i = 0; i < count; ++i)
            out[i] = 0.0f;
        break;
    }
}
} // namespace

template <class S>
void CDecayEnvelope::weightedSumOf(const CDecayEnvelope* const envelopes[], int envelopeCount,
                                   const S* const samples[], const double gains[], int firstTap,
                                   int count, float* out)
{
    const int terms = std::clamp(envelopeCount, 0, 3);
    const S* x[3] = {};
    double g[3] = {};
    for (int e = 0; e < terms; ++e)
    {
        x[e] = samples[e];
        g[e] = gains[e];
    }
    if (terms == 3)
    {
        const CDecayEnvelope& a = *envelopes[0];
        const CDecayEnvelope& b = *envelopes[1];
        const CDecayEnvelope& c = *envelopes[2];
        // The common denominator is a cube of the taps' denominators: beyond these bounds
        // (no control reaches them) it could overflow a float, and the general path takes them.
        constexpr double kLargestDenominator = 1e9;
        constexpr double kLargestWeight = 1e9;
        const double farthest = static_cast<double>(firstTap) + count;
        const double steepest = std::max({a.slope, b.slope, c.slope});
        const double heaviest =
            a.sampleRate * std::max({std::fabs(g[0]), std::fabs(g[1]), std::fabs(g[2])});
        if (a.kind == kHyperbolic && b.kind == kHyperbolic && c.kind == kHyperbolic &&
            a.sampleRate == b.sampleRate && a.sampleRate == c.sampleRate &&
            farthest * steepest + a.sampleRate <= kLargestDenominator && heaviest <= kLargestWeight)
        {
            hyperbolicSum(a.sampleRate, a.slope, b.slope, c.slope, x[0], x[1], x[2], g[0], g[1],
                          g[2], firstTap, count, out);
            return;
        }
    }
    constexpr int kRun = 64; // taps whose envelopes are made together
    double env[3][kRun];
    double* const values[3] = {env[0], env[1], env[2]};
    for (int t = 0; t < count; t += kRun)
    {
        const int run = std::min(kRun, count - t);
        fillEach(envelopes, terms, firstTap + t, run, values);
        sumTerms(out + t, run, terms, env[0], env[1], env[2], x[0] ? x[0] + t : nullptr,
                 x[1] ? x[1] + t : nullptr, x[2] ? x[2] + t : nullptr, g[0], g[1], g[2]);
    }
}

void CDecayEnvelope::weightedSum(const CDecayEnvelope* const envelopes[], int envelopeCount,
                                 const double* const samples[], const double gains[], int firstTap,
                                 int count, float* out)
{
    weightedSumOf(envelopes, envelopeCount, samples, gains, firstTap, count, out);
}

void CDecayEnvelope::weightedSum(const CDecayEnvelope* const envelopes[], int envelopeCount,
                                 const double* const samples[], const float* const floatSamples[],
                                 const double gains[], int firstTap, int count, float* out)
{
    const int terms = std::clamp(envelopeCount, 0, 3);
    int floats = 0;
    for (int e = 0; e < terms; ++e)
        floats += floatSamples[e] != nullptr;
    if (floats == 0) return weightedSumOf(envelopes, terms, samples, gains, firstTap, count, out);
    if (floats == terms)
        return weightedSumOf(envelopes, terms, floatSamples, gains, firstTap, count, out);
    // A mix, rare enough (a convolver's load racing with its reads) to go through doubles.
    constexpr int kRun = 64;
    double copies[3][kRun];
    for (int t = 0; t < count; t += kRun)
    {
        const int run = std::min(kRun, count - t);
        const double* taps[3] = {};
        for (int e = 0; e < terms; ++e)
        {
            if (!floatSamples[e])
            {
                taps[e] = samples[e] ? samples[e] + t : nullptr;
                continue;
            }
            for (int i = 0; i < run; ++i)
                copies[e][i] = floatSamples[e][t + i];
            taps[e] = copies[e];
        }
        weightedSumOf(envelopes, terms, taps, gains, firstTap + t, run, out + t);
    }
}

void CDecayEnvelope::fillEach(const CDecayEnvelope* const envelopes[], int envelopeCount,
                              int firstTap, int count, double* const values[])
{
    int shared[3];
    int sharing = 0;
    for (int e = 0; e < envelopeCount; ++e)
    {
        const CDecayEnvelope& env = *envelopes[e];
        if (sharing < 3 && env.kind == kHyperbolic &&
            (sharing == 0 || env.sampleRate == envelopes[shared[0]]->sampleRate))
            shared[sharing++] = e;
        else
            env.fill(firstTap, count, values[e]);
    }
    if (sharing == 1) envelopes[shared[0]]->fill(firstTap, count, values[shared[0]]);
    if (sharing < 2) return;
    const double k2 = sharing == 3 ? envelopes[shared[2]]->slope : 0.0;
    double* v2 = sharing == 3 ? values[shared[2]] : nullptr;
    hyperbolicTogether(sharing, envelopes[shared[0]]->sampleRate, envelopes[shared[0]]->slope,
                       envelopes[shared[1]]->slope, k2, firstTap, count, values[shared[0]],
                       values[shared[1]], v2);
}

HALVANE_WIDE_CLONES
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
