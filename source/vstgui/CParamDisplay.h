// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CColor.h"
#include "vstgui/CControl.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/CFontDesc.h"

#include <functional>
#include <string>

namespace VSTGUI
{

enum CParamDisplayStyle : int32_t
{
    k3DIn = 1 << 0,
    k3DOut = 1 << 1,
    kShadowText = 1 << 2,
    kNoTextStyle = 1 << 3,
    kNoDrawStyle = 1 << 4,
    kNoFrame = 1 << 5,
    kRoundRectStyle = 1 << 6
};

// Shows its value as text in a framed box.
class CParamDisplay : public CControl
{
public:
    using ValueToStringFunction = std::function<bool(float value, std::string& text, CParamDisplay*)>;

    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
    ~CParamDisplay() override;

    void setFont(CFontDesc* font);
    CFontDesc* getFont() const { return font; }
    void setFontColor(const CColor& c) { fontColor = c; }
    const CColor& getFontColor() const { return fontColor; }
    void setBackColor(const CColor& c) { backColor = c; }
    const CColor& getBackColor() const { return backColor; }
    void setFrameColor(const CColor& c) { frameColor = c; }
    const CColor& getFrameColor() const { return frameColor; }
    void setShadowColor(const CColor& c) { shadowColor = c; }
    const CColor& getShadowColor() const { return shadowColor; }
    void setHoriAlign(CHoriTxtAlign a) { horiAlign = a; }
    CHoriTxtAlign getHoriAlign() const { return horiAlign; }
    void setTextInset(const CPoint& p) { textInset = p; }
    const CPoint& getTextInset() const { return textInset; }
    void setStyle(int32_t s) { style = s; }
    int32_t getStyle() const { return style; }
    void setRoundRectRadius(CCoord r) { roundRectRadius = r; }
    CCoord getRoundRectRadius() const { return roundRectRadius; }
    void setFrameWidth(CCoord w) { frameWidth = w; }
    CCoord getFrameWidth() const { return frameWidth; }
    void setAntialias(bool state) { antialias = state; }
    bool getAntialias() const { return antialias; }
    void setPrecision(uint8_t p) { precision = p; }
    uint8_t getPrecision() const { return precision; }
    void setValueToStringFunction(ValueToStringFunction f) { valueToString = std::move(f); }

    void draw(CDrawContext* context) override;

protected:
    void drawBack(CDrawContext* context);
    void drawPlatformText(CDrawContext* context, const std::string& text);
    virtual std::string valueText() const;

    CFontDesc* font = nullptr;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    CHoriTxtAlign horiAlign = kCenterText;
    CPoint textInset;
    int32_t style;
    CCoord roundRectRadius = 6;
    CCoord frameWidth = 1;
    bool antialias = true;
    uint8_t precision = 2;
    ValueToStringFunction valueToString;
};

} // namespace VSTGUI
