// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// Where bin k's real part lies when a spectrum is kept as rows, the single-precision layout of
// the spectral ring: chunks of `width` neighbouring bins (a power of two), each chunk's real
// parts followed by its imaginary parts, so the imaginary part lies `width` floats further on.
inline size_t binRowIndex(int bin, int width)
{
    return static_cast<size_t>(2 * (bin & ~(width - 1)) + (bin & (width - 1)));
}
