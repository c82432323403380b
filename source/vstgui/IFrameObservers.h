// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CButtonState.h"
#include "vstgui/CPoint.h"

#include <cstdint>

namespace VSTGUI
{

class CFrame;
class CView;

// Sees keys before the focus view does.
class IKeyboardHook
{
public:
    virtual ~IKeyboardHook() = default;
    // 1 consumes the key, -1 passes it on.
    virtual int32_t onKeyDown(const VstKeyCode& code, CFrame* frame) = 0;
    virtual int32_t onKeyUp(const VstKeyCode& code, CFrame* frame) = 0;
};

// Sees mouse events before the views do.
class IMouseObserver
{
public:
    virtual ~IMouseObserver() = default;
    virtual void onMouseEntered(CView* view, CFrame* frame) = 0;
    virtual void onMouseExited(CView* view, CFrame* frame) = 0;
    // Anything but kMouseEventNotHandled stops the event here.
    virtual CMouseEventResult onMouseMoved(CFrame* frame, const CPoint& where,
                                           const CButtonState& buttons)
    {
        (void)frame;
        (void)where;
        (void)buttons;
        return kMouseEventNotHandled;
    }
    virtual CMouseEventResult onMouseDown(CFrame* frame, const CPoint& where,
                                          const CButtonState& buttons)
    {
        (void)frame;
        (void)where;
        (void)buttons;
        return kMouseEventNotHandled;
    }
};

class IViewAddedRemovedObserver
{
public:
    virtual ~IViewAddedRemovedObserver() = default;
    virtual void onViewAdded(CFrame* frame, CView* view) = 0;
    virtual void onViewRemoved(CFrame* frame, CView* view) = 0;
};

// A window the frame lives in; offscreen frames have none.
class IPlatformFrame
{
public:
    virtual ~IPlatformFrame() = default;
    // In frame coordinates.
    virtual void invalidRect(const CRect& rect) = 0;
    virtual void setSize(const CRect& size) = 0;
};

} // namespace VSTGUI
