// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fft.h"

#include <cmath>
#include <stdexcept>
#include <utility>

Fft::Fft(int size) : m_size(size), m_twiddle(size / 2), m_reverse(size)
{
    if (size < 2 || (size & (size - 1)) != 0)
        throw std::invalid_argument("FFT size must be a power of two");
    const double pi = 3.14159265358979323846;
    for (int k = 0; k < size / 2; ++k)
        m_twiddle[k] = std::polar(1.0, -2.0 * pi * k / size);
    int bits = 0;
    while ((1 << bits) < size)
        ++bits;
    for (int i = 0; i < size; ++i)
    {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        m_reverse[i] = r;
    }
}

void Fft::transform(std::vector<std::complex<double>>& data, bool inverse) const
{
    for (int i = 0; i < m_size; ++i)
        if (i < m_reverse[i]) std::swap(data[i], data[m_reverse[i]]);
    for (int len = 2; len <= m_size; len <<= 1)
    {
        const int half = len / 2;
        const int stride = m_size / len;
        for (int start = 0; start < m_size; start += len)
            for (int k = 0; k < half; ++k)
            {
                // Spelled out: std::complex's operator* takes a slow path for inf/nan care.
                const double wr = m_twiddle[k * stride].real();
                const double wi =
                    inverse ? -m_twiddle[k * stride].imag() : m_twiddle[k * stride].imag();
                const std::complex<double> a = data[start + k];
                const std::complex<double> x = data[start + k + half];
                const std::complex<double> b(x.real() * wr - x.imag() * wi,
                                             x.real() * wi + x.imag() * wr);
                data[start + k] = a + b;
                data[start + k + half] = a - b;
            }
    }
}

int Fft::sizeToFilter(int length)
{
    int n = 1;
    while (n < 2 * length)
        n <<= 1;
    return n;
}
