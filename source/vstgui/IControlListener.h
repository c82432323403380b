// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CButtonState.h"

#include <cstdint>

namespace VSTGUI
{

class CControl;

class IControlListener
{
public:
    virtual ~IControlListener() = default;

    virtual void valueChanged(CControl* control) = 0;
    // Non-zero when the listener took the click (the control then ignores it).
    virtual int32_t controlModifierClicked(CControl* control, CButtonState button)
    {
        (void)control;
        (void)button;
        return 0;
    }
    virtual void controlBeginEdit(CControl* control) { (void)control; }
    virtual void controlEndEdit(CControl* control) { (void)control; }
    virtual void controlTagWillChange(CControl* control) { (void)control; }
    virtual void controlTagDidChange(CControl* control) { (void)control; }
};

} // namespace VSTGUI
