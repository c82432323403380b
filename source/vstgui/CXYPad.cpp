// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CXYPad.h"

#include "vstgui/CDrawContext.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

CXYPad::CXYPad(const CRect& size) : CParamDisplay(size)
{
    setWantsFocus(true);
}

float CXYPad::calculateValue(float x, float y)
{
    x = std::clamp(x, 0.f, 1.f);
    y = std::clamp(y, 0.f, 1.f);
    return std::floor(x * 1000.f + 0.5f) * 0.001f + std::floor(y * 1000.f + 0.5f) * 0.0000001f;
}

void CXYPad::calculateXY(float value, float& x, float& y)
{
    x = std::floor(value * 1000.f + 0.5f) * 0.001f;
    y = std::floor((value - x) * 10000000.f + 0.5f) * 0.001f;
}

CCoord CXYPad::handleSize() const
{
    return std::max<CCoord>(4, std::min(size.getWidth(), size.getHeight()) / 10);
}

void CXYPad::boundValues(float& x, float& y) const
{
    x = std::clamp(x, 0.f, 1.f);
    y = std::clamp(y, 0.f, 1.f);
}

void CXYPad::positionToXY(const CPoint& where, CCoord handle, float& x, float& y) const
{
    const CCoord width = size.getWidth() - handle;
    const CCoord height = size.getHeight() - handle;
    x = width > 0 ? static_cast<float>((where.x - size.left - handle / 2) / width) : 0.f;
    y = height > 0 ? static_cast<float>((where.y - size.top - handle / 2) / height) : 0.f;
}

void CXYPad::draw(CDrawContext* context)
{
    drawBack(context);
    float x = 0;
    float y = 0;
    calculateXY(value, x, y);
    boundValues(x, y);
    const CCoord r = handleSize();
    const CCoord width = size.getWidth() - r;
    const CCoord height = size.getHeight() - r;
    CRect handle(size.left + x * width, size.top + y * height, size.left + x * width + r,
                 size.top + y * height + r);
    context->setFillColor(fontColor);
    context->setFrameColor(frameColor);
    context->setLineWidth(1);
    context->drawEllipse(handle, kDrawFilledAndStroked);
    setDirty(false);
}

CMouseEventResult CXYPad::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    const CCoord r = handleSize();
    mouseChangeStartPoint = where;
    mouseChangeStartPoint.offset(-size.left - r / 2, -size.top - r / 2);
    trackingPad = true;
    beginEdit();
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CXYPad::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!trackingPad || !buttons.isLeftButton())
        return kMouseEventNotHandled;
    if (stopTrackingOnMouseExit && !size.pointInside(where))
    {
        trackingPad = false;
        endEdit();
        return kMouseMoveEventHandledButDontNeedMoreEvents;
    }
    float x = 0;
    float y = 0;
    positionToXY(where, handleSize(), x, y);
    boundValues(x, y);
    const float v = calculateValue(x, y);
    if (v != value)
    {
        setValue(v);
        valueChanged();
    }
    return kMouseEventHandled;
}

CMouseEventResult CXYPad::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    (void)where;
    (void)buttons;
    if (!trackingPad)
        return kMouseEventNotHandled;
    trackingPad = false;
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CXYPad::onMouseCancel()
{
    if (!trackingPad)
        return kMouseEventNotHandled;
    trackingPad = false;
    endEdit();
    return kMouseEventHandled;
}

bool CXYPad::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                     const CButtonState& buttons)
{
    (void)where;
    (void)buttons;
    if (distance == 0 || !std::isfinite(distance))
        return false;
    float x = 0;
    float y = 0;
    calculateXY(value, x, y);
    if (axis == kMouseWheelAxisX)
        x += distance * wheelInc;
    else
        y += distance * wheelInc;
    boundValues(x, y);
    beginEdit();
    setValue(calculateValue(x, y));
    valueChanged();
    endEdit();
    return true;
}

} // namespace VSTGUI
