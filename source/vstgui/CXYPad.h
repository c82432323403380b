// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CParamDisplay.h"

namespace VSTGUI
{

// A pad whose one value packs an x and a y position, each 0 to 1 in steps of 0.001.
class CXYPad : public CParamDisplay
{
public:
    explicit CXYPad(const CRect& size);

    static float calculateValue(float x, float y);
    static void calculateXY(float value, float& x, float& y);

    void setStopTrackingOnMouseExit(bool state) { stopTrackingOnMouseExit = state; }
    bool getStopTrackingOnMouseExit() const { return stopTrackingOnMouseExit; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;

protected:
    // Side of the square handle.
    CCoord handleSize() const;
    void boundValues(float& x, float& y) const;
    // Where a point lies on the pad, 0 to 1 across the handle's travel (not bounded), for a handle
    // of the given side.
    void positionToXY(const CPoint& where, CCoord handle, float& x, float& y) const;

    // Where the current drag began, relative to the handle's centre (for subclasses).
    CPoint mouseChangeStartPoint;
    bool stopTrackingOnMouseExit = false;
    bool trackingPad = false;
};

} // namespace VSTGUI
