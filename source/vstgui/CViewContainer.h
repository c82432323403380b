// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CColor.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/CView.h"

#include <vector>

namespace VSTGUI
{

enum CViewContainerBackgroundDrawStyle
{
    kBackgroundStyleStroked = 0,
    kBackgroundStyleFilled,
    kBackgroundStyleFilledAndStroked
};

// Children are drawn in order (later over earlier) and hit-tested in reverse. Their sizes are
// relative to this container's top-left corner.
class CViewContainer : public CView
{
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    // Takes over the caller's reference.
    virtual bool addView(CView* view);
    virtual bool addView(CView* view, CView* before);
    // Gives up the container's reference when forget is true.
    virtual bool removeView(CView* view, bool forget = true);
    virtual bool removeAll(bool forget = true);
    bool isChild(const CView* view, bool deep = false) const;
    uint32_t getNbViews() const { return static_cast<uint32_t>(children.size()); }
    CView* getView(uint32_t index) const;
    const std::vector<CView*>& getChildren() const { return children; }
    // Topmost visible child under the point (in this container's parent coordinates).
    CView* getViewAt(const CPoint& where, bool deep = false, bool mouseEnabledOnly = false) const;

    void setBackgroundColor(const CColor& color);
    const CColor& getBackgroundColor() const { return backgroundColor; }
    void setBackgroundColorDrawStyle(CDrawStyle style);
    CDrawStyle getBackgroundColorDrawStyle() const { return backgroundColorDrawStyle; }
    void setBackgroundOffset(const CPoint& p) { backgroundOffset = p; }
    const CPoint& getBackgroundOffset() const { return backgroundOffset; }

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;

    // rect in this container's own coordinates.
    void invalid() override;
    void invalidRect(const CRect& rect) override;
    bool attached(CView* parentView) override;
    bool removed(CView* parentView) override;

    CView* getMouseDownView() const { return mouseDownView; }

protected:
    // Drops the mouse capture when the captured view goes away.
    void clearMouseDownView(const CView* view);

private:
    std::vector<CView*> children;
    CView* mouseDownView = nullptr;
    CColor backgroundColor = kBlackCColor;
    CDrawStyle backgroundColorDrawStyle = kDrawFilledAndStroked;
    CPoint backgroundOffset;
};

} // namespace VSTGUI
