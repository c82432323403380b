// SPDX-License-Identifier: GPL-3.0-or-later
#include "CTextLabelQX.h"

#include "TextViewLook.h"
#include "UnitsText.h"

using namespace VSTGUI;

CTextLabelQX::CTextLabelQX(const CRect& size, const std::string& txt, CBitmap* background,
                           int32_t style)
    : CTextLabel(size, txt, background, style)
{
}

CTextLabelQX* CTextLabelQX::newCopy() const
{
    auto* copy = new CTextLabelQX(getViewSize(), std::string(), getBackground(), getStyle());
    copyTextViewLook(*this, *copy);
    copy->unitsSuffix = unitsSuffix;
    // Straight to the base: the text already carries the suffix.
    copy->CTextLabel::setText(getText());
    return copy;
}

void CTextLabelQX::setText(const std::string& txt)
{
    CTextLabel::setText(txt);
    if (!unitsSuffix.empty())
        CTextLabel::setText(UnitsText::withSuffix(getText(), unitsSuffix));
}

void CTextLabelQX::setUnitsSuffix(const char* unitsText)
{
    unitsSuffix = UnitsText::trimmed(unitsText);
}
