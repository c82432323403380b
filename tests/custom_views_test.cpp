// SPDX-License-Identifier: GPL-3.0-or-later
// The custom view factory through the binding: names and attributes read from descriptions,
// the views and pad sub-controllers it builds, and a whole description with every framework
// view, built, bound, drawn and driven through the editor.
#include "binding/Processor.h"
#include "editor/CKickButtonQX.h"
#include "editor/CPadControllerQX.h"
#include "editor/CTextEditQX.h"
#include "editor/CTextLabelQX.h"
#include "editor/CVuMeterQX.h"
#include "editor/CXYPadQX.h"
#include "editor/EmbeddedResourceLookup.h"
#include "editor/IOffscreenEditor.h"
#include "editor/VST3EditorQX.h"
#include "host/ComponentHandler.h"
#include "support/TestBitmaps.h"
#include "tests/support/TestPlugInFactory.h"

#include "vstgui/CFrame.h"
#include "vstgui/CViewContainer.h"
#include "vstgui/OffscreenRender.h"
#include "vstgui/UIAttributes.h"
#include "vstgui/UIDescription.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace VSTGUI;
using halvane::host::ComponentHandler;
using Steinberg::Vst::Davu2VOV3::Processor;

namespace
{
enum ControlIds : uint32_t
{
    kGain = 0,
    kLevel = 1,
    kPadX = 2,
    kPadY = 3,
    kTrigger = 4,
    kNeedle = 5,
    kPlainMeter = 6
};

// Two meters among ordinary controls; it answers a custom view of its own for "OwnDial".
class CMeteredPlugIn : public CPlugIn
{
public:
    CMeteredPlugIn()
    {
        addControl(kGain, "Gain", "  dB\t");
        addControl(kLevel, "Level", "", true);
        addControl(kPadX, "Pad X", "");
        addControl(kPadY, "Pad Y", "");
        addControl(kTrigger, "Trigger", "");
        addControl(kNeedle, "Needle", "", true);
        // A meter kind without a meter variable: LED meters still take its settings.
        CControlDescriptor* plain = addControl(kPlainMeter, "Plain", "", true);
        plain->meterVariable = nullptr;
        plain->meterAttackMs = 123.f;

        CControlDescriptor* level = controlList.at(kLevel);
        level->meterAttackMs = 10.f;
        level->meterReleaseMs = 400.f;
        level->meterDetectMode = 0;
        CControlDescriptor* needle = controlList.at(kNeedle);
        needle->meterAttackMs = 100.f;
        needle->meterReleaseMs = 900.f;
        needle->meterDetectMode = 2;
        needle->meterIsLog = true;
        buildControlIndex();
        hasEditorDescription = true;
    }

    intptr_t handleEditorMessage(EditorMessage* message) override
    {
        if (message->kind != EditorMessage::kCreateCustomView)
            return 0;
        offered.push_back(message->customViewName);
        if (std::strcmp(message->customViewName, "OwnDial") != 0)
            return 0;
        const CRect rect(message->left, message->top, message->right, message->bottom);
        return reinterpret_cast<intptr_t>(new CView(rect));
    }

    std::vector<std::string> offered;
    float values[8] = {};
    float meters[8] = {};

private:
    CControlDescriptor* addControl(uint32_t id, const char* name, const char* units, bool meter = false)
    {
        CControlDescriptor d;
        d.kind = meter ? CControlDescriptor::kKindMeter : CControlDescriptor::kKindContinuous;
        d.controlId = id;
        d.dataType = CControlDescriptor::kFloat;
        d.minValue = 0.f;
        d.maxValue = 1.f;
        d.displayPrecision = 2;
        d.setDisplayName(name);
        d.setUnitsText(units);
        CControlDescriptor* added = controlList.appendCopy(d);
        if (meter)
            added->meterVariable = &meters[id];
        else
            added->floatVariable = &values[id];
        return added;
    }
};

struct Rig
{
    Rig() : plugIn(new CMeteredPlugIn())
    {
        CMeteredPlugIn* created = plugIn;
        TestPlugIns::ScopedFactory factory([created] { return created; });
        processor = owned(new Processor());
        EXPECT_EQ(processor->initialize(nullptr), kResultOk);
        handler = owned(new ComponentHandler());
        processor->setComponentHandler(handler);
    }
    ~Rig()
    {
        processor->setComponentHandler(nullptr);
        processor->terminate();
    }

    CView* create(const char* name, const UIAttributes& attributes)
    {
        return processor->createCustomView(name, attributes, &description, nullptr);
    }

    CMeteredPlugIn* plugIn; // owned by the processor
    IPtr<Processor> processor;
    IPtr<ComponentHandler> handler;
    UIDescription description{"custom-views-test"};
};

const char* const kResources = R"(<?xml version="1.0"?>
<vstgui-ui-description version="1">
  <colors>
    <color name="pad back" rgba="#0000ffff"/>
    <color name="pad frame" rgba="#000000ff"/>
    <color name="handle" rgba="#ff0000ff"/>
  </colors>
  <control-tags>
    <control-tag name="Gain" tag="0"/>
    <control-tag name="Level" tag="1"/>
    <control-tag name="Trigger" tag="4"/>
    <control-tag name="Needle" tag="5"/>
    <control-tag name="Far" tag="99"/>
  </control-tags>
</vstgui-ui-description>)";

struct Released
{
    void operator()(CBaseObject* object) const { object->forget(); }
};
using ViewPtr = std::unique_ptr<CView, Released>;

UIAttributes attributes(std::initializer_list<std::pair<const char*, const char*>> pairs)
{
    UIAttributes a;
    for (const auto& [name, value] : pairs)
        a.setAttribute(name, value);
    return a;
}

UIAttributes kickAttributes()
{
    return attributes({{"origin", "5, 6"}, {"size", "20,30"}, {"bitmap", "kick"},
                       {"control-tag", "Trigger"}, {"background-offset", "0, 10"}});
}

UIAttributes padAttributes()
{
    return attributes({{"origin", "0, 0"}, {"size", "100, 100"}, {"back-color", "pad back"},
                       {"frame-color", "nonexistent"}, {"font-color", "handle"},
                       {"frame-width", "3"}, {"round-rect-radius", "12"},
                       {"style-round-rect", "true"}, {"style-no-frame", "false"}});
}

UIAttributes meterAttributes(const char* controlName)
{
    return attributes({{"origin", "0, 0"}, {"size", "10, 100"}, {"bitmap", "on"},
                       {"off-bitmap", "off"}, {"num-led", "80"}, {"control-tag", controlName}});
}

class Factory : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(rig.description.parseMemory(kResources, std::strlen(kResources))); }
    Rig rig;
};

TEST_F(Factory, KickButtonNamesAndModes)
{
    const std::pair<const char*, int32_t> names[] = {
        {"VexoKickButton", 1}, {"VexoKickButtonU", 1}, {"VexoKickButtonDU", 0}, {"VexoKickButtonD", 2}};
    for (const auto& [name, mode] : names)
    {
        ViewPtr view(rig.create(name, kickAttributes()));
        auto* button = dynamic_cast<CKickButtonQX*>(view.get());
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->notifyMode, mode) << name;
        EXPECT_EQ(button->getTag(), 4);
        EXPECT_EQ(button->getViewSize(), CRect(5, 6, 25, 36));
        EXPECT_EQ(button->getBackOffset(), CPoint(0, 10));
        ASSERT_NE(button->getBackground(), nullptr);
        EXPECT_EQ(button->getBackground()->getResourceName(), "kick.png");
    }
    EXPECT_TRUE(rig.plugIn->offered.empty());

    EXPECT_EQ(rig.create("vexokickbutton", kickAttributes()), nullptr);
    EXPECT_EQ(rig.plugIn->offered, std::vector<std::string>{"vexokickbutton"}) << "case matters";

    UIAttributes missing = kickAttributes();
    missing.removeAttribute("background-offset");
    EXPECT_EQ(rig.create("VexoKickButton", missing), nullptr) << "declined without its attributes";
    EXPECT_EQ(rig.plugIn->offered.size(), 1u);
}

TEST_F(Factory, PointsAreIntegerPairsAroundTheFirstComma)
{
    const std::pair<const char*, CRect> origins[] = {
        {"268 ,490", CRect(268, 490, 288, 520)},
        {"268, 490", CRect(268, 490, 288, 520)},
        {"268,490", CRect(268, 490, 288, 520)},
        {"1.5, 2", CRect(1, 2, 21, 32)},
        {"12 34", CRect(0, 0, 20, 30)}, // no comma: the point stays at its start
    };
    for (const auto& [origin, rect] : origins)
    {
        UIAttributes a = kickAttributes();
        a.setAttribute("origin", origin);
        ViewPtr view(rig.create("VexoKickButton", a));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->getViewSize(), rect) << origin;
    }
}

TEST_F(Factory, PadModesColoursAndStyle)
{
    ViewPtr track(rig.create("TrackPad", padAttributes()));
    auto* pad = dynamic_cast<CXYPadQX*>(track.get());
    ASSERT_NE(pad, nullptr);
    EXPECT_FALSE(pad->joystickMode);
    EXPECT_EQ(pad->getBackColor(), CColor(0, 0, 255));
    EXPECT_EQ(pad->getFrameColor(), kWhiteCColor) << "an unknown colour name reads white";
    EXPECT_EQ(pad->getFontColor(), CColor(255, 0, 0));
    EXPECT_EQ(pad->getFrameWidth(), 3);
    EXPECT_EQ(pad->getRoundRectRadius(), 12);
    EXPECT_NE(pad->getStyle() & kRoundRectStyle, 0);
    EXPECT_EQ(pad->getStyle() & kNoFrame, 0);
    EXPECT_EQ(pad->getTag(), -1);
    EXPECT_EQ(pad->getListener(), nullptr);

    UIAttributes flipped = padAttributes();
    flipped.setAttribute("style-round-rect", "yes");
    flipped.setAttribute("style-no-frame", "true");
    ViewPtr joystick(rig.create("Joystick", flipped));
    pad = dynamic_cast<CXYPadQX*>(joystick.get());
    ASSERT_NE(pad, nullptr);
    EXPECT_TRUE(pad->joystickMode);
    EXPECT_EQ(pad->getStyle() & kRoundRectStyle, 0);
    EXPECT_NE(pad->getStyle() & kNoFrame, 0);

    UIAttributes missing = padAttributes();
    missing.removeAttribute("font-color");
    EXPECT_EQ(rig.create("Joystick", missing), nullptr);
    EXPECT_TRUE(rig.plugIn->offered.empty());
}

TEST_F(Factory, UnitsViewsNeedAControlOfTheirTag)
{
    UIAttributes a = attributes({{"origin", "1,2"}, {"size", "60, 20"}, {"title", "Gain"},
                                 {"control-tag", "Gain"}, {"bitmap", ""}});
    ViewPtr labelView(rig.create("UnitsLabel", a));
    auto* label = dynamic_cast<CTextLabelQX*>(labelView.get());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getText(), "Gain") << "the title waits for the first value";
    EXPECT_EQ(label->getUnitsSuffix(), "dB");
    EXPECT_EQ(label->getBackground(), nullptr) << "an empty bitmap name gives none";
    EXPECT_EQ(label->getTag(), -1) << "the label gets no tag from the factory";

    a.setAttribute("bitmap", "field");
    ViewPtr editView(rig.create("UnitsEdit", a));
    auto* edit = dynamic_cast<CTextEditQX*>(editView.get());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->getTag(), 0);
    EXPECT_EQ(edit->getUnitsSuffix(), "dB");
    ASSERT_NE(edit->getBackground(), nullptr);
    EXPECT_EQ(edit->getBackground()->getResourceName(), "field.png");

    for (const char* tagName : {"", "No such tag", "Far"})
    {
        a.setAttribute("control-tag", tagName);
        EXPECT_EQ(rig.create("UnitsLabel", a), nullptr) << tagName;
        EXPECT_EQ(rig.create("UnitsEdit", a), nullptr) << tagName;
    }
    a.removeAttribute("control-tag");
    EXPECT_EQ(rig.create("UnitsLabel", a), nullptr);
    EXPECT_TRUE(rig.plugIn->offered.empty());
}

TEST_F(Factory, MetersTakeTheirControlsDetectorSettings)
{
    ViewPtr ledView(rig.create("MeterView", meterAttributes("Level")));
    auto* led = dynamic_cast<CVuMeterQX*>(ledView.get());
    ASSERT_NE(led, nullptr);
    EXPECT_FALSE(led->analogStyle);
    EXPECT_FALSE(led->inverted);
    EXPECT_EQ(led->getNbLed(), 80);
    EXPECT_EQ(led->getStyle(), CVuMeter::kVertical);
    EXPECT_EQ(led->meterEnvelope.rate, 20.f);
    EXPECT_EQ(led->meterEnvelope.attackMs, 10.f);
    EXPECT_EQ(led->meterEnvelope.releaseMs, 400.f);
    EXPECT_TRUE(led->meterEnvelope.analogTimeConstant);
    ASSERT_NE(led->getOffBitmap(), nullptr);
    EXPECT_EQ(led->getOffBitmap()->getResourceName(), "off.png");

    ViewPtr invertedView(rig.create("InvertedMeterView", meterAttributes("Plain")));
    auto* inverted = dynamic_cast<CVuMeterQX*>(invertedView.get());
    ASSERT_NE(inverted, nullptr);
    EXPECT_TRUE(inverted->inverted);
    EXPECT_EQ(inverted->meterEnvelope.attackMs, 123.f) << "LED meters do not ask for a meter variable";

    ViewPtr analogView(rig.create("AnalogMeterView_H65_Z52", meterAttributes("Needle")));
    auto* analog = dynamic_cast<CVuMeterQX*>(analogView.get());
    ASSERT_NE(analog, nullptr);
    EXPECT_TRUE(analog->analogStyle);
    EXPECT_FALSE(analog->inverted);
    EXPECT_EQ(analog->frameHeight, 65);
    EXPECT_EQ(analog->frameCount, 80);
    EXPECT_EQ(analog->zeroFrame, 52);
    EXPECT_EQ(analog->meterEnvelope.attackMs, 100.f);
    EXPECT_EQ(analog->meterEnvelope.detectMode, 2);
    EXPECT_TRUE(analog->meterEnvelope.logOutput);

    ViewPtr plainAnalog(rig.create("InvertedAnalogMeterView_H40_Z3", meterAttributes("Plain")));
    analog = dynamic_cast<CVuMeterQX*>(plainAnalog.get());
    ASSERT_NE(analog, nullptr);
    EXPECT_TRUE(analog->inverted);
    EXPECT_EQ(analog->frameHeight, 40);
    EXPECT_EQ(analog->zeroFrame, 3);
    EXPECT_EQ(analog->meterEnvelope.rate, 44100.f) << "analogue meters need a meter variable";

    ViewPtr unknownView(rig.create("MeterView", meterAttributes("Nothing by that name")));
    auto* unknown = dynamic_cast<CVuMeterQX*>(unknownView.get());
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->meterEnvelope.rate, 44100.f) << "the detector stays as constructed";
    EXPECT_TRUE(rig.plugIn->offered.empty());
}

TEST_F(Factory, NamesThatAreNoFrameworkViewGoToThePlugInObject)
{
    EXPECT_EQ(rig.create("MeterView_X", meterAttributes("Level")), nullptr);
    UIAttributes noLeds = meterAttributes("Level");
    noLeds.removeAttribute("num-led");
    EXPECT_EQ(rig.create("AnalogMeterView_H65_Z52", noLeds), nullptr);
    EXPECT_EQ(rig.create("MeterView", noLeds), nullptr);
    EXPECT_EQ(rig.create("", noLeds), nullptr);
    ViewPtr own(rig.create("OwnDial", attributes({{"origin", "10,20"}, {"size", "30,40"}})));
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->getViewSize(), CRect(10, 20, 40, 60));
    EXPECT_EQ(rig.plugIn->offered,
              (std::vector<std::string>{"MeterView_X", "AnalogMeterView_H65_Z52", "MeterView", "OwnDial"}));
}

TEST_F(Factory, SubControllerNames)
{
    auto sub = [this](const char* name) {
        return std::unique_ptr<IController>(rig.processor->createSubController(name, &rig.description, nullptr));
    };
    auto vector = sub("VectorJoystick");
    ASSERT_NE(vector, nullptr);
    EXPECT_EQ(dynamic_cast<CPadControllerQX*>(vector.get()), nullptr) << "VSTGUI's own controller";
    EXPECT_NE(dynamic_cast<PadController*>(vector.get()), nullptr);
    EXPECT_NE(dynamic_cast<CPadControllerQX*>(sub("Joystick_X5_Y7").get()), nullptr);
    EXPECT_NE(dynamic_cast<CPadControllerQX*>(sub("TrackPad_X2_Y3").get()), nullptr);
    EXPECT_EQ(sub("Joystick_Y7_X5"), nullptr);
    EXPECT_EQ(sub("VectorJoystick2"), nullptr);
    EXPECT_EQ(sub("Joystick"), nullptr);
    EXPECT_EQ(sub(""), nullptr);
}

TEST(FactoryWithoutPlugIn, DeclinesEverything)
{
    TestPlugIns::ScopedFactory none(nullptr);
    IPtr<Processor> processor = owned(new Processor());
    UIDescription description("empty");
    EXPECT_EQ(processor->createCustomView("VexoKickButton", kickAttributes(), &description, nullptr), nullptr);
    EXPECT_EQ(processor->createSubController("VectorJoystick", &description, nullptr), nullptr);
}

// ---------------------------------------------------------------------------------------------
// A whole description through the editor

const char* const kEditorDescription = R"(<?xml version="1.0"?>
<vstgui-ui-description version="1">
  <bitmaps>
    <bitmap name="kick" path="kick.png"/>
    <bitmap name="on" path="on.png"/>
    <bitmap name="off" path="off.png"/>
    <bitmap name="strip" path="strip.png"/>
  </bitmaps>
  <colors>
    <color name="pad back" rgba="#0000ffff"/>
    <color name="pad frame" rgba="#000000ff"/>
    <color name="handle" rgba="#ff0000ff"/>
  </colors>
  <control-tags>
    <control-tag name="Gain" tag="0"/>
    <control-tag name="Level" tag="1"/>
    <control-tag name="Trigger" tag="4"/>
    <control-tag name="Needle" tag="5"/>
  </control-tags>
  <template class="CViewContainer" name="Editor" origin="0, 0" size="400, 300">
    <view class="CKickButton" custom-view-name="VexoKickButton" origin="0, 0" size="20, 20" bitmap="kick" control-tag="Trigger" background-offset="0, 0"/>
    <view class="CKickButton" custom-view-name="VexoKickButtonDU" origin="20, 0" size="20, 20" bitmap="kick" control-tag="Trigger" background-offset="0, 0"/>
    <view class="CKickButton" custom-view-name="VexoKickButtonU" origin="40, 0" size="20, 20" bitmap="kick" control-tag="Trigger" background-offset="0, 0"/>
    <view class="CKickButton" custom-view-name="VexoKickButtonD" origin="60, 0" size="20, 20" bitmap="kick" control-tag="Trigger" background-offset="0, 0"/>
    <view class="CViewContainer" origin="0, 30" size="110, 110" sub-controller="TrackPad_X2_Y3">
      <view class="CXYPad" custom-view-name="TrackPad" origin="0, 0" size="110, 110" back-color="pad back" frame-color="pad frame" font-color="handle" frame-width="1" round-rect-radius="10" style-round-rect="false" style-no-frame="false"/>
    </view>
    <view class="CViewContainer" origin="120, 30" size="110, 110" sub-controller="Joystick_X2_Y3">
      <view class="CXYPad" custom-view-name="Joystick" origin="0, 0" size="110, 110" back-color="pad back" frame-color="pad frame" font-color="handle" frame-width="1" round-rect-radius="10" style-round-rect="false" style-no-frame="false"/>
    </view>
    <view class="CViewContainer" origin="240, 30" size="110, 110" sub-controller="VectorJoystick">
      <view class="CXYPad" custom-view-name="Joystick" origin="0, 0" size="110, 110" back-color="pad back" frame-color="pad frame" font-color="handle" frame-width="1" round-rect-radius="10" style-round-rect="false" style-no-frame="false"/>
    </view>
    <view class="CTextEdit" custom-view-name="UnitsEdit" origin="0, 150" size="80, 20" title="0" control-tag="Gain"/>
    <view class="CTextLabel" custom-view-name="UnitsLabel" origin="90, 150" size="80, 20" title="Gain" control-tag="Gain"/>
    <view class="CVuMeter" custom-view-name="MeterView" origin="0, 180" size="10, 100" bitmap="on" off-bitmap="off" num-led="10" control-tag="Level"/>
    <view class="CVuMeter" custom-view-name="InvertedMeterView" origin="20, 180" size="10, 100" bitmap="on" off-bitmap="off" num-led="10" control-tag="Level"/>
    <view class="CVuMeter" custom-view-name="AnalogMeterView_H10_Z2" origin="40, 180" size="10, 10" bitmap="strip" off-bitmap="off" num-led="4" control-tag="Needle"/>
    <view class="CVuMeter" custom-view-name="InvertedAnalogMeterView_H10_Z2" origin="60, 180" size="10, 10" bitmap="strip" off-bitmap="off" num-led="4" control-tag="Needle"/>
    <view class="CView" custom-view-name="OwnDial" origin="80, 180" size="10, 10"/>
  </template>
</vstgui-ui-description>)";

class WholeDescription : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Whoever builds the first editor installs the module's resources; ours replace them.
        Halvane::withEmbeddedResources("vexo.uidesc");
        TestBitmaps::addBands("kick.png", 20, 20, {kGreyCColor, kWhiteCColor});
        TestBitmaps::addBands("on.png", 10, 100, {kGreenCColor});
        TestBitmaps::addBands("off.png", 10, 100, {kGreyCColor});
        TestBitmaps::addBands("strip.png", 10, 10, {kRedCColor, kGreenCColor, kBlueCColor, kYellowCColor});
        TestBitmaps::addResource("vexo.uidesc", kEditorDescription);
        TestBitmaps::install();

        plugView = owned(rig.processor->createView(ViewType::kEditor));
        editor = dynamic_cast<VST3EditorQX*>(plugView.get());
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(plugView->attached(&token, Halvane::kPlatformTypeOffscreen), kResultOk);
        offscreen = FUnknownPtr<Halvane::IOffscreenEditor>(plugView);
        ASSERT_TRUE(offscreen);
        ASSERT_NE(editor->getFrame(), nullptr);
        ASSERT_EQ(editor->getFrame()->getNbViews(), 1u);
        root = dynamic_cast<CViewContainer*>(editor->getFrame()->getView(0));
        ASSERT_NE(root, nullptr);
        ASSERT_EQ(root->getNbViews(), 14u);
    }

    void TearDown() override
    {
        if (plugView)
            plugView->removed();
    }

    template <class T>
    T* child(uint32_t index) const
    {
        return dynamic_cast<T*>(root->getView(index));
    }

    CXYPadQX* padIn(uint32_t index) const
    {
        auto* container = child<CViewContainer>(index);
        return container ? dynamic_cast<CXYPadQX*>(container->getView(0)) : nullptr;
    }

    void mouse(int32_t event, double x, double y)
    {
        offscreen->injectMouse(event, x, y, Halvane::IOffscreenEditor::kLeftButton, 0);
    }

    // Rows of a 10-pixel-wide meter at left that show the green on image.
    int litRows(int left) const
    {
        const PixelImage image = renderOffscreen(*editor->getFrame());
        int lit = 0;
        for (int y = 180; y < 280; ++y)
        {
            const PixelImage::Pixel p = image.pixel(left + 5, y);
            lit += p.g == 255 && p.r == 0 ? 1 : 0;
        }
        return lit;
    }

    Rig rig;
    IPtr<IPlugView> plugView;
    VST3EditorQX* editor = nullptr;
    FUnknownPtr<Halvane::IOffscreenEditor> offscreen;
    CViewContainer* root = nullptr;
    int token = 0;
};

TEST_F(WholeDescription, EveryNameBuildsItsView)
{
    const int32_t modes[] = {1, 0, 1, 2};
    for (uint32_t i = 0; i < 4; ++i)
    {
        auto* button = child<CKickButtonQX>(i);
        ASSERT_NE(button, nullptr) << i;
        EXPECT_EQ(button->notifyMode, modes[i]);
        EXPECT_EQ(button->getTag(), static_cast<int32_t>(kTrigger));
    }
    ASSERT_NE(padIn(4), nullptr);
    EXPECT_FALSE(padIn(4)->joystickMode);
    ASSERT_NE(padIn(5), nullptr);
    EXPECT_TRUE(padIn(5)->joystickMode);
    ASSERT_NE(padIn(6), nullptr);
    EXPECT_NE(dynamic_cast<CPadControllerQX*>(child<CView>(4)->getOwnedController()), nullptr);
    EXPECT_NE(dynamic_cast<CPadControllerQX*>(child<CView>(5)->getOwnedController()), nullptr);
    EXPECT_NE(dynamic_cast<PadController*>(child<CView>(6)->getOwnedController()), nullptr);
    EXPECT_NE(child<CTextEditQX>(7), nullptr);
    EXPECT_NE(child<CTextLabelQX>(8), nullptr);
    for (uint32_t i = 9; i < 13; ++i)
        EXPECT_NE(child<CVuMeterQX>(i), nullptr) << i;
    EXPECT_FALSE(child<CVuMeterQX>(9)->inverted);
    EXPECT_TRUE(child<CVuMeterQX>(10)->inverted);
    EXPECT_TRUE(child<CVuMeterQX>(11)->analogStyle);
    EXPECT_TRUE(child<CVuMeterQX>(12)->analogStyle);
    EXPECT_EQ(rig.plugIn->offered, std::vector<std::string>{"OwnDial"});
}

TEST_F(WholeDescription, MeterMovesWithItsParameter)
{
    offscreen->advanceTime(50);
    const int before = litRows(0);
    EXPECT_EQ(before, 0);
    rig.processor->setParamNormalized(kLevel, 0.6);
    offscreen->advanceTime(50);
    EXPECT_EQ(litRows(0), 60);
    EXPECT_EQ(litRows(20), 60) << "the inverted meter lights as many LEDs from the top";

    // The needle's detector is fed once per redraw and reaches full scale after a few dozen.
    rig.processor->setParamNormalized(kNeedle, 1.0);
    PixelImage image;
    for (int redraw = 0; redraw < 60; ++redraw)
        image = renderOffscreen(*editor->getFrame());
    const PixelImage::Pixel needle = image.pixel(45, 185);
    EXPECT_EQ(needle.r, 255) << "the needle strip shows its last frame, yellow";
    EXPECT_EQ(needle.g, 255);
    EXPECT_EQ(needle.b, 0);
    const PixelImage::Pixel inverted = image.pixel(65, 185);
    EXPECT_EQ(inverted.r, 255) << "the inverted one has moved to its first frame, red";
    EXPECT_EQ(inverted.g, 0);
}

TEST_F(WholeDescription, UnitsFollowTheParameterText)
{
    rig.processor->setParamNormalized(kGain, 0.5);
    offscreen->advanceTime(50);
    const std::string shown = child<CTextLabelQX>(8)->getText();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), " dB") << shown;
    EXPECT_EQ(shown.find(" dB"), shown.size() - 3) << "the suffix appears once";
}

TEST_F(WholeDescription, PadsEditTheirParameterPairWithTheTopAsOne)
{
    rig.handler->clear();
    // The track pad spans (0, 30) to (110, 140); a 10-pixel handle leaves 100 pixels of travel.
    mouse(Halvane::IOffscreenEditor::kMouseDown, 5 + 25, 30 + 5 + 10);
    mouse(Halvane::IOffscreenEditor::kMouseUp, 5 + 25, 30 + 5 + 10);
    EXPECT_NEAR(rig.processor->getParamNormalized(kPadX), 0.25, 1e-3);
    EXPECT_NEAR(rig.processor->getParamNormalized(kPadY), 0.9, 1e-3);
    EXPECT_GE(rig.handler->count(ComponentHandler::Kind::BeginEdit), 2u);
    EXPECT_GE(rig.handler->count(ComponentHandler::Kind::PerformEdit), 2u);
    EXPECT_EQ(rig.handler->count(ComponentHandler::Kind::EndEdit),
              rig.handler->count(ComponentHandler::Kind::BeginEdit));

    // Changes from the host move both pads bound to the pair, screen-side up.
    rig.processor->setParamNormalized(kPadX, 0.4);
    rig.processor->setParamNormalized(kPadY, 0.6);
    offscreen->advanceTime(100);
    for (uint32_t i : {4u, 5u})
    {
        float x = 0, y = 0;
        CXYPad::calculateXY(padIn(i)->getValue(), x, y);
        EXPECT_NEAR(x, 0.4f, 1e-3f) << i;
        EXPECT_NEAR(y, 0.4f, 1e-3f) << i;
    }
}

TEST_F(WholeDescription, KickButtonPressOnlyKeepsItsParameterAtOne)
{
    rig.handler->clear();
    mouse(Halvane::IOffscreenEditor::kMouseDown, 70, 10);
    mouse(Halvane::IOffscreenEditor::kMouseUp, 70, 10);
    EXPECT_EQ(rig.processor->getParamNormalized(kTrigger), 1.0);
    EXPECT_EQ(rig.handler->count(ComponentHandler::Kind::PerformEdit), 1u);
}
} // namespace
