// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CFrame.h"

#include <algorithm>

namespace VSTGUI
{

namespace
{

template <class T>
void addOnce(std::vector<T*>& list, T* item)
{
    if (item && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

template <class T>
void removeFrom(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

CFrame::CFrame(const CRect& size, VSTGUIEditorInterface* editor)
    : CViewContainer(size), editor(editor)
{
    frame = this;
}

CFrame::~CFrame()
{
    // Children must leave while this is still a whole CFrame: they report their removal here.
    removeAll(true);
    frame = nullptr;
}

void CFrame::close()
{
    setModalView(nullptr);
    focusView = nullptr;
    removeAll(true);
    forget();
}

bool CFrame::setSize(CCoord width, CCoord height)
{
    if (width < 0 || height < 0)
        return false;
    CRect newSize(size.left, size.top, size.left + width, size.top + height);
    if (newSize == size)
        return true;
    if (editor && !editor->beforeSizeChange(newSize, size))
        return false;
    setViewSize(newSize, true);
    if (platformFrame)
        platformFrame->setSize(newSize);
    invalid();
    return true;
}

void CFrame::setFocusView(CView* view)
{
    if (view == focusView)
        return;
    CView* old = focusView;
    focusView = view;
    if (old)
        old->looseFocus();
    // looseFocus may itself have moved the focus (a text edit committing into a dialog).
    if (focusView == view && view)
        view->takeFocus();
}

void CFrame::setModalView(CView* view)
{
    if (view == modalView)
        return;
    modalView = view;
}

void CFrame::registerKeyboardHook(IKeyboardHook* hook) { addOnce(keyboardHooks, hook); }
void CFrame::unregisterKeyboardHook(IKeyboardHook* hook) { removeFrom(keyboardHooks, hook); }
void CFrame::registerMouseObserver(IMouseObserver* observer) { addOnce(mouseObservers, observer); }
void CFrame::unregisterMouseObserver(IMouseObserver* observer) { removeFrom(mouseObservers, observer); }

void CFrame::registerViewAddedRemovedObserver(IViewAddedRemovedObserver* observer)
{
    addOnce(viewObservers, observer);
}

void CFrame::unregisterViewAddedRemovedObserver(IViewAddedRemovedObserver* observer)
{
    removeFrom(viewObservers, observer);
}

CMouseEventResult CFrame::platformOnMouseDown(CPoint where, const CButtonState& buttons)
{
    for (IMouseObserver* observer : std::vector<IMouseObserver*>(mouseObservers))
    {
        if (observer->onMouseDown(this, where, buttons) != kMouseEventNotHandled)
            return kMouseEventHandled;
    }
    if (CView* modal = modalView)
    {
        CPoint local(where);
        modal->frameToLocal(local);
        // The popup may close (and go away) while it handles the event.
        modal->remember();
        const CMouseEventResult result = modal->onMouseDown(local, buttons);
        modal->forget();
        return result;
    }
    // A click outside the focus view takes the focus away (a text edit commits).
    if (focusView && !focusView->getFrameRect().pointInside(where))
        setFocusView(nullptr);
    return onMouseDown(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint where, const CButtonState& buttons)
{
    for (IMouseObserver* observer : std::vector<IMouseObserver*>(mouseObservers))
    {
        if (observer->onMouseMoved(this, where, buttons) != kMouseEventNotHandled)
            return kMouseEventHandled;
    }
    if (CView* modal = modalView)
    {
        CPoint local(where);
        modal->frameToLocal(local);
        // The popup may close (and go away) while it handles the event.
        modal->remember();
        const CMouseEventResult result = modal->onMouseMoved(local, buttons);
        modal->forget();
        return result;
    }
    CView* over = getViewAt(where, true, true);
    if (over != mouseOverView)
    {
        CView* old = mouseOverView;
        mouseOverView = over;
        if (old)
        {
            CPoint p(where);
            old->frameToLocal(p);
            old->onMouseExited(p, buttons);
            for (IMouseObserver* observer : std::vector<IMouseObserver*>(mouseObservers))
                observer->onMouseExited(old, this);
        }
        if (over)
        {
            CPoint p(where);
            over->frameToLocal(p);
            over->onMouseEntered(p, buttons);
            for (IMouseObserver* observer : std::vector<IMouseObserver*>(mouseObservers))
                observer->onMouseEntered(over, this);
        }
    }
    return onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint where, const CButtonState& buttons)
{
    if (CView* modal = modalView)
    {
        CPoint local(where);
        modal->frameToLocal(local);
        // The popup may close (and go away) while it handles the event.
        modal->remember();
        const CMouseEventResult result = modal->onMouseUp(local, buttons);
        modal->forget();
        return result;
    }
    return onMouseUp(where, buttons);
}

bool CFrame::platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, float distance,
                                  const CButtonState& buttons)
{
    if (CView* modal = modalView)
    {
        CPoint local(where);
        modal->frameToLocal(local);
        modal->remember();
        const bool handled = modal->onWheel(local, axis, distance, buttons);
        modal->forget();
        return handled;
    }
    return onWheel(where, axis, distance, buttons);
}

bool CFrame::platformOnKeyDown(VstKeyCode& keyCode)
{
    for (IKeyboardHook* hook : std::vector<IKeyboardHook*>(keyboardHooks))
    {
        if (hook->onKeyDown(keyCode, this) == 1)
            return true;
    }
    if (CView* modal = modalView)
    {
        modal->remember();
        const bool handled = modal->onKeyDown(keyCode) == 1;
        modal->forget();
        return handled;
    }
    // The focus view first, then its containers.
    for (CView* view = focusView; view && view != this; view = view->getParentView())
    {
        if (view->onKeyDown(keyCode) == 1)
            return true;
    }
    return false;
}

bool CFrame::platformOnKeyUp(VstKeyCode& keyCode)
{
    for (IKeyboardHook* hook : std::vector<IKeyboardHook*>(keyboardHooks))
    {
        if (hook->onKeyUp(keyCode, this) == 1)
            return true;
    }
    if (modalView)
        return modalView->onKeyUp(keyCode) == 1;
    for (CView* view = focusView; view && view != this; view = view->getParentView())
    {
        if (view->onKeyUp(keyCode) == 1)
            return true;
    }
    return false;
}

void CFrame::platformDrawRect(CDrawContext* context, const CRect& rect)
{
    drawRect(context, rect);
}

void CFrame::invalid()
{
    invalidRect(CRect(CPoint(), size.getSize()));
}

void CFrame::invalidRect(const CRect& rect)
{
    CRect r(rect);
    r.bound(CRect(CPoint(), size.getSize()));
    if (r.isEmpty())
        return;
    dirtyRect.unite(r);
    if (platformFrame)
        platformFrame->invalidRect(r);
}

void CFrame::onViewAdded(CView* view)
{
    for (IViewAddedRemovedObserver* observer : std::vector<IViewAddedRemovedObserver*>(viewObservers))
        observer->onViewAdded(this, view);
}

void CFrame::onViewRemoved(CView* view)
{
    // No looseFocus here: a view being torn down must not report edits any more.
    if (focusView == view)
        focusView = nullptr;
    if (modalView == view)
        modalView = nullptr;
    if (mouseOverView == view)
        mouseOverView = nullptr;
    for (IViewAddedRemovedObserver* observer : std::vector<IViewAddedRemovedObserver*>(viewObservers))
        observer->onViewRemoved(this, view);
}

} // namespace VSTGUI
