#pragma once

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
} // namespace Steinberg
