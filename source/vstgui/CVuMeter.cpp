// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CVuMeter.h"

#include "vstgui/CDrawContext.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

CVuMeter::CVuMeter(const CRect& size, CBitmap* onBitmap, CBitmap* offBitmap, int32_t nbLed,
                   int32_t style)
    : CControl(size, nullptr, -1, nullptr), nbLed(nbLed), style(style)
{
    // The decay starts from silence, not from a full meter.
    oldValue = 0.f;
    setOnBitmap(onBitmap);
    setOffBitmap(offBitmap);
    setMouseEnabled(false);
}

CVuMeter::~CVuMeter()
{
    setOffBitmap(nullptr);
}

void CVuMeter::setOffBitmap(CBitmap* bitmap)
{
    if (bitmap)
        bitmap->remember();
    if (offBitmap)
        offBitmap->forget();
    offBitmap = bitmap;
}

void CVuMeter::draw(CDrawContext* context)
{
    CBitmap* onBitmap = getDrawBackground();
    if (!onBitmap)
    {
        setDirty(false);
        return;
    }
    // The shown value falls no faster than the decrease step per redraw.
    float shown = getValueNormalized();
    if (std::isfinite(oldValue) && decreaseValue > 0)
        shown = std::max(shown, oldValue - decreaseValue);
    shown = std::clamp(shown, 0.f, 1.f);
    oldValue = shown;
    if (nbLed > 0)
        shown = std::floor(shown * nbLed + 0.5f) / nbLed;

    if (offBitmap)
        offBitmap->draw(*context, size);
    CRect lit(size);
    if (style & kHorizontal)
        lit.right = size.left + std::floor(size.getWidth() * shown + 0.5);
    else
        lit.top = size.bottom - std::floor(size.getHeight() * shown + 0.5);
    if (!lit.isEmpty())
        onBitmap->draw(*context, lit, lit.getTopLeft() - size.getTopLeft());
    setDirty(false);
}

} // namespace VSTGUI
