// SPDX-License-Identifier: GPL-3.0-or-later
#include "CXYPadQX.h"

#include "PolygonHitTest.h"

#include "vstgui/CDrawContext.h"

#include <algorithm>
#include <vector>

using namespace VSTGUI;

namespace
{
bool leftButtonAlone(const CButtonState& buttons)
{
    return buttons.getButtonState() == kLButton;
}
} // namespace

CXYPadQX::CXYPadQX(const CRect& size) : CXYPad(size)
{
}

bool CXYPadQX::insideDiamond(float x, float y) const
{
    return insidePolygon(diamondX, diamondY, 4, x, y);
}

void CXYPadQX::draw(CDrawContext* context)
{
    if (joystickMode)
        drawDiamond(context);
    else
        drawBack(context);
    drawHandle(context);
    setDirty(false);
}

void CXYPadQX::drawDiamond(CDrawContext* context)
{
    const CPoint left(size.left, size.top + size.getHeight() / 2);
    const CPoint top(size.left + size.getWidth() / 2, size.top);
    const CPoint right(size.right, left.y);
    const CPoint bottom(top.x, size.bottom);
    context->setLineWidth(2);
    context->setFillColor(backColor);
    context->setFrameColor(frameColor);
    context->drawPolygon({left, top, right, bottom, left}, kDrawFilledAndStroked);
    context->setLineWidth(1);
    context->drawLine(top, bottom);
    context->drawLine(left, right);
}

void CXYPadQX::drawHandle(CDrawContext* context)
{
    float x = 0;
    float y = 0;
    calculateXY(value, x, y);
    const CCoord r = getRoundRectRadius();
    const CPoint centre(size.left + r / 2 + x * (size.getWidth() - r),
                        size.top + r / 2 + y * (size.getHeight() - r));
    context->setDrawMode(kAntiAliasing);
    context->setFillColor(fontColor);
    context->drawEllipse(CRect(centre.x - r / 2, centre.y - r / 2, centre.x + r / 2, centre.y + r / 2),
                         kDrawFilled);
}

CMouseEventResult CXYPadQX::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!leftButtonAlone(buttons))
        return kMouseEventNotHandled;
    const CCoord r = getRoundRectRadius();
    mouseChangeStartPoint = where;
    mouseChangeStartPoint.offset(-size.left - r / 2, -size.top - r / 2);
    tracking = true;
    trackingPad = true;
    // Opened before the first value goes out, so the host sees the whole gesture.
    if (!isEditing())
        beginEdit();
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CXYPadQX::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!leftButtonAlone(buttons))
    {
        tracking = false;
        return kMouseEventNotHandled;
    }
    // Only a press on the pad starts a drag.
    if (!trackingPad)
        return kMouseEventNotHandled;
    if (stopTrackingOnMouseExit && !size.pointInside(where))
    {
        tracking = false;
        trackingPad = false;
        endEdit();
        return kMouseMoveEventHandledButDontNeedMoreEvents;
    }
    float x = 0;
    float y = 0;
    positionToXY(where, getRoundRectRadius(), x, y);
    if (joystickMode)
    {
        if (insideDiamond(x, y))
        {
            boundValues(x, y);
            lastX = x;
            lastY = y;
        }
        else
        {
            x = lastX;
            y = lastY;
        }
    }
    else
    {
        boundValues(x, y);
    }
    if (tracking)
    {
        // The listener hears the parameters' orientation, the screen keeps its own.
        CControl::setValue(calculateValue(x, 1.f - y));
        if (listener)
            valueChanged();
        CControl::setValue(calculateValue(x, y));
    }
    invalid();
    tracking = true;
    return kMouseEventHandled;
}

CMouseEventResult CXYPadQX::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    (void)where;
    (void)buttons;
    tracking = false;
    trackingPad = false;
    if (isEditing())
        endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CXYPadQX::onMouseCancel()
{
    tracking = false;
    return CXYPad::onMouseCancel();
}

bool CXYPadQX::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                       const CButtonState& buttons)
{
    (void)where;
    (void)axis;
    (void)distance;
    (void)buttons;
    return false;
}

void CXYPadQX::setValue(float p)
{
    if (tracking)
    {
        CControl::setValue(p);
        return;
    }
    float x = 0;
    float yUp = 0;
    calculateXY(p, x, yUp);
    float y = 1.f - yUp;
    if (joystickMode)
    {
        if (!insideDiamond(x, y))
            return;
    }
    else
    {
        boundValues(x, y);
    }
    CControl::setValue(calculateValue(x, y));
}
