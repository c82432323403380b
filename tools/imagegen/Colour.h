// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cairo.h>

namespace imagegen
{

struct Colour
{
    double r, g, b;

    Colour mix(const Colour& other, double t) const
    {
        return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t};
    }
    void addStop(cairo_pattern_t* p, double offset, double alpha = 1.0) const
    {
        cairo_pattern_add_color_stop_rgba(p, offset, r, g, b, alpha);
    }
    void use(cairo_t* cr, double alpha = 1.0) const { cairo_set_source_rgba(cr, r, g, b, alpha); }
};

} // namespace imagegen
