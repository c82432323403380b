// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace VSTGUI
{

struct CColor
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    constexpr CColor() = default;
    constexpr CColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
        : red(r), green(g), blue(b), alpha(a)
    {
    }

    bool operator==(const CColor& c) const
    {
        return red == c.red && green == c.green && blue == c.blue && alpha == c.alpha;
    }
    bool operator!=(const CColor& c) const { return !(*this == c); }

    // Accepts "#rrggbb" and "#rrggbbaa"; anything else leaves the color untouched.
    bool fromString(const std::string& text);
    std::string toString() const; // "#rrggbbaa"
};

constexpr CColor kTransparentCColor(255, 255, 255, 0);
constexpr CColor kBlackCColor(0, 0, 0, 255);
constexpr CColor kWhiteCColor(255, 255, 255, 255);
constexpr CColor kGreyCColor(127, 127, 127, 255);
constexpr CColor kRedCColor(255, 0, 0, 255);
constexpr CColor kGreenCColor(0, 255, 0, 255);
constexpr CColor kBlueCColor(0, 0, 255, 255);
constexpr CColor kYellowCColor(255, 255, 0, 255);
constexpr CColor kCyanCColor(0, 255, 255, 255);
constexpr CColor kMagentaCColor(255, 0, 255, 255);

// The built-in color of that name ("~ BlackCColor"), if there is one.
bool findBuiltinColor(const std::string& name, CColor& color);

} // namespace VSTGUI
