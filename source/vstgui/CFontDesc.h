// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CBaseObject.h"
#include "vstgui/SharedPointer.h"

#include <cstdint>
#include <string>

namespace VSTGUI
{

enum CTxtFace : int32_t
{
    kNormalFace = 0,
    kBoldFace = 1 << 1,
    kItalicFace = 1 << 2,
    kUnderlineFace = 1 << 3,
    kStrikethroughFace = 1 << 4
};

// A font by family name, size in points (pixels at 1x) and style bits; the platform resolves
// the family when it draws, so names the system lacks still make a usable font.
class CFontDesc : public CBaseObject
{
public:
    CFontDesc(const std::string& name = "", double size = 12, int32_t style = kNormalFace)
        : name(name), size(size), style(style)
    {
    }

    // Copies describe the same font but start with their own reference count.
    CFontDesc(const CFontDesc& other) : CBaseObject(), name(other.name), size(other.size), style(other.style) {}
    CFontDesc& operator=(const CFontDesc& other)
    {
        name = other.name;
        size = other.size;
        style = other.style;
        return *this;
    }

    const std::string& getName() const { return name; }
    double getSize() const { return size; }
    int32_t getStyle() const { return style; }
    void setName(const std::string& n) { name = n; }
    void setSize(double s) { size = s; }
    void setStyle(int32_t s) { style = s; }

    bool operator==(const CFontDesc& f) const
    {
        return name == f.name && size == f.size && style == f.style;
    }

private:
    std::string name;
    double size;
    int32_t style;
};

using CFontRef = CFontDesc*;
using SharedFont = SharedPointer<CFontDesc>;

// The built-in fonts; they live for the whole program.
extern const CFontRef kSystemFont;
extern const CFontRef kNormalFontVeryBig;
extern const CFontRef kNormalFontBig;
extern const CFontRef kNormalFont;
extern const CFontRef kNormalFontSmall;
extern const CFontRef kNormalFontSmaller;
extern const CFontRef kNormalFontVerySmall;
extern const CFontRef kSymbolFont;

// The built-in font of that name ("~ NormalFont"), or null.
CFontRef findBuiltinFont(const std::string& name);

} // namespace VSTGUI
