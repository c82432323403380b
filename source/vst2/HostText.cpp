// SPDX-License-Identifier: GPL-3.0-or-later
#include "HostText.h"

namespace Steinberg
{
namespace Vst
{

namespace
{
size_t encodeUtf8(char32_t c, char* out)
{
    if (c < 0x80)
    {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800)
    {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000)
    {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

bool isHigh(char16 u) { return u >= 0xD800 && u < 0xDC00; }
bool isLow(char16 u) { return u >= 0xDC00 && u < 0xE000; }
} // namespace

void copyToHostText(char* dest, size_t size, const char16* src)
{
    if (!dest || size == 0) return;
    size_t used = 0;
    for (size_t i = 0; src && src[i]; ++i)
    {
        char32_t c = src[i];
        if (isHigh(src[i]) && isLow(src[i + 1]))
        {
            c = 0x10000 + ((static_cast<char32_t>(src[i]) - 0xD800) << 10) + (src[i + 1] - 0xDC00);
            ++i;
        }
        else if (isHigh(src[i]) || isLow(src[i]))
        {
            c = '?';
        }
        char bytes[4];
        const size_t n = encodeUtf8(c, bytes);
        if (used + n + 1 > size) break;
        for (size_t k = 0; k < n; ++k)
            dest[used++] = bytes[k];
    }
    dest[used] = 0;
}

void copyFromHostText(char16* dest, size_t size, const char* src)
{
    if (!dest || size == 0) return;
    size_t used = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(src ? src : "");
    while (*s && used + 1 < size)
    {
        char32_t c = '?';
        size_t length = 1;
        if (s[0] < 0x80)
            c = s[0];
        else if ((s[0] & 0xE0) == 0xC0)
            length = 2, c = s[0] & 0x1F;
        else if ((s[0] & 0xF0) == 0xE0)
            length = 3, c = s[0] & 0x0F;
        else if ((s[0] & 0xF8) == 0xF0)
            length = 4, c = s[0] & 0x07;
        bool valid = s[0] < 0x80 || length > 1;
        for (size_t k = 1; valid && k < length; ++k)
        {
            if ((s[k] & 0xC0) != 0x80) valid = false;
            else c = (c << 6) | (s[k] & 0x3F);
        }
        if (!valid)
        {
            c = '?';
            length = 1;
        }
        s += length;
        if (c >= 0x10000 && c < 0x110000)
        {
            if (used + 2 >= size) break;
            c -= 0x10000;
            dest[used++] = static_cast<char16>(0xD800 + (c >> 10));
            dest[used++] = static_cast<char16>(0xDC00 + (c & 0x3FF));
        }
        else
        {
            dest[used++] = c < 0x110000 ? static_cast<char16>(c) : u'?';
        }
    }
    dest[used] = 0;
}

} // namespace Vst
} // namespace Steinberg
