// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Canvas.h"

namespace imagegen
{

// A dark anodised front panel with a bevelled edge and corner screws. Drawn to be stretched
// as a nine-part image: everything but plain texture stays inside the corner margins.
class PanelBackground
{
public:
    PanelBackground(int width, int height) : width_(width), height_(height) {}

    Canvas draw() const;

private:
    void drawScrew(cairo_t* cr, double x, double y, double slotAngle) const;

    int width_;
    int height_;
};

} // namespace imagegen
