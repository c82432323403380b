// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CBaseObject.h"
#include "vstgui/CBitmap.h"
#include "vstgui/CButtonState.h"
#include "vstgui/CRect.h"

#include <string>

namespace VSTGUI
{

class CDrawContext;
class CFrame;
class CViewContainer;
class IController;

// A rectangle of the editor. Its size is in its parent's coordinates, and so are the points of
// the mouse events it receives.
class CView : public CBaseObject
{
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    // updateRect is in the parent's coordinates, like the view's size.
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);

    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseCancel();
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    // distance in wheel steps; true when handled.
    virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                         const CButtonState& buttons);
    // 1 when handled, -1 when not.
    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);

    virtual void takeFocus() {}
    virtual void looseFocus() {}
    virtual bool wantsFocus() const { return wantsFocusFlag; }
    void setWantsFocus(bool state) { wantsFocusFlag = state; }

    const CRect& getViewSize() const { return size; }
    virtual void setViewSize(const CRect& rect, bool invalidate = true);
    CCoord getWidth() const { return size.getWidth(); }
    CCoord getHeight() const { return size.getHeight(); }
    // The view's rectangle in frame coordinates.
    CRect getFrameRect() const;
    // Turns a point in the parent's coordinates into frame coordinates and back.
    CPoint& localToFrame(CPoint& point) const;
    CPoint& frameToLocal(CPoint& point) const;

    virtual void setVisible(bool state);
    bool isVisible() const { return visible; }
    virtual void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }
    virtual void setTransparency(bool state);
    bool getTransparency() const { return transparent; }
    void setAlphaValue(float a);
    float getAlphaValue() const { return alpha; }

    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }
    virtual void setDisabledBackground(CBitmap* bitmap);
    CBitmap* getDisabledBackground() const { return disabledBackground; }
    // The background a view draws: the disabled one when mouse input is off and there is one.
    CBitmap* getDrawBackground() const;

    void setTooltipText(const std::string& text) { tooltip = text; }
    const std::string& getTooltipText() const { return tooltip; }

    // Marks the view for redrawing.
    virtual void invalid();
    virtual void invalidRect(const CRect& rect);
    void setDirty(bool state = true);
    bool isDirty() const { return dirty; }

    CViewContainer* getParentView() const { return parent; }
    CFrame* getFrame() const { return frame; }
    bool isAttached() const { return frame != nullptr; }
    // Called by the container when the view joins or leaves a frame's tree (the parent is set
    // as soon as the view is added, attached or not).
    virtual bool attached(CView* parentView);
    virtual bool removed(CView* parentView);

    // A controller created for this view's subtree (a description's sub-controller); owned by
    // the view and deleted with it.
    void setOwnedController(IController* controller);
    IController* getOwnedController() const { return ownedController; }

protected:
    CRect size;
    CBitmap* background = nullptr;
    CBitmap* disabledBackground = nullptr;

private:
    friend class CViewContainer;
    friend class CFrame;

    CViewContainer* parent = nullptr;
    CFrame* frame = nullptr;
    IController* ownedController = nullptr;
    std::string tooltip;
    float alpha = 1.f;
    bool visible = true;
    bool mouseEnabled = true;
    bool transparent = false;
    bool dirty = false;
    bool wantsFocusFlag = false;
};

} // namespace VSTGUI
