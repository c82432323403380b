// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlignedBuffer.h"
#include "Complex.h"

#include <memory>

// Real FFT of 2N points in single precision, each direction in steps() even steps that a
// caller spreads over time: a long block's whole transform, run with the caches a host's other
// work left cold, would take several times a short host block's work.
//
// The packing of sample pairs as complex values and the real split around the N-point complex
// transform are our own vector loops. Up to kOneCallUpTo the complex transform is one FFTW
// call. Beyond, the points are parted into four interleaved quarters, each quarter transformed
// by one FFTW call, and the quarters joined in two passes of butterflies: steps of about a
// tenth of the whole each, and the whole in about 80 % of the time of a four-step split into
// transforms of rows and columns (4096 points: 3.4 against 4.2 us).
//
// Plans and tables are made once per size and module under a lock in the constructor and kept
// until the module unloads. The steps take no lock and allocate nothing. One object keeps one
// transform in flight.
class CSteppedRealFft
{
public:
    // realSize = 2N, a power of two, at least kSmallestSize. Up to oneCallUpTo the complex
    // transform is one FFTW call rather than quarters.
    explicit CSteppedRealFft(int realSize, int oneCallUpTo = kOneCallUpTo);
    static constexpr int kSmallestSize = 256;
    // Transforms this short are run whole anyway, and one call takes less time.
    static constexpr int kOneCallUpTo = 2048;
    ~CSteppedRealFft();

    CSteppedRealFft(const CSteppedRealFft&) = delete;
    CSteppedRealFft& operator=(const CSteppedRealFft&) = delete;

    int size() const { return realSize; }
    int steps() const;

    // samples: the first N of 2N reals whose upper half is zero; to bins 0..N (bin 0 and bin
    // N real). Both must stay put until the last step.
    void startForward(const double* samples, Complex* bins);
    // Where a caller may write the N samples of the next forward transform as floats, instead
    // of handing over doubles: only while no transform runs.
    float* input() { return packed; }
    // startForward() of the N samples written to input().
    void startForwardFromInput(Complex* bins) { startForward(nullptr, bins); }
    // The same with bins 0..N-1 put in rows, the single-precision layout of a ring of spectra:
    // chunks of `width` neighbouring bins (a power of two), each chunk's real parts then its
    // imaginary parts; bin 0 carries (DC, Nyquist). 2N floats.
    void startForwardToRows(float* rows, int width);
    // Bins 0..N of a real signal's spectrum (the imaginary parts of bins 0 and N are ignored)
    // to its 2N samples times scale; unscaled, a sample comes out 2N times too large. The bins
    // are read by the first steps, the samples written by the last ones.
    void startInverse(const Complex* bins, double scale, double* samples);
    // Runs the pending transform's steps up to `done` of steps() (further ones are no-ops).
    void advanceTo(int done);
    // Runs the steps that together take about `share` (0..1) of the whole transform's time:
    // its steps differ in cost, and a caller spreading it evenly over time wants even work.
    void advanceToShare(double share);
    void finish();
    bool finished() const { return next >= steps(); }

    struct Tables;

private:
    void runStep(int step);
    int transformSteps() const;
    int unpackSteps() const;
    void transformStep(int t);
    void pack();
    // Complex points [first, last) of each quarter of the middle, from z's values.
    template <class T>
    void partQuarters(const T* z, int first, int last);
    void split(int first, int last);
    void unsplit(int first, int last);
    // Sample pairs [first, last).
    void unpack(int first, int last);

    int realSize;
    int n; // complex points, N
    std::shared_ptr<const Tables> tables;
    CAlignedBuffer<float> signal; // n complex values: the packed samples, the transform's result
    CAlignedBuffer<float> middle; // n complex values between the two sets of transforms
    float* packed = nullptr;      // the first of them
    const double* forwardSamples = nullptr;
    Complex* forwardBins = nullptr;
    float* forwardRows = nullptr;
    int rowWidth = 0;
    const Complex* inverseBins = nullptr;
    double* inverseSamples = nullptr;
    double inverseScale = 1.0;
    bool inverse = false;
    bool paddingZero = false; // the forward transform's zero padding is in place
    int next = 0;
};
