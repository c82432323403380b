// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CDrawContext.h"

#include "vstgui/CBitmap.h"

namespace VSTGUI
{

CDrawContext::CDrawContext(double scaleFactor) : scaleFactor(scaleFactor > 0 ? scaleFactor : 1.0)
{
}

void CDrawContext::setDeviceBounds(const CRect& bounds)
{
    deviceBounds = bounds;
    state.clipDevice = bounds;
}

void CDrawContext::setFont(const CFontDesc* font, double size, int32_t style)
{
    if (font)
        state.font = CFontDesc(font->getName(), font->getSize(), font->getStyle());
    if (size > 0)
        state.font.setSize(size);
    if (style >= 0)
        state.font.setStyle(style);
}

CGraphicsTransform CDrawContext::deviceTransform() const
{
    CGraphicsTransform scale;
    scale.scale(scaleFactor, scaleFactor);
    return scale * state.transform;
}

void CDrawContext::setClipRect(const CRect& clip)
{
    CRect device = deviceTransform().transform(clip);
    state.clipDevice = device.bound(state.clipDevice);
}

CRect CDrawContext::getClipRect() const
{
    return deviceTransform().inverse(state.clipDevice);
}

void CDrawContext::resetClipRect()
{
    state.clipDevice = deviceBounds;
}

void CDrawContext::pushTransform(const CGraphicsTransform& t)
{
    transformStack.push_back(state.transform);
    state.transform = state.transform * t;
}

void CDrawContext::popTransform()
{
    if (transformStack.empty())
        return;
    state.transform = transformStack.back();
    transformStack.pop_back();
}

void CDrawContext::saveGlobalState()
{
    stack.push_back(state);
}

void CDrawContext::restoreGlobalState()
{
    if (stack.empty())
        return;
    state = stack.back();
    stack.pop_back();
}

void CDrawContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha)
{
    if (bitmap)
        bitmap->draw(*this, dest, offset, alpha);
}

} // namespace VSTGUI
