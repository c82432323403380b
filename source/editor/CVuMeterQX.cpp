// SPDX-License-Identifier: GPL-3.0-or-later
#include "CVuMeterQX.h"

#include "vstgui/CDrawContext.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

namespace
{
// Whole pixels of a bitmap side for a fraction of it; a sliver under one pixel shows nothing.
CCoord pixels(CCoord side, double fraction)
{
    const CCoord t = std::trunc(side * fraction + 0.5);
    return t < 1 ? 0 : t;
}
} // namespace

CVuMeterQX::CVuMeterQX(const CRect& size, CBitmap* onBitmap, CBitmap* offBitmap, int32_t nbLed,
                       bool inverted, bool analogStyle, int32_t style)
    : CVuMeter(size, onBitmap, offBitmap, nbLed, style), inverted(inverted), analogStyle(analogStyle)
{
}

void CVuMeterQX::setupMeterEnvelope(float rate, float attackMs, float releaseMs,
                                    bool analogTimeConstant, int32_t detectMode, bool logOutput)
{
    meterEnvelope.setup(rate, attackMs, releaseMs, analogTimeConstant, detectMode, logOutput);
    meterEnvelope.reset();
}

float CVuMeterQX::nextShownLevel()
{
    bounceValue();
    // A two-LED meter is a lamp: on or off, no ballistics.
    if (!analogStyle && nbLed == 2)
        return value >= 0.5f ? 1.f : 0.f;
    const float n = std::max(oldValue - decreaseValue, value);
    oldValue = n;
    return meterEnvelope.detect(n);
}

void CVuMeterQX::draw(CDrawContext* context)
{
    if (getOnBitmap())
    {
        const float v = nextShownLevel();
        if (analogStyle)
            drawFilmStrip(context, v);
        else
            drawLeds(context, v);
    }
    setDirty(false);
}

void CVuMeterQX::drawLeds(CDrawContext* context, float v)
{
    const double leds = nbLed;
    // Without a LED count the level is shown unquantised rather than divided by zero.
    auto quantised = [leds](double level) {
        return leds >= 1 ? std::trunc(level * leds + 0.5) / leds : level;
    };
    CBitmap* onBitmap = getOnBitmap();
    const CCoord w = onBitmap->getWidth();
    const CCoord h = onBitmap->getHeight();
    CRect onRect(size);
    CRect offRect(size);
    CPoint onOffset;
    CPoint offOffset;
    if (style & kHorizontal)
    {
        if (!inverted)
        {
            const CCoord t = pixels(w, quantised(vmin + v));
            offOffset.x = t;
            offRect.left += t;
            onRect.right = onRect.left + t;
        }
        else
        {
            const CCoord t = pixels(w, quantised(vmax - v));
            onOffset.x = t;
            onRect.left += t;
            offRect.right = offRect.left + t;
        }
    }
    else if (!inverted)
    {
        const CCoord t = pixels(h, quantised(vmax - v));
        onOffset.y = t;
        offRect.bottom = offRect.top + t;
        onRect.top += t;
    }
    else
    {
        const CCoord t = pixels(h, quantised(v));
        offOffset.y = t;
        onRect.bottom = onRect.top + t;
        offRect.top += t;
    }
    if (offBitmap && !offRect.isEmpty())
        offBitmap->draw(*context, offRect, offOffset, 1.f);
    if (!onRect.isEmpty())
        onBitmap->draw(*context, onRect, onOffset, 1.f);
}

double CVuMeterQX::analogOffset(float v) const
{
    // A strip without whole frames shows its first frame rather than dividing by zero.
    if (v < 0 || !(frameHeight >= 1) || !(frameCount >= 1))
        return 0;
    const double m = inverted ? (zeroFrame / frameCount) * (1.0 - v) : v;
    const double y0 = std::clamp(std::floor(m * (frameCount - 1) * frameHeight), 0.0, 1e9);
    const auto whole = static_cast<int64_t>(y0);
    return static_cast<double>(whole - whole % static_cast<int64_t>(frameHeight));
}

void CVuMeterQX::drawFilmStrip(CDrawContext* context, float v)
{
    CBitmap* strip = getDrawBackground();
    if (!strip)
        return;
    strip->draw(*context, size, CPoint(0, value < 0 ? 0 : analogOffset(v)), 1.f);
}
