// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CFontDesc.h"

namespace VSTGUI
{

namespace
{

// Windows' VSTGUI draws these in Arial (the system font in Microsoft Sans Serif); the platform
// substitutes what is installed.
CFontDesc systemFont("Microsoft Sans Serif", 12);
CFontDesc normalFontVeryBig("Arial", 18);
CFontDesc normalFontBig("Arial", 14);
CFontDesc normalFont("Arial", 12);
CFontDesc normalFontSmall("Arial", 11);
CFontDesc normalFontSmaller("Arial", 10);
CFontDesc normalFontVerySmall("Arial", 9);
CFontDesc symbolFont("Symbol", 12);

struct NamedFont
{
    const char* name;
    CFontRef font;
};

const NamedFont builtinFonts[] = {
    {"~ SystemFont", &systemFont},
    {"~ NormalFontVeryBig", &normalFontVeryBig},
    {"~ NormalFontBig", &normalFontBig},
    {"~ NormalFont", &normalFont},
    {"~ NormalFontSmall", &normalFontSmall},
    {"~ NormalFontSmaller", &normalFontSmaller},
    {"~ NormalFontVerySmall", &normalFontVerySmall},
    {"~ SymbolFont", &symbolFont},
};

} // namespace

const CFontRef kSystemFont = &systemFont;
const CFontRef kNormalFontVeryBig = &normalFontVeryBig;
const CFontRef kNormalFontBig = &normalFontBig;
const CFontRef kNormalFont = &normalFont;
const CFontRef kNormalFontSmall = &normalFontSmall;
const CFontRef kNormalFontSmaller = &normalFontSmaller;
const CFontRef kNormalFontVerySmall = &normalFontVerySmall;
const CFontRef kSymbolFont = &symbolFont;

CFontRef findBuiltinFont(const std::string& name)
{
    for (const NamedFont& f : builtinFonts)
    {
        if (name == f.name)
            return f.font;
    }
    return nullptr;
}

} // namespace VSTGUI
