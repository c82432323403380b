// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CKickButton.h"

#include "vstgui/CDrawContext.h"

namespace VSTGUI
{

CKickButton::CKickButton(const CRect& size, IControlListener* listener, int32_t tag,
                         CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background)
{
    backOffset = offset;
}

void CKickButton::draw(CDrawContext* context)
{
    CBitmap* bitmap = getDrawBackground();
    const int32_t frames = frameCountFor(*this, bitmap);
    if (frames > 0)
    {
        const int32_t frame = value == vmax && frames > 1 ? 1 : 0;
        bitmap->draw(*context, size, CPoint(backOffset.x, backOffset.y + frame * frameHeightFor(*this)));
    }
    setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    if (listener && listener->controlModifierClicked(this, buttons) != 0)
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    fEntryState = value;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!isEditing())
        return kMouseEventNotHandled;
    // Pressed while the pointer is over the button, released when it leaves.
    const float v = (buttons.isLeftButton() && size.pointInside(where)) ? vmax : vmin;
    if (v != value)
    {
        setValue(v);
        valueChanged();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    (void)where;
    (void)buttons;
    if (!isEditing())
        return kMouseEventNotHandled;
    if (value != vmin)
    {
        setValue(vmin);
        valueChanged();
    }
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseCancel()
{
    if (!isEditing())
        return kMouseEventNotHandled;
    if (value != fEntryState)
    {
        setValue(fEntryState);
        valueChanged();
    }
    endEdit();
    return kMouseEventHandled;
}

} // namespace VSTGUI
