// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CAnimKnob.h"

#include "vstgui/CDrawContext.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

CAnimKnob::CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag,
                     CBitmap* background, const CPoint& offset)
    : CKnobBase(size, listener, tag, background)
{
    backOffset = offset;
}

CAnimKnob::CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag,
                     int32_t subPixmaps, CCoord heightOfOneImage, CBitmap* background,
                     const CPoint& offset)
    : CAnimKnob(size, listener, tag, background, offset)
{
    setNumSubPixmaps(subPixmaps);
    setHeightOfOneImage(heightOfOneImage);
}

int32_t CAnimKnob::currentFrame() const
{
    const int32_t frames = frameCountFor(*this, getDrawBackground());
    if (frames <= 0)
        return -1;
    float normalized = std::clamp(getValueNormalized(), 0.f, 1.f);
    if (inverseBitmap)
        normalized = 1.f - normalized;
    const auto frame = static_cast<int32_t>(std::lround(normalized * (frames - 1)));
    return std::clamp(frame, 0, frames - 1);
}

void CAnimKnob::draw(CDrawContext* context)
{
    const int32_t frame = currentFrame();
    if (frame >= 0)
    {
        CPoint offset(backOffset.x, backOffset.y + frame * frameHeightFor(*this));
        getDrawBackground()->draw(*context, size, offset);
    }
    setDirty(false);
}

} // namespace VSTGUI
