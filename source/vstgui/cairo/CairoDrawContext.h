// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/COffscreenContext.h"

#include <cairo.h>

namespace VSTGUI
{

class CairoFontResolver;

// Draws into an ARGB32 image surface of its own. A window backend can reuse it by drawing the
// surface into its window, or derive a context over a window surface from it.
class CairoDrawContext : public COffscreenContext
{
public:
    // Null-like (no surface) for an empty or absurd size; check isValid().
    CairoDrawContext(const CPoint& size, double scaleFactor, const CairoFontResolver& fonts);
    ~CairoDrawContext() override;
    CairoDrawContext(const CairoDrawContext&) = delete;
    CairoDrawContext& operator=(const CairoDrawContext&) = delete;

    bool isValid() const { return cr != nullptr; }
    cairo_surface_t* surface() const { return target; }

    void drawLine(const CPoint& from, const CPoint& to) override;
    void drawRect(const CRect& rect, CDrawStyle style) override;
    void drawRoundRect(const CRect& rect, double radius, CDrawStyle style) override;
    void drawPolygon(const std::vector<CPoint>& points, CDrawStyle style) override;
    void drawEllipse(const CRect& rect, CDrawStyle style) override;
    void drawArc(const CRect& rect, double startAngle, double endAngle, CDrawStyle style) override;
    void fillLinearGradient(const CRect& rect, const CGradient& gradient, const CPoint& start,
                            const CPoint& end) override;
    void drawString(const std::string& text, const CRect& rect, CHoriTxtAlign align,
                    bool antialias) override;
    void drawString(const std::string& text, const CPoint& point, bool antialias) override;
    double getStringWidth(const std::string& text) override;
    void drawPlatformBitmap(const IPlatformBitmap& bitmap, const CRect& dest, const CPoint& offset,
                            float alpha) override;
    void clearRect(const CRect& rect) override;

    PixelImage getPixels() override;

private:
    // Every primitive runs between these: clip and transform set, state restored after.
    bool begin();
    void end();
    void setSource(const CColor& color);
    void finishPath(CDrawStyle style);
    void selectFont(bool antialias);
    // Half-pixel shift that keeps odd-width strokes crisp.
    double strokeShift() const;

    const CairoFontResolver& fonts;
    cairo_surface_t* target = nullptr;
    cairo_t* cr = nullptr;
};

} // namespace VSTGUI
