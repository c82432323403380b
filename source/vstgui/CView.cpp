// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CView.h"

#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"
#include "vstgui/CViewContainer.h"
#include "vstgui/IController.h"

#include <algorithm>

namespace VSTGUI
{

CView::CView(const CRect& size) : size(size) {}

CView::~CView()
{
    if (background)
        background->forget();
    if (disabledBackground)
        disabledBackground->forget();
    delete ownedController;
}

void CView::draw(CDrawContext* context)
{
    if (CBitmap* bitmap = getDrawBackground())
        bitmap->draw(*context, size);
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& updateRect)
{
    (void)updateRect;
    draw(context);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseCancel() { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }

bool CView::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&)
{
    return false;
}

int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

void CView::setViewSize(const CRect& rect, bool invalidate)
{
    if (rect == size)
        return;
    if (invalidate)
        invalid();
    size = rect;
    if (invalidate)
        invalid();
}

CRect CView::getFrameRect() const
{
    CPoint topLeft = size.getTopLeft();
    localToFrame(topLeft);
    return CRect(topLeft, size.getSize());
}

CPoint& CView::localToFrame(CPoint& point) const
{
    for (const CViewContainer* p = parent; p; p = p->getParentView())
        point.offset(p->getViewSize().getTopLeft());
    return point;
}

CPoint& CView::frameToLocal(CPoint& point) const
{
    for (const CViewContainer* p = parent; p; p = p->getParentView())
        point.offsetInverse(p->getViewSize().getTopLeft());
    return point;
}

void CView::setVisible(bool state)
{
    if (visible == state)
        return;
    if (!state)
        invalid();
    visible = state;
    if (state)
        invalid();
}

void CView::setTransparency(bool state)
{
    transparent = state;
    invalid();
}

void CView::setAlphaValue(float a)
{
    alpha = std::clamp(a, 0.f, 1.f);
    invalid();
}

void CView::setBackground(CBitmap* bitmap)
{
    if (bitmap)
        bitmap->remember();
    if (background)
        background->forget();
    background = bitmap;
    invalid();
}

void CView::setDisabledBackground(CBitmap* bitmap)
{
    if (bitmap)
        bitmap->remember();
    if (disabledBackground)
        disabledBackground->forget();
    disabledBackground = bitmap;
    invalid();
}

CBitmap* CView::getDrawBackground() const
{
    if (!mouseEnabled && disabledBackground)
        return disabledBackground;
    return background;
}

void CView::invalid()
{
    setDirty(false);
    invalidRect(size);
}

void CView::invalidRect(const CRect& rect)
{
    if (parent && visible)
        parent->invalidRect(rect);
}

void CView::setDirty(bool state)
{
    dirty = state;
}

bool CView::attached(CView* parentView)
{
    (void)parentView;
    frame = parent ? parent->getFrame() : nullptr;
    if (frame)
        frame->onViewAdded(this);
    return true;
}

bool CView::removed(CView* parentView)
{
    (void)parentView;
    if (frame)
        frame->onViewRemoved(this);
    frame = nullptr;
    return true;
}

void CView::setOwnedController(IController* controller)
{
    if (controller == ownedController)
        return;
    delete ownedController;
    ownedController = controller;
}

} // namespace VSTGUI
