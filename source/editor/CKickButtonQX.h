// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CKickButton.h"

// A momentary button that tells the editor about the press, the release, or both. It never
// reports the maximum on release, so a press-only button leaves its parameter at 1.
class CKickButtonQX : public VSTGUI::CKickButton
{
public:
    enum NotifyMode : int32_t
    {
        kNotifyPressAndRelease = 0,
        kNotifyRelease = 1,
        kNotifyPress = 2
    };

    CKickButtonQX(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
                  VSTGUI::CBitmap* background, const VSTGUI::CPoint& offset);

    VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where,
                                          const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where,
                                        const VSTGUI::CButtonState& buttons) override;
    // The base reports every change while dragging; here dragging only changes the look.
    VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where,
                                           const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseCancel() override;

    int32_t notifyMode = kNotifyPressAndRelease;

private:
    bool notifiesPress() const { return notifyMode == kNotifyPressAndRelease || notifyMode == kNotifyPress; }
    bool notifiesRelease() const { return notifyMode == kNotifyPressAndRelease || notifyMode == kNotifyRelease; }
};
