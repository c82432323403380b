// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/Utf16.h"

namespace halvane::host
{

namespace
{

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80)
        out += static_cast<char>(cp);
    else if (cp < 0x800)
    {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else if (cp < 0x10000)
    {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string toUtf8(const Steinberg::char16* text, size_t maxUnits)
{
    std::string out;
    if (!text) return out;
    for (size_t i = 0; i < maxUnits && text[i]; ++i)
    {
        char32_t cp = static_cast<char16_t>(text[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < maxUnits)
        {
            const char32_t low = static_cast<char16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000)
            {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::u16string toUtf16(const std::string& text)
{
    std::u16string out;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;)
    {
        char32_t cp = s[i];
        size_t extra = 0;
        if (cp >= 0xF0)
            cp &= 0x07, extra = 3;
        else if (cp >= 0xE0)
            cp &= 0x0F, extra = 2;
        else if (cp >= 0xC0)
            cp &= 0x1F, extra = 1;
        ++i;
        for (size_t k = 0; k < extra && i < n; ++k, ++i)
            cp = (cp << 6) | (s[i] & 0x3F);
        if (cp >= 0x10000)
        {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        }
        else
            out += static_cast<char16_t>(cp);
    }
    return out;
}

void copyUtf16(const std::string& text, Steinberg::char16* dest, size_t destUnits)
{
    if (destUnits == 0) return;
    const std::u16string wide = toUtf16(text);
    size_t i = 0;
    for (; i + 1 < destUnits && i < wide.size(); ++i)
        dest[i] = static_cast<Steinberg::char16>(wide[i]);
    dest[i] = 0;
}

} // namespace halvane::host
