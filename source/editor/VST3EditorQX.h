// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "framework/ControlList.h"
#include "vstgui/plugin-bindings/VST3Editor.h"

#include <cstdint>

class CPlugIn;

// The framework's editor: the description's editor with a 50 ms tick for the plug-in object,
// the plug-in object's knob behaviour, size changes the frame takes without asking, and the
// linked controls a plug-in object may move after each edit.
class VST3EditorQX : public VSTGUI::VST3Editor
{
public:
    static constexpr Steinberg::int32 kIdleRateMs = 50;

    VST3EditorQX(Steinberg::Vst::EditController* controller, VSTGUI::UTF8StringPtr templateName,
                 VSTGUI::UTF8StringPtr xmlFile);

    // Takes a copy of the plug-in object's control list; the object itself is not owned.
    void setPlugIn(CPlugIn* plugIn);
    // The position of the first control with that id in our copy of the list, or -1.
    int32_t findControlPosition(int32_t controlId) const;
    void applyLinkedUpdates(uint32_t controlId, float value, bool fromHost);

    int32_t getKnobMode() const override;
    bool beforeSizeChange(const VSTGUI::CRect& newSize, const VSTGUI::CRect& oldSize) override;
    VSTGUI::CMessageResult notify(VSTGUI::CBaseObject* sender,
                                  VSTGUI::IdStringPtr message) override;
    void valueChanged(VSTGUI::CControl* control) override;

    CControlList controlList;
    // 0 circular, 1 relative circular, 2 linear, 3 the host's choice.
    uint32_t knobMode = 3;
    CPlugIn* plugIn = nullptr;

protected:
    ~VST3EditorQX() override;
};
