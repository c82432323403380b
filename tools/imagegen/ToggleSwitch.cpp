// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToggleSwitch.h"

#include "Colour.h"
#include "SoftShadow.h"

#include <cmath>

namespace imagegen
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kDesignSize = 42.0;

const Colour kWhite{1.0, 1.0, 1.0};
const Colour kBlack{0.0, 0.0, 0.0};
const Colour kChrome{0.72, 0.73, 0.76};

void hexagon(cairo_t* cr, double cx, double cy, double r)
{
    for (int k = 0; k < 6; ++k)
    {
        const double a = kPi / 6 + k * kPi / 3;
        const double x = cx + r * std::cos(a);
        const double y = cy + r * std::sin(a);
        if (k == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

// The lever seen from above at an angle: a tapered shaft ending in a ball nearer the eye.
// direction is -1 for up, +1 for down.
void leverShaft(cairo_t* cr, double c, double direction)
{
    const double tip = c + direction * 12.0;
    cairo_move_to(cr, c - 2.4, c);
    cairo_line_to(cr, c - 3.3, tip);
    cairo_line_to(cr, c + 3.3, tip);
    cairo_line_to(cr, c + 2.4, c);
    cairo_close_path(cr);
}

void leverBall(cairo_t* cr, double c, double direction)
{
    cairo_arc(cr, c, c + direction * 12.5, 3.9, 0, 2 * kPi);
}
} // namespace

Canvas ToggleSwitch::strip() const
{
    Canvas out(size_, 2 * size_);
    for (int i = 0; i < 2; ++i)
    {
        Canvas frame(size_, size_);
        drawFrame(frame, i == 1);
        cairo_set_source_surface(out.context(), frame.surface(), 0, size_ * i);
        cairo_paint(out.context());
    }
    return out;
}

void ToggleSwitch::drawFrame(Canvas& canvas, bool on) const
{
    cairo_t* cr = canvas.context();
    cairo_save(cr);
    cairo_scale(cr, size_ / kDesignSize, size_ / kDesignSize);
    drawBushing(canvas);
    drawLever(canvas, on);
    cairo_restore(cr);
}

void ToggleSwitch::drawBushing(Canvas& canvas) const
{
    cairo_t* cr = canvas.context();
    const double c = kDesignSize / 2;

    // Dark anodised mounting washer, so the chrome stands off the panel.
    const Colour anodised{0.17, 0.17, 0.18};
    SoftShadow{0.8, 1.6, 2, 0.5}.paint(cr, [&](cairo_t* s) { cairo_arc(s, c, c, 12.6, 0, 2 * kPi); });
    cairo_pattern_t* washer = cairo_pattern_create_linear(c - 12, c - 12, c + 12, c + 12);
    anodised.mix(kWhite, 0.35).addStop(washer, 0.0);
    anodised.addStop(washer, 0.5);
    anodised.mix(kBlack, 0.5).addStop(washer, 1.0);
    cairo_arc(cr, c, c, 12.6, 0, 2 * kPi);
    cairo_set_source(cr, washer);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(washer);
    cairo_set_line_width(cr, 0.6);
    kBlack.use(cr, 0.4);
    cairo_stroke(cr);

    // Hex nut.
    SoftShadow{0.5, 1.0, 1, 0.5}.paint(cr, [&](cairo_t* s) { hexagon(s, c, c, 9.2); });
    cairo_pattern_t* nut = cairo_pattern_create_linear(c - 9, c - 9, c + 9, c + 9);
    kChrome.mix(kWhite, 0.65).addStop(nut, 0.0);
    kChrome.addStop(nut, 0.4);
    kChrome.mix(kBlack, 0.25).addStop(nut, 0.62);
    kChrome.mix(kBlack, 0.55).addStop(nut, 1.0);
    hexagon(cr, c, c, 9.2);
    cairo_set_source(cr, nut);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(nut);
    cairo_set_line_width(cr, 0.6);
    kBlack.use(cr, 0.5);
    cairo_stroke(cr);
    // Chamfer catching the light on the upper facets.
    hexagon(cr, c, c, 8.3);
    cairo_set_line_width(cr, 0.7);
    cairo_pattern_t* chamfer = cairo_pattern_create_linear(c, c - 9, c, c + 9);
    kWhite.addStop(chamfer, 0.0, 0.6);
    kWhite.addStop(chamfer, 0.6, 0.0);
    cairo_set_source(cr, chamfer);
    cairo_stroke(cr);
    cairo_pattern_destroy(chamfer);

    // Threaded bushing and the dark hole the lever comes out of.
    cairo_pattern_t* bush = cairo_pattern_create_radial(c - 1.5, c - 1.5, 0.5, c, c, 5.5);
    kChrome.mix(kWhite, 0.4).addStop(bush, 0.0);
    kChrome.mix(kBlack, 0.45).addStop(bush, 1.0);
    cairo_arc(cr, c, c, 5.4, 0, 2 * kPi);
    cairo_set_source(cr, bush);
    cairo_fill(cr);
    cairo_pattern_destroy(bush);
    cairo_arc(cr, c, c, 3.0, 0, 2 * kPi);
    Colour{0.06, 0.06, 0.07}.use(cr);
    cairo_fill(cr);
}

void ToggleSwitch::drawLever(Canvas& canvas, bool on) const
{
    cairo_t* cr = canvas.context();
    const double c = kDesignSize / 2;
    const double dir = on ? 1.0 : -1.0;

    // The lever casts a long shadow down and to the right.
    SoftShadow{1.6, 2.6, 1, 0.5}.paint(cr, [&](cairo_t* s)
                                       {
                                           leverShaft(s, c, dir);
                                           leverBall(s, c, dir);
                                       });

    // Shaft: a polished cylinder, shaded across its width.
    cairo_pattern_t* shaft = cairo_pattern_create_linear(c - 3, 0, c + 3, 0);
    kChrome.mix(kBlack, 0.4).addStop(shaft, 0.0);
    kChrome.mix(kWhite, 0.7).addStop(shaft, 0.3);
    kChrome.addStop(shaft, 0.55);
    kChrome.mix(kBlack, 0.6).addStop(shaft, 1.0);
    leverShaft(cr, c, dir);
    cairo_set_source(cr, shaft);
    cairo_fill(cr);
    cairo_pattern_destroy(shaft);

    // Ball end with a specular highlight.
    const double by = c + dir * 12.5;
    cairo_pattern_t* ball = cairo_pattern_create_radial(c - 1.2, by - 1.4, 0.3, c, by, 3.8);
    kWhite.addStop(ball, 0.0);
    kChrome.mix(kWhite, 0.2).addStop(ball, 0.35);
    kChrome.mix(kBlack, 0.55).addStop(ball, 1.0);
    leverBall(cr, c, dir);
    cairo_set_source(cr, ball);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(ball);
    cairo_set_line_width(cr, 0.5);
    kBlack.use(cr, 0.45);
    cairo_stroke(cr);
}

} // namespace imagegen
