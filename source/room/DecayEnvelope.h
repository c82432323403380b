// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

// Level of one room axis's part of the response at tap n, for absorption A at rate fs:
// hyperbolic fs / (n (7.5 A + 0.07) + fs) or exponential exp(-n A / fs). Zero until set,
// so an unconfigured convolver is silent.
class CDecayEnvelope
{
public:
    enum Curve
    {
        kUnset = -1,
        kExponential = 0,
        kHyperbolic = 1,
    };

    // Exponential runs are reseeded exactly at every multiple of this many taps and scaled
    // by powers of the ratio in between: within a few ulps of exp() for one exp() per 32
    // taps, and the taps between seeds are independent, so they go several at a time.
    static constexpr int kExactEvery = 32;

    void set(Curve curve, double absorption, double sampleRate);

    Curve curve() const { return kind; }
    // The value at an absolute tap, straight from the formula.
    double at(int tap) const;
    // The values of count consecutive taps from firstTap, into values.
    void fill(int firstTap, int count, double* values) const;
    // fill() for several envelopes over the same taps; hyperbolic ones at one rate share one
    // division per tap, a few ulps from at() as the exponential runs are.
    static void fillEach(const CDecayEnvelope* const envelopes[], int envelopeCount, int firstTap,
                         int count, double* const values[]);
    // out[i] = the sum over the envelopes, in their order, of value x gain x samples[e][i] at tap
    // firstTap + i, to single precision (three hyperbolic envelopes at one rate are worked out
    // in it; other mixes in doubles, rounded at the end). Up to three envelopes.
    static void weightedSum(const CDecayEnvelope* const envelopes[], int envelopeCount,
                            const double* const samples[], const double gains[], int firstTap,
                            int count, float* out);
    // The same with each envelope's samples as floats where floatSamples[e] is not null, else
    // as doubles: floats sum exactly as the doubles that hold the same values.
    static void weightedSum(const CDecayEnvelope* const envelopes[], int envelopeCount,
                            const double* const samples[], const float* const floatSamples[],
                            const double gains[], int firstTap, int count, float* out);

private:
    template <class S>
    static void weightedSumOf(const CDecayEnvelope* const envelopes[], int envelopeCount,
                              const S* const samples[], const double gains[], int firstTap,
                              int count, float* out);

    Curve kind = kUnset;
    double absorption = 0.0;
    double sampleRate = 44100.0;
    double slope = 0.0; // hyperbolic: 7.5 A + 0.07 per tap
    double ratio = 1.0; // exponential: exp(-A / fs) per tap
    // ratio^j for j < kExactEvery; rebuilt only when the ratio changes, as it does for the
    // automated axis alone.
    double powers[kExactEvery] = {};
    double powersOf = -1.0;
};

// Inline: exponential runs call it for every seed.
inline double CDecayEnvelope::at(int tap) const
{
    switch (kind)
    {
    case kHyperbolic:
        return sampleRate / (tap * slope + sampleRate);
    case kExponential:
        return std::exp(-(tap * absorption) / sampleRate);
    case kUnset:
        break;
    }
    return 0.0;
}
