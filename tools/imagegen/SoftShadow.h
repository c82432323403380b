// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cairo.h>

#include <functional>

namespace imagegen
{

// A blurred, offset copy of a silhouette, painted in black under what is drawn next.
struct SoftShadow
{
    double dx = 1.0;
    double dy = 2.0;
    int blur = 2;        // box-blur radius in pixels, applied three times
    double alpha = 0.5;

    // silhouette() builds a path on the given context (same coordinates as target's).
    void paint(cairo_t* target, const std::function<void(cairo_t*)>& silhouette) const;
};

} // namespace imagegen
