// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CParamDisplay.h"

#include <cstdio>

namespace VSTGUI
{

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, -1, background), style(style)
{
    setFont(kNormalFontSmall);
}

CParamDisplay::~CParamDisplay()
{
    if (font)
        font->forget();
}

void CParamDisplay::setFont(CFontDesc* newFont)
{
    if (newFont)
        newFont->remember();
    if (font)
        font->forget();
    font = newFont;
    invalid();
}

std::string CParamDisplay::valueText() const
{
    std::string text;
    if (valueToString && valueToString(value, text, const_cast<CParamDisplay*>(this)))
        return text;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(precision > 15 ? 15 : precision),
                  static_cast<double>(value));
    return buffer;
}

void CParamDisplay::drawBack(CDrawContext* context)
{
    if (CBitmap* bitmap = getDrawBackground())
    {
        bitmap->draw(*context, size, backOffset);
        return;
    }
    if (style & kNoDrawStyle)
        return;
    const bool round = (style & kRoundRectStyle) != 0;
    context->setLineWidth(frameWidth > 0 ? frameWidth : 1);
    context->setFillColor(backColor);
    context->setFrameColor(frameColor);
    const bool frame = !(style & (kNoFrame | k3DIn | k3DOut)) && frameWidth > 0;
    if (!getTransparency())
    {
        const CDrawStyle drawStyle = frame ? kDrawFilledAndStroked : kDrawFilled;
        if (round)
            context->drawRoundRect(size, roundRectRadius, drawStyle);
        else
            context->drawRect(size, drawStyle);
    }
    // A transparent display is only its text: no box, no frame.
    if (!getTransparency() && (style & (k3DIn | k3DOut)))
    {
        // Light top-left and dark bottom-right edges, swapped for sunken.
        const CColor light = (style & k3DIn) ? frameColor : kWhiteCColor;
        const CColor dark = (style & k3DIn) ? kWhiteCColor : frameColor;
        context->setLineWidth(1);
        context->setFrameColor(light);
        context->drawLine({size.left, size.bottom - 1}, {size.left, size.top});
        context->drawLine({size.left, size.top}, {size.right - 1, size.top});
        context->setFrameColor(dark);
        context->drawLine({size.right - 1, size.top}, {size.right - 1, size.bottom - 1});
        context->drawLine({size.right - 1, size.bottom - 1}, {size.left, size.bottom - 1});
    }
}

void CParamDisplay::drawPlatformText(CDrawContext* context, const std::string& text)
{
    if ((style & kNoTextStyle) || text.empty())
        return;
    CRect textRect(size);
    textRect.inset(textInset.x, textInset.y);
    context->setFont(font ? font : kNormalFontSmall);
    if (style & kShadowText)
    {
        CRect shadow(textRect);
        shadow.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadow, horiAlign, antialias);
    }
    context->setFontColor(fontColor);
    context->drawString(text, textRect, horiAlign, antialias);
}

void CParamDisplay::draw(CDrawContext* context)
{
    drawBack(context);
    drawPlatformText(context, valueText());
    setDirty(false);
}

} // namespace VSTGUI
