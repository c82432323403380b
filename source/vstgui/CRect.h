// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CPoint.h"

#include <algorithm>

namespace VSTGUI
{

// Edges rather than origin + size, as VSTGUI keeps them: right and bottom are exclusive.
struct CRect
{
    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;

    CRect() = default;
    CRect(CCoord left, CCoord top, CCoord right, CCoord bottom)
        : left(left), top(top), right(right), bottom(bottom)
    {
    }
    CRect(const CPoint& origin, const CPoint& size)
        : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y)
    {
    }

    CCoord getWidth() const { return right - left; }
    CCoord getHeight() const { return bottom - top; }
    CPoint getTopLeft() const { return {left, top}; }
    CPoint getTopRight() const { return {right, top}; }
    CPoint getBottomLeft() const { return {left, bottom}; }
    CPoint getBottomRight() const { return {right, bottom}; }
    CPoint getSize() const { return {getWidth(), getHeight()}; }
    CPoint getCenter() const { return {left + getWidth() / 2, top + getHeight() / 2}; }

    CRect& setWidth(CCoord w)
    {
        right = left + w;
        return *this;
    }
    CRect& setHeight(CCoord h)
    {
        bottom = top + h;
        return *this;
    }
    CRect& setTopLeft(const CPoint& p)
    {
        const CPoint size = getSize();
        left = p.x;
        top = p.y;
        return setSize(size);
    }
    CRect& setSize(const CPoint& size)
    {
        right = left + size.x;
        bottom = top + size.y;
        return *this;
    }
    CRect& offset(CCoord dx, CCoord dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    CRect& offset(const CPoint& p) { return offset(p.x, p.y); }
    CRect& offsetInverse(const CPoint& p) { return offset(-p.x, -p.y); }
    CRect& moveTo(const CPoint& p) { return setTopLeft(p); }
    CRect& inset(CCoord dx, CCoord dy)
    {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
        return *this;
    }
    CRect& extend(CCoord dx, CCoord dy) { return inset(-dx, -dy); }

    bool isEmpty() const { return right <= left || bottom <= top; }
    bool pointInside(const CPoint& p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool rectOverlap(const CRect& r) const
    {
        return !isEmpty() && !r.isEmpty() && r.left < right && r.right > left && r.top < bottom
               && r.bottom > top;
    }
    CRect& bound(const CRect& r)
    {
        left = std::max(left, r.left);
        top = std::max(top, r.top);
        right = std::max(left, std::min(right, r.right));
        bottom = std::max(top, std::min(bottom, r.bottom));
        return *this;
    }
    // Union; an empty rectangle adds nothing.
    CRect& unite(const CRect& r)
    {
        if (r.isEmpty())
            return *this;
        if (isEmpty())
            return *this = r;
        left = std::min(left, r.left);
        top = std::min(top, r.top);
        right = std::max(right, r.right);
        bottom = std::max(bottom, r.bottom);
        return *this;
    }

    bool operator==(const CRect& r) const
    {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }
    bool operator!=(const CRect& r) const { return !(*this == r); }
};

} // namespace VSTGUI
