// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestResources.h"

#include "vstgui/CAnimKnob.h"
#include "vstgui/CFrame.h"
#include "vstgui/CNinePartTiledBitmap.h"
#include "vstgui/COnOffButton.h"
#include "vstgui/COptionMenu.h"
#include "vstgui/CTextEdit.h"
#include "vstgui/CTextLabel.h"
#include "vstgui/IController.h"
#include "vstgui/Log.h"
#include "vstgui/OffscreenRender.h"
#include "vstgui/UIDescription.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace VSTGUI;
using halvane::test::TestResources;

namespace
{

const char* const kDescription = R"(<?xml version="1.0"?>
<vstgui-ui-description version="1">
  <fonts>
    <font name="Verdana 14 bold ital" font-name="Verdana" size="14" bold="true" italic="true"/>
    <font name="Verdana 10  " font-name="Verdana" size="10" bold="false" italic="false"/>
  </fonts>
  <colors>
    <color name="kLightGreyCColor" rgba="#c8c8c8ff"/>
    <color name="kDarkGreyCColor" rgba="#646464ff"/>
  </colors>
  <template name="Editor" size="268 ,490" minSize="268, 490" maxSize="268, 490" origin="0, 0"
            class="CViewContainer" background-color="~ GreyCColor"
            background-color-draw-style="filled and stroked" bitmap="background" transparent="false"
            mouse-enabled="true">
    <view class="CViewContainer" template="Content" origin="0, 0" size="268, 490" bitmap="greymetal"
          background-color="~ WhiteCColor" transparent="false" custom-view-name="" sub-controller=""/>
  </template>
  <custom>
    <attributes name="VST3Editor"/>
    <attributes name="FocusDrawing"/>
    <attributes KnobAction="2"/>
  </custom>
  <bitmaps>
    <bitmap name="background" path="background.png" vexotype="backgnd" nineparttiled-offsets="150, 160, 150, 160"/>
    <bitmap name="greymetal" path="greymetal.png" vexotype="backgnd" nineparttiled-offsets="0, 0, 0, 0"/>
    <bitmap name="chickenhead3" path="chickenhead3.png" vexotype="knob"/>
    <bitmap name="medtoggleswitch" path="medtoggleswitch.png" vexotype="onoffbtn"/>
    <bitmap name="ghost" path="ghost.png" vexotype="knob"/>
  </bitmaps>
  <control-tags>
    <control-tag name="Gain" tag="0"/>
    <control-tag name="Position" tag="1"/>
    <control-tag name="Abs L-R" tag="3"/>
    <control-tag name="Decay Type" tag="8"/>
  </control-tags>
  <template name="Content" size="268, 490" class="CViewContainer" bitmap="greymetal"
            background-color="~ BlackCColor" transparent="false">
    <view class="CViewContainer" template="KnobGroup" origin="150, 35" size="75, 85"
          vexotemplate-type="knobgroup"/>
    <view class="CViewContainer" template="SwitchGroup" origin="34, 255" size="198, 56" sub-controller="Switches"/>
    <view class="CTextLabel" title="Halvane Hall" origin="60, 10" size="151, 16" font="Verdana 14 bold ital"
          font-color="~ BlackCColor" text-alignment="center" transparent="true" custom-view-name=""/>
    <view class="COptionMenu" title="SEL 1" origin="60, 355" size="42, 20" control-tag="Position"
          font="~ NormalFontSmaller" font-color="~ WhiteCColor" back-color="~ BlackCColor"
          style-round-rect="true" style-no-frame="true" max-value="" default-value="0.5"/>
    <view class="CTextLabel" title="Binaural" origin="30, 325" size="100, 16" custom-view-name="UnitsLabel"
          control-tag="" font="~ NormalFontBig" font-color="~ GreenCColor" transparent="true"/>
    <view class="CTextLabel" title="S" origin="-25, 410" size="100, 16" text-alignment="center"
          transparent="true" font="~ NormalFont"/>
    <view class="CAnimKnob" origin="10, 100" size="42, 42" control-tag="Gain" bitmap="ghost"
          sub-pixmaps="80" height-of-one-image="42"/>
  </template>
  <template name="KnobGroup" size="75, 85" class="CViewContainer" transparent="true">
    <view class="CTextLabel" title="Abs L-R" origin="0, 0" size="75, 15" font="~ NormalFontSmaller"
          transparent="true" text-alignment=""/>
    <view class="CAnimKnob" origin="15 ,15" size="42, 42" control-tag="Abs L-R" bitmap="chickenhead3"
          angle-start="135" angle-range="270" sub-pixmaps="80" height-of-one-image="42" min-value="0"
          max-value="1" default-value="0.5" wheel-inc-value="0.1" zoom-factor="1.5" value-inset="0"
          background-offset="0, 0" transparent="false"/>
  </template>
  <template name="SwitchGroup" size="198, 56" class="CViewContainer" transparent="true">
    <view class="COnOffButton" origin="80, 3" size="42, 42" control-tag="Decay Type" bitmap="medtoggleswitch"
          height-of-one-image="42" min-value="0" max-value="1" default-value="0"/>
  </template>
  <gradients>
    <gradient name="kLightGreyCColor">
      <color-stop rgba="#c8c8c8ff" start="0"/>
      <color-stop rgba="#c8c8c8ff" start="1"/>
    </gradient>
  </gradients>
</vstgui-ui-description>
)";

struct Resources : TestResources
{
    Resources()
    {
        add("background.png", halvane::test::makeSolidPNG(380, 330, {90, 90, 90}));
        add("greymetal.png", halvane::test::makeSolidPNG(512, 512, {150, 150, 160}));
        add("chickenhead3.png", halvane::test::makeStripPNG(42, 42, 80));
        add("medtoggleswitch.png", halvane::test::makeStripPNG(42, 42, 2));
        add("vexo.uidesc", std::string(kDescription));
    }
};

struct LogCapture
{
    std::vector<std::string> lines;
    LogCapture()
    {
        setLogHandler([this](const std::string& line) { lines.push_back(line); });
    }
    ~LogCapture() { setLogHandler({}); }
};

struct SubController : IController
{
    int* deleted;
    explicit SubController(int* deleted) : deleted(deleted) {}
    ~SubController() override { ++*deleted; }
    void valueChanged(CControl*) override {}
};

struct Controller : IController
{
    std::vector<std::string> customNames;
    std::vector<std::string> subControllers;
    int verified = 0;
    int subDeleted = 0;
    SubController* sub = nullptr;
    int changes = 0;

    void valueChanged(CControl*) override { ++changes; }
    CView* createView(const UIAttributes& attributes, const IUIDescription*) override
    {
        customNames.push_back(*attributes.getAttributeValue("custom-view-name"));
        return nullptr;
    }
    CView* verifyView(CView* view, const UIAttributes&, const IUIDescription*) override
    {
        ++verified;
        return view;
    }
    IController* createSubController(const char* name, const IUIDescription*) override
    {
        subControllers.push_back(name);
        sub = new SubController(&subDeleted);
        return sub;
    }
};

template <class T>
T* childAs(CView* container, uint32_t index)
{
    auto* c = dynamic_cast<CViewContainer*>(container);
    return c ? dynamic_cast<T*>(c->getView(index)) : nullptr;
}

} // namespace

TEST(UIDescriptionParse, ResourcesByName)
{
    Resources resources;
    LogCapture log;
    UIDescription description("vexo.uidesc");
    ASSERT_TRUE(description.parse());

    CFontDesc* title = description.getFont("Verdana 14 bold ital");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->getName(), "Verdana");
    EXPECT_EQ(title->getSize(), 14);
    EXPECT_EQ(title->getStyle(), kBoldFace | kItalicFace);
    ASSERT_NE(description.getFont("Verdana 10  "), nullptr); // trailing blanks are part of the name
    EXPECT_EQ(description.getFont("Verdana 10"), nullptr);
    EXPECT_EQ(description.getFont("~ NormalFontSmaller"), kNormalFontSmaller);

    CColor c;
    EXPECT_TRUE(description.getColor("kDarkGreyCColor", c));
    EXPECT_EQ(c, CColor(100, 100, 100, 255));
    EXPECT_TRUE(description.getColor("~ GreenCColor", c));
    EXPECT_EQ(c, kGreenCColor);
    EXPECT_FALSE(description.getColor("no such color", c));

    EXPECT_EQ(description.getTagForName("Abs L-R"), 3);
    EXPECT_EQ(description.getTagForName("Gain"), 0);
    EXPECT_EQ(description.getTagForName("32768"), 32768);
    EXPECT_EQ(description.getTagForName("unknown"), -1);

    auto* background = dynamic_cast<CNinePartTiledBitmap*>(description.getBitmap("background"));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->getPartOffsets().left, 150);
    EXPECT_EQ(background->getPartOffsets().top, 160);
    EXPECT_EQ(background->getSize(), CPoint(380, 330));
    CBitmap* knob = description.getBitmap("chickenhead3");
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(dynamic_cast<CNinePartTiledBitmap*>(knob), nullptr);
    EXPECT_EQ(knob->getSize(), CPoint(42, 3360));

    CGradient* gradient = description.getGradient("kLightGreyCColor");
    ASSERT_NE(gradient, nullptr);
    ASSERT_EQ(gradient->getColorStops().size(), 2u);
    EXPECT_EQ(gradient->getColorStops()[1].color, CColor(200, 200, 200, 255));

    ASSERT_EQ(description.getCustomAttributeSets().size(), 3u);
    EXPECT_NE(description.getCustomAttributes("FocusDrawing"), nullptr);
    EXPECT_EQ(*description.getCustomAttributeSets()[2].getAttributeValue("KnobAction"), "2");
    EXPECT_EQ(description.getTemplateNames(),
              (std::vector<std::string>{"Editor", "Content", "KnobGroup", "SwitchGroup"}));
    CPoint size;
    ASSERT_TRUE(description.getTemplateAttributes("Editor")->getPointAttribute("size", size));
    EXPECT_EQ(size, CPoint(268, 490));
    EXPECT_TRUE(log.lines.empty());
}

TEST(UIDescriptionBuild, TemplatesNestWithTheirAttributesAndHooks)
{
    Resources resources;
    LogCapture log;
    UIDescription description("vexo.uidesc");
    ASSERT_TRUE(description.parse());
    Controller controller;
    CView* editor = description.createView("Editor", &controller);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->getViewSize(), CRect(0, 0, 268, 490));
    auto* root = dynamic_cast<CViewContainer*>(editor);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getBackgroundColor(), kGreyCColor);
    EXPECT_NE(dynamic_cast<CNinePartTiledBitmap*>(root->getBackground()), nullptr);
    ASSERT_EQ(root->getNbViews(), 1u);

    // The using node's attributes win over the template's own.
    auto* content = childAs<CViewContainer>(root, 0);
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->getBackgroundColor(), kWhiteCColor);
    EXPECT_FALSE(content->getTransparency());
    ASSERT_EQ(content->getNbViews(), 7u); // document order

    auto* group = childAs<CViewContainer>(content, 0);
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->getTransparency());
    EXPECT_EQ(group->getViewSize(), CRect(150, 35, 225, 120));
    auto* knob = childAs<CAnimKnob>(group, 1);
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(knob->getFrameRect(), CRect(165, 50, 207, 92)); // "15 ,15" inside the group
    EXPECT_EQ(knob->getTag(), 3);
    EXPECT_EQ(knob->getListener(), &controller);
    EXPECT_EQ(knob->getNumSubPixmaps(), 80);
    EXPECT_EQ(knob->getHeightOfOneImage(), 42);
    EXPECT_EQ(knob->getStartAngle(), 135);
    EXPECT_EQ(knob->getRangeAngle(), 270);
    EXPECT_FLOAT_EQ(knob->getZoomFactor(), 1.5f);
    EXPECT_FLOAT_EQ(knob->getDefaultValue(), 0.5f);
    EXPECT_EQ(knob->getBackground(), description.getBitmap("chickenhead3"));
    auto* groupLabel = childAs<CTextLabel>(group, 0);
    ASSERT_NE(groupLabel, nullptr);
    EXPECT_EQ(groupLabel->getText(), "Abs L-R");
    EXPECT_EQ(groupLabel->getHoriAlign(), kCenterText); // empty alignment keeps the default
    EXPECT_EQ(groupLabel->getFont(), kNormalFontSmaller);

    // The sub-controller listens to the controls below it and goes away with its view.
    auto* switches = childAs<CViewContainer>(content, 1);
    ASSERT_NE(switches, nullptr);
    EXPECT_EQ(controller.subControllers, (std::vector<std::string>{"Switches"}));
    EXPECT_EQ(switches->getOwnedController(), controller.sub);
    auto* toggle = childAs<COnOffButton>(switches, 0);
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->getListener(), controller.sub);
    EXPECT_EQ(toggle->getTag(), 8);
    EXPECT_EQ(toggle->getFrameRect(), CRect(114, 258, 156, 300));

    auto* title = childAs<CTextLabel>(content, 2);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->getText(), "Halvane Hall");
    EXPECT_EQ(title->getFont(), description.getFont("Verdana 14 bold ital"));

    auto* menu = childAs<COptionMenu>(content, 3);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->getTag(), 1);
    EXPECT_TRUE(menu->getStyle() & kRoundRectStyle);
    EXPECT_TRUE(menu->getStyle() & kNoFrame);
    EXPECT_EQ(menu->getFontColor(), kWhiteCColor);

    // Declined by the controller, the custom view is the node's class.
    auto* units = childAs<CTextLabel>(content, 4);
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units->getText(), "Binaural");
    EXPECT_EQ(units->getFontColor(), kGreenCColor);
    EXPECT_EQ(units->getFont(), kNormalFontBig);
    EXPECT_EQ(units->getTag(), -1);
    EXPECT_EQ(controller.customNames, (std::vector<std::string>{"UnitsLabel"}));

    auto* s = childAs<CTextLabel>(content, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->getFrameRect(), CRect(-25, 410, 75, 426));

    // A missing bitmap leaves the view without one and says so once.
    auto* ghostKnob = childAs<CAnimKnob>(content, 6);
    ASSERT_NE(ghostKnob, nullptr);
    EXPECT_EQ(ghostKnob->getBackground(), nullptr);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("ghost"), std::string::npos);

    // Every node once (templates as the node using them), except those under the sub-controller.
    EXPECT_EQ(controller.verified, 11);

    // In a frame it draws; the knob shows the frame of its value.
    CFrame* frame = new CFrame(CRect(0, 0, 268, 490), nullptr);
    frame->addView(editor);
    knob->setValue(1.f);
    const PixelImage image = renderOffscreen(*frame);
    ASSERT_EQ(image.width, 268);
    const auto p = image.pixel(186, 71);
    const auto expected = halvane::test::frameColor(79);
    EXPECT_NEAR(p.r, expected.r, 2);
    EXPECT_NEAR(p.g, expected.g, 2);
    frame->close();
    EXPECT_EQ(controller.subDeleted, 1);
}

TEST(UIDescriptionBuild, BadValuesAreRangeCheckedAndLoopsEnd)
{
    Resources resources;
    LogCapture log;
    const std::string text = R"(<vstgui-ui-description version="1">
      <bitmaps><bitmap name="strip" path="chickenhead3.png"/></bitmaps>
      <template name="Editor" size="100, 100" class="CViewContainer">
        <view class="CAnimKnob" origin="0, 0" size="-10, -20" bitmap="strip" sub-pixmaps="0"
              height-of-one-image="-5"/>
        <view class="CAnimKnob" origin="10, 10" size="42, 42" bitmap="strip" sub-pixmaps="-3"
              height-of-one-image="0"/>
        <view class="COnOffButton" origin="nonsense" size="1e9, 1e9" bitmap="strip" height-of-one-image="1e300"/>
        <view class="CNoSuchClass" origin="0, 0" size="10, 10"/>
        <view template="Loop"/>
      </template>
      <template name="Loop" size="10, 10" class="CViewContainer">
        <view template="Loop"/>
      </template>
    </vstgui-ui-description>)";
    UIDescription description("inline");
    ASSERT_TRUE(description.parseMemory(text.data(), text.size()));
    CView* view = description.createView("Editor", nullptr);
    ASSERT_NE(view, nullptr);
    auto* root = dynamic_cast<CViewContainer*>(view);
    ASSERT_NE(root, nullptr);
    ASSERT_GE(root->getNbViews(), 3u);
    auto* negative = dynamic_cast<CAnimKnob*>(root->getView(0));
    ASSERT_NE(negative, nullptr);
    EXPECT_TRUE(negative->getViewSize().isEmpty());
    EXPECT_EQ(negative->getViewSize().getWidth(), 0);
    EXPECT_EQ(negative->getHeightOfOneImage(), 0);
    auto* zero = dynamic_cast<CAnimKnob*>(root->getView(1));
    ASSERT_NE(zero, nullptr);
    zero->setValue(1.f);
    EXPECT_EQ(zero->currentFrame(), 79); // counted from the bitmap
    auto* huge = dynamic_cast<COnOffButton*>(root->getView(2));
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->getViewSize().getWidth(), 0); // absurd sizes are not applied
    EXPECT_FALSE(log.lines.empty());

    CFrame* frame = new CFrame(CRect(0, 0, 100, 100), nullptr);
    frame->addView(view);
    huge->setValue(1.f);
    EXPECT_FALSE(renderOffscreen(*frame).isEmpty());
    frame->close();

    EXPECT_EQ(description.createView("Absent", nullptr), nullptr);
}

TEST(UIDescriptionBuild, DamagedDocumentsNeverCrash)
{
    Resources resources;
    LogCapture log;
    const std::string full(kDescription);
    std::mt19937 rng(20261209);
    std::vector<std::string> documents;
    for (size_t cut = 0; cut < full.size(); cut += 173)
        documents.push_back(full.substr(0, cut));
    const std::string noise = "<>/=\" ,-0123456789x~#\n";
    for (int i = 0; i < 80; ++i)
    {
        std::string damaged = full;
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e)
            damaged[rng() % damaged.size()] = noise[rng() % noise.size()];
        documents.push_back(damaged);
    }

    int built = 0;
    for (const std::string& doc : documents)
    {
        const size_t before = log.lines.size();
        UIDescription description("fuzz");
        const bool whole = description.parseMemory(doc.data(), doc.size());
        if (!whole)
        {
            EXPECT_EQ(log.lines.size(), before + 1) << "one line per damaged document";
        }
        Controller controller;
        CView* view = description.createView("Editor", &controller);
        if (!view)
            continue;
        ++built;
        CFrame* frame = new CFrame(CRect(0, 0, 268, 490), nullptr);
        if (!frame->addView(view))
            view->forget();
        renderOffscreen(*frame);
        frame->platformOnMouseDown({186, 71}, kLButton);
        frame->platformOnMouseMoved({186, 20}, kLButton);
        frame->platformOnMouseUp({186, 20}, kLButton);
        frame->close();
    }
    // Most damaged documents still give an editor of what could be read.
    EXPECT_GT(built, static_cast<int>(documents.size()) / 3);
}

TEST(UIDescriptionBuild, ControllerViewsTagsAndReplacements)
{
    Resources resources;
    LogCapture log;
    const std::string text = R"(<vstgui-ui-description version="1">
      <control-tags><control-tag name="Vol" tag="2"/></control-tags>
      <template name="Editor" size="100, 100" class="CViewContainer">
        <view class="CTextLabel" custom-view-name="Mine" origin="5, 6" size="20, 10" title="given"
              font-color="~ RedCColor"/>
        <view class="CAnimKnob" origin="0, 50" size="42, 42" control-tag="Vol"/>
        <view class="CAnimKnob" origin="50, 50" size="42, 42" control-tag="Renamed"/>
        <view class="COnOffButton" origin="0, 0" size="10, 10" custom-view-name="Swap"/>
        <view template="Missing" origin="0, 0" size="10, 10"/>
      </template>
    </vstgui-ui-description>)";

    struct Custom : IController
    {
        CTextEdit* made = nullptr;
        CTextLabel* replacement = nullptr;
        void valueChanged(CControl*) override {}
        CView* createView(const UIAttributes& attributes, const IUIDescription*) override
        {
            if (*attributes.getAttributeValue("custom-view-name") != "Mine")
                return nullptr;
            made = new CTextEdit(CRect(), this, -1);
            return made;
        }
        int32_t getTagForName(const char* name, int32_t registeredTag) const override
        {
            return std::string(name) == "Renamed" ? 77 : registeredTag;
        }
        CView* verifyView(CView* view, const UIAttributes& attributes, const IUIDescription*) override
        {
            const std::string* custom = attributes.getAttributeValue("custom-view-name");
            if (custom && *custom == "Swap")
            {
                view->forget();
                replacement = new CTextLabel(CRect(0, 0, 10, 10), "swapped");
                return replacement;
            }
            return view;
        }
    } controller;

    UIDescription description("inline");
    ASSERT_TRUE(description.parseMemory(text.data(), text.size()));
    CView* view = description.createView("Editor", &controller);
    auto* root = dynamic_cast<CViewContainer*>(view);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->getNbViews(), 4u); // the node with the missing template is left out
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("Missing"), std::string::npos);

    // The controller's own view gets the node's attributes for its class.
    ASSERT_EQ(root->getView(0), controller.made);
    EXPECT_EQ(controller.made->getViewSize(), CRect(5, 6, 25, 16));
    EXPECT_EQ(controller.made->getText(), "given");
    EXPECT_EQ(controller.made->getFontColor(), kRedCColor);

    auto* vol = dynamic_cast<CAnimKnob*>(root->getView(1));
    ASSERT_NE(vol, nullptr);
    EXPECT_EQ(vol->getTag(), 2);
    auto* renamed = dynamic_cast<CAnimKnob*>(root->getView(2));
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->getTag(), 77); // unknown to the description, named by the controller
    EXPECT_EQ(root->getView(3), controller.replacement);
    view->forget();

    // A description that is not there says so once.
    UIDescription absent("nowhere.uidesc");
    EXPECT_FALSE(absent.parse());
    EXPECT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(absent.createView("Editor", nullptr), nullptr);

    // A description read from the resource look-up builds the same tree as from memory.
    UIDescription fromResource("vexo.uidesc");
    ASSERT_TRUE(fromResource.parse());
    CView* editor = fromResource.createView("Editor", nullptr);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->getViewSize(), CRect(0, 0, 268, 490));
    editor->forget();
}
