// SPDX-License-Identifier: GPL-3.0-or-later
#include "BandDecay.h"

#include <cmath>
#include <complex>

namespace
{
// Smooth low-pass mask: 1 below the crossover region, 0 above, raised cosine over the octave
// around the edge. Gentle slopes keep the zero-phase band filters short.
double lowPass(double hz, double edge)
{
    constexpr double halfWidthOctaves = 0.5;
    if (hz <= 0.0) return 1.0;
    const double octaves = std::log2(hz / edge);
    if (octaves <= -halfWidthOctaves) return 1.0;
    if (octaves >= halfWidthOctaves) return 0.0;
    const double c =
        std::cos(0.25 * 3.14159265358979323846 * (octaves + halfWidthOctaves) / halfWidthOctaves);
    return c * c;
}
} // namespace

BandDecay::BandDecay(int length, double sampleRate, std::vector<Band> bands)
    : m_length(length), m_rate(sampleRate), m_bands(std::move(bands)), m_fft(Fft::sizeToFilter(length))
{
    const int n = m_fft.size();
    const size_t count = m_bands.size();
    m_masks.assign(count, std::vector<double>(n, 0.0));
    for (int k = 0; k < n; ++k)
    {
        const int bin = k <= n / 2 ? k : n - k;
        const double hz = bin * m_rate / n;
        double below = 0.0;
        for (size_t b = 0; b < count; ++b)
        {
            const double upTo = b + 1 < count ? lowPass(hz, m_bands[b].upperHz) : 1.0;
            m_masks[b][k] = upTo - below;
            below = upTo;
        }
    }
    m_fades.assign(count, std::vector<double>(length));
    for (size_t b = 0; b < count; ++b)
    {
        const double perTap = -m_bands[b].extraDbPerS / 20.0 * std::log(10.0) / m_rate;
        for (int t = 0; t < length; ++t)
            m_fades[b][t] = std::exp(perTap * t);
    }
}

void BandDecay::setEqualiser(const std::function<double(double hz)>& gainAt)
{
    // Minimum phase from the folded real cepstrum of the log magnitude.
    const int n = m_fft.size();
    std::vector<std::complex<double>> c(n);
    for (int k = 0; k < n; ++k)
    {
        const int bin = k <= n / 2 ? k : n - k;
        c[k] = std::log(std::fmax(gainAt(bin * m_rate / n), 1e-9));
    }
    m_fft.transform(c, true);
    for (int k = 0; k < n; ++k)
    {
        const double fold = k == 0 || k == n / 2 ? 1.0 : k < n / 2 ? 2.0 : 0.0;
        c[k] = c[k].real() / n * fold;
    }
    m_fft.transform(c, false);
    m_equaliser.resize(n);
    for (int k = 0; k < n; ++k)
        m_equaliser[k] = std::exp(c[k]);
}

void BandDecay::apply(double* samples, const std::vector<std::complex<double>>* extra) const
{
    const int n = m_fft.size();
    std::vector<std::complex<double>> spectrum(n), work(n);
    for (int t = 0; t < n; ++t)
        spectrum[t] = t < m_length ? samples[t] : 0.0;
    m_fft.transform(spectrum, false);
    if (!m_equaliser.empty())
        for (int k = 0; k < n; ++k)
            spectrum[k] *= m_equaliser[k];
    if (extra)
        for (int k = 0; k < n; ++k)
            spectrum[k] *= (*extra)[static_cast<size_t>(k)];

    std::vector<double> out(m_length, 0.0);
    // Two real bands per inverse transform: one in the real part, one in the imaginary.
    for (size_t b = 0; b < m_masks.size(); b += 2)
    {
        const bool pair = b + 1 < m_masks.size();
        for (int k = 0; k < n; ++k)
        {
            const double lo = m_masks[b][k];
            const double hi = pair ? m_masks[b + 1][k] : 0.0;
            const double re = spectrum[k].real();
            const double im = spectrum[k].imag();
            work[k] = {re * lo - im * hi, im * lo + re * hi};
        }
        m_fft.transform(work, true);
        for (int t = 0; t < m_length; ++t)
        {
            out[t] += work[t].real() / n * m_fades[b][t];
            if (pair) out[t] += work[t].imag() / n * m_fades[b + 1][t];
        }
    }
    for (int t = 0; t < m_length; ++t)
        samples[t] = out[t];
}
