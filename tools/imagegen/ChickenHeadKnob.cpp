// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChickenHeadKnob.h"

#include "SoftShadow.h"

#include <cmath>

namespace imagegen
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kDesignSize = 42.0; // the geometry below is laid out for this size

double radians(double degrees)
{
    return degrees * kPi / 180.0;
}

const Colour kWhite{1.0, 1.0, 1.0};
const Colour kBlack{0.0, 0.0, 0.0};
} // namespace

Canvas ChickenHeadKnob::strip(int frames, double sweepDegrees) const
{
    Canvas out(size_, size_ * frames);
    for (int i = 0; i < frames; ++i)
    {
        // Each frame is drawn alone so its shadows cannot bleed into its neighbours.
        Canvas frame(size_, size_);
        const double t = frames > 1 ? static_cast<double>(i) / (frames - 1) : 0.0;
        drawFrame(frame, -0.5 * sweepDegrees + t * sweepDegrees);
        cairo_set_source_surface(out.context(), frame.surface(), 0, size_ * i);
        cairo_paint(out.context());
    }
    return out;
}

void ChickenHeadKnob::drawFrame(Canvas& canvas, double angleDegrees) const
{
    cairo_t* cr = canvas.context();
    cairo_save(cr);
    cairo_scale(cr, size_ / kDesignSize, size_ / kDesignSize);
    const double angle = radians(angleDegrees);
    drawScale(cr);
    drawSkirt(canvas, angle);
    drawHead(canvas, angle);
    cairo_restore(cr);
}

void ChickenHeadKnob::drawScale(cairo_t* cr) const
{
    const double c = kDesignSize / 2;
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 0; k <= 10; ++k)
    {
        const double a = radians(-135.0 + 27.0 * k);
        const bool end = k == 0 || k == 10 || k == 5;
        const double r0 = end ? 17.2 : 17.8;
        const double r1 = 20.3;
        cairo_move_to(cr, c + r0 * std::sin(a), c - r0 * std::cos(a));
        cairo_line_to(cr, c + r1 * std::sin(a), c - r1 * std::cos(a));
        cairo_set_line_width(cr, end ? 1.4 : 1.0);
        palette_.scale.use(cr, 0.85);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void ChickenHeadKnob::drawSkirt(Canvas& canvas, double angle) const
{
    cairo_t* cr = canvas.context();
    const double c = kDesignSize / 2;
    const double outer = 15.3;
    const double face = 13.0;

    SoftShadow{0.9, 1.9, 2, 0.55}.paint(cr, [&](cairo_t* s)
                                        { cairo_arc(s, c, c, outer, 0, 2 * kPi); });

    // Side wall: lit from the top left.
    cairo_pattern_t* side = cairo_pattern_create_linear(c - outer, c - outer, c + outer, c + outer);
    palette_.skirt.mix(kWhite, 0.35).addStop(side, 0.0);
    palette_.skirt.addStop(side, 0.5);
    palette_.skirt.mix(kBlack, 0.55).addStop(side, 1.0);
    cairo_arc(cr, c, c, outer, 0, 2 * kPi);
    cairo_set_source(cr, side);
    cairo_fill(cr);
    cairo_pattern_destroy(side);

    // Knurling on the wall turns with the knob.
    cairo_save(cr);
    cairo_set_line_width(cr, 0.6);
    for (int k = 0; k < 36; ++k)
    {
        const double a = angle + k * 2 * kPi / 36;
        cairo_move_to(cr, c + (face + 0.4) * std::sin(a), c - (face + 0.4) * std::cos(a));
        cairo_line_to(cr, c + (outer - 0.5) * std::sin(a), c - (outer - 0.5) * std::cos(a));
    }
    kBlack.use(cr, 0.35);
    cairo_stroke(cr);
    cairo_restore(cr);

    // A thin catch-light along the upper rim.
    cairo_pattern_t* rim = cairo_pattern_create_linear(c - outer, c - outer, c + outer * 0.4, c + outer * 0.4);
    kWhite.addStop(rim, 0.0, 0.55);
    kWhite.addStop(rim, 1.0, 0.0);
    cairo_arc(cr, c, c, outer - 0.4, 0, 2 * kPi);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source(cr, rim);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);

    // The top face, slightly domed.
    cairo_pattern_t* top = cairo_pattern_create_radial(c - 4, c - 5, 1, c, c, face + 1);
    palette_.skirt.mix(kWhite, 0.22).addStop(top, 0.0);
    palette_.skirt.addStop(top, 0.6);
    palette_.skirt.mix(kBlack, 0.3).addStop(top, 1.0);
    cairo_arc(cr, c, c, face, 0, 2 * kPi);
    cairo_set_source(cr, top);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(top);
    cairo_set_line_width(cr, 0.7);
    kBlack.use(cr, 0.45);
    cairo_stroke(cr);

    // Fine turning marks on the face, as left by the lathe.
    cairo_set_line_width(cr, 0.35);
    for (double r = 2.5; r < face - 0.5; r += 1.1)
    {
        cairo_arc(cr, c, c, r, 0, 2 * kPi);
        kWhite.use(cr, 0.05);
        cairo_stroke(cr);
    }
}

void ChickenHeadKnob::headPath(cairo_t* cr, double angle) const
{
    const double c = kDesignSize / 2;
    cairo_save(cr);
    cairo_translate(cr, c, c);
    cairo_rotate(cr, angle);
    // Pointing up: a long tapered beak and a short round tail.
    cairo_move_to(cr, -1.9, -13.6);
    cairo_curve_to(cr, -3.8, -8.4, -6.6, -3.4, -6.6, 1.7);
    cairo_arc_negative(cr, 0.0, 1.7, 6.6, kPi, 0.0);
    cairo_curve_to(cr, 6.6, -3.4, 3.8, -8.4, 1.9, -13.6);
    cairo_arc_negative(cr, 0.0, -13.6, 1.9, 0.0, kPi);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void ChickenHeadKnob::drawHead(Canvas& canvas, double angle) const
{
    cairo_t* cr = canvas.context();
    const double c = kDesignSize / 2;

    SoftShadow{0.8, 1.6, 1, 0.6}.paint(cr, [&](cairo_t* s) { headPath(s, angle); });

    // Body, lit from the top left whatever the angle.
    cairo_pattern_t* body = cairo_pattern_create_linear(c - 9, c - 9, c + 9, c + 9);
    palette_.head.mix(kWhite, 0.28).addStop(body, 0.0);
    palette_.head.addStop(body, 0.45);
    palette_.head.mix(kBlack, 0.45).addStop(body, 1.0);
    headPath(cr, angle);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    // Bevelled edge: bright where it faces the light, dark where it turns away.
    cairo_save(cr);
    headPath(cr, angle);
    cairo_clip(cr);
    cairo_pattern_t* bevel = cairo_pattern_create_linear(c - 8, c - 8, c + 8, c + 8);
    kWhite.addStop(bevel, 0.0, 0.6);
    kWhite.addStop(bevel, 0.45, 0.0);
    kBlack.addStop(bevel, 0.55, 0.0);
    kBlack.addStop(bevel, 1.0, 0.55);
    headPath(cr, angle);
    cairo_set_line_width(cr, 2.0);
    cairo_set_source(cr, bevel);
    cairo_stroke(cr);
    cairo_pattern_destroy(bevel);

    // A soft gloss spot near the light.
    cairo_pattern_t* gloss = cairo_pattern_create_radial(c - 3.5, c - 4.0, 0.0, c - 3.5, c - 4.0, 6.0);
    kWhite.addStop(gloss, 0.0, 0.22);
    kWhite.addStop(gloss, 1.0, 0.0);
    cairo_set_source(cr, gloss);
    cairo_paint(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);

    // The inlaid line that shows the value.
    cairo_save(cr);
    cairo_translate(cr, c, c);
    cairo_rotate(cr, angle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 0.0, -2.4);
    cairo_line_to(cr, 0.0, -12.4);
    cairo_set_line_width(cr, 2.2);
    kBlack.use(cr, 0.35);
    cairo_stroke(cr);
    cairo_move_to(cr, 0.0, -2.4);
    cairo_line_to(cr, 0.0, -12.4);
    cairo_set_line_width(cr, 1.5);
    palette_.line.use(cr);
    cairo_stroke(cr);
    cairo_restore(cr);

    // Centre screw cap.
    cairo_pattern_t* cap = cairo_pattern_create_radial(c - 0.6, c - 0.6, 0.2, c, c, 2.0);
    palette_.head.mix(kWhite, 0.3).addStop(cap, 0.0);
    palette_.head.mix(kBlack, 0.5).addStop(cap, 1.0);
    cairo_arc(cr, c, c, 1.5, 0, 2 * kPi);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
}

} // namespace imagegen
