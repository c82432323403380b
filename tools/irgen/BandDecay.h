// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Fft.h"

#include <vector>

// Frequency-dependent air and wall loss, applied after the paths are summed: the response is
// split into complementary bands and each band fades with its own extra exponential decay.
// Each band also carries a fixed gain, which tilts the raw ear-canal-bright measurements
// towards the darker balance of a hall.
class BandDecay
{
public:
    struct Band
    {
        double upperHz; // crossover to the next band (ignored for the last one)
        double gainDb;
        double extraDbPerS; // decay on top of the broadband one
    };

    BandDecay(int length, double sampleRate, std::vector<Band> bands);

    void apply(double* samples) const;

private:
    int m_length;
    double m_rate;
    std::vector<Band> m_bands;
    Fft m_fft;
    std::vector<std::vector<double>> m_masks; // per band, per bin; they sum to one
    std::vector<std::vector<double>> m_fades; // per band, per tap
};
