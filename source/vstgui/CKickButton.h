// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CControl.h"

namespace VSTGUI
{

// Max while pressed, min otherwise. The bitmap holds "up" above "pressed".
class CKickButton : public CControl, public IMultiBitmapControl
{
public:
    CKickButton(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
                CBitmap* background = nullptr, const CPoint& offset = CPoint());

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;

protected:
    float fEntryState = 0;
};

} // namespace VSTGUI
