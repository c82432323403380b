// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectralRing.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace
{
// Sixteen floats side by side, in whatever registers the target has: one AVX-512 register,
// two AVX ones, four SSE2 ones on baseline x86-64.
typedef float Lanes __attribute__((vector_size(64)));
// The helpers below take Lanes by reference. They must be inlined even without
// optimisation: the AVX clone below and a baseline helper disagree on how a 32-byte vector
// is passed (GCC's -Wpsabi), which a debug build turns into a crash.
#pragma GCC diagnostic ignored "-Wpsabi"
#define HALVANE_VECTOR_HELPER inline __attribute__((always_inline))
constexpr int kWidth = 16;
// Bins summed together: a vector of real parts and one of imaginary parts.
constexpr int kChunk = kWidth;

HALVANE_VECTOR_HELPER Lanes load(const float* p)
{
    Lanes v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) &&         \
    !defined(HALVANE_NO_FUNCTION_CLONES)
#define HALVANE_WIDE_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define HALVANE_WIDE_CLONES
#endif

inline int wrap(int s, int p)
{
    s %= p;
    return s < 0 ? s + p : s;
}
} // namespace

// The whole run in one function, so that the vector clone is chosen once per run.
HALVANE_WIDE_CLONES
void CSpectralRing::accumulateBins(int slot, int firstBin, int count, const Complex* inputBins,
                                   const Complex* irBins, Complex* sums, const Complex* fadeInput)
{
    const int P = partitions;
    const int W = chunk;
    // Response slot s holds partition (s-1) mod P; input slot s - k pairs with partition k.
    // The outgoing partition's share of the faded input, added once the sums are stored.
    Complex fade[kFadeRun];
    const bool fading = fadeInput && irBins;
    // Stored piece by piece, each inside one chunk, where it lies side by side in each of the
    // chunk's four rows: plain loops over them vectorise, where a lookup per bin would not.
    for (int done = 0; done < count;)
    {
        const int bin = firstBin + done;
        const int n = std::min(count - done, W - (bin & (W - 1)));
        float* const inRe = binAt(slot, bin);
        float* const inIm = inRe + W;
        float* const irRe = inRe + 2 * W;
        float* const irIm = inRe + 3 * W;
        const Complex* const input = inputBins + done;
        if (fading)
        {
            const Complex* const ir = irBins + done;
            const Complex* const faded = fadeInput + done;
            Complex* const share = fade + done;
            const float oldDc = irRe[0];
            const float oldNyquist = irIm[0];
            for (int c = 0; c < n; ++c)
            {
                // Old minus new as the ring holds them, so that the fade ends on what is
                // stored. Read back from the ring: GCC 12's vectoriser otherwise subtracts
                // the new value before its rounding to float.
                const float oldRe = irRe[c];
                const float oldIm = irIm[c];
                irRe[c] = static_cast<float>(ir[c].re);
                irIm[c] = static_cast<float>(ir[c].im);
                const double dr = double(oldRe) - double(irRe[c]);
                const double di = double(oldIm) - double(irIm[c]);
                const double ur = faded[c].re;
                const double ui = faded[c].im;
                share[c] = {ur * dr - ui * di, ur * di + ui * dr};
            }
            // Bin 0 is (DC, Nyquist): each part multiplied on its own.
            if (bin == 0)
                share[0] = {faded[0].re * (double(oldDc) - double(irRe[0])),
                            faded[0].im * (double(oldNyquist) - double(irIm[0]))};
        }
        else if (irBins)
        {
            const Complex* const ir = irBins + done;
            for (int c = 0; c < n; ++c)
            {
                irRe[c] = static_cast<float>(ir[c].re);
                irIm[c] = static_cast<float>(ir[c].im);
            }
        }
        for (int c = 0; c < n; ++c)
        {
            inRe[c] = static_cast<float>(input[c].re);
            inIm[c] = static_cast<float>(input[c].im);
        }
        done += n;
    }

    const int firstResponse = P > 1 ? 1 : 0;
    const size_t slotStride = this->slotStride();
    for (int c = 0; c < count; ++c)
    {
        const int bin = firstBin + c;
        const float* base = binAt(0, bin);
        int in = slot;
        int ir = firstResponse;
        if (W == kChunk && (bin & (kChunk - 1)) == 0 && c + kChunk <= count)
        {
            Lanes re = {}, im = {};
            for (int k = 0; k < P; ++k)
            {
                const float* u = base + static_cast<size_t>(in) * slotStride;
                const float* h = base + static_cast<size_t>(ir) * slotStride + 2 * kChunk;
                const Lanes ur = load(u), ui = load(u + kChunk);
                const Lanes hr = load(h), hi = load(h + kChunk);
                re += ur * hr - ui * hi;
                im += ur * hi + ui * hr;
                in = in == 0 ? P - 1 : in - 1;
                ir = ir + 1 == P ? 0 : ir + 1;
            }
            for (int j = 0; j < kWidth; ++j)
                sums[c + j] = {re[j], im[j]};
            c += kChunk - 1;
            continue;
        }
        double re = 0.0, im = 0.0;
        for (int k = 0; k < P; ++k)
        {
            const float* u = base + static_cast<size_t>(in) * slotStride;
            const float* h = base + static_cast<size_t>(ir) * slotStride + 2 * W;
            re += u[0] * h[0] - u[W] * h[W];
            im += u[0] * h[W] + u[W] * h[0];
            in = in == 0 ? P - 1 : in - 1;
            ir = ir + 1 == P ? 0 : ir + 1;
        }
        sums[c] = {re, im};
    }
    if (firstBin == 0)
    {
        // Bin 0: (DC, Nyquist) pairs, each part multiplied on its own.
        double re = 0.0, im = 0.0;
        int in = slot;
        int ir = firstResponse;
        for (int k = 0; k < P; ++k)
        {
            const float* u = binAt(in, 0);
            const float* h = binAt(ir, 0) + 2 * W;
            re += u[0] * h[0];
            im += u[W] * h[W];
            in = in == 0 ? P - 1 : in - 1;
            ir = ir + 1 == P ? 0 : ir + 1;
        }
        sums[0] = {re, im};
    }
    if (fading)
        for (int c = 0; c < count; ++c)
        {
            sums[c].re += fade[c].re;
            sums[c].im += fade[c].im;
        }
}

CSpectralRing::CSpectralRing(int size, int block)
    : ringSize(size), blockSize(block), partitions(size / block),
      chunk(block < kChunk ? block : kChunk)
{
    while ((1 << blockShift) < block)
        ++blockShift;
    while ((1 << chunkShift) < chunk)
        ++chunkShift;
    // Align the start to a cache line.
    constexpr int kLine = 64 / sizeof(float);
    storage.assign(static_cast<size_t>(4) * static_cast<size_t>(size) + kLine, 0.0f);
    const auto address = reinterpret_cast<std::uintptr_t>(storage.data());
    const size_t skip = (64 - address % 64) % 64 / sizeof(float);
    bins = storage.data() + skip;
}

void CSpectralRing::accumulate(int index, Complex inputBin, Complex irBin)
{
    accumulateRun(index, 1, &inputBin, &irBin, &sum);
}

void CSpectralRing::accumulateRun(int index, int count, const Complex* inputBins,
                                  const Complex* irBins, Complex* sums)
{
    accumulateRunFading(index, count, inputBins, irBins, sums, nullptr);
}

void CSpectralRing::accumulateRunFading(int index, int count, const Complex* inputBins,
                                        const Complex* irBins, Complex* sums,
                                        const Complex* fadeInput)
{
    if (count <= 0) return;
    index %= ringSize;
    if (index < 0) index += ringSize;
    // A fading run is taken kFadeRun bins at a time; pieces of whole chunks keep the sums
    // vectorised.
    const int piece = fadeInput ? kFadeRun : count;
    for (int done = 0; done < count; done += piece)
    {
        const int at = index + done;
        const int n = std::min(piece, count - done);
        accumulateBins(at >> blockShift, at & (blockSize - 1), n, inputBins + done,
                       irBins ? irBins + done : nullptr, sums + done,
                       fadeInput ? fadeInput + done : nullptr);
    }
    sum = sums[count - 1];
}
