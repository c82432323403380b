// SPDX-License-Identifier: GPL-3.0-or-later
#include "SlicedRealFft.h"

#include <fftw3.h>

#include <algorithm>
#include <limits>
#include <map>
#include <mutex>
#include <new>

static_assert(sizeof(Complex) == sizeof(fftw_complex), "Complex must match FFTW's layout");

namespace
{
// The plans of every size in use, made under one lock: FFTW's planner is not thread-safe, and
// instances are made on whatever thread a host likes. They live until the module is unloaded,
// so that a later instance reuses them and a host that reloads the module leaks none.
class PlanCache
{
public:
    ~PlanCache()
    {
        std::lock_guard<std::mutex> guard(lock);
        for (auto& entry : plans)
            fftw_destroy_plan(entry.second);
    }

    fftw_plan forward(int size)
    {
        std::lock_guard<std::mutex> guard(lock);
        auto found = plans.find(size);
        if (found != plans.end()) return found->second;
        CAlignedBuffer<double> samples(static_cast<size_t>(size));
        CAlignedBuffer<Complex> bins(static_cast<size_t>(size / 2 + 1));
        // Estimated, not measured: the same plan, hence the same rounding, in every run.
        fftw_plan p = fftw_plan_dft_r2c_1d(
            size, samples.data(), reinterpret_cast<fftw_complex*>(bins.data()), FFTW_ESTIMATE);
        if (!p) throw std::bad_alloc();
        plans.emplace(size, p);
        return p;
    }

private:
    std::mutex lock;
    std::map<int, fftw_plan> plans;
};

PlanCache planCache;
} // namespace

CSlicedRealFft::CSlicedRealFft(int size) : realSize(size), pieces(size > kWholeUpTo)
{
    if (!pieces)
    {
        plan = planCache.forward(size);
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
        fftw_execute_dft_r2c(static_cast<fftw_plan>(plan), const_cast<double*>(samples),
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
