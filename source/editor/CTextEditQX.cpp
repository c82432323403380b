// SPDX-License-Identifier: GPL-3.0-or-later
#include "CTextEditQX.h"

#include "TextViewLook.h"
#include "UnitsText.h"

using namespace VSTGUI;

CTextEditQX::CTextEditQX(const CRect& size, IControlListener* listener, int32_t tag,
                         const std::string& txt, CBitmap* background, int32_t style)
    : CTextEdit(size, listener, tag, txt, background, style)
{
}

CTextEditQX* CTextEditQX::newCopy() const
{
    auto* copy = new CTextEditQX(getViewSize(), getListener(), getTag(), getText(),
                                 getBackground(), getStyle());
    copyTextViewLook(*this, *copy);
    copy->setImmediateTextChange(getImmediateTextChange());
    return copy;
}

void CTextEditQX::setText(const std::string& txt)
{
    CTextEdit::setText(txt);
    if (!unitsSuffix.empty())
        CTextEdit::setText(UnitsText::withSuffix(getText(), unitsSuffix));
}

void CTextEditQX::setUnitsSuffix(const char* unitsText)
{
    unitsSuffix = UnitsText::trimmed(unitsText);
}
