// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CControl.h"

namespace VSTGUI
{

// LEDs drawn from an "on" and an "off" bitmap; the lit part grows with the value from the
// bottom (vertical) or the left (horizontal). It never takes mouse input.
class CVuMeter : public CControl
{
public:
    enum Style
    {
        kHorizontal = 1 << 0,
        kVertical = 1 << 1
    };

    CVuMeter(const CRect& size, CBitmap* onBitmap, CBitmap* offBitmap, int32_t nbLed,
             int32_t style = kVertical);
    ~CVuMeter() override;

    // The lit image is the view's background, so subclasses that draw the background see it.
    void setOnBitmap(CBitmap* bitmap) { setBackground(bitmap); }
    CBitmap* getOnBitmap() const { return getBackground(); }
    void setOffBitmap(CBitmap* bitmap);
    CBitmap* getOffBitmap() const { return offBitmap; }
    void setNbLed(int32_t n) { nbLed = n; }
    int32_t getNbLed() const { return nbLed; }
    void setStyle(int32_t s) { style = s; }
    int32_t getStyle() const { return style; }
    // How far the shown value may fall per redraw (a slow release).
    void setDecreaseStepValue(float v) { decreaseValue = v; }
    float getDecreaseStepValue() const { return decreaseValue; }

    void draw(CDrawContext* context) override;

protected:
    CBitmap* offBitmap = nullptr;
    int32_t nbLed;
    int32_t style;
    float decreaseValue = 0.1f;
};

} // namespace VSTGUI
