// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlignedBuffer.h"
#include "Complex.h"
#include "RealFft.h"

#include <memory>

// Real FFT of 2N points in one direction, in a few steps a caller can spread over time. Up to
// 2N = kWholeUpTo it is one step on FFTW's plans, several times faster than the RFFT family.
// Longer transforms run on the RFFT family's incremental transforms in kSliceSteps even steps:
// a whole long transform, run cold on a busy machine, takes several times the work of a short
// host block, where its slices disappear in the rest of the work.
//
// FFTW's plans are made once per size and process and shared (the constructor takes a lock);
// the steps take none and allocate nothing. One object keeps one transform in flight.
class CSlicedRealFft
{
public:
    enum Direction
    {
        kForward,
        kInverse,
    };

    // realSize = 2N, a power of two, at least 4.
    CSlicedRealFft(int realSize, Direction direction);

    int size() const { return realSize; }
    int steps() const { return pieces ? kSliceSteps : 1; }

    // Forward: samples, 2N reals whose upper half is zero, to bins 0..N (bin 0 and bin N
    // real). Buffers must come from CAlignedBuffer and stay put until the last step.
    void forwardStep(int step, const double* samples, Complex* bins);
    // Inverse: bins 0..N, overwritten, to 2N reals, unscaled (2N times the signal).
    void inverseStep(int step, Complex* bins, double* samples);

    // Every step at once.
    void forward(const double* samples, Complex* bins);
    void inverse(Complex* bins, double* samples);

    static constexpr int kWholeUpTo = 1024;
    static constexpr int kSliceSteps = 8;

private:
    struct Plans;
    static const Plans& plansFor(int realSize);

    int realSize;
    bool pieces;
    const Plans* plans = nullptr;
    std::unique_ptr<ARFFT> forwardPieces;
    std::unique_ptr<BRFFT> inversePieces;
    int budget = 1; // work units per step
};
