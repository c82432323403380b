// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResponsePlot.h"

#include "RenderError.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace halvane::render
{

namespace
{

constexpr int kWidth = 1200;
constexpr int kHeight = 900;
constexpr double kLeftMargin = 90.0;
constexpr double kRightMargin = 30.0;
constexpr double kTop = 95.0;
constexpr double kPanelGap = 60.0;
constexpr double kBottomMargin = 55.0;
constexpr double kDbFloor = -100.0;

struct Rgb
{
    double r, g, b;
};
constexpr Rgb kLeftColour{0.12, 0.38, 0.75};
constexpr Rgb kRightColour{0.80, 0.22, 0.15};

struct Panel
{
    double x, y, w, h;
    double xMin, xMax, yMin, yMax;
    double px(double v) const { return x + (v - xMin) / (xMax - xMin) * w; }
    double py(double v) const { return y + h - (v - yMin) / (yMax - yMin) * h; }
};

double niceStep(double range, int wanted)
{
    const double raw = range / std::max(wanted, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * magnitude >= raw) return m * magnitude;
    return 10.0 * magnitude;
}

std::string format(double v, double step)
{
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(v) < step * 1e-6 ? 0.0 : v);
    return text;
}

void text(cairo_t* cr, double x, double y, const std::string& s, double alignX, double alignY,
          double size = 13.0)
{
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    cairo_move_to(cr, x - e.width * alignX - e.x_bearing, y - e.height * alignY - e.y_bearing);
    cairo_show_text(cr, s.c_str());
}

void axes(cairo_t* cr, const Panel& p, const std::string& title, const std::string& yLabel,
          const std::string& xLabel)
{
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, p.x, p.y, p.w, p.h);
    cairo_fill(cr);

    cairo_set_line_width(cr, 1.0);
    const double xs = niceStep(p.xMax - p.xMin, 10);
    const double ys = niceStep(p.yMax - p.yMin, 5);
    for (double v = std::ceil(p.xMin / xs) * xs; v <= p.xMax + xs * 1e-6; v += xs)
    {
        cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
        cairo_move_to(cr, std::round(p.px(v)) + 0.5, p.y);
        cairo_line_to(cr, std::round(p.px(v)) + 0.5, p.y + p.h);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        text(cr, p.px(v), p.y + p.h + 6, format(v, xs), 0.5, 0.0, 11.0);
    }
    for (double v = std::ceil(p.yMin / ys) * ys; v <= p.yMax + ys * 1e-6; v += ys)
    {
        cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
        cairo_move_to(cr, p.x, std::round(p.py(v)) + 0.5);
        cairo_line_to(cr, p.x + p.w, std::round(p.py(v)) + 0.5);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        text(cr, p.x - 8, p.py(v), format(v, ys), 1.0, 0.5, 11.0);
    }

    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    cairo_rectangle(cr, p.x + 0.5, p.y + 0.5, p.w - 1, p.h - 1);
    cairo_stroke(cr);

    text(cr, p.x, p.y - 8, title, 0.0, 1.0, 14.0);
    if (!xLabel.empty()) text(cr, p.x + p.w / 2, p.y + p.h + 24, xLabel, 0.5, 0.0);
    cairo_save(cr);
    cairo_translate(cr, p.x - 62, p.y + p.h / 2);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, 0, 0, yLabel, 0.5, 0.5);
    cairo_restore(cr);
}

// Strokes inside a panel stay inside it; the caller restores.
void beginPanelStroke(cairo_t* cr, const Panel& p, Rgb c, double width)
{
    cairo_save(cr);
    cairo_rectangle(cr, p.x, p.y, p.w, p.h);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_set_line_width(cr, width);
}

// One vertical min-max stroke per pixel column keeps long responses readable.
void waveform(cairo_t* cr, const Panel& p, const std::vector<float>& s, double rate, Rgb c)
{
    beginPanelStroke(cr, p, c, 1.0);
    const int columns = static_cast<int>(p.w);
    for (int col = 0; col < columns; ++col)
    {
        const double t0 = p.xMin + (p.xMax - p.xMin) * col / columns;
        const double t1 = p.xMin + (p.xMax - p.xMin) * (col + 1) / columns;
        auto i0 = static_cast<size_t>(std::max(0.0, t0 * rate));
        auto i1 = static_cast<size_t>(std::max(0.0, t1 * rate));
        i1 = std::min(std::max(i1, i0 + 1), s.size());
        if (i0 >= s.size()) break;
        float lo = s[i0], hi = s[i0];
        for (size_t i = i0; i < i1; ++i)
        {
            lo = std::min(lo, s[i]);
            hi = std::max(hi, s[i]);
        }
        const double x = p.x + col + 0.5;
        cairo_move_to(cr, x, p.py(hi) - 0.5);
        cairo_line_to(cr, x, p.py(lo) + 0.5);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void curve(cairo_t* cr, const Panel& p, const std::vector<double>& db, double rate, Rgb c)
{
    beginPanelStroke(cr, p, c, 1.8);
    const size_t step = std::max<size_t>(1, db.size() / static_cast<size_t>(p.w * 2));
    for (size_t i = 0; i < db.size(); i += step)
    {
        const double x = p.px(static_cast<double>(i) / rate);
        const double y = p.py(std::max(db[i], p.yMin - 10.0));
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void legend(cairo_t* cr, double x, double y)
{
    const std::pair<const char*, Rgb> items[] = {{"Left ear", kLeftColour},
                                                 {"Right ear", kRightColour}};
    for (const auto& [label, c] : items)
    {
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
        cairo_rectangle(cr, x, y - 5, 22, 4);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        text(cr, x + 28, y - 3, label, 0.0, 0.5, 12.0);
        x += 110;
    }
}

} // namespace

ResponsePlot::ResponsePlot(std::vector<float> left, std::vector<float> right, double sampleRate,
                           std::string subtitle)
    : l(std::move(left)), r(std::move(right)), rate(sampleRate), note(std::move(subtitle))
{
}

std::vector<double> ResponsePlot::energyDecayDb(const std::vector<float>& response, double floorDb)
{
    std::vector<double> db(response.size(), floorDb);
    double total = 0.0;
    for (float s : response)
        total += static_cast<double>(s) * s;
    if (total <= 0.0) return db;
    double remaining = 0.0;
    for (size_t i = response.size(); i-- > 0;)
    {
        remaining += static_cast<double>(response[i]) * response[i];
        db[i] = remaining > 0.0 ? std::max(floorDb, 10.0 * std::log10(remaining / total)) : floorDb;
    }
    return db;
}

void ResponsePlot::writePng(const std::string& path, const std::string& shownName) const
{
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight), cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()),
                                                               cairo_destroy);
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 0.96, 0.96, 0.95);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);

    const double seconds =
        std::max<double>(1.0 / rate, static_cast<double>(std::max(l.size(), r.size())) / rate);
    float peak = 1e-6f;
    for (float s : l)
        peak = std::max(peak, std::fabs(s));
    for (float s : r)
        peak = std::max(peak, std::fabs(s));
    const double amp = niceStep(peak * 1.05, 1) * std::ceil(peak * 1.05 / niceStep(peak * 1.05, 1));

    const double w = kWidth - kLeftMargin - kRightMargin;
    const double h = (kHeight - kTop - kBottomMargin - 2 * kPanelGap) / 3.0;
    const Panel left{kLeftMargin, kTop, w, h, 0.0, seconds, -amp, amp};
    const Panel right{kLeftMargin, kTop + h + kPanelGap, w, h, 0.0, seconds, -amp, amp};
    const Panel decay{kLeftMargin, kTop + 2 * (h + kPanelGap), w, h, 0.0, seconds, kDbFloor, 0.0};

    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    text(cr, kLeftMargin, 26, "HalvaneDuo impulse response", 0.0, 0.5, 18.0);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    char rateText[64];
    std::snprintf(rateText, sizeof rateText, "%.0f Hz", rate);
    text(cr, kLeftMargin, 48, note.empty() ? std::string(rateText) : note + "  |  " + rateText, 0.0,
         0.5, 12.0);
    legend(cr, kWidth - kRightMargin - 220, 30);

    axes(cr, left, "Left ear", "Amplitude", "");
    waveform(cr, left, l, rate, kLeftColour);
    axes(cr, right, "Right ear", "Amplitude", "");
    waveform(cr, right, r, rate, kRightColour);
    axes(cr, decay, "Energy decay (Schroeder integral)", "Level (dB)", "Time (s)");
    curve(cr, decay, energyDecayDb(l), rate, kLeftColour);
    curve(cr, decay, energyDecayDb(r), rate, kRightColour);

    cairo_surface_flush(surface.get());
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw RenderError("cannot write " + shownName);
}

} // namespace halvane::render
