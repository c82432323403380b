// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectralRing.h"

#include <cstddef>
#include <cstdint>

namespace
{
// Eight floats side by side, in whatever registers the target has (two SSE2 halves on
// baseline x86-64).
typedef float Lanes __attribute__((vector_size(32)));
// The helpers below take Lanes by reference. They must be inlined even without
// optimisation: the AVX clone below and a baseline helper disagree on how a 32-byte vector
// is passed (GCC's -Wpsabi), which a debug build turns into a crash.
#pragma GCC diagnostic ignored "-Wpsabi"
#define HALVANE_VECTOR_HELPER inline __attribute__((always_inline))
constexpr int kWidth = 8;
// Bins summed together: two vectors of real parts and two of imaginary parts.
constexpr int kChunk = 2 * kWidth;
// How far ahead the loop fetches, in floats: a few chunks.
constexpr int kAhead = 2 * kChunk;

HALVANE_VECTOR_HELPER Lanes load(const float* p)
{
    Lanes v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) && \
    !defined(HALVANE_NO_FUNCTION_CLONES)
#define HALVANE_WIDE_CLONES __attribute__((target_clones("avx2", "default")))
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
                                   const Complex* irBins, Complex* sums, Complex* current,
                                   Complex* previous)
{
    const int P = partitions;
    const int N = blockSize;
    float* own = slotData(slot);
    // Response slot s holds partition (s-1) mod P; input slot s - k pairs with partition k.
    if (current && irBins)
    {
        const int partition = wrap(slot - 1, P);
        // The input the outgoing partition meets now, and the one before it (for the last
        // partition, the one about to be overwritten): read the older before writing.
        const float* older = slotData(wrap(slot - partition - 1, P));
        const float* now = slotData(wrap(slot - partition, P));
        for (int c = 0; c < count; ++c)
        {
            const int bin = firstBin + c;
            const float oldRe = own[2 * N + bin];
            const float oldIm = own[3 * N + bin];
            const float olderRe = older[bin];
            const float olderIm = older[N + bin];
            own[bin] = static_cast<float>(inputBins[c].re);
            own[N + bin] = static_cast<float>(inputBins[c].im);
            own[2 * N + bin] = static_cast<float>(irBins[c].re);
            own[3 * N + bin] = static_cast<float>(irBins[c].im);
            // Old minus new as the ring holds them, so that the fade ends on what is stored.
            const double dr = double(oldRe) - double(own[2 * N + bin]);
            const double di = double(oldIm) - double(own[3 * N + bin]);
            const double pairs[2][2] = {{now[bin], now[N + bin]}, {olderRe, olderIm}};
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
    }
    for (int c = 0; c < count; ++c)
    {
        own[firstBin + c] = static_cast<float>(inputBins[c].re);
        own[N + firstBin + c] = static_cast<float>(inputBins[c].im);
    }
    if (irBins)
        for (int c = 0; c < count; ++c)
        {
            own[2 * N + firstBin + c] = static_cast<float>(irBins[c].re);
            own[3 * N + firstBin + c] = static_cast<float>(irBins[c].im);
        }

    const int firstResponse = P > 1 ? 1 : 0;
    int c = 0;
    for (; c + kChunk <= count; c += kChunk)
    {
        const int bin = firstBin + c;
        Lanes re0 = {}, re1 = {}, im0 = {}, im1 = {};
        int in = slot;
        int ir = firstResponse;
        for (int k = 0; k < P; ++k)
        {
            const float* u = slotData(in) + bin;
            const float* h = slotData(ir) + 2 * N + bin;
            // Many slots are read side by side, more streams than the hardware follows:
            // fetch the next run's lines of each now.
            __builtin_prefetch(u + kAhead);
            __builtin_prefetch(u + N + kAhead);
            __builtin_prefetch(h + kAhead);
            __builtin_prefetch(h + N + kAhead);
            const Lanes ur0 = load(u), ur1 = load(u + kWidth);
            const Lanes ui0 = load(u + N), ui1 = load(u + N + kWidth);
            const Lanes hr0 = load(h), hr1 = load(h + kWidth);
            const Lanes hi0 = load(h + N), hi1 = load(h + N + kWidth);
            re0 += ur0 * hr0 - ui0 * hi0;
            im0 += ur0 * hi0 + ui0 * hr0;
            re1 += ur1 * hr1 - ui1 * hi1;
            im1 += ur1 * hi1 + ui1 * hr1;
            in = in == 0 ? P - 1 : in - 1;
            ir = ir + 1 == P ? 0 : ir + 1;
        }
        for (int j = 0; j < kWidth; ++j)
        {
            sums[c + j] = {re0[j], im0[j]};
            sums[c + kWidth + j] = {re1[j], im1[j]};
        }
    }
    for (; c < count; ++c)
    {
        const int bin = firstBin + c;
        double re = 0.0, im = 0.0;
        int in = slot;
        int ir = firstResponse;
        for (int k = 0; k < P; ++k)
        {
            const float* u = slotData(in) + bin;
            const float* h = slotData(ir) + 2 * N + bin;
            re += u[0] * h[0] - u[N] * h[N];
            im += u[0] * h[N] + u[N] * h[0];
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
            const float* u = slotData(in);
            const float* h = slotData(ir) + 2 * N;
            re += u[0] * h[0];
            im += u[N] * h[N];
            in = in == 0 ? P - 1 : in - 1;
            ir = ir + 1 == P ? 0 : ir + 1;
        }
        sums[0] = {re, im};
    }
}

CSpectralRing::CSpectralRing(int size, int block)
    : ringSize(size), blockSize(block), partitions(size / block)
{
    while ((1 << blockShift) < block)
        ++blockShift;
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
