// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CKnobBase.h"

namespace VSTGUI
{

// A knob drawn as one frame of a vertical strip: frame 0 at min, the last frame at max.
class CAnimKnob : public CKnobBase, public IMultiBitmapControl
{
public:
    CAnimKnob(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
              CBitmap* background = nullptr, const CPoint& offset = CPoint());
    CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());

    void setInverseBitmap(bool state) { inverseBitmap = state; }
    bool getInverseBitmap() const { return inverseBitmap; }
    // The frame drawn for the current value; -1 when the bitmap holds none.
    int32_t currentFrame() const;

    void draw(CDrawContext* context) override;

private:
    bool inverseBitmap = false;
};

} // namespace VSTGUI
