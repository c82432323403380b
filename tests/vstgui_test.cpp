// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestResources.h"

#include "vstgui/CAnimKnob.h"
#include "vstgui/CFrame.h"
#include "vstgui/CGradient.h"
#include "vstgui/CKickButton.h"
#include "vstgui/CNinePartTiledBitmap.h"
#include "vstgui/COnOffButton.h"
#include "vstgui/COptionMenu.h"
#include "vstgui/COptionMenuPopup.h"
#include "vstgui/CTextEdit.h"
#include "vstgui/CVSTGUITimer.h"
#include "vstgui/CVuMeter.h"
#include "vstgui/CXYPad.h"
#include "vstgui/IPlatformFactory.h"
#include "vstgui/OffscreenRender.h"
#include "vstgui/TimerService.h"
#include "vstgui/UIAttributes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace VSTGUI;
using halvane::test::TestResources;

namespace
{

// Releases a frame the way an editor does when it closes.
struct FrameHolder
{
    CFrame* frame;
    explicit FrameHolder(const CRect& size, VSTGUIEditorInterface* editor = nullptr)
        : frame(new CFrame(size, editor))
    {
    }
    ~FrameHolder() { frame->close(); }
    CFrame* operator->() const { return frame; }
};

struct Listener : IControlListener
{
    std::vector<std::string> events;
    std::vector<float> values;

    void valueChanged(CControl* c) override
    {
        events.push_back("changed");
        values.push_back(c->getValue());
    }
    void controlBeginEdit(CControl*) override { events.push_back("begin"); }
    void controlEndEdit(CControl*) override { events.push_back("end"); }
    size_t count(const std::string& e) const { return std::count(events.begin(), events.end(), e); }
};

struct KnobModeEditor : VSTGUIEditorInterface
{
    int32_t mode = kLinearMode;
    bool refuseResize = false;
    int32_t getKnobMode() const override { return mode; }
    bool beforeSizeChange(const CRect&, const CRect&) override { return !refuseResize; }
};

// A view that writes down what reaches it, with the point in its parent's coordinates.
struct RecordingView : CView
{
    std::vector<std::string>* log;
    std::string name;
    CMouseEventResult downResult = kMouseEventHandled;
    bool focus = false;

    RecordingView(const CRect& r, std::vector<std::string>* log, std::string name)
        : CView(r), log(log), name(std::move(name))
    {
    }
    std::string at(const char* what, const CPoint& p, const CButtonState& b = 0)
    {
        char text[96];
        std::snprintf(text, sizeof text, "%s %s %g,%g%s", name.c_str(), what, p.x, p.y,
                      b.isDoubleClick() ? " double" : "");
        return text;
    }
    CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override
    {
        log->push_back(at("down", p, b));
        return downResult;
    }
    CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override
    {
        log->push_back(at("moved", p, b));
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseUp(CPoint& p, const CButtonState& b) override
    {
        log->push_back(at("up", p, b));
        return kMouseEventHandled;
    }
    bool onWheel(const CPoint& p, const CMouseWheelAxis&, const float& d, const CButtonState&) override
    {
        log->push_back(at("wheel", p) + " " + std::to_string(static_cast<int>(d)));
        return true;
    }
    int32_t onKeyDown(VstKeyCode& k) override
    {
        log->push_back(name + " key " + std::to_string(k.character));
        return 1;
    }
    void takeFocus() override { log->push_back(name + " takeFocus"); }
    void looseFocus() override { log->push_back(name + " looseFocus"); }
};

VstKeyCode charKey(char c)
{
    VstKeyCode k;
    k.character = c;
    return k;
}

VstKeyCode virtKey(unsigned char v)
{
    VstKeyCode k;
    k.virt = v;
    return k;
}

void click(CFrame* frame, CPoint p, int32_t buttons = kLButton)
{
    frame->platformOnMouseDown(p, buttons);
    frame->platformOnMouseUp(p, buttons);
}

void typeText(CFrame* frame, const std::string& text)
{
    for (char c : text)
    {
        VstKeyCode k = charKey(c);
        frame->platformOnKeyDown(k);
    }
}

bool near(const PixelImage::Pixel& p, halvane::test::Rgb c, int tolerance = 2)
{
    return std::abs(p.r - c.r) <= tolerance && std::abs(p.g - c.g) <= tolerance
           && std::abs(p.b - c.b) <= tolerance;
}

} // namespace

TEST(VstguiGeometry, RectanglesPointsAndTransforms)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.getWidth(), 100);
    EXPECT_EQ(r.getHeight(), 50);
    EXPECT_TRUE(r.pointInside({10, 20}));
    EXPECT_FALSE(r.pointInside({110, 20})); // right and bottom edges are outside
    EXPECT_FALSE(r.pointInside({10, 70}));

    CRect b(r);
    b.bound(CRect(50, 0, 200, 40));
    EXPECT_EQ(b, CRect(50, 20, 110, 40));
    CRect disjoint(r);
    disjoint.bound(CRect(500, 500, 600, 600));
    EXPECT_TRUE(disjoint.isEmpty());

    CRect u;
    u.unite(CRect(5, 5, 10, 10)).unite(CRect(0, 8, 3, 20)).unite(CRect());
    EXPECT_EQ(u, CRect(0, 5, 10, 20));

    EXPECT_TRUE(r.rectOverlap(CRect(100, 60, 200, 200)));
    EXPECT_FALSE(r.rectOverlap(CRect(110, 20, 200, 200)));

    CRect moved(r);
    moved.moveTo({0, 0});
    EXPECT_EQ(moved, CRect(0, 0, 100, 50));

    CGraphicsTransform t;
    t.translate(10, 20);
    CGraphicsTransform scale;
    scale.scale(2, 2);
    const CGraphicsTransform device = scale * t;
    EXPECT_EQ(device.transform(CPoint(1, 1)), CPoint(22, 42));
    EXPECT_EQ(device.inverse(CPoint(22, 42)), CPoint(1, 1));
}

TEST(VstguiStyle, ColorsAndFontsByName)
{
    CColor c;
    EXPECT_TRUE(c.fromString("#c8c8c8ff"));
    EXPECT_EQ(c, CColor(200, 200, 200, 255));
    EXPECT_TRUE(c.fromString("#10203040"));
    EXPECT_EQ(c, CColor(0x10, 0x20, 0x30, 0x40));
    EXPECT_TRUE(c.fromString("#0a0B0c"));
    EXPECT_EQ(c, CColor(10, 11, 12, 255));
    EXPECT_EQ(c.toString(), "#0a0b0cff");
    for (const char* bad : {"", "#", "#12345", "#1234567", "c8c8c8ff", "#gg0000ff", "#c8c8c8ff0"})
    {
        CColor keep(1, 2, 3, 4);
        EXPECT_FALSE(keep.fromString(bad)) << bad;
        EXPECT_EQ(keep, CColor(1, 2, 3, 4)) << bad;
    }

    struct Named
    {
        const char* name;
        CColor color;
    };
    for (const Named& n : {Named{"~ BlackCColor", {0, 0, 0, 255}}, Named{"~ WhiteCColor", {255, 255, 255, 255}},
                           Named{"~ GreyCColor", {127, 127, 127, 255}}, Named{"~ RedCColor", {255, 0, 0, 255}},
                           Named{"~ GreenCColor", {0, 255, 0, 255}}, Named{"~ BlueCColor", {0, 0, 255, 255}},
                           Named{"~ YellowCColor", {255, 255, 0, 255}}, Named{"~ CyanCColor", {0, 255, 255, 255}},
                           Named{"~ MagentaCColor", {255, 0, 255, 255}},
                           Named{"~ TransparentCColor", {255, 255, 255, 0}}})
    {
        CColor found;
        EXPECT_TRUE(findBuiltinColor(n.name, found)) << n.name;
        EXPECT_EQ(found, n.color) << n.name;
    }
    CColor none;
    EXPECT_FALSE(findBuiltinColor("~ PinkCColor", none));

    struct Font
    {
        const char* name;
        double size;
    };
    for (const Font& f : {Font{"~ NormalFontVeryBig", 18}, Font{"~ NormalFontBig", 14}, Font{"~ NormalFont", 12},
                          Font{"~ NormalFontSmall", 11}, Font{"~ NormalFontSmaller", 10},
                          Font{"~ NormalFontVerySmall", 9}, Font{"~ SymbolFont", 12}, Font{"~ SystemFont", 12}})
    {
        const CFontRef font = findBuiltinFont(f.name);
        ASSERT_NE(font, nullptr) << f.name;
        EXPECT_EQ(font->getSize(), f.size) << f.name;
    }
    EXPECT_EQ(findBuiltinFont("~ NormalFontHuge"), nullptr);
    EXPECT_EQ(findBuiltinFont("~ NormalFont"), kNormalFont);

    CGradient g(0, 1, CColor(0, 0, 0, 255), CColor(200, 100, 50, 255));
    EXPECT_EQ(g.colorAt(0.5), CColor(100, 50, 25, 255));
    EXPECT_EQ(g.colorAt(-1), CColor(0, 0, 0, 255));
    EXPECT_EQ(g.colorAt(2), CColor(200, 100, 50, 255));
}

TEST(VstguiStyle, MissingFamiliesFallBackToAnInstalledSans)
{
    const IPlatformFactory& platform = getPlatformFactory();
    const std::string verdana = platform.resolveFontFamily(CFontDesc("Verdana", 14, kBoldFace | kItalicFace));
    const std::string msSans = platform.resolveFontFamily(CFontDesc("Microsoft Sans Serif", 18, kBoldFace));
    const std::string dejavu = platform.resolveFontFamily(CFontDesc("DejaVu Sans", 12));
    EXPECT_EQ(dejavu, "DejaVu Sans");
    for (const std::string& family : {verdana, msSans})
    {
        EXPECT_FALSE(family.empty());
        // A serif or monospaced face would mean the fallback missed the sans alias.
        EXPECT_EQ(family.find("Serif") == std::string::npos || family.find("Sans") != std::string::npos, true)
            << family;
        EXPECT_EQ(family.find("Mono"), std::string::npos) << family;
    }
    // Text in a missing family still has width, and bold is wider than regular.
    const double regular = platform.getStringWidth(CFontDesc("Verdana", 14), "Halvane Hall");
    const double bold = platform.getStringWidth(CFontDesc("Verdana", 14, kBoldFace), "Halvane Hall");
    EXPECT_GT(regular, 40);
    EXPECT_GT(bold, regular);
}

TEST(VstguiStyle, PointAndNumberTexts)
{
    CPoint p;
    EXPECT_TRUE(UIAttributes::stringToPoint("268, 490", p));
    EXPECT_EQ(p, CPoint(268, 490));
    EXPECT_TRUE(UIAttributes::stringToPoint("268 ,490", p));
    EXPECT_EQ(p, CPoint(268, 490));
    EXPECT_TRUE(UIAttributes::stringToPoint("-25,410", p));
    EXPECT_EQ(p, CPoint(-25, 410));
    for (const char* bad : {"", "1", "1,", ",2", "1,2,3", "a, b", "1 2", "nan, 1", "1e999, 2"})
        EXPECT_FALSE(UIAttributes::stringToPoint(bad, p)) << bad;

    UIAttributes a;
    a.setAttribute("flag", "true");
    a.setAttribute("other", "yes");
    a.setAttribute("rect", "0, 0, 1236, 768");
    bool b = false;
    EXPECT_TRUE(a.getBooleanAttribute("flag", b));
    EXPECT_TRUE(b);
    EXPECT_FALSE(a.getBooleanAttribute("other", b));
    EXPECT_FALSE(a.getBooleanAttribute("missing", b));
    CRect r;
    EXPECT_TRUE(a.getRectAttribute("rect", r));
    EXPECT_EQ(r, CRect(0, 0, 1236, 768));
}

TEST(VstguiViewTree, MouseGoesToTopmostViewAndStaysCapturedUntilRelease)
{
    std::vector<std::string> log;
    FrameHolder frame(CRect(0, 0, 200, 200));
    auto* group = new CViewContainer(CRect(50, 50, 150, 150));
    auto* below = new RecordingView(CRect(0, 0, 60, 60), &log, "below");
    auto* above = new RecordingView(CRect(20, 20, 80, 80), &log, "above");
    group->addView(below);
    group->addView(above);
    frame->addView(group);

    // Points arrive in the receiving view's parent coordinates.
    frame->platformOnMouseDown({75, 75}, kLButton);
    frame->platformOnMouseMoved({190, 5}, kLButton); // far outside: still captured
    frame->platformOnMouseUp({190, 5}, kLButton);
    frame->platformOnMouseDown({55, 55}, kLButton | kDoubleClick);
    frame->platformOnMouseUp({55, 55}, kLButton);
    const std::vector<std::string> expected = {
        "above down 25,25",  "above moved 140,-45", "above up 140,-45",
        "below down 5,5 double", "below up 5,5",
    };
    EXPECT_EQ(log, expected);

    // A view that declines the click lets it through to the one below.
    log.clear();
    above->downResult = kMouseEventNotHandled;
    frame->platformOnMouseDown({75, 75}, kLButton);
    frame->platformOnMouseUp({75, 75}, kLButton);
    EXPECT_EQ(log, (std::vector<std::string>{"above down 25,25", "below down 25,25", "below up 25,25"}));

    // Invisible and mouse-disabled views are passed over; the wheel goes where the mouse is.
    log.clear();
    above->setVisible(false);
    below->setMouseEnabled(false);
    frame->platformOnMouseDown({75, 75}, kLButton);
    EXPECT_TRUE(log.empty());
    below->setMouseEnabled(true);
    frame->platformOnMouseWheel({60, 60}, kMouseWheelAxisY, 2, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"below wheel 10,10 2"}));

    EXPECT_EQ(below->getFrameRect(), CRect(50, 50, 110, 110));
    EXPECT_EQ(frame->getViewAt({75, 75}, true), below);
}

TEST(VstguiViewTree, FocusKeysAndRemoval)
{
    std::vector<std::string> log;
    FrameHolder frame(CRect(0, 0, 100, 100));
    auto* a = new RecordingView(CRect(0, 0, 50, 50), &log, "a");
    auto* b = new RecordingView(CRect(50, 0, 100, 50), &log, "b");
    frame->addView(a);
    frame->addView(b);

    VstKeyCode k = charKey('x');
    EXPECT_FALSE(frame->platformOnKeyDown(k)); // no focus, nobody takes it
    frame->setFocusView(a);
    EXPECT_TRUE(frame->platformOnKeyDown(k));
    frame->setFocusView(b);
    EXPECT_EQ(log, (std::vector<std::string>{"a takeFocus", "a key 120", "a looseFocus", "b takeFocus"}));

    // A click outside the focus view takes the focus away.
    log.clear();
    click(frame.frame, {10, 10});
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(log.front(), "b looseFocus");

    // A removed focus view is forgotten without being told (it is going away).
    frame->setFocusView(a);
    log.clear();
    frame->removeView(a);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_TRUE(log.empty());
}

TEST(VstguiViewTree, InvalidationReachesTheFrameInFrameCoordinates)
{
    FrameHolder frame(CRect(0, 0, 300, 300));
    auto* group = new CViewContainer(CRect(100, 100, 200, 200));
    auto* knob = new CAnimKnob(CRect(10, 20, 52, 62));
    group->addView(knob);
    frame->addView(group);
    frame->clearDirtyRect();
    knob->setValue(0.7f);
    EXPECT_EQ(frame->getDirtyRect(), CRect(110, 120, 152, 162));
    frame->clearDirtyRect();
    knob->setValue(0.7f); // no change, nothing to redraw
    EXPECT_TRUE(frame->getDirtyRect().isEmpty());

    KnobModeEditor editor;
    FrameHolder sized(CRect(0, 0, 100, 100), &editor);
    EXPECT_TRUE(sized->setSize(120, 80));
    EXPECT_EQ(sized->getViewSize(), CRect(0, 0, 120, 80));
    editor.refuseResize = true;
    EXPECT_FALSE(sized->setSize(50, 50));
    EXPECT_EQ(sized->getViewSize(), CRect(0, 0, 120, 80));
}

TEST(VstguiControls, ValueRangeTagAndGestures)
{
    Listener listener;
    CControl control(CRect(0, 0, 10, 10), &listener, 7);
    control.setMin(-10);
    control.setMax(30);
    control.setValue(0);
    EXPECT_FLOAT_EQ(control.getValueNormalized(), 0.25f);
    control.setValueNormalized(1.5f);
    EXPECT_FLOAT_EQ(control.getValue(), 30);
    control.setValue(std::nanf(""));
    EXPECT_FLOAT_EQ(control.getValue(), 30);
    control.setValue(100);
    control.bounceValue();
    EXPECT_FLOAT_EQ(control.getValue(), 30);
    control.setMax(-10); // no range: normalized 0, never a division by zero
    EXPECT_EQ(control.getValueNormalized(), 0.f);

    // Nested gestures reach the listener once.
    control.beginEdit();
    control.beginEdit();
    control.endEdit();
    control.endEdit();
    control.endEdit();
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin", "end"}));
}

TEST(VstguiControls, KnobDragsFollowTheEditorsKnobMode)
{
    KnobModeEditor editor;
    FrameHolder frame(CRect(0, 0, 200, 200), &editor);
    Listener listener;
    auto* knob = new CAnimKnob(CRect(58, 58, 142, 142), &listener, 3);
    knob->setValue(0.5f);
    frame->addView(knob);
    const CPoint c(100, 100);

    // Linear: 100 pixels up is half the range, right adds, with the zoom modifier it is finer.
    editor.mode = kLinearMode;
    frame->platformOnMouseDown(c, kLButton);
    frame->platformOnMouseMoved({100, 60}, kLButton);
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-5);
    frame->platformOnMouseMoved({120, 60}, kLButton);
    EXPECT_NEAR(knob->getValue(), 0.8f, 1e-5);
    frame->platformOnMouseMoved({120, 0}, kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 0.8f + 60.f / (200.f * 1.5f), 1e-5);
    frame->platformOnMouseMoved({120, -400}, kLButton);
    EXPECT_FLOAT_EQ(knob->getValue(), 1.f);
    frame->platformOnMouseUp({120, -400}, kLButton);
    EXPECT_EQ(listener.events.front(), "begin");
    EXPECT_EQ(listener.events.back(), "end");
    EXPECT_EQ(listener.count("begin"), 1u);
    EXPECT_GE(listener.count("changed"), 3u);

    // Circular: the value is the pointer's angle within the 270 degree sweep from 135 degrees.
    editor.mode = kCircularMode;
    frame->platformOnMouseDown({100, 60}, kLButton); // straight up: the middle
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
    frame->platformOnMouseMoved({60, 140}, kLButton); // down-left: the start
    EXPECT_NEAR(knob->getValue(), 0.f, 1e-5);
    frame->platformOnMouseMoved({140, 100}, kLButton); // 3 o'clock: 225 of 270 degrees
    EXPECT_NEAR(knob->getValue(), 225.f / 270.f, 1e-5);
    frame->platformOnMouseMoved({100, 140}, kLButton); // dead zone at the bottom, nearer the end
    EXPECT_NEAR(knob->getValue(), 1.f, 1e-5);
    frame->platformOnMouseUp({100, 140}, kLButton);

    // Relative circular: a grab anywhere does not jump; a quarter turn adds 90 of 270 degrees.
    editor.mode = kRelativCircularMode;
    knob->setValue(0.2f);
    frame->platformOnMouseDown({140, 100}, kLButton);
    EXPECT_NEAR(knob->getValue(), 0.2f, 1e-5);
    frame->platformOnMouseMoved({128, 128}, kLButton);
    frame->platformOnMouseMoved({100, 140}, kLButton);
    EXPECT_NEAR(knob->getValue(), 0.2f + 90.f / 270.f, 1e-4);
    frame->platformOnMouseUp({100, 140}, kLButton);
}

TEST(VstguiControls, KnobWheelAndDefaultValue)
{
    FrameHolder frame(CRect(0, 0, 100, 100));
    Listener listener;
    auto* knob = new CAnimKnob(CRect(0, 0, 42, 42), &listener, 0);
    knob->setDefaultValue(0.5f);
    knob->setWheelInc(0.1f);
    knob->setValue(0.2f);
    frame->addView(knob);

    frame->platformOnMouseWheel({20, 20}, kMouseWheelAxisY, 2, 0);
    EXPECT_NEAR(knob->getValue(), 0.4f, 1e-6);
    frame->platformOnMouseWheel({20, 20}, kMouseWheelAxisY, -1, kShift);
    EXPECT_NEAR(knob->getValue(), 0.4f - 0.1f / 1.5f, 1e-6);
    frame->platformOnMouseWheel({20, 20}, kMouseWheelAxisY, 50, 0);
    EXPECT_FLOAT_EQ(knob->getValue(), 1.f);

    listener.events.clear();
    frame->platformOnMouseDown({20, 20}, kLButton | kDoubleClick);
    frame->platformOnMouseUp({20, 20}, kLButton);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin", "changed", "end"}));

    knob->setValue(0.9f);
    frame->platformOnMouseDown({20, 20}, kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
}

TEST(VstguiControls, OnOffKickAndPad)
{
    FrameHolder frame(CRect(0, 0, 300, 100));
    Listener listener;
    auto* toggle = new COnOffButton(CRect(0, 0, 42, 42), &listener, 8);
    auto* kick = new CKickButton(CRect(50, 0, 92, 42), &listener, 9);
    auto* pad = new CXYPad(CRect(100, 0, 200, 100));
    pad->setListener(&listener);
    frame->addView(toggle);
    frame->addView(kick);
    frame->addView(pad);

    click(frame.frame, {10, 10});
    EXPECT_FLOAT_EQ(toggle->getValue(), 1.f);
    click(frame.frame, {10, 10});
    EXPECT_FLOAT_EQ(toggle->getValue(), 0.f);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin", "changed", "end", "begin", "changed", "end"}));

    listener.events.clear();
    listener.values.clear();
    frame->platformOnMouseDown({60, 10}, kLButton);
    EXPECT_FLOAT_EQ(kick->getValue(), 1.f);
    frame->platformOnMouseMoved({150, 10}, kLButton); // off the button: released
    EXPECT_FLOAT_EQ(kick->getValue(), 0.f);
    frame->platformOnMouseMoved({60, 10}, kLButton);
    frame->platformOnMouseUp({60, 10}, kLButton);
    EXPECT_FLOAT_EQ(kick->getValue(), 0.f);
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f, 1.f, 0.f}));
    EXPECT_EQ(listener.events.front(), "begin");
    EXPECT_EQ(listener.events.back(), "end");

    float x = 0, y = 0;
    CXYPad::calculateXY(CXYPad::calculateValue(0.25f, 0.75f), x, y);
    EXPECT_NEAR(x, 0.25f, 1e-3);
    EXPECT_NEAR(y, 0.75f, 1e-3);
    CXYPad::calculateXY(CXYPad::calculateValue(1.f, 1.f), x, y);
    EXPECT_NEAR(x, 1.f, 1e-3);
    EXPECT_NEAR(y, 1.f, 1e-3);
    frame->platformOnMouseDown({105, 5}, kLButton); // the handle centred on the top-left corner
    frame->platformOnMouseMoved({500, 500}, kLButton);
    frame->platformOnMouseUp({500, 500}, kLButton);
    CXYPad::calculateXY(pad->getValue(), x, y);
    EXPECT_NEAR(x, 1.f, 1e-3);
    EXPECT_NEAR(y, 1.f, 1e-3);
}

TEST(VstguiControls, TextEditCommitsOnEnterAndFocusLossAndRestoresOnEscape)
{
    FrameHolder frame(CRect(0, 0, 200, 100));
    Listener listener;
    auto* edit = new CTextEdit(CRect(0, 0, 100, 20), &listener, 4, "0.50");
    auto* other = new COnOffButton(CRect(150, 50, 190, 90));
    frame->addView(edit);
    frame->addView(other);

    click(frame.frame, {10, 10});
    EXPECT_TRUE(edit->isEditingText());
    EXPECT_EQ(frame->getFocusView(), edit);
    typeText(frame.frame, "-3.5");
    VstKeyCode back = virtKey(VKEY_BACK);
    frame->platformOnKeyDown(back);
    typeText(frame.frame, "25");
    EXPECT_EQ(edit->getEditText(), "-3.25");
    EXPECT_EQ(edit->getText(), "0.50"); // nothing committed yet
    VstKeyCode enter = virtKey(VKEY_RETURN);
    frame->platformOnKeyDown(enter);
    EXPECT_FALSE(edit->isEditingText());
    EXPECT_EQ(edit->getText(), "-3.25");
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin", "changed", "end"}));

    listener.events.clear();
    click(frame.frame, {10, 10});
    typeText(frame.frame, "99");
    VstKeyCode escape = virtKey(VKEY_ESCAPE);
    frame->platformOnKeyDown(escape);
    EXPECT_EQ(edit->getText(), "-3.25");
    EXPECT_TRUE(listener.events.empty());

    click(frame.frame, {10, 10});
    typeText(frame.frame, "7");
    click(frame.frame, {160, 60}); // elsewhere: the field loses focus and keeps the text
    EXPECT_EQ(edit->getText(), "7");
    EXPECT_EQ(listener.count("changed"), 1u);

    // A converter turns the committed text into the value.
    edit->setStringToValueFunction([](const std::string& text, float& v, CTextEdit*) {
        v = std::stof(text) / 10.f;
        return true;
    });
    click(frame.frame, {10, 10});
    typeText(frame.frame, "5");
    frame->platformOnKeyDown(enter);
    EXPECT_FLOAT_EQ(edit->getValue(), 0.5f);
}

TEST(VstguiControls, OptionMenuChoosesFromAPopupInsideTheFrame)
{
    FrameHolder frame(CRect(0, 0, 268, 490));
    Listener listener;
    auto* menu = new COptionMenu(CRect(60, 355, 102, 375), &listener, 1);
    for (const char* entry : {"R90", "R45", "C0", "L45", "L90"})
        menu->addEntry(entry);
    frame->addView(menu);
    EXPECT_EQ(menu->getMax(), 4.f);
    EXPECT_EQ(menu->getCurrentIndex(), 0);

    click(frame.frame, {70, 360});
    ASSERT_TRUE(menu->isPopupOpen());
    COptionMenuPopup* popup = menu->getPopup();
    EXPECT_EQ(frame->getModalView(), popup);
    const CRect l45 = popup->getEntryRect(3);
    EXPECT_GE(l45.top, 0);
    EXPECT_LE(popup->getFrameRect().bottom, 490); // kept inside the frame
    click(frame.frame, l45.getCenter());
    EXPECT_FALSE(menu->isPopupOpen());
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_EQ(menu->getCurrentIndex(), 3);
    EXPECT_EQ(menu->getEntry(3), "L45");
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin", "changed", "end"}));

    // Outside the list, or Escape: closed without a choice.
    listener.events.clear();
    click(frame.frame, {70, 360});
    ASSERT_TRUE(menu->isPopupOpen());
    click(frame.frame, {250, 10});
    EXPECT_FALSE(menu->isPopupOpen());
    click(frame.frame, {70, 360});
    VstKeyCode escape = virtKey(VKEY_ESCAPE);
    frame->platformOnKeyDown(escape);
    EXPECT_FALSE(menu->isPopupOpen());
    EXPECT_EQ(menu->getCurrentIndex(), 3);
    EXPECT_TRUE(listener.events.empty());

    // The menu going away while open takes its popup with it.
    click(frame.frame, {70, 360});
    ASSERT_TRUE(menu->isPopupOpen());
    frame->removeView(menu);
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_EQ(frame->getNbViews(), 0u);

    // And the frame closing with the list open leaves the menu no dangling popup.
    auto* second = new COptionMenu(CRect(0, 0, 40, 20), &listener, 1);
    second->addEntry("only");
    second->remember();
    frame->addView(second);
    click(frame.frame, {10, 10});
    ASSERT_TRUE(second->isPopupOpen());
    frame->removeAll();
    EXPECT_FALSE(second->isPopupOpen());
    second->forget();
}

TEST(VstguiTimer, ServiceFiresTimersDeterministically)
{
    TimerService& service = TimerService::instance();
    int fast = 0;
    int slow = 0;
    CVSTGUITimer* fastTimer = new CVSTGUITimer([&](CVSTGUITimer*) { ++fast; }, 50, true);
    CVSTGUITimer* slowTimer = new CVSTGUITimer([&](CVSTGUITimer*) { ++slow; }, 120, true);
    service.advance(1000);
    EXPECT_EQ(fast, 20);
    EXPECT_EQ(slow, 8);
    EXPECT_EQ(service.timeToNextTimer(), 50); // fast at +50 comes before slow at +80
    fastTimer->stop();
    service.advance(1000);
    EXPECT_EQ(fast, 20);
    fastTimer->forget();
    slowTimer->forget();
    EXPECT_EQ(service.runningTimers(), 0u);

    // A listener hears kMsgTimer; a timer stopped or deleted in its own callback stays quiet.
    struct Receiver : CBaseObject
    {
        int ticks = 0;
        CMessageResult notify(CBaseObject*, IdStringPtr message) override
        {
            if (message == CVSTGUITimer::kMsgTimer)
                ++ticks;
            return kMessageNotified;
        }
    } receiver;
    auto* notifying = new CVSTGUITimer(&receiver, 50, true);
    int selfStops = 0;
    CVSTGUITimer* selfDeleting = nullptr;
    selfDeleting = new CVSTGUITimer(
        [&](CVSTGUITimer* t) {
            ++selfStops;
            t->forget();
            selfDeleting = nullptr;
        },
        10, true);
    service.advance(100);
    EXPECT_EQ(receiver.ticks, 2);
    EXPECT_EQ(selfStops, 1);
    EXPECT_EQ(selfDeleting, nullptr);
    notifying->forget();
    EXPECT_EQ(service.runningTimers(), 0u);
}

TEST(VstguiRendering, ShapesTextClipAndScale)
{
    FrameHolder frame(CRect(0, 0, 60, 40));
    frame->setBackgroundColor(CColor(0, 0, 255, 255));
    auto* box = new CViewContainer(CRect(10, 10, 30, 30));
    box->setBackgroundColor(CColor(255, 0, 0, 255));
    box->setBackgroundColorDrawStyle(kDrawFilled);
    auto* inner = new CViewContainer(CRect(-5, -5, 5, 5)); // sticks out: clipped to the box
    inner->setBackgroundColor(CColor(0, 255, 0, 255));
    inner->setBackgroundColorDrawStyle(kDrawFilled);
    box->addView(inner);
    frame->addView(box);

    const PixelImage image = renderOffscreen(*frame.frame, 1.0);
    ASSERT_EQ(image.width, 60);
    ASSERT_EQ(image.height, 40);
    EXPECT_TRUE(near(image.pixel(2, 2), {0, 0, 255}));
    EXPECT_TRUE(near(image.pixel(20, 20), {255, 0, 0}));
    EXPECT_TRUE(near(image.pixel(12, 12), {0, 255, 0}));  // inner, inside the box
    EXPECT_TRUE(near(image.pixel(8, 8), {0, 0, 255}));    // inner, outside the box: clipped
    EXPECT_TRUE(near(image.pixel(29, 29), {255, 0, 0}));
    EXPECT_TRUE(near(image.pixel(30, 30), {0, 0, 255}));

    const PixelImage doubled = renderOffscreen(*frame.frame, 2.0);
    ASSERT_EQ(doubled.width, 120);
    ASSERT_EQ(doubled.height, 80);
    EXPECT_TRUE(near(doubled.pixel(59, 59), {255, 0, 0}));
    EXPECT_TRUE(near(doubled.pixel(61, 61), {0, 0, 255}));

    // Green text on a transparent label: green pixels inside the label only.
    auto* label = new CTextLabel(CRect(0, 0, 60, 20), "Binaural");
    label->setTransparency(true);
    label->setFontColor(kGreenCColor);
    label->setFont(kNormalFontBig);
    label->setStyle(kNoFrame);
    FrameHolder textFrame(CRect(0, 0, 60, 40));
    textFrame->setBackgroundColor(kBlackCColor);
    textFrame->addView(label);
    const PixelImage text = renderOffscreen(*textFrame.frame, 1.0);
    int green = 0;
    int outside = 0;
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x)
        {
            const auto p = text.pixel(x, y);
            if (p.g > 128 && p.r < 64 && p.b < 64)
                (y < 20 ? green : outside)++;
        }
    EXPECT_GT(green, 20);
    EXPECT_EQ(outside, 0);

    // Opaque displays draw their box and frame; transparent ones only their text.
    FrameHolder boxes(CRect(0, 0, 60, 20));
    boxes->setBackgroundColor(kBlackCColor);
    auto* opaque = new CTextLabel(CRect(0, 0, 30, 20), "");
    auto* clear = new CTextLabel(CRect(30, 0, 60, 20), "");
    for (CTextLabel* l : {opaque, clear})
    {
        l->setBackColor(kWhiteCColor);
        l->setFrameColor(kRedCColor);
        boxes->addView(l);
    }
    clear->setTransparency(true);
    const PixelImage drawn = renderOffscreen(*boxes.frame, 1.0);
    EXPECT_TRUE(near(drawn.pixel(0, 10), {255, 0, 0}));
    EXPECT_TRUE(near(drawn.pixel(15, 10), {255, 255, 255}));
    EXPECT_TRUE(near(drawn.pixel(30, 10), {0, 0, 0}));
    EXPECT_TRUE(near(drawn.pixel(45, 10), {0, 0, 0}));
}

TEST(VstguiRendering, BitmapsFramesNinePartAndPNGRoundTrip)
{
    TestResources resources;
    resources.add("strip.png", halvane::test::makeStripPNG(10, 10, 80));
    resources.add("toggle.png", halvane::test::makeStripPNG(10, 10, 2));
    resources.add("grid.png", halvane::test::makeGridPNG(4, 4));
    resources.add("half.png", halvane::test::makeSolidPNG(10, 10, {200, 0, 0}, 128));
    resources.add("broken.png", std::string("\x89PNG not really"));

    auto strip = makeOwned<CBitmap>("strip.png");
    ASSERT_TRUE(strip->isLoaded());
    EXPECT_EQ(strip->getSize(), CPoint(10, 800));
    EXPECT_FALSE(makeOwned<CBitmap>("broken.png")->isLoaded());
    EXPECT_FALSE(makeOwned<CBitmap>("absent.png")->isLoaded());

    FrameHolder frame(CRect(0, 0, 60, 30));
    frame->setBackgroundColor(kBlackCColor);
    auto* knob = new CAnimKnob(CRect(0, 0, 10, 10), nullptr, -1, 80, 10, strip);
    auto* toggle = new COnOffButton(CRect(20, 0, 30, 10), nullptr, -1, makeOwned<CBitmap>("toggle.png"));
    toggle->setHeightOfOneImage(10);
    auto* faded = new CView(CRect(40, 0, 50, 10));
    faded->setBackground(makeOwned<CBitmap>("half.png"));
    auto* grid = new CView(CRect(0, 10, 20, 30));
    grid->setBackground(SharedPointer<CBitmap>::adopt(new CNinePartTiledBitmap("grid.png", {4, 4, 4, 4})));
    frame->addView(knob);
    frame->addView(toggle);
    frame->addView(faded);
    frame->addView(grid);

    for (float v : {0.f, 0.25f, 0.6f, 1.f})
    {
        knob->setValue(v);
        const int expected = static_cast<int>(std::lround(v * 79));
        EXPECT_EQ(knob->currentFrame(), expected);
        const PixelImage image = renderOffscreen(*frame.frame);
        EXPECT_TRUE(near(image.pixel(5, 5), halvane::test::frameColor(expected))) << v;
    }
    toggle->setValue(1);
    PixelImage image = renderOffscreen(*frame.frame);
    EXPECT_TRUE(near(image.pixel(25, 5), halvane::test::frameColor(1)));
    toggle->setValue(0);
    image = renderOffscreen(*frame.frame);
    EXPECT_TRUE(near(image.pixel(25, 5), halvane::test::frameColor(0)));
    // Half-transparent red over black.
    EXPECT_NEAR(image.pixel(45, 5).r, 100, 3);
    // Corners stay, the 12 x 12 middle of a 20 x 20 view is filled by the tiled centre cell.
    EXPECT_TRUE(near(image.pixel(1, 11), halvane::test::gridColor(0, 0)));
    EXPECT_TRUE(near(image.pixel(18, 28), halvane::test::gridColor(2, 2)));
    EXPECT_TRUE(near(image.pixel(10, 20), halvane::test::gridColor(1, 1)));
    EXPECT_TRUE(near(image.pixel(10, 11), halvane::test::gridColor(1, 0)));
    EXPECT_TRUE(near(image.pixel(1, 20), halvane::test::gridColor(0, 1)));

    // Written out and read back through the resource look-up, the picture is the same.
    const std::string path = ::testing::TempDir() + "vstgui_roundtrip.png";
    ASSERT_TRUE(savePNG(image, path));
    std::ifstream in(path, std::ios::binary);
    resources.add("roundtrip.png", std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}));
    auto back = makeOwned<CBitmap>("roundtrip.png");
    ASSERT_TRUE(back->isLoaded());
    FrameHolder copy(CRect(0, 0, 60, 30));
    auto* view = new CView(CRect(0, 0, 60, 30));
    view->setBackground(back);
    copy->addView(view);
    const PixelImage again = renderOffscreen(*copy.frame);
    for (int y = 0; y < 30; y += 3)
        for (int x = 0; x < 60; x += 3)
            EXPECT_NEAR(again.pixel(x, y).r, image.pixel(x, y).r, 1) << x << "," << y;
    std::remove(path.c_str());
}

TEST(VstguiRendering, BadFrameCountsDrawWhatTheyCan)
{
    TestResources resources;
    resources.add("strip.png", halvane::test::makeStripPNG(10, 10, 4));
    auto strip = makeOwned<CBitmap>("strip.png");
    FrameHolder frame(CRect(0, 0, 10, 10));
    auto* knob = new CAnimKnob(CRect(0, 0, 10, 10), nullptr, -1, strip);
    frame->addView(knob);

    struct Case
    {
        int32_t subPixmaps;
        CCoord height;
        float value;
        int expectedFrame;
    };
    // sub-pixmaps 0 counts the frames the bitmap holds; height 0 uses the view's height; more
    // frames than the bitmap holds are capped at its last whole frame.
    for (const Case& c : {Case{0, 10, 1.f, 3}, Case{4, 0, 1.f, 3}, Case{0, 0, 0.f, 0}, Case{80, 10, 1.f, 3},
                          Case{80, 10, 0.5f, 2}, Case{2, 10, 1.f, 1}, Case{4, 50, 1.f, 0}})
    {
        knob->setNumSubPixmaps(c.subPixmaps);
        knob->setHeightOfOneImage(c.height);
        knob->setValue(c.value);
        EXPECT_EQ(knob->currentFrame(), c.expectedFrame) << c.subPixmaps << " " << c.height;
        const PixelImage image = renderOffscreen(*frame.frame);
        EXPECT_TRUE(near(image.pixel(5, 5), halvane::test::frameColor(c.expectedFrame)))
            << c.subPixmaps << " " << c.height;
    }
    knob->setBackground(nullptr);
    EXPECT_EQ(knob->currentFrame(), -1);
    EXPECT_FALSE(renderOffscreen(*frame.frame).isEmpty());

    // No area, no image.
    FrameHolder empty(CRect(0, 0, 0, 10));
    EXPECT_TRUE(renderOffscreen(*empty.frame).isEmpty());
}

TEST(VstguiViewTree, HooksObserversAndReferenceCounts)
{
    struct Hook : IKeyboardHook
    {
        int seen = 0;
        int32_t onKeyDown(const VstKeyCode& code, CFrame*) override
        {
            ++seen;
            return code.character == 'h' ? 1 : -1;
        }
        int32_t onKeyUp(const VstKeyCode&, CFrame*) override { return -1; }
    } hook;
    struct Observer : IMouseObserver, IViewAddedRemovedObserver
    {
        std::vector<CView*> entered, exited, added, removedViews;
        bool swallowDown = false;
        void onMouseEntered(CView* v, CFrame*) override { entered.push_back(v); }
        void onMouseExited(CView* v, CFrame*) override { exited.push_back(v); }
        CMouseEventResult onMouseDown(CFrame*, const CPoint&, const CButtonState&) override
        {
            return swallowDown ? kMouseEventHandled : kMouseEventNotHandled;
        }
        void onViewAdded(CFrame*, CView* v) override { added.push_back(v); }
        void onViewRemoved(CFrame*, CView* v) override { removedViews.push_back(v); }
    } observer;

    std::vector<std::string> log;
    FrameHolder frame(CRect(0, 0, 100, 100));
    frame->registerKeyboardHook(&hook);
    frame->registerMouseObserver(&observer);
    frame->registerViewAddedRemovedObserver(&observer);
    auto* group = new CViewContainer(CRect(0, 0, 50, 50));
    auto* view = new RecordingView(CRect(10, 10, 30, 30), &log, "v");
    group->addView(view); // not attached yet: nobody is told
    EXPECT_TRUE(observer.added.empty());
    frame->addView(group);
    EXPECT_EQ(observer.added, (std::vector<CView*>{group, view}));

    frame->setFocusView(view);
    VstKeyCode h = charKey('h');
    VstKeyCode x = charKey('x');
    EXPECT_TRUE(frame->platformOnKeyDown(h)); // the hook took it
    EXPECT_TRUE(frame->platformOnKeyDown(x));
    EXPECT_EQ(hook.seen, 2);
    EXPECT_EQ(log, (std::vector<std::string>{"v takeFocus", "v key 120"}));

    frame->platformOnMouseMoved({20, 20}, 0);
    frame->platformOnMouseMoved({80, 80}, 0);
    EXPECT_EQ(observer.entered, (std::vector<CView*>{view}));
    EXPECT_EQ(observer.exited, (std::vector<CView*>{view}));

    log.clear();
    observer.swallowDown = true;
    frame->platformOnMouseDown({20, 20}, kLButton);
    EXPECT_TRUE(log.empty());

    // The frame holds the group's only reference; removing it releases the subtree.
    view->remember();
    EXPECT_EQ(view->getNbReference(), 2);
    frame->removeView(group);
    EXPECT_EQ(observer.removedViews, (std::vector<CView*>{view, group}));
    EXPECT_EQ(view->getParentView(), nullptr);
    EXPECT_FALSE(view->isAttached());
    EXPECT_EQ(view->getNbReference(), 1);
    view->forget();

    frame->unregisterKeyboardHook(&hook);
    frame->unregisterMouseObserver(&observer);
    frame->unregisterViewAddedRemovedObserver(&observer);

    SharedPointer<CBitmap> a = makeOwned<CBitmap>("nothing.png");
    {
        SharedPointer<CBitmap> b = a;
        EXPECT_EQ(a->getNbReference(), 2);
    }
    EXPECT_EQ(a->getNbReference(), 1);
}

TEST(VstguiControls, KeyboardTurnsKnobsTogglesAndMovesThroughMenus)
{
    FrameHolder frame(CRect(0, 0, 200, 200));
    Listener listener;
    auto* knob = new CAnimKnob(CRect(0, 0, 42, 42), &listener, 1);
    auto* toggle = new COnOffButton(CRect(50, 0, 92, 42), &listener, 2);
    auto* menu = new COptionMenu(CRect(100, 0, 140, 20), &listener, 3);
    for (const char* e : {"a", "b", "c"})
        menu->addEntry(e);
    frame->addView(knob);
    frame->addView(toggle);
    frame->addView(menu);

    knob->setValue(0.5f);
    frame->setFocusView(knob);
    VstKeyCode up = virtKey(VKEY_UP);
    VstKeyCode down = virtKey(VKEY_DOWN);
    frame->platformOnKeyDown(up);
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    VstKeyCode fineDown = virtKey(VKEY_DOWN);
    fineDown.modifier = MODIFIER_SHIFT;
    frame->platformOnKeyDown(fineDown);
    EXPECT_NEAR(knob->getValue(), 0.6f - 0.1f / 1.5f, 1e-6);

    frame->setFocusView(toggle);
    VstKeyCode space = virtKey(VKEY_SPACE);
    frame->platformOnKeyDown(space);
    EXPECT_FLOAT_EQ(toggle->getValue(), 1.f);

    click(frame.frame, {110, 10});
    ASSERT_TRUE(menu->isPopupOpen());
    EXPECT_EQ(menu->getPopup()->getHighlighted(), 0);
    frame->platformOnKeyDown(down);
    frame->platformOnKeyDown(down);
    frame->platformOnKeyDown(down); // stops at the last entry
    VstKeyCode enter = virtKey(VKEY_RETURN);
    frame->platformOnKeyDown(enter);
    EXPECT_FALSE(menu->isPopupOpen());
    EXPECT_EQ(menu->getCurrentIndex(), 2);
    EXPECT_EQ(listener.count("begin"), listener.count("end"));

    // Entries can be inserted, removed and replaced; the range follows.
    EXPECT_EQ(menu->addEntry("first", 0), 0);
    EXPECT_EQ(menu->getEntry(0), "first");
    EXPECT_EQ(menu->getMax(), 3.f);
    EXPECT_TRUE(menu->removeEntry(0));
    EXPECT_FALSE(menu->removeEntry(7));
    EXPECT_EQ(menu->getEntry(-1), "");
    menu->removeAllEntry();
    EXPECT_EQ(menu->getCurrentIndex(), -1);
    click(frame.frame, {110, 10});
    EXPECT_FALSE(menu->isPopupOpen()); // nothing to choose
}

TEST(VstguiControls, TextEditHandlesMultibyteTextAndImmediateChanges)
{
    FrameHolder frame(CRect(0, 0, 100, 40));
    Listener listener;
    auto* edit = new CTextEdit(CRect(0, 0, 100, 20), &listener, 0, "x");
    frame->addView(edit);
    click(frame.frame, {5, 5});
    VstKeyCode micro = charKey(0);
    micro.character = 0xb5; // µ
    frame->platformOnKeyDown(micro);
    typeText(frame.frame, "s");
    EXPECT_EQ(edit->getEditText(), "\xc2\xb5s");
    VstKeyCode back = virtKey(VKEY_BACK);
    frame->platformOnKeyDown(back);
    frame->platformOnKeyDown(back); // both bytes of the µ go at once
    EXPECT_EQ(edit->getEditText(), "");
    VstKeyCode control = charKey(0);
    control.character = 7; // control characters are not text
    EXPECT_FALSE(frame->platformOnKeyDown(control));
    VstKeyCode escape = virtKey(VKEY_ESCAPE);
    frame->platformOnKeyDown(escape);
    EXPECT_EQ(edit->getText(), "x");

    edit->setImmediateTextChange(true);
    click(frame.frame, {5, 5});
    typeText(frame.frame, "ab");
    EXPECT_EQ(edit->getText(), "ab");
    EXPECT_EQ(listener.count("changed"), 2u);

    // Editing ends quietly when the field is taken away mid-edit.
    listener.events.clear();
    frame->removeView(edit);
    EXPECT_EQ(listener.count("changed"), 0u);
}

TEST(VstguiRendering, PrimitivesGradientsMetersAndDisplays)
{
    auto context = getPlatformFactory().createOffscreenContext(CPoint(40, 40), 1.0);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(getPlatformFactory().createOffscreenContext(CPoint(0, 10), 1.0), nullptr);
    EXPECT_EQ(getPlatformFactory().createOffscreenContext(CPoint(1e7, 10), 1.0), nullptr);

    context->setFillColor(kRedCColor);
    context->drawRoundRect(CRect(0, 0, 20, 20), 8, kDrawFilled);
    context->setFillColor(kBlueCColor);
    context->drawEllipse(CRect(20, 0, 40, 20), kDrawFilled);
    context->setFrameColor(kGreenCColor);
    context->setLineWidth(1);
    context->drawLine({0, 25}, {40, 25});
    context->setFillColor(kYellowCColor);
    context->drawPolygon({{0, 30}, {10, 30}, {0, 40}}, kDrawFilled);
    CGradient gradient(0, 1, kBlackCColor, kWhiteCColor);
    context->saveGlobalState();
    context->setClipRect(CRect(20, 30, 30, 40)); // the right half of the gradient is clipped away
    context->fillLinearGradient(CRect(20, 30, 40, 40), gradient, {20, 30}, {40, 30});
    context->restoreGlobalState();
    const PixelImage p = context->getPixels();

    EXPECT_EQ(p.pixel(0, 0).a, 0);                   // rounded corner left open
    EXPECT_TRUE(near(p.pixel(10, 10), {255, 0, 0}));
    EXPECT_EQ(p.pixel(21, 1).a, 0);                  // outside the circle
    EXPECT_TRUE(near(p.pixel(30, 10), {0, 0, 255}));
    EXPECT_TRUE(near(p.pixel(20, 25), {0, 255, 0}));  // a crisp one-pixel line on its row
    EXPECT_EQ(p.pixel(20, 24).a, 0);
    EXPECT_EQ(p.pixel(20, 26).a, 0);
    EXPECT_TRUE(near(p.pixel(2, 31), {255, 255, 0}));
    EXPECT_EQ(p.pixel(9, 39).a, 0);
    EXPECT_LT(p.pixel(21, 35).r, 40);
    EXPECT_GT(p.pixel(29, 35).r, 100);
    EXPECT_EQ(p.pixel(35, 35).a, 0);
    EXPECT_EQ(context->getClipRect(), CRect(0, 0, 40, 40)); // restored

    // A meter lights its lower part from the "on" image.
    TestResources resources;
    resources.add("on.png", halvane::test::makeSolidPNG(10, 40, {255, 200, 0}));
    resources.add("off.png", halvane::test::makeSolidPNG(10, 40, {40, 40, 40}));
    FrameHolder frame(CRect(0, 0, 40, 40));
    auto* meter = new CVuMeter(CRect(0, 0, 10, 40), makeOwned<CBitmap>("on.png"), makeOwned<CBitmap>("off.png"), 4);
    meter->setDecreaseStepValue(0.25f);
    frame->addView(meter);
    meter->setValue(0.5f);
    PixelImage m = renderOffscreen(*frame.frame);
    EXPECT_TRUE(near(m.pixel(5, 5), {40, 40, 40}));
    EXPECT_TRUE(near(m.pixel(5, 35), {255, 200, 0}));
    EXPECT_TRUE(near(m.pixel(5, 21), {255, 200, 0}));
    EXPECT_TRUE(near(m.pixel(5, 19), {40, 40, 40}));
    meter->setValue(0.f); // falls one step per redraw
    m = renderOffscreen(*frame.frame);
    EXPECT_TRUE(near(m.pixel(5, 25), {40, 40, 40}));
    EXPECT_TRUE(near(m.pixel(5, 35), {255, 200, 0}));
    m = renderOffscreen(*frame.frame);
    EXPECT_TRUE(near(m.pixel(5, 35), {40, 40, 40}));

    // A value display shows its value with the precision, or what its function says.
    auto* display = new CParamDisplay(CRect(10, 0, 40, 20));
    display->setPrecision(1);
    display->setBackColor(kBlackCColor);
    display->setFontColor(kWhiteCColor);
    display->setValue(0.25f);
    frame->addView(display);
    std::string shown;
    display->setValueToStringFunction([&](float v, std::string& text, CParamDisplay*) {
        text = std::to_string(static_cast<int>(v * 100)) + "%";
        shown = text;
        return true;
    });
    m = renderOffscreen(*frame.frame);
    EXPECT_EQ(shown, "25%");
    int bright = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 11; x < 39; ++x)
            bright += m.pixel(x, y).r > 128 ? 1 : 0;
    EXPECT_GT(bright, 10);
}
