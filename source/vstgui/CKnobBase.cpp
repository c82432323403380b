// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CKnobBase.h"

#include "vstgui/CFrame.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

namespace
{

constexpr double kPi = 3.14159265358979323846;

// Wraps an angle difference into -180..180 so crossing 3 o'clock does not jump.
double wrapDegrees(double d)
{
    while (d > 180)
        d -= 360;
    while (d < -180)
        d += 360;
    return d;
}

} // namespace

CKnobBase::CKnobBase(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background)
{
    setWantsFocus(true);
}

int32_t CKnobBase::knobMode() const
{
    if (CFrame* frame = getFrame())
    {
        if (VSTGUIEditorInterface* editor = frame->getEditor())
        {
            const int32_t mode = editor->getKnobMode();
            if (mode >= kCircularMode && mode <= kLinearMode)
                return mode;
        }
    }
    return kCircularMode;
}

double CKnobBase::angleOf(const CPoint& where) const
{
    const CPoint c = size.getCenter();
    double degrees = std::atan2(where.y - c.y, where.x - c.x) * 180 / kPi;
    if (degrees < 0)
        degrees += 360;
    return degrees;
}

float CKnobBase::valueFromPoint(const CPoint& where) const
{
    if (rangeAngle == 0)
        return getValueNormalized();
    // Measured from the start angle in the knob's turning direction.
    double rel = angleOf(where) - startAngle;
    const double sweep = std::fabs(rangeAngle);
    if (rangeAngle < 0)
        rel = -rel;
    rel = std::fmod(rel, 360.0);
    if (rel < 0)
        rel += 360;
    if (rel > sweep)
    {
        // In the dead zone: the nearer end; straight across the gap, the end the knob is at,
        // so it never flips from max to min.
        const double pastEnd = rel - sweep;
        const double beforeStart = 360 - rel;
        if (std::fabs(pastEnd - beforeStart) < 1e-9)
            return getValueNormalized() >= 0.5f ? 1.f : 0.f;
        return pastEnd < beforeStart ? 1.f : 0.f;
    }
    return static_cast<float>(rel / sweep);
}

CMouseEventResult CKnobBase::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    if (listener && listener->controlModifierClicked(this, buttons) != 0)
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (buttons.isDoubleClick() || buttons.getModifierState() == kDefaultValueModifier)
    {
        beginEdit();
        setValue(defaultValue);
        valueChanged();
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    drag = Drag();
    drag.active = true;
    drag.mode = knobMode();
    drag.lastPoint = where;
    drag.entryValue = value;
    drag.lastAngle = angleOf(where);
    beginEdit();
    if (drag.mode == kCircularMode)
        return onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!drag.active)
        return kMouseEventNotHandled;
    const double zoom = (buttons.getModifierState() & kZoomModifier) && zoomFactor > 1 ? zoomFactor : 1.0;
    float normalized = getValueNormalized();
    switch (drag.mode)
    {
    case kLinearMode:
    {
        // Right and up both turn the knob up, as VSTGUI's linear mode does.
        const double delta = (where.x - drag.lastPoint.x) - (where.y - drag.lastPoint.y);
        normalized += static_cast<float>(delta / (kLinearRange * zoom));
        break;
    }
    case kRelativCircularMode:
    {
        const double angle = angleOf(where);
        const double delta = wrapDegrees(angle - drag.lastAngle);
        drag.lastAngle = angle;
        if (rangeAngle != 0)
            normalized += static_cast<float>(delta / rangeAngle / zoom);
        break;
    }
    default:
        normalized = valueFromPoint(where);
        break;
    }
    drag.lastPoint = where;
    normalized = std::clamp(normalized, 0.f, 1.f);
    const float old = value;
    setValueNormalized(normalized);
    if (value != old)
        valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    (void)where;
    (void)buttons;
    if (!drag.active)
        return kMouseEventNotHandled;
    drag.active = false;
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseCancel()
{
    if (!drag.active)
        return kMouseEventNotHandled;
    drag.active = false;
    if (value != drag.entryValue)
    {
        setValue(drag.entryValue);
        valueChanged();
    }
    endEdit();
    return kMouseEventHandled;
}

bool CKnobBase::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                        const CButtonState& buttons)
{
    (void)where;
    (void)axis;
    if (distance == 0 || !std::isfinite(distance))
        return false;
    float step = distance * wheelInc;
    if ((buttons.getModifierState() & kZoomModifier) && zoomFactor > 1)
        step /= zoomFactor;
    beginEdit();
    setValueNormalized(std::clamp(getValueNormalized() + step, 0.f, 1.f));
    valueChanged();
    endEdit();
    return true;
}

int32_t CKnobBase::onKeyDown(VstKeyCode& keyCode)
{
    float step = 0;
    switch (keyCode.virt)
    {
    case VKEY_UP:
    case VKEY_RIGHT:
        step = wheelInc;
        break;
    case VKEY_DOWN:
    case VKEY_LEFT:
        step = -wheelInc;
        break;
    default:
        return -1;
    }
    if ((keyCode.modifier & MODIFIER_SHIFT) && zoomFactor > 1)
        step /= zoomFactor;
    beginEdit();
    setValueNormalized(std::clamp(getValueNormalized() + step, 0.f, 1.f));
    valueChanged();
    endEdit();
    return 1;
}

} // namespace VSTGUI
