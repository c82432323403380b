// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/COnOffButton.h"

#include "vstgui/CDrawContext.h"

namespace VSTGUI
{

COnOffButton::COnOffButton(const CRect& size, IControlListener* listener, int32_t tag,
                           CBitmap* background)
    : CControl(size, listener, tag, background)
{
}

void COnOffButton::draw(CDrawContext* context)
{
    CBitmap* bitmap = getDrawBackground();
    const int32_t frames = frameCountFor(*this, bitmap);
    if (frames > 0)
    {
        const bool on = getValueNormalized() > 0.5f;
        // A bitmap with a single frame shows it for both states.
        const int32_t frame = on && frames > 1 ? 1 : 0;
        bitmap->draw(*context, size, CPoint(backOffset.x, backOffset.y + frame * frameHeightFor(*this)));
    }
    setDirty(false);
}

void COnOffButton::toggle()
{
    beginEdit();
    setValue(getValueNormalized() > 0.5f ? vmin : vmax);
    valueChanged();
    endEdit();
}

CMouseEventResult COnOffButton::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    (void)where;
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    if (listener && listener->controlModifierClicked(this, buttons) != 0)
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    toggle();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

int32_t COnOffButton::onKeyDown(VstKeyCode& keyCode)
{
    if (keyCode.modifier == 0 && (keyCode.virt == VKEY_RETURN || keyCode.virt == VKEY_SPACE))
    {
        toggle();
        return 1;
    }
    return -1;
}

} // namespace VSTGUI
