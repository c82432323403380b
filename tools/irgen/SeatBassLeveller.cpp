// SPDX-License-Identifier: GPL-3.0-or-later
#include "SeatBassLeveller.h"

#include <algorithm>
#include <cmath>
#include <complex>

SeatBassLeveller::SeatBassLeveller(int length, double sampleRate)
    : m_length(length), m_rate(sampleRate), m_fft(Fft::sizeToFilter(length))
{
}

double SeatBassLeveller::centre(int band) const
{
    // Base-ten thirds: 10^(1.8 + band / 10) Hz, 63.1 Hz for the first.
    return std::pow(10.0, 1.8 + band / 10.0);
}

std::vector<double> SeatBassLeveller::bandPowers(const std::vector<double>& left,
                                                 const std::vector<double>& right) const
{
    // Both ears in one transform, left real and right imaginary: bins k and n - k together
    // hold the power of the two.
    const int n = m_fft.size();
    std::vector<std::complex<double>> bins(static_cast<size_t>(n));
    for (int t = 0; t < m_length; ++t)
        bins[static_cast<size_t>(t)] = {left[static_cast<size_t>(t)],
                                        right[static_cast<size_t>(t)]};
    m_fft.transform(bins, false);
    std::vector<double> power(kBands, 0.0);
    for (int b = 0; b < kBands; ++b)
    {
        const double lo = centre(b) * std::pow(10.0, -0.05);
        const double hi = centre(b) * std::pow(10.0, 0.05);
        for (int k = static_cast<int>(std::ceil(lo * n / m_rate)); k * m_rate / n < hi; ++k)
            power[static_cast<size_t>(b)] += 0.5 * (std::norm(bins[static_cast<size_t>(k)]) +
                                                    std::norm(bins[static_cast<size_t>(n - k)]));
    }
    return power;
}

std::vector<std::complex<double>> SeatBassLeveller::correction(const std::vector<double>& own,
                                                               const std::vector<double>& target,
                                                               double strength,
                                                               std::array<double, kBands>& db) const
{
    for (int b = 0; b < kBands; ++b)
    {
        const double d = 10.0 * std::log10(target[static_cast<size_t>(b)] /
                                           std::max(own[static_cast<size_t>(b)], 1e-300));
        db[b] = std::clamp(strength * d, -kMostDb, kMostDb);
    }
    // Log magnitude, linear in log frequency between the band centres, fading to nothing over
    // the third beyond either end: the sub-bass, where a time-varying envelope would turn any
    // boost into DC, is left alone.
    const int n = m_fft.size();
    const double top = centre(kBands);
    std::vector<std::complex<double>> c(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
    {
        const double hz = std::min(k, n - k) * m_rate / n;
        const double at = hz > 0.0 ? 10.0 * std::log10(hz) - 18.0 : -1.0; // bands from the first
        double level = 0.0;
        if (at > -1.0 && at < 0.0)
            level = (1.0 + at) * db[0];
        else if (hz >= centre(0) && hz < top)
        {
            const int b = std::min(static_cast<int>(at), kBands - 1);
            const double next = b + 1 < kBands ? db[b + 1] : 0.0;
            level = db[b] + (at - b) * (next - db[b]);
        }
        c[static_cast<size_t>(k)] = level / 20.0 * std::log(10.0);
    }
    // Minimum phase from the folded real cepstrum: nothing moves ahead of the direct sound.
    m_fft.transform(c, true);
    for (int k = 0; k < n; ++k)
    {
        const double fold = k == 0 || k == n / 2 ? 1.0 : k < n / 2 ? 2.0 : 0.0;
        c[static_cast<size_t>(k)] = c[static_cast<size_t>(k)].real() / n * fold;
    }
    m_fft.transform(c, false);
    for (auto& v : c)
        v = std::exp(v);

    return c;
}
