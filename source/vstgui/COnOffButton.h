// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CControl.h"

namespace VSTGUI
{

// A click toggles between min and max. The bitmap holds "off" above "on".
class COnOffButton : public CControl, public IMultiBitmapControl
{
public:
    COnOffButton(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
                 CBitmap* background = nullptr);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;

private:
    void toggle();
};

} // namespace VSTGUI
