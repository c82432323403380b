// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelBackground.h"

#include "BrushedMetal.h"
#include "Colour.h"
#include "SoftShadow.h"

#include <cmath>

namespace imagegen
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
const Colour kWhite{1.0, 1.0, 1.0};
const Colour kBlack{0.0, 0.0, 0.0};

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}
} // namespace

Canvas PanelBackground::draw() const
{
    Canvas metal(width_, height_);
    BrushedMetal dark;
    dark.red = 0.25;
    dark.green = 0.26;
    dark.blue = 0.28;
    dark.streaks = 0.05;
    dark.grain = 0.018;
    dark.sheen = 0.02;
    dark.seed = 0x70616e656cull;
    dark.paint(metal);

    Canvas out(width_, height_);
    cairo_t* cr = out.context();
    const double w = width_, h = height_, r = 9.0;

    roundedRect(cr, 0, 0, w, h, r);
    cairo_set_source_surface(cr, metal.surface(), 0, 0);
    cairo_fill(cr);

    // Bevel: light along the top and left edges, shade along the bottom and right.
    cairo_pattern_t* bevel = cairo_pattern_create_linear(0, 0, w, h);
    kWhite.addStop(bevel, 0.0, 0.35);
    kWhite.addStop(bevel, 0.5, 0.05);
    kBlack.addStop(bevel, 1.0, 0.6);
    roundedRect(cr, 1.5, 1.5, w - 3, h - 3, r - 1.5);
    cairo_set_line_width(cr, 3.0);
    cairo_set_source(cr, bevel);
    cairo_stroke(cr);
    cairo_pattern_destroy(bevel);

    // An engraved inner border.
    roundedRect(cr, 10.5, 10.5, w - 21, h - 21, 5);
    cairo_set_line_width(cr, 1.0);
    kBlack.use(cr, 0.5);
    cairo_stroke(cr);
    roundedRect(cr, 11.5, 11.5, w - 21, h - 21, 5);
    kWhite.use(cr, 0.12);
    cairo_stroke(cr);

    const double m = 22.0;
    drawScrew(cr, m, m, 0.4);
    drawScrew(cr, w - m, m, 1.3);
    drawScrew(cr, m, h - m, 2.2);
    drawScrew(cr, w - m, h - m, 0.9);
    return out;
}

void PanelBackground::drawScrew(cairo_t* cr, double x, double y, double slotAngle) const
{
    const double r = 5.0;
    SoftShadow{0.6, 1.2, 1, 0.6}.paint(cr, [&](cairo_t* s) { cairo_arc(s, x, y, r, 0, 2 * kPi); });
    cairo_pattern_t* head = cairo_pattern_create_radial(x - 1.8, y - 2.0, 0.5, x, y, r);
    Colour{0.85, 0.86, 0.88}.addStop(head, 0.0);
    Colour{0.55, 0.56, 0.58}.addStop(head, 0.6);
    Colour{0.30, 0.30, 0.32}.addStop(head, 1.0);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_set_source(cr, head);
    cairo_fill(cr);
    cairo_pattern_destroy(head);

    // Cross slot: a dark groove with a lit lower lip.
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, slotAngle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 0; k < 2; ++k)
    {
        cairo_move_to(cr, -r * 0.62, 0.45);
        cairo_line_to(cr, r * 0.62, 0.45);
        cairo_set_line_width(cr, 1.3);
        kWhite.use(cr, 0.35);
        cairo_stroke(cr);
        cairo_move_to(cr, -r * 0.62, 0);
        cairo_line_to(cr, r * 0.62, 0);
        cairo_set_line_width(cr, 1.3);
        Colour{0.12, 0.12, 0.13}.use(cr);
        cairo_stroke(cr);
        cairo_rotate(cr, kPi / 2);
    }
    cairo_restore(cr);
}

} // namespace imagegen
