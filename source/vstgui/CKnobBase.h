// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CControl.h"
#include "vstgui/VSTGUIEditorInterface.h"

namespace VSTGUI
{

// Turning behaviour shared by the knobs: circular, relative circular or linear drags (the
// editor's knob mode decides), wheel steps, fine adjustment with the zoom modifier, and the
// default value on double click or default-value modifier click.
class CKnobBase : public CControl
{
public:
    // Pixels of linear drag that sweep the whole range.
    static constexpr CCoord kLinearRange = 200;

    CKnobBase(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background);

    // Degrees, clockwise from 3 o'clock.
    void setStartAngle(float degrees) { startAngle = degrees; }
    float getStartAngle() const { return startAngle; }
    void setRangeAngle(float degrees) { rangeAngle = degrees; }
    float getRangeAngle() const { return rangeAngle; }
    // Drags move this many times slower with the zoom modifier; below 1 counts as 1.
    void setZoomFactor(float f) { zoomFactor = f; }
    float getZoomFactor() const { return zoomFactor; }
    void setInsetValue(CCoord v) { inset = v; }
    CCoord getInsetValue() const { return inset; }

    // The value of a point on the knob's circle (circular mode), normalized.
    float valueFromPoint(const CPoint& where) const;

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;

protected:
    int32_t knobMode() const;
    // Angle of a point around the centre, degrees clockwise from 3 o'clock, 0 to 360.
    double angleOf(const CPoint& where) const;

    float startAngle = 135;
    float rangeAngle = 270;
    float zoomFactor = 1.5f;
    CCoord inset = 0;

private:
    struct Drag
    {
        bool active = false;
        int32_t mode = kCircularMode;
        CPoint lastPoint;
        double lastAngle = 0;
        float entryValue = 0;
    } drag;
};

} // namespace VSTGUI
