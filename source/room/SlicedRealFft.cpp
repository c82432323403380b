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

struct CSlicedRealFft::Plan
{
    fftw_plan forward = nullptr;
};

const CSlicedRealFft::Plan& CSlicedRealFft::planFor(int size)
{
    // FFTW's planner is not thread-safe, and instances are made on whatever thread a host
    // likes. Plans live as long as the process: a later instance reuses them.
    static std::mutex lock;
    static std::map<int, Plan> made;
    std::lock_guard<std::mutex> guard(lock);
    auto found = made.find(size);
    if (found != made.end()) return found->second;

    CAlignedBuffer<double> samples(static_cast<size_t>(size));
    CAlignedBuffer<Complex> bins(static_cast<size_t>(size / 2 + 1));
    // Estimated, not measured: the same plan, hence the same rounding, in every run.
    Plan p;
    p.forward = fftw_plan_dft_r2c_1d(size, samples.data(),
                                     reinterpret_cast<fftw_complex*>(bins.data()), FFTW_ESTIMATE);
    if (!p.forward) throw std::bad_alloc();
    return made.emplace(size, p).first->second;
}

CSlicedRealFft::CSlicedRealFft(int size) : realSize(size), pieces(size > kWholeUpTo)
{
    if (!pieces)
    {
        plan = &planFor(size);
        return;
    }
    sliced = std::make_unique<ARFFT>(size);
    // The last step finishes whatever the others left.
    budget = (sliced->forwardItems(true) + kSliceSteps - 2) / (kSliceSteps - 1);
}

void CSlicedRealFft::forward(const double* samples, Complex* bins)
{
    for (int s = 0; s < steps(); ++s)
        forwardStep(s, samples, bins);
}

void CSlicedRealFft::forwardStep(int step, const double* samples, Complex* bins)
{
    if (!pieces)
    {
        fftw_execute_dft_r2c(plan->forward, const_cast<double*>(samples),
                             reinterpret_cast<fftw_complex*>(bins));
        return;
    }
    // Only bins 0..N are wanted: the mirrored upper half is skipped.
    if (step == 0) sliced->startForward(samples, false, true);
    if (step + 1 < kSliceSteps)
    {
        sliced->advanceForward(budget);
        return;
    }
    sliced->advanceForward(std::numeric_limits<int>::max());
    const Complex* result = sliced->forwardBins();
    std::copy(result, result + realSize / 2 + 1, bins);
}
