// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CColor.h"

#include <cstdio>

namespace VSTGUI
{

namespace
{

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct NamedColor
{
    const char* name;
    CColor color;
};

constexpr NamedColor builtinColors[] = {
    {"~ TransparentCColor", kTransparentCColor}, {"~ BlackCColor", kBlackCColor},
    {"~ WhiteCColor", kWhiteCColor},             {"~ GreyCColor", kGreyCColor},
    {"~ RedCColor", kRedCColor},                 {"~ GreenCColor", kGreenCColor},
    {"~ BlueCColor", kBlueCColor},               {"~ YellowCColor", kYellowCColor},
    {"~ CyanCColor", kCyanCColor},               {"~ MagentaCColor", kMagentaCColor},
};

} // namespace

bool CColor::fromString(const std::string& text)
{
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#')
        return false;
    uint8_t parts[4] = {0, 0, 0, 255};
    for (size_t i = 0; i + 1 < text.size(); i += 2)
    {
        const int hi = hexDigit(text[i + 1]);
        const int lo = hexDigit(text[i + 2]);
        if (hi < 0 || lo < 0)
            return false;
        parts[i / 2] = static_cast<uint8_t>(hi * 16 + lo);
    }
    *this = CColor(parts[0], parts[1], parts[2], parts[3]);
    return true;
}

std::string CColor::toString() const
{
    char text[10];
    std::snprintf(text, sizeof text, "#%02x%02x%02x%02x", red, green, blue, alpha);
    return text;
}

bool findBuiltinColor(const std::string& name, CColor& color)
{
    for (const NamedColor& c : builtinColors)
    {
        if (name == c.name)
        {
            color = c.color;
            return true;
        }
    }
    return false;
}

} // namespace VSTGUI
