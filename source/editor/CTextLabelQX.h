// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CTextLabel.h"

// A label that shows its control's unit after every text it is given.
class CTextLabelQX : public VSTGUI::CTextLabel
{
public:
    CTextLabelQX(const VSTGUI::CRect& size, const std::string& txt, VSTGUI::CBitmap* background,
                 int32_t style);
    ~CTextLabelQX() override = default;

    // A new label that looks the same and keeps the suffix; the caller owns it.
    CTextLabelQX* newCopy() const;

    void setText(const std::string& txt) override;
    void setUnitsSuffix(const char* unitsText);
    const std::string& getUnitsSuffix() const { return unitsSuffix; }

private:
    std::string unitsSuffix;
};
