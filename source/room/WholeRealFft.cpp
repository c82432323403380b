// SPDX-License-Identifier: GPL-3.0-or-later
#include "WholeRealFft.h"

#include "BinRows.h"
#include "FftwPlanner.h"

#include <fftw3.h>

#include <map>
#include <mutex>
#include <new>
#include <utility>

namespace
{
// The plans of every size in use. They live until the module is unloaded, so that a later
// instance reuses them and a host that reloads the module leaks none.
class PlanCache
{
public:
    ~PlanCache()
    {
        std::lock_guard<std::mutex> guard(fftwPlannerLock());
        for (auto& entry : plans)
        {
            fftwf_destroy_plan(entry.second.first);
            fftwf_destroy_plan(entry.second.second);
        }
    }

    // Forward and inverse plan of one size.
    std::pair<fftwf_plan, fftwf_plan> forSize(int size)
    {
        std::lock_guard<std::mutex> guard(fftwPlannerLock());
        auto found = plans.find(size);
        if (found != plans.end()) return found->second;
        CAlignedBuffer<float> samples(static_cast<size_t>(size));
        CAlignedBuffer<float> spectrum(static_cast<size_t>(size + 2));
        auto* bins = reinterpret_cast<fftwf_complex*>(spectrum.data());
        fftwf_plan forward = fftwf_plan_dft_r2c_1d(size, samples.data(), bins, FFTW_ESTIMATE);
        fftwf_plan inverse = fftwf_plan_dft_c2r_1d(size, bins, samples.data(), FFTW_ESTIMATE);
        if (!forward || !inverse)
        {
            if (forward) fftwf_destroy_plan(forward);
            if (inverse) fftwf_destroy_plan(inverse);
            throw std::bad_alloc();
        }
        return plans.emplace(size, std::make_pair(forward, inverse)).first->second;
    }

private:
    std::map<int, std::pair<fftwf_plan, fftwf_plan>> plans;
};

PlanCache planCache;
} // namespace

CWholeRealFft::CWholeRealFft(int size)
    : realSize(size),
      fourStep(stepsThrough(size) ? std::make_unique<CSteppedRealFft>(size) : nullptr),
      padded(static_cast<size_t>(fourStep ? 0 : size)),
      spectrum(static_cast<size_t>(fourStep ? 0 : size + 2)),
      output(static_cast<size_t>(fourStep ? 0 : size))
{
    if (fourStep) return;
    const auto plans = planCache.forSize(size);
    forwardPlan = plans.first;
    inversePlan = plans.second;
}

void CWholeRealFft::forwardPadded(const double* x, Complex* bins)
{
    float* s = input();
    for (int i = 0; i < realSize / 2; ++i)
        s[i] = static_cast<float>(x[i]);
    forwardFromInput(bins);
}

void CWholeRealFft::forwardFromInput(Complex* bins)
{
    if (fourStep)
    {
        fourStep->startForwardFromInput(bins);
        fourStep->finish();
        return;
    }
    const float* b = transformPadded();
    for (int k = 0; k <= realSize / 2; ++k)
        bins[k] = {b[2 * k], b[2 * k + 1]};
}

void CWholeRealFft::forwardFromInputToRows(float* rows, int width)
{
    if (fourStep)
    {
        fourStep->startForwardToRows(rows, width);
        fourStep->finish();
        return;
    }
    const int n = realSize / 2;
    const float* b = transformPadded();
    for (int k = 0; k < n; ++k)
    {
        float* r = rows + binRowIndex(k, width);
        r[0] = b[2 * k];
        r[width] = k == 0 ? b[2 * n] : b[2 * k + 1];
    }
}

const float* CWholeRealFft::transformPadded()
{
    // The plan keeps its input, so the upper half stays zero.
    float* b = spectrum.data();
    fftwf_execute_dft_r2c(static_cast<fftwf_plan>(forwardPlan), padded.data(),
                          reinterpret_cast<fftwf_complex*>(b));
    return b;
}

void CWholeRealFft::inverse(const Complex* bins, double scale, double* samples)
{
    if (fourStep)
    {
        fourStep->startInverse(bins, scale, samples);
        fourStep->finish();
        return;
    }
    const int n = realSize / 2;
    float* b = spectrum.data();
    for (int k = 0; k <= n; ++k)
    {
        b[2 * k] = static_cast<float>(bins[k].re);
        b[2 * k + 1] = static_cast<float>(bins[k].im);
    }
    // c2r overwrites its input: the spectrum is this object's scratch.
    float* s = output.data();
    fftwf_execute_dft_c2r(static_cast<fftwf_plan>(inversePlan), reinterpret_cast<fftwf_complex*>(b),
                          s);
    for (int i = 0; i < realSize; ++i)
        samples[i] = static_cast<double>(s[i]) * scale;
}
