// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CNinePartTiledBitmap.h"

#include "vstgui/CDrawContext.h"
#include "vstgui/IPlatformBitmap.h"

#include <algorithm>

namespace VSTGUI
{

namespace
{

// Fills dest by repeating the source part; both in their own coordinates.
void tile(CDrawContext& context, const IPlatformBitmap& bitmap, const CRect& source,
          const CRect& dest, float alpha)
{
    const CCoord w = source.getWidth();
    const CCoord h = source.getHeight();
    if (w <= 0 || h <= 0 || dest.isEmpty())
        return;
    for (CCoord y = dest.top; y < dest.bottom; y += h)
    {
        for (CCoord x = dest.left; x < dest.right; x += w)
        {
            CRect piece(x, y, std::min(x + w, dest.right), std::min(y + h, dest.bottom));
            context.drawPlatformBitmap(bitmap, piece, source.getTopLeft(), alpha);
        }
    }
}

} // namespace

CNinePartTiledBitmap::CNinePartTiledBitmap(const std::string& resourceName,
                                           const CNinePartTiledDescription& offsets)
    : CBitmap(resourceName)
{
    setPartOffsets(offsets);
}

void CNinePartTiledBitmap::setPartOffsets(const CNinePartTiledDescription& o)
{
    // Negative margins would read outside the image.
    offsets.left = std::max<CCoord>(0, o.left);
    offsets.top = std::max<CCoord>(0, o.top);
    offsets.right = std::max<CCoord>(0, o.right);
    offsets.bottom = std::max<CCoord>(0, o.bottom);
}

void CNinePartTiledBitmap::draw(CDrawContext& context, const CRect& rect, const CPoint& offset,
                                float alpha)
{
    (void)offset;
    const IPlatformBitmap* bitmap = getPlatformBitmap();
    if (!bitmap || rect.isEmpty())
        return;
    const CPoint size = bitmap->getSize();
    // Margins larger than the image (or the destination) shrink to fit, keeping their ratio.
    CCoord l = offsets.left, r = offsets.right, t = offsets.top, b = offsets.bottom;
    auto fit = [](CCoord& a, CCoord& c, CCoord limit) {
        if (a + c > limit && a + c > 0)
        {
            const CCoord scale = limit / (a + c);
            a *= scale;
            c *= scale;
        }
    };
    fit(l, r, size.x);
    fit(t, b, size.y);
    fit(l, r, rect.getWidth());
    fit(t, b, rect.getHeight());

    const CCoord srcX[4] = {0, l, size.x - r, size.x};
    const CCoord srcY[4] = {0, t, size.y - b, size.y};
    const CCoord dstX[4] = {rect.left, rect.left + l, rect.right - r, rect.right};
    const CCoord dstY[4] = {rect.top, rect.top + t, rect.bottom - b, rect.bottom};
    for (int row = 0; row < 3; ++row)
    {
        for (int col = 0; col < 3; ++col)
        {
            CRect source(srcX[col], srcY[row], srcX[col + 1], srcY[row + 1]);
            CRect dest(dstX[col], dstY[row], dstX[col + 1], dstY[row + 1]);
            tile(context, *bitmap, source, dest, alpha);
        }
    }
}

} // namespace VSTGUI
