// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fftw3.h>

#include <vector>

namespace bench
{

// Reference convolver: uniformly partitioned overlap-save convolution in double precision
// on FFTW, with a frequency-domain delay line. One call takes exactly one partition of
// input and returns the matching output, so the latency is one partition.
class FftwConvolver
{
public:
    FftwConvolver(const double* response, int length, int partitionSize);
    ~FftwConvolver();
    FftwConvolver(const FftwConvolver&) = delete;
    FftwConvolver& operator=(const FftwConvolver&) = delete;

    void process(const float* in, float* out);
    int partitionSize() const { return size; }
    int partitions() const { return count; }

private:
    int size;
    int bins;
    int count;
    int newest = 0;         // ring slot of the latest input spectrum
    double* time;           // 2 * size samples: previous and current input, then the result
    fftw_complex* spectrum; // bins values
    fftw_complex* accumulator;
    fftw_complex* responseSpectra; // count partitions of bins values
    fftw_complex* inputSpectra;    // ring of count input spectra
    std::vector<double> previous;
    fftw_plan forward;
    fftw_plan inverse;
};

} // namespace bench
