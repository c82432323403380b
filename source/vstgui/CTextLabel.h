// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CParamDisplay.h"

#include <string>

namespace VSTGUI
{

// Shows a fixed text instead of its value.
class CTextLabel : public CParamDisplay
{
public:
    CTextLabel(const CRect& size, const std::string& text = "", CBitmap* background = nullptr,
               int32_t style = 0);

    virtual void setText(const std::string& text);
    const std::string& getText() const { return text; }

    void draw(CDrawContext* context) override;

protected:
    std::string text;
};

} // namespace VSTGUI
