// SPDX-License-Identifier: GPL-3.0-or-later
#include "PolygonHitTest.h"

bool insidePolygon(const float* xs, const float* ys, int count, float x, float y)
{
    bool inside = false;
    for (int i = 0, j = count - 1; i < count; j = i++)
    {
        // A horizontal edge never straddles y, so the division below never meets it.
        if ((y < ys[i]) != (y < ys[j]) &&
            x < (xs[j] - xs[i]) * (y - ys[i]) / (ys[j] - ys[i]) + xs[i])
            inside = !inside;
    }
    return inside;
}
