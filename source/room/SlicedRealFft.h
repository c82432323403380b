// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlignedBuffer.h"
#include "Complex.h"
#include "SteppedRealFft.h"
#include "WholeRealFft.h"

#include <memory>

// Forward real FFT of 2N zero-padded points in a few steps a caller can spread over time. Up
// to 2N = kWholeUpTo it is one step of CWholeRealFft. Longer transforms run CSteppedRealFft's
// steps in kSliceSteps even groups: a whole long transform, run with the caches a host's other
// work left cold, takes several times the work of a short host block, where its slices
// disappear in the rest of the work.
//
// The constructor may take a lock (FFTW's planner); the steps take none and allocate nothing.
// One object keeps one transform in flight.
class CSlicedRealFft
{
public:
    // realSize = 2N, a power of two, at least 4. The spectrum comes out in rows of rowWidth
    // bins, as CSteppedRealFft::startForwardToRows lays them out.
    CSlicedRealFft(int realSize, int rowWidth);

    int size() const { return realSize; }
    int steps() const { return pieces ? kSliceSteps : 1; }

    // Where the N samples of the next transform go, as floats: only between transforms.
    float* input() { return pieces ? sliced->input() : whole->input(); }
    // The zero-padded transform of input() to rows of bins 0..N-1 (bin 0 carrying DC and
    // Nyquist), which must stay put until the last step.
    void forwardStep(int step, float* rows);
    // Every step at once, of the first N of samples.
    void forward(const double* samples, float* rows);

    static constexpr int kWholeUpTo = CWholeRealFft::kUpTo;
    static constexpr int kSliceSteps = 8;
    // Up to this size the complex transform is one FFTW call, not quarters: a sixth less time
    // at 4096 points (none at 8192), spent only while a control moves.
    static constexpr int kOneCallUpTo = 4096;

private:
    int realSize;
    int rowWidth;
    bool pieces;
    std::unique_ptr<CWholeRealFft> whole;
    std::unique_ptr<CSteppedRealFft> sliced;
};
