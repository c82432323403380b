// SPDX-License-Identifier: GPL-3.0-or-later
#include "FastRealFft.h"

#include <fftw3.h>

#include <map>
#include <mutex>

static_assert(sizeof(Complex) == sizeof(fftw_complex), "Complex must match FFTW's layout");

void* allocateSimdAligned(size_t bytes)
{
    return fftw_malloc(bytes > 0 ? bytes : 1);
}

void freeSimdAligned(void* p)
{
    fftw_free(p);
}

struct CFastRealFft::Plans
{
    fftw_plan forward = nullptr;
    fftw_plan inverse = nullptr;
};

const CFastRealFft::Plans& CFastRealFft::plansFor(int size)
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
    auto* spectrum = reinterpret_cast<fftw_complex*>(bins.data());
    // Estimated, not measured: the same plan, hence the same rounding, in every run.
    Plans p;
    p.forward = fftw_plan_dft_r2c_1d(size, samples.data(), spectrum, FFTW_ESTIMATE);
    p.inverse =
        fftw_plan_dft_c2r_1d(size, spectrum, samples.data(), FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
    if (!p.forward || !p.inverse) throw std::bad_alloc();
    return made.emplace(size, p).first->second;
}

CFastRealFft::CFastRealFft(int size) : realSize(size), plans(plansFor(size)) {}

void CFastRealFft::forward(const double* samples, Complex* bins) const
{
    fftw_execute_dft_r2c(plans.forward, const_cast<double*>(samples),
                         reinterpret_cast<fftw_complex*>(bins));
}

void CFastRealFft::inverse(Complex* bins, double* samples) const
{
    fftw_execute_dft_c2r(plans.inverse, reinterpret_cast<fftw_complex*>(bins), samples);
}
