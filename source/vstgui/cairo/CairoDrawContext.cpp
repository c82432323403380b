// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/cairo/CairoDrawContext.h"

#include "vstgui/CGradient.h"
#include "vstgui/cairo/CairoBitmap.h"
#include "vstgui/cairo/CairoFontResolver.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace VSTGUI
{

namespace
{

constexpr double kMaxPixels = 16384;
constexpr double kPi = 3.14159265358979323846;

} // namespace

CairoDrawContext::CairoDrawContext(const CPoint& size, double scaleFactor,
                                   const CairoFontResolver& fonts)
    : COffscreenContext(size, scaleFactor), fonts(fonts)
{
    const double w = std::ceil(size.x * getScaleFactor());
    const double h = std::ceil(size.y * getScaleFactor());
    if (!(w >= 1 && h >= 1 && w <= kMaxPixels && h <= kMaxPixels))
        return;
    target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(w), static_cast<int>(h));
    if (cairo_surface_status(target) != CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_destroy(target);
        target = nullptr;
        return;
    }
    cr = cairo_create(target);
    setDeviceBounds(CRect(0, 0, w, h));
}

CairoDrawContext::~CairoDrawContext()
{
    if (cr)
        cairo_destroy(cr);
    if (target)
        cairo_surface_destroy(target);
}

bool CairoDrawContext::begin()
{
    const CRect& clip = deviceClip();
    if (!cr || clip.isEmpty())
        return false;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle(cr, clip.left, clip.top, clip.getWidth(), clip.getHeight());
    cairo_clip(cr);
    const CGraphicsTransform t = deviceTransform();
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.scaleX, 0, 0, t.scaleY, t.dx, t.dy);
    cairo_set_matrix(cr, &m);
    cairo_set_antialias(cr, getDrawMode() & kAntiAliasing ? CAIRO_ANTIALIAS_DEFAULT
                                                           : CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr, getLineWidth());
    if (getLineStyle() == CLineStyle::dotted)
    {
        const double dash = getLineWidth();
        cairo_set_dash(cr, &dash, 1, 0);
    }
    return true;
}

void CairoDrawContext::end()
{
    cairo_restore(cr);
}

void CairoDrawContext::setSource(const CColor& color)
{
    cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0,
                          color.alpha / 255.0 * getGlobalAlpha());
}

double CairoDrawContext::strokeShift() const
{
    const long width = std::lround(getLineWidth());
    return (width % 2 == 1) ? 0.5 : 0.0;
}

void CairoDrawContext::finishPath(CDrawStyle style)
{
    if (style == kDrawFilled || style == kDrawFilledAndStroked)
    {
        setSource(getFillColor());
        if (style == kDrawFilledAndStroked)
            cairo_fill_preserve(cr);
        else
            cairo_fill(cr);
    }
    if (style == kDrawStroked || style == kDrawFilledAndStroked)
    {
        setSource(getFrameColor());
        cairo_stroke(cr);
    }
}

void CairoDrawContext::drawLine(const CPoint& from, const CPoint& to)
{
    if (!begin())
        return;
    const double s = strokeShift();
    cairo_move_to(cr, from.x + s, from.y + s);
    cairo_line_to(cr, to.x + s, to.y + s);
    setSource(getFrameColor());
    cairo_stroke(cr);
    end();
}

void CairoDrawContext::drawRect(const CRect& rect, CDrawStyle style)
{
    if (!begin())
        return;
    if (style == kDrawFilled)
    {
        cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    }
    else
    {
        // The stroke stays inside the rectangle, as on the other platforms.
        const double half = getLineWidth() / 2;
        cairo_rectangle(cr, rect.left + half, rect.top + half, rect.getWidth() - 2 * half,
                        rect.getHeight() - 2 * half);
    }
    finishPath(style);
    end();
}

void CairoDrawContext::drawRoundRect(const CRect& rect, double radius, CDrawStyle style)
{
    if (!begin())
        return;
    CRect r(rect);
    if (style != kDrawFilled)
        r.inset(getLineWidth() / 2, getLineWidth() / 2);
    radius = std::max(0.0, std::min({radius, r.getWidth() / 2, r.getHeight() / 2}));
    cairo_new_sub_path(cr);
    cairo_arc(cr, r.right - radius, r.top + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, r.right - radius, r.bottom - radius, radius, 0, kPi / 2);
    cairo_arc(cr, r.left + radius, r.bottom - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, r.left + radius, r.top + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
    finishPath(style);
    end();
}

void CairoDrawContext::drawPolygon(const std::vector<CPoint>& points, CDrawStyle style)
{
    if (points.size() < 2 || !begin())
        return;
    const double s = style == kDrawFilled ? 0.0 : strokeShift();
    cairo_move_to(cr, points[0].x + s, points[0].y + s);
    for (size_t i = 1; i < points.size(); ++i)
        cairo_line_to(cr, points[i].x + s, points[i].y + s);
    cairo_close_path(cr);
    finishPath(style);
    end();
}

void CairoDrawContext::drawEllipse(const CRect& rect, CDrawStyle style)
{
    drawArc(rect, 0, 360, style);
}

void CairoDrawContext::drawArc(const CRect& rect, double startAngle, double endAngle,
                               CDrawStyle style)
{
    if (rect.isEmpty() || !begin())
        return;
    CRect r(rect);
    if (style != kDrawFilled)
        r.inset(getLineWidth() / 2, getLineWidth() / 2);
    if (r.getWidth() > 0 && r.getHeight() > 0)
    {
        const CPoint c = r.getCenter();
        cairo_save(cr);
        cairo_translate(cr, c.x, c.y);
        cairo_scale(cr, r.getWidth() / 2, r.getHeight() / 2);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 1, startAngle * kPi / 180, endAngle * kPi / 180);
        const bool full = std::fabs(endAngle - startAngle) >= 360;
        if (full)
            cairo_close_path(cr);
        else if (style != kDrawStroked)
            cairo_line_to(cr, 0, 0);
        cairo_restore(cr); // back to the unscaled matrix so strokes keep their width
        finishPath(style);
    }
    end();
}

void CairoDrawContext::fillLinearGradient(const CRect& rect, const CGradient& gradient,
                                          const CPoint& start, const CPoint& end_)
{
    if (gradient.getColorStops().empty() || !begin())
        return;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end_.x, end_.y);
    for (const CGradient::ColorStop& stop : gradient.getColorStops())
    {
        const CColor& c = stop.color;
        cairo_pattern_add_color_stop_rgba(pattern, stop.start, c.red / 255.0, c.green / 255.0,
                                          c.blue / 255.0, c.alpha / 255.0 * getGlobalAlpha());
    }
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    end();
}

void CairoDrawContext::selectFont(bool antialias)
{
    const CFontDesc& font = getFont();
    const std::string family = fonts.family(font);
    cairo_select_font_face(cr, family.c_str(),
                           font.getStyle() & kItalicFace ? CAIRO_FONT_SLANT_ITALIC
                                                         : CAIRO_FONT_SLANT_NORMAL,
                           font.getStyle() & kBoldFace ? CAIRO_FONT_WEIGHT_BOLD
                                                       : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.getSize() > 0 ? font.getSize() : 12);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY
                                                        : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

void CairoDrawContext::drawString(const std::string& text, const CRect& rect, CHoriTxtAlign align,
                                  bool antialias)
{
    if (text.empty() || !begin())
        return;
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
    selectFont(antialias);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_font_extents_t fontExtents;
    cairo_font_extents(cr, &fontExtents);
    double x = rect.left;
    if (align == kCenterText)
        x = rect.left + (rect.getWidth() - extents.x_advance) / 2;
    else if (align == kRightText)
        x = rect.right - extents.x_advance;
    const double y =
        rect.top + rect.getHeight() / 2 + (fontExtents.ascent - fontExtents.descent) / 2;
    cairo_move_to(cr, std::round(x), std::round(y));
    setSource(getFontColor());
    cairo_show_text(cr, text.c_str());
    end();
}

void CairoDrawContext::drawString(const std::string& text, const CPoint& point, bool antialias)
{
    if (text.empty() || !begin())
        return;
    selectFont(antialias);
    cairo_move_to(cr, point.x, point.y);
    setSource(getFontColor());
    cairo_show_text(cr, text.c_str());
    end();
}

double CairoDrawContext::getStringWidth(const std::string& text)
{
    if (!cr || text.empty())
        return 0;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    selectFont(true);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_restore(cr);
    return extents.x_advance;
}

void CairoDrawContext::drawPlatformBitmap(const IPlatformBitmap& bitmap, const CRect& dest,
                                          const CPoint& offset, float alpha)
{
    const auto* cairoBitmap = dynamic_cast<const CairoBitmap*>(&bitmap);
    if (!cairoBitmap || dest.isEmpty() || !begin())
        return;
    // Only the part of the image that exists is drawn: the source rectangle is clipped to it.
    const CPoint size = cairoBitmap->getSize();
    CRect visible(dest.left - offset.x, dest.top - offset.y, dest.left - offset.x + size.x,
                  dest.top - offset.y + size.y);
    visible.bound(dest);
    if (!visible.isEmpty())
    {
        cairo_rectangle(cr, visible.left, visible.top, visible.getWidth(), visible.getHeight());
        cairo_clip(cr);
        cairo_set_source_surface(cr, cairoBitmap->surface(), dest.left - offset.x,
                                 dest.top - offset.y);
        if (getScaleFactor() == 1.0)
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint_with_alpha(cr, std::clamp(alpha, 0.f, 1.f) * getGlobalAlpha());
    }
    end();
}

void CairoDrawContext::clearRect(const CRect& rect)
{
    if (!begin())
        return;
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_fill(cr);
    end();
}

PixelImage CairoDrawContext::getPixels()
{
    PixelImage image;
    if (!target)
        return image;
    cairo_surface_flush(target);
    image.width = cairo_image_surface_get_width(target);
    image.height = cairo_image_surface_get_height(target);
    const int stride = cairo_image_surface_get_stride(target);
    const unsigned char* data = cairo_image_surface_get_data(target);
    image.rgba.resize(static_cast<size_t>(image.width) * image.height * 4);
    for (int y = 0; y < image.height; ++y)
    {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < image.width; ++x)
        {
            const uint32_t argb = row[x];
            const uint32_t a = argb >> 24;
            uint8_t* out = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            // Cairo keeps premultiplied alpha; callers want straight colors.
            auto unpremultiply = [a](uint32_t c) {
                return static_cast<uint8_t>(a ? std::min<uint32_t>(255, (c * 255 + a / 2) / a) : 0);
            };
            out[0] = unpremultiply((argb >> 16) & 0xff);
            out[1] = unpremultiply((argb >> 8) & 0xff);
            out[2] = unpremultiply(argb & 0xff);
            out[3] = static_cast<uint8_t>(a);
        }
    }
    return image;
}

} // namespace VSTGUI
