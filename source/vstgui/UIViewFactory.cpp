// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/UIViewFactory.h"

#include "vstgui/CAnimKnob.h"
#include "vstgui/CKickButton.h"
#include "vstgui/COnOffButton.h"
#include "vstgui/COptionMenu.h"
#include "vstgui/CTextEdit.h"
#include "vstgui/CTextLabel.h"
#include "vstgui/CViewContainer.h"
#include "vstgui/CVuMeter.h"
#include "vstgui/CXYPad.h"
#include "vstgui/IUIDescription.h"
#include "vstgui/UIAttributes.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace VSTGUI
{

namespace
{

// Sizes beyond this are typos, not editors.
constexpr double kMaxCoordinate = 100000;

const std::map<std::string, std::function<CView*()>>& creators()
{
    static const std::map<std::string, std::function<CView*()>> table = {
        {"CView", [] { return new CView(CRect()); }},
        {"CViewContainer", [] { return new CViewContainer(CRect()); }},
        {"CParamDisplay", [] { return new CParamDisplay(CRect()); }},
        {"CTextLabel", [] { return new CTextLabel(CRect()); }},
        {"CTextEdit", [] { return new CTextEdit(CRect(), nullptr, -1); }},
        {"COptionMenu", [] { return new COptionMenu(CRect(), nullptr, -1); }},
        {"COnOffButton", [] { return new COnOffButton(CRect()); }},
        {"CAnimKnob", [] { return new CAnimKnob(CRect()); }},
        {"CKickButton", [] { return new CKickButton(CRect()); }},
        {"CVuMeter", [] { return new CVuMeter(CRect(), nullptr, nullptr, 0); }},
        {"CXYPad", [] { return new CXYPad(CRect()); }},
    };
    return table;
}

bool finiteCoordinate(double v)
{
    return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate;
}

class Applier
{
public:
    Applier(const UIAttributes& attributes, const IUIDescription& description)
        : attributes(attributes), description(description)
    {
    }

    template <class F>
    void point(const char* name, F set) const
    {
        CPoint p;
        if (attributes.getPointAttribute(name, p) && finiteCoordinate(p.x) && finiteCoordinate(p.y))
            set(p);
    }
    template <class F>
    void number(const char* name, F set) const
    {
        double d = 0;
        if (attributes.getDoubleAttribute(name, d))
            set(d);
    }
    template <class F>
    void boolean(const char* name, F set) const
    {
        bool b = false;
        if (attributes.getBooleanAttribute(name, b))
            set(b);
    }
    template <class F>
    void color(const char* name, F set) const
    {
        const std::string* v = attributes.getAttributeValue(name);
        CColor c;
        if (v && !v->empty() && description.getColor(*v, c))
            set(c);
    }
    template <class F>
    void bitmap(const char* name, F set) const
    {
        const std::string* v = attributes.getAttributeValue(name);
        if (v && !v->empty())
        {
            if (CBitmap* b = description.getBitmap(*v))
                set(b);
        }
    }
    const std::string* text(const char* name) const { return attributes.getAttributeValue(name); }

private:
    const UIAttributes& attributes;
    const IUIDescription& description;
};

void applyView(CView* view, const Applier& a)
{
    CRect r = view->getViewSize();
    a.point("origin", [&](const CPoint& p) { r.moveTo(p); });
    // Negative sizes become empty views rather than inverted rectangles.
    a.point("size", [&](const CPoint& p) { r.setSize(CPoint(std::max(0.0, p.x), std::max(0.0, p.y))); });
    view->setViewSize(r, false);
    a.boolean("transparent", [&](bool b) { view->setTransparency(b); });
    a.boolean("mouse-enabled", [&](bool b) { view->setMouseEnabled(b); });
    a.boolean("visible", [&](bool b) { view->setVisible(b); });
    a.number("opacity", [&](double d) { view->setAlphaValue(static_cast<float>(d)); });
    if (const std::string* t = a.text("tooltip"))
        view->setTooltipText(*t);
    a.bitmap("bitmap", [&](CBitmap* b) { view->setBackground(b); });
    a.bitmap("disabled-bitmap", [&](CBitmap* b) { view->setDisabledBackground(b); });
}

void applyContainer(CViewContainer* c, const Applier& a)
{
    a.color("background-color", [&](const CColor& col) { c->setBackgroundColor(col); });
    if (const std::string* style = a.text("background-color-draw-style"))
    {
        if (*style == "stroked")
            c->setBackgroundColorDrawStyle(kDrawStroked);
        else if (*style == "filled")
            c->setBackgroundColorDrawStyle(kDrawFilled);
        else if (*style == "filled and stroked")
            c->setBackgroundColorDrawStyle(kDrawFilledAndStroked);
    }
    a.point("background-offset", [&](const CPoint& p) { c->setBackgroundOffset(p); });
}

void applyControl(CControl* c, const Applier& a)
{
    a.number("min-value", [&](double d) { c->setMin(static_cast<float>(d)); });
    a.number("max-value", [&](double d) { c->setMax(static_cast<float>(d)); });
    a.number("default-value", [&](double d) { c->setDefaultValue(static_cast<float>(d)); });
    a.number("wheel-inc-value", [&](double d) { c->setWheelInc(static_cast<float>(d)); });
    a.point("background-offset", [&](const CPoint& p) { c->setBackOffset(p); });
}

void applyMultiBitmap(IMultiBitmapControl* m, const Applier& a)
{
    a.number("height-of-one-image", [&](double d) {
        if (std::isfinite(d) && d >= 0 && d <= kMaxCoordinate)
            m->setHeightOfOneImage(d);
    });
    a.number("sub-pixmaps", [&](double d) {
        if (std::isfinite(d) && d >= 0 && d <= 1e6)
            m->setNumSubPixmaps(static_cast<int32_t>(d));
    });
}

void applyParamDisplay(CParamDisplay* p, const Applier& a, const IUIDescription& description)
{
    if (const std::string* name = a.text("font"))
    {
        if (CFontDesc* font = description.getFont(*name))
            p->setFont(font);
    }
    a.color("font-color", [&](const CColor& c) { p->setFontColor(c); });
    a.color("back-color", [&](const CColor& c) { p->setBackColor(c); });
    a.color("frame-color", [&](const CColor& c) { p->setFrameColor(c); });
    a.color("shadow-color", [&](const CColor& c) { p->setShadowColor(c); });
    a.boolean("font-antialias", [&](bool b) { p->setAntialias(b); });
    if (const std::string* align = a.text("text-alignment"))
    {
        if (*align == "left")
            p->setHoriAlign(kLeftText);
        else if (*align == "right")
            p->setHoriAlign(kRightText);
        else if (*align == "center")
            p->setHoriAlign(kCenterText);
    }
    a.point("text-inset", [&](const CPoint& pt) { p->setTextInset(pt); });
    struct StyleFlag
    {
        const char* name;
        int32_t bit;
    };
    static const StyleFlag flags[] = {
        {"style-3D-in", k3DIn},           {"style-3D-out", k3DOut},
        {"style-no-frame", kNoFrame},     {"style-no-text", kNoTextStyle},
        {"style-no-draw", kNoDrawStyle},  {"style-shadow-text", kShadowText},
        {"style-round-rect", kRoundRectStyle},
    };
    for (const StyleFlag& flag : flags)
    {
        a.boolean(flag.name, [&](bool on) {
            p->setStyle(on ? (p->getStyle() | flag.bit) : (p->getStyle() & ~flag.bit));
        });
    }
    a.number("round-rect-radius", [&](double d) {
        if (std::isfinite(d) && d >= 0)
            p->setRoundRectRadius(d);
    });
    a.number("frame-width", [&](double d) {
        if (std::isfinite(d) && d >= 0)
            p->setFrameWidth(d);
    });
    a.number("value-precision", [&](double d) {
        if (std::isfinite(d) && d >= 0)
            p->setPrecision(static_cast<uint8_t>(std::min(d, 15.0)));
    });
}

void applyKnob(CKnobBase* k, const Applier& a)
{
    a.number("angle-start", [&](double d) { k->setStartAngle(static_cast<float>(d)); });
    a.number("angle-range", [&](double d) { k->setRangeAngle(static_cast<float>(d)); });
    a.number("value-inset", [&](double d) { k->setInsetValue(d); });
    a.number("zoom-factor", [&](double d) { k->setZoomFactor(static_cast<float>(d)); });
}

void applyVuMeter(CVuMeter* m, const Applier& a)
{
    a.bitmap("off-bitmap", [&](CBitmap* b) { m->setOffBitmap(b); });
    a.number("num-led", [&](double d) {
        if (std::isfinite(d) && d >= 0 && d <= 10000)
            m->setNbLed(static_cast<int32_t>(d));
    });
    if (const std::string* o = a.text("orientation"))
    {
        if (*o == "horizontal")
            m->setStyle(CVuMeter::kHorizontal);
        else if (*o == "vertical")
            m->setStyle(CVuMeter::kVertical);
    }
    a.number("decrease-step-value", [&](double d) { m->setDecreaseStepValue(static_cast<float>(d)); });
}

} // namespace

CView* UIViewFactory::createView(const std::string& className)
{
    auto found = creators().find(className);
    return found != creators().end() ? found->second() : nullptr;
}

void UIViewFactory::applyAttributes(CView* view, const UIAttributes& attributes,
                                    const IUIDescription& description)
{
    if (!view)
        return;
    const Applier a(attributes, description);
    applyView(view, a);
    if (auto* container = dynamic_cast<CViewContainer*>(view))
        applyContainer(container, a);
    if (auto* control = dynamic_cast<CControl*>(view))
        applyControl(control, a);
    if (auto* multi = dynamic_cast<IMultiBitmapControl*>(view))
        applyMultiBitmap(multi, a);
    if (auto* display = dynamic_cast<CParamDisplay*>(view))
        applyParamDisplay(display, a, description);
    if (auto* label = dynamic_cast<CTextLabel*>(view))
    {
        if (const std::string* title = a.text("title"))
            label->setText(*title);
    }
    if (auto* edit = dynamic_cast<CTextEdit*>(view))
        a.boolean("immediate-text-change", [&](bool b) { edit->setImmediateTextChange(b); });
    if (auto* knob = dynamic_cast<CKnobBase*>(view))
        applyKnob(knob, a);
    if (auto* meter = dynamic_cast<CVuMeter*>(view))
        applyVuMeter(meter, a);
    if (auto* pad = dynamic_cast<CXYPad*>(view))
        a.boolean("stop-tracking-on-mouse-exit", [&](bool b) { pad->setStopTrackingOnMouseExit(b); });
}

std::vector<std::string> UIViewFactory::classNames()
{
    std::vector<std::string> names;
    for (const auto& entry : creators())
        names.push_back(entry.first);
    return names;
}

} // namespace VSTGUI
