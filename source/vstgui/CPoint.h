// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace VSTGUI
{

using CCoord = double;

struct CPoint
{
    CCoord x = 0;
    CCoord y = 0;

    CPoint() = default;
    CPoint(CCoord x, CCoord y) : x(x), y(y) {}

    CPoint& offset(CCoord dx, CCoord dy)
    {
        x += dx;
        y += dy;
        return *this;
    }
    CPoint& offset(const CPoint& p) { return offset(p.x, p.y); }
    CPoint& offsetInverse(const CPoint& p) { return offset(-p.x, -p.y); }

    CPoint operator+(const CPoint& p) const { return {x + p.x, y + p.y}; }
    CPoint operator-(const CPoint& p) const { return {x - p.x, y - p.y}; }
    CPoint& operator+=(const CPoint& p) { return offset(p); }
    CPoint& operator-=(const CPoint& p) { return offsetInverse(p); }
    bool operator==(const CPoint& p) const { return x == p.x && y == p.y; }
    bool operator!=(const CPoint& p) const { return !(*this == p); }
};

} // namespace VSTGUI
