// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CColor.h"

#include <cstdint>
#include <string>

namespace VSTGUI
{

class CBitmap;
class CFontDesc;
class CGradient;
class IController;
class IControlListener;
class UIAttributes;

class IUIDescription
{
public:
    virtual ~IUIDescription() = default;

    // Null when unknown; the description keeps ownership.
    virtual CBitmap* getBitmap(const std::string& name) const = 0;
    virtual CFontDesc* getFont(const std::string& name) const = 0;
    virtual CGradient* getGradient(const std::string& name) const = 0;
    // Description colors, built-in names and "#rrggbbaa" texts.
    virtual bool getColor(const std::string& name, CColor& color) const = 0;
    // -1 when the name is no tag; a number text is its own tag.
    virtual int32_t getTagForName(const std::string& name) const = 0;
    virtual IControlListener* getControlListener(const std::string& name) const = 0;
    virtual IController* getController() const = 0;
    // Null when there is no attribute set of that name.
    virtual const UIAttributes* getCustomAttributes(const std::string& name) const = 0;
};

} // namespace VSTGUI
