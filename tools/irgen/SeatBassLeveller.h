// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Fft.h"

#include <array>
#include <complex>
#include <vector>

// Below about 150 Hz one source position excites only the few room modes it happens to sit in,
// so its bass depends on where it stands to within a few decibels. A listener whose head moves
// hears the hall's average there, not one spot: each position's low thirds are drawn towards
// the energy mean over every position, with a gentle minimum-phase correction that rides along
// with the loss stage's transform (no extra pass over the responses).
class SeatBassLeveller
{
public:
    static constexpr int kBands = 4; // the 63, 80, 100 and 125 Hz thirds

    SeatBassLeveller(int length, double sampleRate);

    // Power per low third of a position's two ears (axes summed).
    std::vector<double> bandPowers(const std::vector<double>& left,
                                   const std::vector<double>& right) const;

    // The minimum-phase spectrum (fftSize() bins) that moves a position by the share `strength`
    // (0..1) of the level difference, in dB, between its band powers and the target's, at most
    // kMostDb either way. appliedDb receives the correction per band.
    std::vector<std::complex<double>> correction(const std::vector<double>& own,
                                                 const std::vector<double>& target, double strength,
                                                 std::array<double, kBands>& appliedDb) const;
    int fftSize() const { return m_fft.size(); }

private:
    static constexpr double kMostDb = 3.0;
    double centre(int band) const;

    int m_length;
    double m_rate;
    Fft m_fft;
};
