// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Complex.h"

#include <cstddef>
#include <vector>

// Frequency-domain delay line of a partitioned convolver: P slots of N bins each, holding
// input spectra and response spectra. Writing one bin returns, through result(), that bin
// of the sum over all partitions of (input block m-1-k) x (partition k).
//
// Stored slot by slot, real and imaginary parts apart, so that a run of neighbouring bins
// is summed over the partitions a vector of bins at a time: short rings spend their time
// in the products rather than in per-bin bookkeeping. Single precision: half the memory
// and twice the bins per vector, and the sum stays within about 1e-7 of the exact one.
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
    // accumulateRun that also stores, for each index, the difference (old - new spectrum)
    // of the partition being replaced times the input it is paired with now (in current)
    // and times the input block before that (in previous): what a caller needs to fade the
    // outgoing partition out over the block.
    void accumulateRunFading(int index, int count, const Complex* inputBins,
                             const Complex* irBins, Complex* sums, Complex* current,
                             Complex* previous);

private:
    void accumulateBins(int slot, int firstBin, int count, const Complex* inputBins,
                        const Complex* irBins, Complex* sums, Complex* current,
                        Complex* previous);
    // Slot s: input real parts, input imaginary parts, response real, response imaginary,
    // N each.
    float* slotData(int s) { return bins + static_cast<size_t>(s) * 4 * blockSize; }

    std::vector<float> storage;
    float* bins; // 64-byte aligned start of storage
    Complex sum;
    int ringSize;
    int blockSize;
    int blockShift = 0; // log2 blockSize
    int partitions;     // P
};
