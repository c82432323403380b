// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CColor.h"
#include "vstgui/CFontDesc.h"
#include "vstgui/CGraphicsTransform.h"
#include "vstgui/CRect.h"

#include <string>
#include <vector>

namespace VSTGUI
{

class CBitmap;
class CGradient;
class IPlatformBitmap;

enum CDrawStyle
{
    kDrawStroked = 0,
    kDrawFilled,
    kDrawFilledAndStroked
};

enum CDrawModeFlags : int32_t
{
    kAliasing = 0,
    kAntiAliasing = 1
};

enum CHoriTxtAlign
{
    kLeftText = 0,
    kCenterText,
    kRightText
};

enum class CLineStyle
{
    solid,
    dotted
};

// Drawing in view coordinates. The state (colors, font, line, clip, transform) lives here, so
// a backend only supplies the primitives; saveGlobalState/restoreGlobalState nest.
class CDrawContext
{
public:
    virtual ~CDrawContext() = default;

    void setFrameColor(const CColor& c) { state.frameColor = c; }
    void setFillColor(const CColor& c) { state.fillColor = c; }
    void setFontColor(const CColor& c) { state.fontColor = c; }
    void setFont(const CFontDesc* font, double size = 0, int32_t style = -1);
    void setLineWidth(double w) { state.lineWidth = w; }
    void setLineStyle(CLineStyle s) { state.lineStyle = s; }
    void setDrawMode(int32_t mode) { state.drawMode = mode; }
    void setGlobalAlpha(float a) { state.globalAlpha = a; }
    const CColor& getFrameColor() const { return state.frameColor; }
    const CColor& getFillColor() const { return state.fillColor; }
    const CColor& getFontColor() const { return state.fontColor; }
    const CFontDesc& getFont() const { return state.font; }
    double getLineWidth() const { return state.lineWidth; }
    CLineStyle getLineStyle() const { return state.lineStyle; }
    int32_t getDrawMode() const { return state.drawMode; }
    float getGlobalAlpha() const { return state.globalAlpha; }

    // In the current view coordinates; the clip only ever narrows what the caller allowed.
    void setClipRect(const CRect& clip);
    CRect getClipRect() const;
    void resetClipRect();

    const CGraphicsTransform& getCurrentTransform() const { return state.transform; }
    void pushTransform(const CGraphicsTransform& t);
    void popTransform();

    void saveGlobalState();
    void restoreGlobalState();

    // Pixels per view unit (2 for a 2x backing store).
    double getScaleFactor() const { return scaleFactor; }

    virtual void drawLine(const CPoint& from, const CPoint& to) = 0;
    virtual void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked) = 0;
    virtual void drawRoundRect(const CRect& rect, double radius, CDrawStyle style = kDrawStroked) = 0;
    // Closed polygon through the points.
    virtual void drawPolygon(const std::vector<CPoint>& points, CDrawStyle style = kDrawStroked) = 0;
    virtual void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked) = 0;
    // Angles in degrees, clockwise from 3 o'clock.
    virtual void drawArc(const CRect& rect, double startAngle, double endAngle,
                         CDrawStyle style = kDrawStroked) = 0;
    virtual void fillLinearGradient(const CRect& rect, const CGradient& gradient,
                                    const CPoint& start, const CPoint& end) = 0;
    // One line of UTF-8 text, vertically centred in rect.
    virtual void drawString(const std::string& text, const CRect& rect,
                            CHoriTxtAlign align = kCenterText, bool antialias = true) = 0;
    // Baseline at point.
    virtual void drawString(const std::string& text, const CPoint& point, bool antialias = true) = 0;
    virtual double getStringWidth(const std::string& text) = 0;
    // Copies the part of the bitmap starting at offset into dest, clipped to dest and the bitmap.
    virtual void drawPlatformBitmap(const IPlatformBitmap& bitmap, const CRect& dest,
                                    const CPoint& offset, float alpha) = 0;
    virtual void clearRect(const CRect& rect) = 0;

    void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(),
                    float alpha = 1.f);

protected:
    explicit CDrawContext(double scaleFactor);

    struct State
    {
        CColor frameColor = kBlackCColor;
        CColor fillColor = kWhiteCColor;
        CColor fontColor = kBlackCColor;
        CFontDesc font{"Arial", 12};
        double lineWidth = 1;
        CLineStyle lineStyle = CLineStyle::solid;
        int32_t drawMode = kAntiAliasing;
        float globalAlpha = 1.f;
        CGraphicsTransform transform;
        CRect clipDevice; // in device pixels, after transform and scale
    };

    // The full transform to device pixels (scale included).
    CGraphicsTransform deviceTransform() const;
    // Backends apply the clip in device pixels when they draw.
    const CRect& deviceClip() const { return state.clipDevice; }
    void setDeviceBounds(const CRect& bounds);

private:
    double scaleFactor;
    CRect deviceBounds;
    State state;
    std::vector<State> stack;
    std::vector<CGraphicsTransform> transformStack;
};

} // namespace VSTGUI
