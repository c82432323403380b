// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>

namespace VSTGUI
{

class CFontDesc;

// Finds the installed family that draws a font; Windows families this system lacks come out as
// an installed sans-serif family of the same weight and slant.
class CairoFontResolver
{
public:
    CairoFontResolver();
    ~CairoFontResolver();
    CairoFontResolver(const CairoFontResolver&) = delete;
    CairoFontResolver& operator=(const CairoFontResolver&) = delete;

    std::string family(const CFontDesc& font) const;

private:
    std::string match(const std::string& name, bool bold, bool italic) const;

    mutable std::map<std::string, std::string> cache;
};

} // namespace VSTGUI
