// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CTextEdit.h"

// An edit field that shows its control's unit after every text it is given, the user's typed
// text included; parameter parsing stops at the space before the unit.
class CTextEditQX : public VSTGUI::CTextEdit
{
public:
    CTextEditQX(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
                const std::string& txt, VSTGUI::CBitmap* background, int32_t style);
    ~CTextEditQX() override = default;

    // A new field that looks the same but starts without a suffix; the caller owns it.
    CTextEditQX* newCopy() const;

    void setText(const std::string& txt) override;
    void setUnitsSuffix(const char* unitsText);
    const std::string& getUnitsSuffix() const { return unitsSuffix; }

private:
    std::string unitsSuffix;
};
