// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Canvas.h"
#include "Colour.h"

namespace imagegen
{

// A chicken-head knob on a round skirt, with a fixed scale printed around it. Light comes
// from the top left and stays there while the knob turns.
class ChickenHeadKnob
{
public:
    struct Palette
    {
        Colour skirt;      // the round base
        Colour head;       // the pointer bar
        Colour line;       // the line inlaid along the pointer
        Colour scale;      // tick marks around the knob
    };

    ChickenHeadKnob(const Palette& palette, int size) : palette_(palette), size_(size) {}

    // A vertical strip of frames; the pointer turns from -sweep/2 to +sweep/2 (degrees,
    // clockwise from straight up).
    Canvas strip(int frames, double sweepDegrees) const;
    // One frame at the origin of the canvas's current transform.
    void drawFrame(Canvas& canvas, double angleDegrees) const;

private:
    void drawScale(cairo_t* cr) const;
    void drawSkirt(Canvas& canvas, double angle) const;
    void drawHead(Canvas& canvas, double angle) const;
    void headPath(cairo_t* cr, double angle) const;

    Palette palette_;
    int size_;
};

} // namespace imagegen
