// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CTextLabel.h"

namespace VSTGUI
{

CTextLabel::CTextLabel(const CRect& size, const std::string& text, CBitmap* background,
                       int32_t style)
    : CParamDisplay(size, background, style), text(text)
{
}

void CTextLabel::setText(const std::string& newText)
{
    if (newText == text)
        return;
    text = newText;
    invalid();
}

void CTextLabel::draw(CDrawContext* context)
{
    drawBack(context);
    drawPlatformText(context, text);
    setDirty(false);
}

} // namespace VSTGUI
