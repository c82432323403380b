// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Fft.h"

#include <complex>
#include <functional>
#include <vector>

// Frequency-dependent air and wall loss, applied after the paths are summed: the response is
// split into complementary bands and each band fades with its own extra exponential decay.
// An optional equaliser, applied with minimum phase so nothing sounds before the direct sound,
// shapes the whole response's spectrum first.
class BandDecay
{
public:
    struct Band
    {
        double upperHz; // crossover to the next band (ignored for the last one)
        double extraDbPerS; // decay on top of the broadband one
    };

    BandDecay(int length, double sampleRate, std::vector<Band> bands);

    // gainAt(hz) is the equaliser's magnitude, linear.
    void setEqualiser(const std::function<double(double hz)>& gainAt);

    // extra, when given, is one more spectrum (the transform's size, fftSize()) to multiply by.
    void apply(double* samples, const std::vector<std::complex<double>>* extra = nullptr) const;
    int fftSize() const { return m_fft.size(); }

private:
    int m_length;
    double m_rate;
    std::vector<Band> m_bands;
    Fft m_fft;
    std::vector<std::vector<double>> m_masks; // per band, per bin; they sum to one
    std::vector<std::vector<double>> m_fades; // per band, per tap
    std::vector<std::complex<double>> m_equaliser; // per bin; empty when flat
};
