// SPDX-License-Identifier: GPL-3.0-or-later
#include "SlicedRealFft.h"

#include <fftw3.h>

#include <algorithm>
#include <limits>
#include <map>
#include <mutex>
#include <new>

static_assert(sizeof(Complex) == sizeof(fftw_complex), "Complex must match FFTW's layout");

void* allocateSimdAligned(size_t bytes)
{
    return fftw_malloc(bytes > 0 ? bytes : 1);
}

void freeSimdAligned(void* p)
{
    fftw_free(p);
}

struct CSlicedRealFft::Plans
{
    fftw_plan forward = nullptr;
    fftw_plan inverse = nullptr;
};

namespace
{
fftw_complex* asFftw(Complex* p)
{
    return reinterpret_cast<fftw_complex*>(p);
}
} // namespace

const CSlicedRealFft::Plans& CSlicedRealFft::plansFor(int size)
{
    // FFTW's planner is not thread-safe, and instances are made on whatever thread a host
    // likes. Plans live as long as the process: a later instance reuses them.
    static std::mutex lock;
    static std::map<int, Plans> made;
    std::lock_guard<std::mutex> guard(lock);
    auto found = made.find(size);
    if (found != made.end()) return found->second;

    CAlignedBuffer<double> samples(static_cast<size_t>(size));
    CAlignedBuffer<Complex> bins(static_cast<size_t>(size / 2 + 1));
    // Estimated, not measured: the same plans, hence the same rounding, in every run.
    Plans p;
    p.forward = fftw_plan_dft_r2c_1d(size, samples.data(), asFftw(bins.data()), FFTW_ESTIMATE);
    p.inverse = fftw_plan_dft_c2r_1d(size, asFftw(bins.data()), samples.data(),
                                     FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
    if (!p.forward || !p.inverse) throw std::bad_alloc();
    return made.emplace(size, p).first->second;
}

CSlicedRealFft::CSlicedRealFft(int size, Direction direction)
    : realSize(size), pieces(size > kWholeUpTo)
{
    if (!pieces)
    {
        plans = &plansFor(size);
        return;
    }
    // The last step finishes whatever the others left.
    if (direction == kForward)
    {
        forwardPieces = std::make_unique<ARFFT>(size);
        budget = (forwardPieces->forwardItems(true) + kSliceSteps - 2) / (kSliceSteps - 1);
    }
    else
    {
        inversePieces = std::make_unique<BRFFT>(size);
        // Two steps split the bins, the rest run the transform.
        budget = (inversePieces->inverseItems() + kSliceSteps - 4) / (kSliceSteps - 3);
    }
}

void CSlicedRealFft::forward(const double* samples, Complex* bins)
{
    for (int s = 0; s < steps(); ++s)
        forwardStep(s, samples, bins);
}

void CSlicedRealFft::inverse(Complex* bins, double* samples)
{
    for (int s = 0; s < steps(); ++s)
        inverseStep(s, bins, samples);
}

void CSlicedRealFft::forwardStep(int step, const double* samples, Complex* bins)
{
    if (!pieces)
    {
        fftw_execute_dft_r2c(plans->forward, const_cast<double*>(samples), asFftw(bins));
        return;
    }
    ARFFT& t = *forwardPieces;
    // Only bins 0..N are wanted: the mirrored upper half is skipped.
    if (step == 0) t.startForward(samples, false, true);
    if (step + 1 < kSliceSteps)
    {
        t.advanceForward(budget);
        return;
    }
    t.advanceForward(std::numeric_limits<int>::max());
    const Complex* result = t.forwardBins();
    std::copy(result, result + realSize / 2 + 1, bins);
}

void CSlicedRealFft::inverseStep(int step, Complex* bins, double* samples)
{
    if (!pieces)
    {
        fftw_execute_dft_c2r(plans->inverse, asFftw(bins), samples);
        return;
    }
    BRFFT& t = *inversePieces;
    const int pairs = realSize / 4 + 1; // pair i joins bins i and N - i, i = 0..N/2
    if (step == 0)
    {
        t.splitBins(bins, 0, pairs / 2);
        return;
    }
    if (step == 1)
    {
        t.splitBins(bins, pairs / 2, pairs);
        t.startInverse(bins, 1.0, samples);
        return;
    }
    t.advanceInverse(step + 1 < kSliceSteps ? budget : std::numeric_limits<int>::max());
}
