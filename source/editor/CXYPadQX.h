// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CXYPad.h"

// An XY pad whose vertical value reads 1 at the top, as users expect of a pad bound to two
// parameters. In joystick mode the handle stays inside a diamond through the edge midpoints.
class CXYPadQX : public VSTGUI::CXYPad
{
public:
    explicit CXYPadQX(const VSTGUI::CRect& size);

    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where,
                                          const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where,
                                        const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where,
                                           const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseCancel() override;
    // The base's wheel steps would bypass the orientation and the diamond.
    bool onWheel(const VSTGUI::CPoint& where, const VSTGUI::CMouseWheelAxis& axis,
                 const float& distance, const VSTGUI::CButtonState& buttons) override;
    // A value from the parameters (top = 1); while dragging, the pad's own screen value.
    void setValue(float p) override;

    bool insideDiamond(float x, float y) const;

    bool tracking = false;
    bool joystickMode = false;
    float diamondX[4] = {0.f, 0.5f, 1.f, 0.5f};
    float diamondY[4] = {0.5f, 0.f, 0.5f, 1.f};
    float lastX = 0.f;
    float lastY = 0.f;

private:
    void drawDiamond(VSTGUI::CDrawContext* context);
    void drawHandle(VSTGUI::CDrawContext* context);
};
