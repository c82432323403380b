// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Complex.h"

#include <cstddef>
#include <vector>

// Frequency-domain delay line of a partitioned convolver: P slots of N bins each, holding
// input spectra and response spectra. Writing one bin returns, through result(), that bin
// of the sum over all partitions of (input block m-1-k) x (partition k).
//
// Stored in chunks of neighbouring bins, real and imaginary parts apart, each chunk of every
// slot next to the same chunk of the others, so that a run of neighbouring bins is summed over
// the partitions a vector of bins at a time from one stretch of memory: short rings
// spend their time in the products rather than in per-bin bookkeeping. Single precision: half the
// memory and twice the bins per vector, and the sum stays within about 1e-7 of the exact one.
class CSpectralRing
{
public:
    // ringSize = P * N with N a power of two; P may be any count.
    CSpectralRing(int ringSize, int blockSize);

    CSpectralRing(const CSpectralRing&) = delete;
    CSpectralRing& operator=(const CSpectralRing&) = delete;

    // Bin 0 of a slot carries (DC, Nyquist), both real, and is multiplied part by part.
    void accumulate(int index, Complex inputBin, Complex irBin);
    Complex result() const { return sum; }
    // accumulate() for count consecutive indices from index, all in one slot, with each
    // index's sum stored in sums; result() is then the last of them. Null irBins keeps the
    // response spectra the slot holds.
    void accumulateRun(int index, int count, const Complex* inputBins, const Complex* irBins,
                       Complex* sums);
    // accumulateRun that also adds, for each index, the difference (old - new spectrum) of
    // the partition being replaced times fadeInput: given the spectrum of the input block
    // that partition meets now, faded out over the block, the outgoing response hands that
    // block over to the new one gradually instead of in one step. fadeInput's bin 0 is packed
    // like the input's.
    void accumulateRunFading(int index, int count, const Complex* inputBins, const Complex* irBins,
                             Complex* sums, const Complex* fadeInput);
    // accumulateRunFading with the response spectrum and the faded input as rows, the layout
    // the ring keeps them in: chunks of rowWidth() neighbouring bins, each chunk's real parts
    // then its imaginary parts, bin 0 carrying (DC, Nyquist). irRows and fadeRows point at
    // the chunk that holds the run's first bin (null as above); a whole chunk then goes in
    // with a few vector copies.
    void accumulateRows(int index, int count, const Complex* inputBins, const float* irRows,
                        Complex* sums, const float* fadeRows);
    // accumulateRows for whole chunks of kChunk bins (index and count multiples of it) of a
    // ring of at least two partitions and blocks of at least kChunk, its blocks taken in pairs:
    // the first of a pair (late false) also leaves in carryRows what the second's sums need of
    // its older inputs, read from the same memory, so that the second (late true) reads only its
    // newest input, partition 0 and those rows, and for a partition replaced meanwhile its old
    // spectrum and the input block it meets. The sums are those of accumulateRows to single
    // precision. carryRows: 2N floats, kept between the two blocks, rows as above.
    void accumulatePairedRows(int index, int count, const Complex* inputBins, const float* irRows,
                              Complex* sums, const float* fadeRows, float* carryRows, bool late);
    static constexpr int kChunk = 16;
    // Bins per chunk for a block size.
    static int rowWidthFor(int blockSize) { return blockSize < kChunk ? blockSize : kChunk; }
    int rowWidth() const { return chunk; }

private:
    // Runs within one slot.
    void accumulateBins(int slot, int firstBin, int count, const Complex* inputBins,
                        const float* irRows, Complex* sums, const float* fadeRows);
    void accumulatePairedBins(int slot, int firstBin, int count, const Complex* inputBins,
                              const float* irRows, Complex* sums, const float* fadeRows,
                              float* carryRows, bool late);
    // One chunk of it; inlined into each clone.
    void accumulatePairedChunk(int slot, int firstBin, const Complex* inputBins,
                               const float* irRows, Complex* sums, const float* fadeRows,
                               float* carryRows, bool late);
    // Bin 0's sum over `terms` partitions, from input slot `slot` and response slot
    // firstResponse (mod P) on.
    Complex packedSum(int slot, int firstResponse, int terms);
    // Slot s holds N bins in chunks of `chunk` neighbours; each chunk keeps the input's real
    // parts, its imaginary parts, the response's real and imaginary parts, one after the
    // other, so that a run of bins reads few places per slot. The same chunk of every slot
    // lies side by side (slotStride() floats apart): summing a chunk over the partitions then
    // reads one stretch of memory, where a long ring's slots far apart would be more streams
    // than the hardware follows. The bin's input real part; the others follow chunk, 2 chunk
    // and 3 chunk floats on.
    float* binAt(int s, int bin)
    {
        return bins +
               (static_cast<size_t>(bin >> chunkShift) * static_cast<size_t>(partitions) +
                static_cast<size_t>(s)) *
                   slotStride() +
               (bin & (chunk - 1));
    }
    size_t slotStride() const { return static_cast<size_t>(4) * static_cast<size_t>(chunk); }

    std::vector<float> storage;
    float* bins; // 64-byte aligned start of storage
    Complex sum;
    int ringSize;
    int blockSize;
    int blockShift = 0; // log2 blockSize
    int partitions;     // P
    int chunk;          // bins kept together: kChunk, or N when smaller
    int chunkShift = 0; // log2 chunk
};
