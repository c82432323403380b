// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftwConvolver.h"

#include <algorithm>
#include <cstring>

namespace bench
{
namespace
{
fftw_complex* complexArray(int n)
{
    auto* p = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * n));
    std::memset(p, 0, sizeof(fftw_complex) * n);
    return p;
}
} // namespace

FftwConvolver::FftwConvolver(const double* response, int length, int partitionSize)
    : size(partitionSize), bins(partitionSize + 1),
      count((length + partitionSize - 1) / partitionSize),
      time(static_cast<double*>(fftw_malloc(sizeof(double) * 2 * partitionSize))),
      spectrum(complexArray(bins)), accumulator(complexArray(bins)),
      responseSpectra(complexArray(count * bins)), inputSpectra(complexArray(count * bins)),
      previous(static_cast<size_t>(partitionSize), 0.0)
{
    // Plans first: measuring scribbles on the arrays.
    forward = fftw_plan_dft_r2c_1d(2 * size, time, spectrum, FFTW_MEASURE);
    inverse = fftw_plan_dft_c2r_1d(2 * size, accumulator, time, FFTW_MEASURE);

    // Each partition zero-padded to 2N; the 1/2N of the round trip is folded in here.
    const double scale = 1.0 / (2.0 * size);
    for (int k = 0; k < count; ++k)
    {
        std::fill(time, time + 2 * size, 0.0);
        const int first = k * size;
        const int taps = std::min(size, length - first);
        for (int i = 0; i < taps; ++i)
            time[i] = response[first + i] * scale;
        fftw_execute(forward);
        std::memcpy(responseSpectra + k * bins, spectrum, sizeof(fftw_complex) * bins);
    }
    std::fill(time, time + 2 * size, 0.0);
}

FftwConvolver::~FftwConvolver()
{
    fftw_destroy_plan(forward);
    fftw_destroy_plan(inverse);
    fftw_free(time);
    fftw_free(spectrum);
    fftw_free(accumulator);
    fftw_free(responseSpectra);
    fftw_free(inputSpectra);
}

void FftwConvolver::process(const float* in, float* out)
{
    // Overlap-save: transform the last 2N input samples.
    std::copy(previous.begin(), previous.end(), time);
    for (int i = 0; i < size; ++i)
        time[size + i] = previous[i] = in[i];
    fftw_execute(forward);

    newest = newest == 0 ? count - 1 : newest - 1;
    std::memcpy(inputSpectra + newest * bins, spectrum, sizeof(fftw_complex) * bins);

    // Sum over partitions k of X[m - k] H[k]; the ring runs from newest on.
    std::memset(accumulator, 0, sizeof(fftw_complex) * bins);
    for (int k = 0; k < count; ++k)
    {
        const int slot = (newest + k) % count;
        const double* x = inputSpectra[slot * bins];
        const double* h = responseSpectra[k * bins];
        double* y = accumulator[0];
        for (int b = 0; b < 2 * bins; b += 2)
        {
            y[b] += x[b] * h[b] - x[b + 1] * h[b + 1];
            y[b + 1] += x[b] * h[b + 1] + x[b + 1] * h[b];
        }
    }

    fftw_execute(inverse);
    // The first N samples carry the circular wrap; the second N are the linear result.
    for (int i = 0; i < size; ++i)
        out[i] = static_cast<float>(time[size + i]);
}

} // namespace bench
