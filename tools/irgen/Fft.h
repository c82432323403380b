// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <vector>

// In-place radix-2 complex FFT for the generator's offline filtering.
class Fft
{
public:
    explicit Fft(int size);
    // Power of two at least twice length: filtering a response of that length in one
    // transform then never wraps its end onto its start.
    static int sizeToFilter(int length);
    int size() const { return m_size; }
    // Unscaled transform; inverse uses the conjugate kernel.
    void transform(std::vector<std::complex<double>>& data, bool inverse) const;

private:
    int m_size;
    std::vector<std::complex<double>> m_twiddle;
    std::vector<int> m_reverse;
};
