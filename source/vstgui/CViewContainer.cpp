// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CViewContainer.h"

#include "vstgui/CFrame.h"

#include <algorithm>

namespace VSTGUI
{

namespace
{

// Whether a child is a mouse target at a point in its container's coordinates.
bool takesMouseAt(const CView* child, const CPoint& local)
{
    return child->isVisible() && child->getMouseEnabled() && child->getViewSize().pointInside(local);
}

} // namespace

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::~CViewContainer()
{
    removeAll(true);
}

bool CViewContainer::addView(CView* view)
{
    return addView(view, nullptr);
}

bool CViewContainer::addView(CView* view, CView* before)
{
    if (!view || view == this || view->parent)
        return false;
    auto at = std::find(children.begin(), children.end(), before);
    children.insert(at, view);
    view->parent = this;
    if (isAttached())
        view->attached(this);
    view->invalid();
    return true;
}

bool CViewContainer::removeView(CView* view, bool forget)
{
    auto at = std::find(children.begin(), children.end(), view);
    if (at == children.end())
        return false;
    view->invalid();
    children.erase(at);
    clearMouseDownView(view);
    if (view->isAttached())
        view->removed(this);
    view->parent = nullptr;
    if (forget)
        view->forget();
    return true;
}

bool CViewContainer::removeAll(bool forget)
{
    mouseDownView = nullptr;
    while (!children.empty())
        removeView(children.back(), forget);
    return true;
}

bool CViewContainer::isChild(const CView* view, bool deep) const
{
    for (CView* child : children)
    {
        if (child == view)
            return true;
        if (deep)
        {
            if (auto* container = dynamic_cast<CViewContainer*>(child);
                container && container->isChild(view, true))
                return true;
        }
    }
    return false;
}

CView* CViewContainer::getView(uint32_t index) const
{
    return index < children.size() ? children[index] : nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep, bool mouseEnabledOnly) const
{
    CPoint local(where);
    local.offsetInverse(size.getTopLeft());
    for (auto it = children.rbegin(); it != children.rend(); ++it)
    {
        CView* child = *it;
        if (!child->isVisible() || !child->getViewSize().pointInside(local))
            continue;
        if (mouseEnabledOnly && !child->getMouseEnabled())
            continue;
        if (deep)
        {
            if (auto* container = dynamic_cast<CViewContainer*>(child))
            {
                if (CView* inner = container->getViewAt(local, true, mouseEnabledOnly))
                    return inner;
            }
        }
        return child;
    }
    return nullptr;
}

void CViewContainer::setBackgroundColor(const CColor& color)
{
    backgroundColor = color;
    invalid();
}

void CViewContainer::setBackgroundColorDrawStyle(CDrawStyle style)
{
    backgroundColorDrawStyle = style;
    invalid();
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect)
{
    // rect is in this container's own coordinates.
    const CRect local(CPoint(), size.getSize());
    if (CBitmap* bitmap = getDrawBackground())
    {
        bitmap->draw(*context, local, backgroundOffset);
    }
    else if (!getTransparency())
    {
        context->setFillColor(backgroundColor);
        context->setFrameColor(backgroundColor);
        context->setLineWidth(1);
        context->drawRect(local, backgroundColorDrawStyle);
    }
    (void)rect;
}

void CViewContainer::draw(CDrawContext* context)
{
    drawRect(context, size);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect)
{
    CRect clip(updateRect);
    clip.bound(size);
    if (clip.isEmpty())
        return;
    context->saveGlobalState();
    context->setClipRect(clip);
    CGraphicsTransform offset;
    offset.translate(size.left, size.top);
    context->pushTransform(offset);
    CRect localUpdate(clip);
    localUpdate.offsetInverse(size.getTopLeft());
    if (getAlphaValue() < 1.f)
        context->setGlobalAlpha(context->getGlobalAlpha() * getAlphaValue());
    drawBackgroundRect(context, localUpdate);
    for (CView* child : children)
    {
        if (!child->isVisible() || !child->getViewSize().rectOverlap(localUpdate))
            continue;
        context->saveGlobalState();
        context->setClipRect(child->getViewSize());
        if (child->getAlphaValue() < 1.f)
            context->setGlobalAlpha(context->getGlobalAlpha() * child->getAlphaValue());
        CRect childUpdate(localUpdate);
        childUpdate.bound(child->getViewSize());
        child->drawRect(context, childUpdate);
        context->restoreGlobalState();
    }
    context->popTransform();
    context->restoreGlobalState();
    setDirty(false);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    CPoint local(where);
    local.offsetInverse(size.getTopLeft());
    for (auto it = children.rbegin(); it != children.rend(); ++it)
    {
        CView* child = *it;
        if (!takesMouseAt(child, local))
            continue;
        // The child may remove itself (or us) while it handles the click.
        child->remember();
        CPoint p(local);
        const CMouseEventResult result = child->onMouseDown(p, buttons);
        if (result == kMouseEventHandled && child->getParentView() == this)
            mouseDownView = child;
        child->forget();
        // A view that takes no clicks (a label over a switch) lets them through to what lies
        // below it.
        if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented)
            return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    CView* captured = mouseDownView;
    if (!captured)
        return kMouseEventNotHandled;
    mouseDownView = nullptr;
    CPoint local(where);
    local.offsetInverse(size.getTopLeft());
    captured->remember();
    const CMouseEventResult result = captured->onMouseUp(local, buttons);
    captured->forget();
    return result;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    CPoint local(where);
    local.offsetInverse(size.getTopLeft());
    if (CView* captured = mouseDownView)
    {
        captured->remember();
        const CMouseEventResult result = captured->onMouseMoved(local, buttons);
        if (result == kMouseMoveEventHandledButDontNeedMoreEvents && mouseDownView == captured)
            mouseDownView = nullptr;
        captured->forget();
        return result;
    }
    // Hovering: the topmost view under the mouse hears about it.
    for (auto it = children.rbegin(); it != children.rend(); ++it)
    {
        CView* child = *it;
        if (takesMouseAt(child, local))
        {
            CPoint p(local);
            return child->onMouseMoved(p, buttons);
        }
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseCancel()
{
    CView* captured = mouseDownView;
    mouseDownView = nullptr;
    return captured ? captured->onMouseCancel() : kMouseEventNotHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis,
                             const float& distance, const CButtonState& buttons)
{
    CPoint local(where);
    local.offsetInverse(size.getTopLeft());
    for (auto it = children.rbegin(); it != children.rend(); ++it)
    {
        CView* child = *it;
        if (!takesMouseAt(child, local))
            continue;
        if (child->onWheel(local, axis, distance, buttons))
            return true;
    }
    return false;
}

void CViewContainer::invalid()
{
    setDirty(false);
    invalidRect(CRect(CPoint(), size.getSize()));
}

void CViewContainer::invalidRect(const CRect& rect)
{
    if (!getParentView() || !isVisible())
        return;
    // rect is in our coordinates; the parent wants its own.
    CRect r(rect);
    r.offset(size.getTopLeft());
    r.bound(size);
    if (!r.isEmpty())
        getParentView()->invalidRect(r);
}

bool CViewContainer::attached(CView* parentView)
{
    CView::attached(parentView);
    for (CView* child : children)
        child->attached(this);
    return true;
}

bool CViewContainer::removed(CView* parentView)
{
    for (CView* child : children)
        child->removed(this);
    mouseDownView = nullptr;
    return CView::removed(parentView);
}

void CViewContainer::clearMouseDownView(const CView* view)
{
    if (mouseDownView == view)
        mouseDownView = nullptr;
}

} // namespace VSTGUI
