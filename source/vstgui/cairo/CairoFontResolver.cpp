// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/cairo/CairoFontResolver.h"

#include "vstgui/CFontDesc.h"

#include <fontconfig/fontconfig.h>

namespace VSTGUI
{

CairoFontResolver::CairoFontResolver()
{
    FcInit();
}

CairoFontResolver::~CairoFontResolver() = default;

std::string CairoFontResolver::family(const CFontDesc& font) const
{
    const bool bold = (font.getStyle() & kBoldFace) != 0;
    const bool italic = (font.getStyle() & kItalicFace) != 0;
    const std::string key = font.getName() + (bold ? "|b" : "|") + (italic ? "i" : "");
    auto found = cache.find(key);
    if (found != cache.end())
        return found->second;
    std::string result = match(font.getName(), bold, italic);
    cache.emplace(key, result);
    return result;
}

std::string CairoFontResolver::match(const std::string& name, bool bold, bool italic) const
{
    FcPattern* pattern = FcPatternCreate();
    if (!name.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    // Weakly after the asked-for family, so a missing Windows family falls to sans, not serif.
    FcValue sans;
    sans.type = FcTypeString;
    sans.u.s = reinterpret_cast<const FcChar8*>("sans-serif");
    FcPatternAddWeak(pattern, FC_FAMILY, sans, FcTrue);
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* matched = FcFontMatch(nullptr, pattern, &result);
    std::string family = "sans-serif";
    if (matched)
    {
        FcChar8* value = nullptr;
        if (FcPatternGetString(matched, FC_FAMILY, 0, &value) == FcResultMatch && value)
            family = reinterpret_cast<const char*>(value);
        FcPatternDestroy(matched);
    }
    FcPatternDestroy(pattern);
    return family;
}

} // namespace VSTGUI
