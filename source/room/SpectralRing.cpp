// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectralRing.h"

#include <cstddef>
#include <cstdint>

namespace
{
// Four doubles summed side by side, in whatever registers the target has (two SSE2
// halves on baseline x86-64). Written out because GCC turns the plain loop into shuffles
// and spills.
typedef double Lanes __attribute__((vector_size(32)));
// The helpers below take Lanes by reference and return it by value. They must be inlined
// even without optimisation: the AVX clone below and a baseline helper disagree on how a
// returned 32-byte vector is passed (GCC's -Wpsabi), which a debug build turns into a crash.
#pragma GCC diagnostic ignored "-Wpsabi"
#define HALVANE_VECTOR_HELPER inline __attribute__((always_inline))
constexpr int kWidth = 4;
// Two independent accumulators per part keep the adds pipelined; partitions are padded
// to this.
constexpr int kLanes = 2 * kWidth;

HALVANE_VECTOR_HELPER Lanes load(const double* p)
{
    Lanes v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

HALVANE_VECTOR_HELPER double total(const Lanes& a, const Lanes& b)
{
    const Lanes s = a + b;
    return (s[0] + s[1]) + (s[2] + s[3]);
}

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) && \
    !defined(HALVANE_NO_FUNCTION_CLONES)
#define HALVANE_WIDE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define HALVANE_WIDE_CLONES
#endif

inline Complex productSum(const double* ur, const double* ui, const double* hr, const double* hi,
                          int count)
{
    Lanes re0 = {}, re1 = {}, im0 = {}, im1 = {};
    for (int k = 0; k < count; k += kLanes)
    {
        const Lanes a0 = load(ur + k), b0 = load(ui + k), c0 = load(hr + k), d0 = load(hi + k);
        const Lanes a1 = load(ur + k + kWidth), b1 = load(ui + k + kWidth);
        const Lanes c1 = load(hr + k + kWidth), d1 = load(hi + k + kWidth);
        re0 += a0 * c0 - b0 * d0;
        im0 += a0 * d0 + b0 * c0;
        re1 += a1 * c1 - b1 * d1;
        im1 += a1 * d1 + b1 * c1;
    }
    return {total(re0, re1), total(im0, im1)};
}

// Bin 0: (DC, Nyquist) pairs, each part multiplied on its own.
inline Complex packedSum(const double* ur, const double* ui, const double* hr, const double* hi,
                         int count)
{
    Lanes re0 = {}, re1 = {}, im0 = {}, im1 = {};
    for (int k = 0; k < count; k += kLanes)
    {
        re0 += load(ur + k) * load(hr + k);
        re1 += load(ur + k + kWidth) * load(hr + k + kWidth);
        im0 += load(ui + k) * load(hi + k);
        im1 += load(ui + k + kWidth) * load(hi + k + kWidth);
    }
    return {total(re0, re1), total(im0, im1)};
}
// Touches every cache line of count doubles from p.
inline void prefetch(const double* p, int count)
{
    const auto first = reinterpret_cast<std::uintptr_t>(p) & ~std::uintptr_t{63};
    const auto end = reinterpret_cast<std::uintptr_t>(p + count);
    for (std::uintptr_t line = first; line < end; line += 64)
        __builtin_prefetch(reinterpret_cast<const void*>(line));
}
} // namespace

// The whole run in one function, so that the sums of neighbouring bins overlap and the
// vector clone is chosen once per run.
HALVANE_WIDE_CLONES
void CSpectralRing::accumulateBins(int slot, int firstBin, int count, const Complex* inputBins,
                                   const Complex* irBins, Complex* sums, Complex* current,
                                   Complex* previous)
{
    const int P = partitions;
    // Input slot s sits at (-s) mod P, so slots s, s-1, ..., s-P+1 follow each other from
    // there; response slot s holds partition (s-1) mod P.
    const int newest = slot == 0 ? 0 : P - slot;
    const int partition = slot == 0 ? P - 1 : slot - 1;
    for (int c = 0; c < count; ++c)
    {
        const int bin = firstBin + c;
        double* inRe = bins + static_cast<size_t>(bin) * static_cast<size_t>(stride);
        double* inIm = inRe + history;
        double* irRe = inIm + history;
        double* irIm = irRe + padded;
        const double oldRe = irRe[partition];
        const double oldIm = irIm[partition];
        // The last partition's previous input is the one about to be overwritten.
        const double oldestRe = inRe[newest];
        const double oldestIm = inIm[newest];
        inRe[newest] = inputBins[c].re;
        inRe[newest + P] = inputBins[c].re;
        inIm[newest] = inputBins[c].im;
        inIm[newest + P] = inputBins[c].im;
        if (irBins)
        {
            irRe[partition] = irBins[c].re;
            irIm[partition] = irBins[c].im;
        }
        if (current && irBins)
        {
            const double dr = oldRe - irBins[c].re;
            const double di = oldIm - irBins[c].im;
            const bool last = partition == P - 1;
            const double pairs[2][2] = {
                {inRe[newest + partition], inIm[newest + partition]},
                {last ? oldestRe : inRe[newest + partition + 1],
                 last ? oldestIm : inIm[newest + partition + 1]}};
            Complex* out[2] = {current + c, previous + c};
            for (int j = 0; j < 2; ++j)
            {
                const double ur = pairs[j][0];
                const double ui = pairs[j][1];
                if (bin == 0)
                    *out[j] = {ur * dr, ui * di};
                else
                    *out[j] = {ur * dr - ui * di, ur * di + ui * dr};
            }
        }

        // The next run, in the same slot, reads these parts of the bin count further on:
        // start fetching them now, the tail's ring is far bigger than the caches.
        const double* ahead = bins + static_cast<size_t>((bin + count) & (blockSize - 1)) *
                                         static_cast<size_t>(stride);
        prefetch(ahead + newest, padded);
        prefetch(ahead + history + newest, padded);
        prefetch(ahead + 2 * history, 2 * padded);

        if (bin == 0)
            sums[c] = packedSum(inRe + newest, inIm + newest, irRe, irIm, padded);
        else
            sums[c] = productSum(inRe + newest, inIm + newest, irRe, irIm, padded);
    }
}

CSpectralRing::CSpectralRing(int size, int block)
    : ringSize(size), blockSize(block), partitions(size / block),
      padded((size / block + kLanes - 1) / kLanes * kLanes), history(partitions + padded),
      stride(2 * history + 2 * padded)
{
    while ((1 << blockShift) < block)
        ++blockShift;
    // Round the per-bin block up to whole cache lines and align the start to one.
    constexpr int kLine = 64 / sizeof(double);
    stride = (stride + kLine - 1) / kLine * kLine;
    storage.assign(static_cast<size_t>(stride) * static_cast<size_t>(block) + kLine, 0.0);
    const auto address = reinterpret_cast<std::uintptr_t>(storage.data());
    const size_t skip = (64 - address % 64) % 64 / sizeof(double);
    bins = storage.data() + skip;
}

void CSpectralRing::accumulate(int index, Complex inputBin, Complex irBin)
{
    accumulateRun(index, 1, &inputBin, &irBin, &sum);
}

void CSpectralRing::accumulateRun(int index, int count, const Complex* inputBins,
                                  const Complex* irBins, Complex* sums)
{
    accumulateRunFading(index, count, inputBins, irBins, sums, nullptr, nullptr);
}

void CSpectralRing::accumulateRunFading(int index, int count, const Complex* inputBins,
                                        const Complex* irBins, Complex* sums, Complex* current,
                                   Complex* previous)
{
    if (count <= 0) return;
    index %= ringSize;
    if (index < 0) index += ringSize;
    accumulateBins(index >> blockShift, index & (blockSize - 1), count, inputBins, irBins, sums,
                   current, previous);
    sum = sums[count - 1];
}
