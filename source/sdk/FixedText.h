// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <cstddef>

namespace Steinberg
{
// Copies an 8-bit text into a fixed-size field the way VST 3 structures expect: cut at the
// field size, always terminated, the rest zero-filled.
template <size_t N> void copyFixedText(char (&dest)[N], const char* src)
{
    size_t i = 0;
    for (; src && i + 1 < N && src[i]; ++i)
        dest[i] = src[i];
    for (; i < N; ++i)
        dest[i] = 0;
}

// The same into a 16-bit field; each 8-bit character is taken as Latin-1.
template <size_t N> void copyFixedText(char16 (&dest)[N], const char* src)
{
    size_t i = 0;
    for (; src && i + 1 < N && src[i]; ++i)
        dest[i] = static_cast<char16>(static_cast<unsigned char>(src[i]));
    for (; i < N; ++i)
        dest[i] = 0;
}
} // namespace Steinberg
