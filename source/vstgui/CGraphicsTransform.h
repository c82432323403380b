// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CRect.h"

namespace VSTGUI
{

// Scale then translate; views only ever nest offsets and the backing scale factor.
struct CGraphicsTransform
{
    double scaleX = 1;
    double scaleY = 1;
    double dx = 0;
    double dy = 0;

    CGraphicsTransform& translate(double x, double y)
    {
        dx += x;
        dy += y;
        return *this;
    }
    CGraphicsTransform& scale(double sx, double sy)
    {
        scaleX *= sx;
        scaleY *= sy;
        dx *= sx;
        dy *= sy;
        return *this;
    }
    // Applies other first, then this.
    CGraphicsTransform operator*(const CGraphicsTransform& other) const
    {
        CGraphicsTransform t;
        t.scaleX = scaleX * other.scaleX;
        t.scaleY = scaleY * other.scaleY;
        t.dx = scaleX * other.dx + dx;
        t.dy = scaleY * other.dy + dy;
        return t;
    }
    CPoint transform(const CPoint& p) const { return {p.x * scaleX + dx, p.y * scaleY + dy}; }
    CRect transform(const CRect& r) const
    {
        const CPoint a = transform(r.getTopLeft());
        const CPoint b = transform(r.getBottomRight());
        return {a.x, a.y, b.x, b.y};
    }
    CPoint inverse(const CPoint& p) const
    {
        return {(p.x - dx) / scaleX, (p.y - dy) / scaleY};
    }
    CRect inverse(const CRect& r) const
    {
        const CPoint a = inverse(r.getTopLeft());
        const CPoint b = inverse(r.getBottomRight());
        return {a.x, a.y, b.x, b.y};
    }
};

} // namespace VSTGUI
