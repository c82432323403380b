// SPDX-License-Identifier: GPL-3.0-or-later
#include "CKickButtonQX.h"

using namespace VSTGUI;

CKickButtonQX::CKickButtonQX(const CRect& size, IControlListener* listener, int32_t tag,
                             CBitmap* background, const CPoint& offset)
    : CKickButton(size, listener, tag, background, offset)
{
}

CMouseEventResult CKickButtonQX::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    setValue(1.f);
    beginEdit();
    if (notifiesPress())
        valueChanged();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButtonQX::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!isEditing())
        return kMouseEventNotHandled;
    if (buttons.isLeftButton())
        setValue(size.pointInside(where) ? vmax : vmin);
    return kMouseEventHandled;
}

CMouseEventResult CKickButtonQX::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    (void)where;
    (void)buttons;
    // A release without our press (the press went to another view) must not reach the host.
    if (!isEditing())
        return kMouseEventNotHandled;
    setValue(vmin);
    if (notifiesRelease())
        valueChanged();
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKickButtonQX::onMouseCancel()
{
    if (!isEditing())
        return kMouseEventNotHandled;
    setValue(vmin);
    endEdit();
    return kMouseEventHandled;
}
