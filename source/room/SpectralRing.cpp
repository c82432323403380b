// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectralRing.h"

#include "VectorHelpers.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace
{
// Sixteen floats side by side, in whatever registers the target has: one AVX-512 register,
// two AVX ones, four SSE2 ones on baseline x86-64.
typedef float Lanes __attribute__((vector_size(64)));
constexpr int kWidth = 16;

typedef float HalfLanes __attribute__((vector_size(32)));
typedef double Doubles __attribute__((vector_size(64)));
typedef long long DoubleIndex __attribute__((vector_size(64)));

// The real and the imaginary parts of kWidth complex values, each rounded to float.
HALVANE_VECTOR_HELPER void loadParts(const Complex* c, Lanes& re, Lanes& im)
{
    const double* d = &c->re;
    const DoubleIndex even = {0, 2, 4, 6, 8, 10, 12, 14};
    const DoubleIndex odd = {1, 3, 5, 7, 9, 11, 13, 15};
    HalfLanes r[2];
    HalfLanes i[2];
    for (int h = 0; h < 2; ++h)
    {
        const Doubles a = loadVector<Doubles>(d + 16 * h);
        const Doubles b = loadVector<Doubles>(d + 16 * h + 8);
        r[h] = __builtin_convertvector(__builtin_shuffle(a, b, even), HalfLanes);
        i[h] = __builtin_convertvector(__builtin_shuffle(a, b, odd), HalfLanes);
    }
    // Joined in registers: through memory, a whole vector read back from two halves just
    // written would wait for both stores.
    re = __builtin_shufflevector(r[0], r[1], 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    im = __builtin_shufflevector(i[0], i[1], 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
}

// c[j] = (re[j], im[j]) as doubles.
HALVANE_VECTOR_HELPER void storeParts(Complex* c, const Lanes& re, const Lanes& im)
{
    double* d = &c->re;
    const HalfLanes r[2] = {__builtin_shufflevector(re, re, 0, 1, 2, 3, 4, 5, 6, 7),
                            __builtin_shufflevector(re, re, 8, 9, 10, 11, 12, 13, 14, 15)};
    const HalfLanes i[2] = {__builtin_shufflevector(im, im, 0, 1, 2, 3, 4, 5, 6, 7),
                            __builtin_shufflevector(im, im, 8, 9, 10, 11, 12, 13, 14, 15)};
    const DoubleIndex low = {0, 8, 1, 9, 2, 10, 3, 11};
    const DoubleIndex high = {4, 12, 5, 13, 6, 14, 7, 15};
    for (int h = 0; h < 2; ++h)
    {
        const Doubles rd = __builtin_convertvector(r[h], Doubles);
        const Doubles id = __builtin_convertvector(i[h], Doubles);
        storeVector(d + 16 * h, __builtin_shuffle(rd, id, low));
        storeVector(d + 16 * h + 8, __builtin_shuffle(rd, id, high));
    }
}

// A whole chunk of one slot takes its new input bins (ur, ui) and, given one, its new response;
// dr, di: the response it held minus the new one, and fr, fi: the faded input a replaced
// response hands over (each zero without).
struct ChunkFade
{
    Lanes dr = {}, di = {}, fr = {}, fi = {};
};

HALVANE_VECTOR_HELPER void storeChunk(float* inRe, const Complex* inputBins, const float* irRows,
                                      const float* fadeRows, Lanes& ur, Lanes& ui, ChunkFade& f)
{
    float* const irRe = inRe + 2 * kWidth;
    float* const irIm = inRe + 3 * kWidth;
    f = ChunkFade{};
    if (irRows && fadeRows)
    {
        f.fr = loadVector<Lanes>(fadeRows);
        f.fi = loadVector<Lanes>(fadeRows + kWidth);
    }
    if (irRows)
    {
        const Lanes hr = loadVector<Lanes>(irRows);
        const Lanes hi = loadVector<Lanes>(irRows + kWidth);
        f.dr = loadVector<Lanes>(irRe) - hr;
        f.di = loadVector<Lanes>(irIm) - hi;
        storeVector(irRe, hr);
        storeVector(irIm, hi);
    }
    loadParts(inputBins, ur, ui);
    storeVector(inRe, ur);
    storeVector(inRe + kWidth, ui);
}

// The sums with the fade's (old - new) x faded input added, in single precision: whoever reads
// the sums rounds them to it, and the sum of two floats rounds alike either way. Bin 0 of the
// first chunk is (DC, Nyquist), each part on its own, the fade's too: dc, given, is its sum.
HALVANE_VECTOR_HELPER void storeSums(Complex* sums, Lanes re, Lanes im, const ChunkFade& f,
                                     bool fading, const Complex* dc)
{
    if (fading)
    {
        re += f.fr * f.dr - f.fi * f.di;
        im += f.fr * f.di + f.fi * f.dr;
    }
    storeParts(sums, re, im);
    if (!dc) return;
    Complex first = *dc;
    if (fading)
    {
        first.re += f.fr[0] * f.dr[0];
        first.im += f.fi[0] * f.di[0];
    }
    sums[0] = first;
}

// The sums over the partitions of a whole chunk of bins: input slot `in` pairs with response
// slot `ir`, then each steps on, the input back and the response forward.
HALVANE_VECTOR_HELPER void sumChunk(const float* base, size_t slotStride, int P, int in, int ir,
                                    Lanes& re, Lanes& im)
{
    re = Lanes{};
    im = Lanes{};
    for (int k = 0; k < P; ++k)
    {
        const float* u = base + static_cast<size_t>(in) * slotStride;
        const float* h = base + static_cast<size_t>(ir) * slotStride + 2 * kWidth;
        const Lanes ur = loadVector<Lanes>(u), ui = loadVector<Lanes>(u + kWidth);
        const Lanes hr = loadVector<Lanes>(h), hi = loadVector<Lanes>(h + kWidth);
        re += ur * hr - ui * hi;
        im += ur * hi + ui * hr;
        in = in == 0 ? P - 1 : in - 1;
        ir = ir + 1 == P ? 0 : ir + 1;
    }
}

// sumChunk, and from the same loads the next block's sum without its newest input: each input
// meets response k now and response k + 1 a block later. A long ring's sums wait for memory
// rather than for the products, so the second sum costs little.
HALVANE_VECTOR_HELPER void sumChunkPaired(const float* base, size_t slotStride, int P, int in,
                                          int ir, Lanes& re, Lanes& im, Lanes& nextRe,
                                          Lanes& nextIm)
{
    re = Lanes{};
    im = Lanes{};
    nextRe = Lanes{};
    nextIm = Lanes{};
    const float* h = base + static_cast<size_t>(ir) * slotStride + 2 * kWidth;
    Lanes hr = loadVector<Lanes>(h), hi = loadVector<Lanes>(h + kWidth);
    for (int k = 0; k < P; ++k)
    {
        const float* u = base + static_cast<size_t>(in) * slotStride;
        const Lanes ur = loadVector<Lanes>(u), ui = loadVector<Lanes>(u + kWidth);
        re += ur * hr - ui * hi;
        im += ur * hi + ui * hr;
        if (k + 1 == P) break;
        in = in == 0 ? P - 1 : in - 1;
        ir = ir + 1 == P ? 0 : ir + 1;
        const float* g = base + static_cast<size_t>(ir) * slotStride + 2 * kWidth;
        hr = loadVector<Lanes>(g);
        hi = loadVector<Lanes>(g + kWidth);
        nextRe += ur * hr - ui * hi;
        nextIm += ur * hi + ui * hr;
    }
}

inline int wrap(int s, int p)
{
    s %= p;
    return s < 0 ? s + p : s;
}
} // namespace

// The whole run in one function, so that the vector clone is chosen once per run.
HALVANE_WIDE_CLONES
void CSpectralRing::accumulateBins(int slot, int firstBin, int count, const Complex* inputBins,
                                   const float* irRows, Complex* sums, const float* fadeRows)
{
    static_assert(kChunk == kWidth, "a chunk's rows are one vector each");
    const int P = partitions;
    const int W = chunk;
    // Response slot s holds partition (s-1) mod P; input slot s - k pairs with partition k.
    const int firstResponse = P > 1 ? 1 : 0;
    const size_t slotStride = this->slotStride();
    const bool fading = fadeRows && irRows;
    if (W == kChunk && count % kChunk == 0 && (firstBin & (kChunk - 1)) == 0)
    {
        // Whole chunks, as the convolver asks for them: every step a vector of bins, and one
        // call for the chunks of a work step, where a call each cost a short ring a good part
        // of its sums. As the general path below: the fade is old minus new as stored, times
        // the faded input.
        for (int done = 0; done < count; done += kChunk)
        {
            const int bin = firstBin + done;
            const size_t rows = static_cast<size_t>(2 * done);
            Lanes ur, ui, re, im;
            ChunkFade f;
            storeChunk(binAt(slot, bin), inputBins + done, irRows ? irRows + rows : nullptr,
                       fadeRows ? fadeRows + rows : nullptr, ur, ui, f);
            sumChunk(binAt(0, bin), slotStride, P, slot, firstResponse, re, im);
            const Complex dc = bin == 0 ? packedSum(slot, firstResponse, P) : Complex{};
            storeSums(sums + done, re, im, f, fading, bin == 0 ? &dc : nullptr);
        }
        return;
    }
    // The outgoing partition's share of the faded input, added once the sums are stored. In
    // single precision, as the spectra it comes from: old and new as the ring holds them, so
    // that the fade ends on what is stored.
    float fadeRe[kChunk];
    float fadeIm[kChunk];
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
        // The same bins of the rows handed over.
        const size_t row =
            static_cast<size_t>(2 * ((bin >> chunkShift) - (firstBin >> chunkShift)) * W +
                                (bin & (W - 1)));
        if (fading)
        {
            const float* const newRe = irRows + row;
            const float* const newIm = newRe + W;
            const float* const fadedRe = fadeRows + row;
            const float* const fadedIm = fadedRe + W;
            float* const shareRe = fadeRe + done;
            float* const shareIm = fadeIm + done;
            const float oldDc = irRe[0];
            const float oldNyquist = irIm[0];
            for (int c = 0; c < n; ++c)
            {
                const float dr = irRe[c] - newRe[c];
                const float di = irIm[c] - newIm[c];
                irRe[c] = newRe[c];
                irIm[c] = newIm[c];
                shareRe[c] = fadedRe[c] * dr - fadedIm[c] * di;
                shareIm[c] = fadedRe[c] * di + fadedIm[c] * dr;
            }
            // Bin 0 is (DC, Nyquist): each part multiplied on its own.
            if (bin == 0)
            {
                shareRe[0] = fadedRe[0] * (oldDc - irRe[0]);
                shareIm[0] = fadedIm[0] * (oldNyquist - irIm[0]);
            }
        }
        else if (irRows)
        {
            const float* const newRe = irRows + row;
            for (int c = 0; c < n; ++c)
            {
                irRe[c] = newRe[c];
                irIm[c] = newRe[W + c];
            }
        }
        for (int c = 0; c < n; ++c)
        {
            inRe[c] = static_cast<float>(input[c].re);
            inIm[c] = static_cast<float>(input[c].im);
        }
        done += n;
    }

    for (int c = 0; c < count; ++c)
    {
        const int bin = firstBin + c;
        const float* base = binAt(0, bin);
        int in = slot;
        int ir = firstResponse;
        if (W == kChunk && (bin & (kChunk - 1)) == 0 && c + kChunk <= count)
        {
            Lanes re, im;
            sumChunk(base, slotStride, P, in, ir, re, im);
            storeParts(sums + c, re, im);
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
    if (firstBin == 0) sums[0] = packedSum(slot, firstResponse, P);
    if (fading)
        for (int c = 0; c < count; ++c)
        {
            sums[c].re += fadeRe[c];
            sums[c].im += fadeIm[c];
        }
}

HALVANE_WIDE_CLONES
void CSpectralRing::accumulatePairedBins(int slot, int firstBin, int count,
                                         const Complex* inputBins, const float* irRows,
                                         Complex* sums, const float* fadeRows, float* carryRows,
                                         bool late)
{
    for (int done = 0; done < count; done += kChunk)
    {
        const size_t rows = static_cast<size_t>(2 * done);
        accumulatePairedChunk(slot, firstBin + done, inputBins + done,
                              irRows ? irRows + rows : nullptr, sums + done,
                              fadeRows ? fadeRows + rows : nullptr, carryRows, late);
    }
}

HALVANE_VECTOR_HELPER
void CSpectralRing::accumulatePairedChunk(int slot, int firstBin, const Complex* inputBins,
                                          const float* irRows, Complex* sums, const float* fadeRows,
                                          float* carryRows, bool late)
{
    const int P = partitions;
    const int firstResponse = 1;
    const size_t slotStride = this->slotStride();
    float* const carryRe = carryRows + 2 * firstBin;
    float* const carryIm = carryRe + kChunk;
    // The replaced partition's old spectrum minus its new one, as the single path has it.
    Lanes ur, ui, re, im;
    ChunkFade f;
    storeChunk(binAt(slot, firstBin), inputBins, irRows, fadeRows, ur, ui, f);
    // Bin 0 is (DC, Nyquist): each part on its own, in the same order as the vectors.
    Complex dc;
    if (!late)
    {
        Lanes nextRe, nextIm;
        sumChunkPaired(binAt(0, firstBin), slotStride, P, slot, firstResponse, re, im, nextRe,
                       nextIm);
        storeVector(carryRe, nextRe);
        storeVector(carryIm, nextIm);
        if (firstBin == 0)
        {
            dc = packedSum(slot, firstResponse, P);
            const Complex next = packedSum(slot, firstResponse + 1, P - 1);
            carryRe[0] = static_cast<float>(next.re);
            carryIm[0] = static_cast<float>(next.im);
        }
    }
    else
    {
        // The newest input with partition 0, and what the block before summed of the others.
        // The partition replaced now met its input block (input slot 1) there with its old
        // spectrum: the difference is added, unless it is partition 0 itself.
        const float* h = binAt(firstResponse, firstBin) + 2 * kChunk;
        const Lanes hr = loadVector<Lanes>(h), hi = loadVector<Lanes>(h + kChunk);
        const Lanes cr = loadVector<Lanes>(carryRe), ci = loadVector<Lanes>(carryIm);
        re = ur * hr - ui * hi;
        im = ur * hi + ui * hr;
        re += cr;
        im += ci;
        const bool olderReplaced = irRows && slot != firstResponse;
        Lanes xr = {}, xi = {};
        if (olderReplaced)
        {
            const float* x = binAt(firstResponse, firstBin);
            xr = loadVector<Lanes>(x);
            xi = loadVector<Lanes>(x + kChunk);
            re -= xr * f.dr - xi * f.di;
            im -= xr * f.di + xi * f.dr;
        }
        if (firstBin == 0)
        {
            dc = {ur[0] * hr[0], ui[0] * hi[0]};
            dc.re += cr[0];
            dc.im += ci[0];
            if (olderReplaced)
            {
                dc.re -= xr[0] * f.dr[0];
                dc.im -= xi[0] * f.di[0];
            }
        }
    }
    storeSums(sums, re, im, f, fadeRows && irRows, firstBin == 0 ? &dc : nullptr);
}

void CSpectralRing::accumulatePairedRows(int index, int count, const Complex* inputBins,
                                         const float* irRows, Complex* sums, const float* fadeRows,
                                         float* carryRows, bool late)
{
    if (count <= 0) return;
    if (index < 0 || index >= ringSize)
    {
        index %= ringSize;
        if (index < 0) index += ringSize;
    }
    accumulatePairedBins(index >> blockShift, index & (blockSize - 1), count, inputBins, irRows,
                         sums, fadeRows, carryRows, late);
    sum = sums[count - 1];
}

Complex CSpectralRing::packedSum(int slot, int firstResponse, int terms)
{
    // Bin 0: (DC, Nyquist) pairs, each part multiplied on its own.
    const int P = partitions;
    const int W = chunk;
    double re = 0.0, im = 0.0;
    int in = slot;
    int ir = firstResponse % P;
    for (int k = 0; k < terms; ++k)
    {
        const float* u = binAt(in, 0);
        const float* h = binAt(ir, 0) + 2 * W;
        re += u[0] * h[0];
        im += u[W] * h[W];
        in = in == 0 ? P - 1 : in - 1;
        ir = ir + 1 == P ? 0 : ir + 1;
    }
    return {re, im};
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
    // Piece by piece within a chunk, each piece's response and faded input laid out as rows.
    float irRows[2 * kChunk];
    float fadeRows[2 * kChunk];
    const int W = chunk;
    for (int done = 0; done < count;)
    {
        const int at = index + done;
        const int bin = at & (blockSize - 1);
        const int n = std::min(count - done, W - (bin & (W - 1)));
        for (int c = 0; c < n; ++c)
        {
            const int i = (bin & (W - 1)) + c;
            if (irBins)
            {
                irRows[i] = static_cast<float>(irBins[done + c].re);
                irRows[W + i] = static_cast<float>(irBins[done + c].im);
            }
            if (fadeInput)
            {
                fadeRows[i] = static_cast<float>(fadeInput[done + c].re);
                fadeRows[W + i] = static_cast<float>(fadeInput[done + c].im);
            }
        }
        accumulateRows(at, n, inputBins + done, irBins ? irRows : nullptr, sums + done,
                       fadeInput ? fadeRows : nullptr);
        done += n;
    }
}

void CSpectralRing::accumulateRows(int index, int count, const Complex* inputBins,
                                   const float* irRows, Complex* sums, const float* fadeRows)
{
    if (count <= 0) return;
    // The convolver's indices are in range already: a division per call costs as much as a
    // short ring's sums.
    if (index < 0 || index >= ringSize)
    {
        index %= ringSize;
        if (index < 0) index += ringSize;
    }
    accumulateBins(index >> blockShift, index & (blockSize - 1), count, inputBins, irRows, sums,
                   fadeRows);
    sum = sums[count - 1];
}
