// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CDrawContext.h"
#include "vstgui/PixelImage.h"

namespace VSTGUI
{

// A draw context over a pixel buffer of its own, sized in view units times the scale factor.
class COffscreenContext : public CDrawContext
{
public:
    CPoint getSize() const { return size; }
    virtual PixelImage getPixels() = 0;

protected:
    COffscreenContext(const CPoint& size, double scaleFactor)
        : CDrawContext(scaleFactor), size(size)
    {
    }

private:
    CPoint size;
};

} // namespace VSTGUI
