// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlignedBuffer.h"
#include "Complex.h"
#include "SteppedRealFft.h"

#include <memory>

// Real FFT of 2N points in single precision, each direction in one call. The ring keeps its
// spectra in single precision anyway, and FFTW's vector code in floats does a short transform
// about three times faster than ARFFT/BRFFT: short blocks, whose whole transforms cost less
// than a host block's other work, take this one.
//
// From CSteppedRealFft::kSmallestSize on it runs that transform's steps at once: built on
// FFTW's forward complex transforms alone, it shares their code between both directions and
// with the long blocks' transforms, so that far less of it has to come back into the caches
// after a host's other work than FFTW's own real transforms need (measured: the shortest
// stage's worst host block after a cold start fell from about 9 to 5 us). Smaller sizes run
// FFTW's real transforms.
//
// Plans are estimated, not measured (the same plan, so the same rounding, in every run), made
// once per size and module under a lock in the constructor, and kept until the module
// unloads. The transforms take no lock and allocate nothing.
class CWholeRealFft
{
public:
    // realSize = 2N, a power of two, at least 4.
    explicit CWholeRealFft(int realSize);

    CWholeRealFft(const CWholeRealFft&) = delete;
    CWholeRealFft& operator=(const CWholeRealFft&) = delete;

    int size() const { return realSize; }

    // samples: the first N of 2N reals whose upper half is zero; to bins 0..N (bin 0 and
    // bin N real).
    void forwardPadded(const double* samples, Complex* bins);
    // Where a caller may write the N samples of the next forward transform as floats.
    float* input() { return fourStep ? fourStep->input() : padded.data(); }
    // forwardPadded() of the N samples written to input().
    void forwardFromInput(Complex* bins);
    // The same into rows of `width` bins, as CSteppedRealFft::startForwardToRows lays them out.
    void forwardFromInputToRows(float* rows, int width);
    // Bins 0..N of a real signal's spectrum (the imaginary parts of bins 0 and N are
    // ignored) to its 2N samples times scale; unscaled, a sample comes out 2N times too large.
    void inverse(const Complex* bins, double scale, double* samples);

    // Sizes up to this one are cheap enough to run whole inside a short host block.
    static constexpr int kUpTo = 2048;

private:
    static bool stepsThrough(int size) { return size >= CSteppedRealFft::kSmallestSize; }
    // FFTW's real transform of padded; its N + 1 bins, real and imaginary part side by side.
    const float* transformPadded();

    int realSize;
    std::unique_ptr<CSteppedRealFft> fourStep;
    // FFTW's real transforms, for the sizes below.
    void* forwardPlan = nullptr;
    void* inversePlan = nullptr;
    CAlignedBuffer<float> padded;   // the upper half stays zero
    CAlignedBuffer<float> spectrum; // N + 1 bins, real and imaginary part side by side
    CAlignedBuffer<float> output;
};
