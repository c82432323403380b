// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/EmbeddedResources.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

using Halvane::EmbeddedResource;
using Halvane::findEmbeddedResource;

namespace
{
constexpr double kPi = 3.14159265358979323846;

// An embedded PNG decoded by Cairo from memory; width 0 when it does not decode.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb; // premultiplied, row-major

    std::uint32_t at(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
    static int alpha(std::uint32_t p) { return p >> 24; }
    static double luminance(std::uint32_t p)
    {
        return 0.299 * ((p >> 16) & 0xff) + 0.587 * ((p >> 8) & 0xff) + 0.114 * (p & 0xff);
    }
};

struct MemoryReader
{
    const unsigned char* data;
    std::size_t size;
    std::size_t offset = 0;

    static cairo_status_t read(void* closure, unsigned char* out, unsigned int length)
    {
        auto* self = static_cast<MemoryReader*>(closure);
        if (self->size - self->offset < length)
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(out, self->data + self->offset, length);
        self->offset += length;
        return CAIRO_STATUS_SUCCESS;
    }
};

Image decode(const EmbeddedResource& resource)
{
    MemoryReader reader{resource.data, resource.size};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(&MemoryReader::read, &reader);
    Image image;
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                                           cairo_image_surface_get_width(s),
                                                           cairo_image_surface_get_height(s));
        cairo_t* cr = cairo_create(argb);
        cairo_set_source_surface(cr, s, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(argb);
        image.width = cairo_image_surface_get_width(argb);
        image.height = cairo_image_surface_get_height(argb);
        const int stride = cairo_image_surface_get_stride(argb);
        const unsigned char* data = cairo_image_surface_get_data(argb);
        for (int y = 0; y < image.height; ++y)
        {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            image.argb.insert(image.argb.end(), row, row + image.width);
        }
        cairo_surface_destroy(argb);
    }
    cairo_surface_destroy(s);
    return image;
}

Image decodeNamed(const char* name)
{
    const EmbeddedResource* r = findEmbeddedResource(name);
    return r ? decode(*r) : Image{};
}

struct Point
{
    int x = 0;
    int y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

// "x, y" as well as "x ,y": both forms occur in descriptions.
bool parsePoint(const char* text, Point& p)
{
    char comma = 0;
    return std::sscanf(text, " %d %c %d", &p.x, &comma, &p.y) == 3 && comma == ',';
}

Point pointOf(const pugi::xml_node& node, const char* attribute)
{
    Point p{-9999, -9999};
    EXPECT_TRUE(parsePoint(node.attribute(attribute).value(), p))
        << attribute << " = \"" << node.attribute(attribute).value() << "\"";
    return p;
}

class UiDescription : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const EmbeddedResource* r = findEmbeddedResource("vexo.uidesc");
        ASSERT_NE(r, nullptr);
        const pugi::xml_parse_result parsed = doc.load_buffer(r->data, r->size);
        ASSERT_TRUE(parsed) << parsed.description() << " at " << parsed.offset;
        root = doc.child("vstgui-ui-description");
        ASSERT_TRUE(root);
    }

    pugi::xml_node templateNamed(const std::string& name) const
    {
        return root.find_child_by_attribute("template", "name", name.c_str());
    }

    int tagNumber(const std::string& name) const
    {
        const pugi::xml_node tag =
            root.child("control-tags").find_child_by_attribute("control-tag", "name", name.c_str());
        return tag ? tag.attribute("tag").as_int(-1) : -1;
    }

    pugi::xml_document doc;
    pugi::xml_node root;
};

// ---------------------------------------------------------------------------------------------
// Look-up

TEST(EmbeddedResources, FindsTheDescriptionAndEveryImageByName)
{
    for (const char* name : {"vexo.uidesc", "background.png", "greymetal.png", "chickenhead3.png",
                             "chickenhead2.png", "medtoggleswitch.png"})
    {
        const EmbeddedResource* r = findEmbeddedResource(name);
        ASSERT_NE(r, nullptr) << name;
        EXPECT_GT(r->size, 100u) << name;
        EXPECT_EQ(findEmbeddedResource(name), r) << "look-ups must be stable";
    }
    const EmbeddedResource* desc = findEmbeddedResource("vexo.uidesc");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(desc->data), 21), "<?xml version=\"1.0\"?>");

    const EmbeddedResource* png = findEmbeddedResource("background.png");
    EXPECT_EQ(std::memcmp(png->data, "\x89PNG\r\n\x1a\n", 8), 0);
}

TEST(EmbeddedResources, IgnoresCaseLikeWindowsResourcesAndRejectsOthers)
{
    EXPECT_EQ(findEmbeddedResource("CHICKENHEAD3.PNG"), findEmbeddedResource("chickenhead3.png"));
    EXPECT_EQ(findEmbeddedResource("Vexo.UIDesc"), findEmbeddedResource("vexo.uidesc"));
    EXPECT_EQ(findEmbeddedResource(nullptr), nullptr);
    EXPECT_EQ(findEmbeddedResource(""), nullptr);
    EXPECT_EQ(findEmbeddedResource("vstgui.uidesc"), nullptr);
    EXPECT_EQ(findEmbeddedResource("chickenhead3"), nullptr);
    EXPECT_EQ(findEmbeddedResource("chickenhead3.png.bak"), nullptr);
    EXPECT_EQ(findEmbeddedResource("background.pn"), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Document sections

TEST_F(UiDescription, SectionsComeInTheAuthoringToolsOrder)
{
    EXPECT_STREQ(root.attribute("version").value(), "1");
    std::vector<std::string> sections;
    for (pugi::xml_node n : root.children())
    {
        std::string s = n.name();
        if (s == "template")
            s += std::string(":") + n.attribute("name").value();
        sections.push_back(s);
    }
    const std::vector<std::string> expected = {
        "fonts", "colors", "template:Editor", "custom", "bitmaps", "control-tags",
        "template:User ViewContainer 0",
        "template:Vexo KnobGroup 0", "template:Vexo KnobGroup 1", "template:Vexo KnobGroup 2",
        "template:Vexo KnobGroup 3", "template:Vexo KnobGroup 4", "template:Vexo KnobGroup 5",
        "template:Vexo KnobGroup 6", "template:Vexo 2-StateSwitchGroup 0",
        "template:Vexo 2-StateSwitchGroup 1", "template:Vexo 2-StateSwitchGroup 2", "gradients"};
    EXPECT_EQ(sections, expected);
    for (pugi::xml_node t : root.children("template"))
        EXPECT_STREQ(t.attribute("class").value(), "CViewContainer") << t.attribute("name").value();
}

TEST_F(UiDescription, FontsColorsAndGradients)
{
    struct Font
    {
        const char* name;
        const char* family;
        int size;
        const char* bold;
        const char* italic; // null: not given
    };
    const Font expected[] = {{"Microsoft Sans Serif", "Microsoft Sans Serif", 18, "true", nullptr},
                             {"Verdana 10  ", "Verdana", 10, "false", "false"},
                             {"Verdana 14 bold ", "Verdana", 14, "true", "false"},
                             {"Verdana 10 bold ital", "Verdana", 10, "true", "true"},
                             {"Verdana 14 bold ital", "Verdana", 14, "true", "true"}};
    std::size_t i = 0;
    for (pugi::xml_node f : root.child("fonts").children("font"))
    {
        ASSERT_LT(i, std::size(expected));
        const Font& e = expected[i++];
        EXPECT_STREQ(f.attribute("name").value(), e.name);
        EXPECT_STREQ(f.attribute("font-name").value(), e.family) << e.name;
        EXPECT_EQ(f.attribute("size").as_int(), e.size) << e.name;
        EXPECT_STREQ(f.attribute("bold").value(), e.bold) << e.name;
        if (e.italic)
            EXPECT_STREQ(f.attribute("italic").value(), e.italic) << e.name;
        else
            EXPECT_FALSE(f.attribute("italic")) << e.name;
    }
    EXPECT_EQ(i, std::size(expected));

    const std::vector<std::pair<std::string, std::string>> colors = {
        {"kLightGreyCColor", "#c8c8c8ff"}, {"kDarkGreyCColor", "#646464ff"}};
    std::vector<std::pair<std::string, std::string>> found;
    for (pugi::xml_node c : root.child("colors").children("color"))
        found.emplace_back(c.attribute("name").value(), c.attribute("rgba").value());
    EXPECT_EQ(found, colors);

    found.clear();
    for (pugi::xml_node g : root.child("gradients").children("gradient"))
    {
        std::vector<std::string> starts, stops;
        for (pugi::xml_node s : g.children("color-stop"))
        {
            starts.push_back(s.attribute("start").value());
            stops.push_back(s.attribute("rgba").value());
        }
        EXPECT_EQ(starts, (std::vector<std::string>{"0", "1"})) << g.attribute("name").value();
        ASSERT_EQ(stops.size(), 2u);
        EXPECT_EQ(stops[0], stops[1]);
        found.emplace_back(g.attribute("name").value(), stops[0]);
    }
    EXPECT_EQ(found, colors);
}

TEST_F(UiDescription, ControlTagsAreTheParameterIdentifiers)
{
    std::vector<std::pair<std::string, int>> expected = {
        {"Gain", 0},           {"Position", 1},       {"Vol L-R", 2},       {"Abs L-R", 3},
        {"Vol F-B", 4},        {"Abs F-B", 5},        {"Vol C-F", 6},       {"Abs C-F", 7},
        {"Decay Type", 8},     {"Stereo/Mono", 9},    {"Left/Right", 10},   {"ASSIGNBUTTON_1", 32768},
        {"ASSIGNBUTTON_2", 32769}, {"ASSIGNBUTTON_3", 32770}, {"JOYSTICK_X", 32773},
        {"JOYSTICK_Y", 32774}, {"JOYSTICK", 32775},   {"TRACKPAD", 32776}};
    for (int n = 0; n < 32; ++n)
        expected.emplace_back("TAB_CTRL_" + std::to_string(n), 65536 + n);
    std::vector<std::pair<std::string, int>> found;
    for (pugi::xml_node t : root.child("control-tags").children("control-tag"))
        found.emplace_back(t.attribute("name").value(), t.attribute("tag").as_int(-1));
    EXPECT_EQ(found, expected);
}

TEST_F(UiDescription, BitmapsNameTheirEmbeddedImagesAtTheStatedSizes)
{
    struct Bitmap
    {
        const char* name;
        int width, height;
        const char* type;
        const char* offsets; // null: not nine-part
    };
    const Bitmap expected[] = {{"background", 380, 330, "backgnd", "150, 160, 150, 160"},
                               {"greymetal", 512, 512, "backgnd", "0, 0, 0, 0"},
                               {"chickenhead3", 42, 3360, "knob", nullptr},
                               {"chickenhead2", 42, 3360, "knob", nullptr},
                               {"medtoggleswitch", 42, 84, "onoffbtn", nullptr}};
    std::size_t i = 0;
    for (pugi::xml_node b : root.child("bitmaps").children("bitmap"))
    {
        ASSERT_LT(i, std::size(expected));
        const Bitmap& e = expected[i++];
        EXPECT_STREQ(b.attribute("name").value(), e.name);
        const std::string path = b.attribute("path").value();
        EXPECT_EQ(path, std::string(e.name) + ".png");
        EXPECT_STREQ(b.attribute("vexotype").value(), e.type) << e.name;
        if (e.offsets)
            EXPECT_STREQ(b.attribute("nineparttiled-offsets").value(), e.offsets) << e.name;
        else
            EXPECT_FALSE(b.attribute("nineparttiled-offsets")) << e.name;

        const Image image = decodeNamed(path.c_str());
        EXPECT_EQ(image.width, e.width) << path;
        EXPECT_EQ(image.height, e.height) << path;
    }
    EXPECT_EQ(i, std::size(expected));
}

TEST_F(UiDescription, CustomAttributeSetsCarryNoAuthoringPath)
{
    std::vector<std::string> keys;
    for (pugi::xml_node a : root.child("custom").children("attributes"))
    {
        std::string key;
        for (pugi::xml_attribute attr : a.attributes())
        {
            EXPECT_STRNE(attr.name(), "VEXOPath");
            if (key.empty() || std::strcmp(attr.name(), "name") == 0 ||
                std::strcmp(attr.name(), "vexo-template-name") == 0)
                key = std::string(attr.name()) + "=" + attr.value();
        }
        keys.push_back(key);
    }
    std::vector<std::string> expected = {
        "name=VST3Editor", "name=FocusDrawing", "KnobAction=2", "name=UIGridController",
        "name=UITemplateController", "name=UIAttributesController", "name=UIEditController",
        "name=UIViewCreatorDataSource", "name=UITagsDataSource",
        "default-blurb-color=~ BlackCColor", "VEXOShowGrid=true", "AppendUnits=true",
        "TransparentEdits=true", "VEXOAutosize=true",
        "vexo-template-name=User ViewContainer 0"};
    for (int n = 0; n < 7; ++n)
        expected.push_back("vexo-template-name=Vexo KnobGroup " + std::to_string(n));
    for (int n = 0; n < 3; ++n)
        expected.push_back("vexo-template-name=Vexo 2-StateSwitchGroup " + std::to_string(n));
    EXPECT_EQ(keys, expected);

    const pugi::xml_node custom = root.child("custom");
    EXPECT_STREQ(custom.find_child_by_attribute("attributes", "name", "UITemplateController")
                     .attribute("SelectedTemplate").value(), "Editor");
    EXPECT_STREQ(custom.find_child_by_attribute("attributes", "name", "UIEditController")
                     .attribute("EditorSize").value(), "0, 0, 1236, 768");
}

// ---------------------------------------------------------------------------------------------
// Templates and layout

TEST_F(UiDescription, EditorTemplateIsAFixedSizeFrameAroundTheContent)
{
    const pugi::xml_node editor = templateNamed("Editor");
    ASSERT_TRUE(editor);
    for (const char* attr : {"size", "minSize", "maxSize"})
        EXPECT_EQ(pointOf(editor, attr), (Point{268, 490})) << attr;
    EXPECT_EQ(pointOf(editor, "origin"), (Point{0, 0}));
    EXPECT_STREQ(editor.attribute("background-color").value(), "~ GreyCColor");
    EXPECT_STREQ(editor.attribute("background-color-draw-style").value(), "filled and stroked");
    EXPECT_STREQ(editor.attribute("bitmap").value(), "background");
    EXPECT_STREQ(editor.attribute("transparent").value(), "false");

    std::vector<pugi::xml_node> children(editor.children().begin(), editor.children().end());
    ASSERT_EQ(children.size(), 1u);
    const pugi::xml_node content = children[0];
    EXPECT_STREQ(content.attribute("class").value(), "CViewContainer");
    EXPECT_STREQ(content.attribute("template").value(), "User ViewContainer 0");
    EXPECT_EQ(pointOf(content, "origin"), (Point{0, 0}));
    EXPECT_EQ(pointOf(content, "size"), (Point{268, 490}));
    EXPECT_STREQ(content.attribute("bitmap").value(), "greymetal");
    EXPECT_STREQ(content.attribute("background-color").value(), "~ WhiteCColor");
    EXPECT_STREQ(content.attribute("vexotemplate-type").value(), "userViewContainer");
    EXPECT_TRUE(content.attribute("custom-view-name"));
    EXPECT_STREQ(content.attribute("custom-view-name").value(), "");

    const pugi::xml_node user = templateNamed("User ViewContainer 0");
    EXPECT_EQ(pointOf(user, "size"), (Point{268, 490}));
    EXPECT_STREQ(user.attribute("bitmap").value(), "greymetal");
    EXPECT_STREQ(user.attribute("background-color").value(), "~ BlackCColor");
    EXPECT_STREQ(user.attribute("transparent").value(), "false");
}

// One leaf view as the editor shows it: template groups resolved, position absolute.
struct PlacedView
{
    std::string cls;
    std::string title;
    Point position;
    Point size;
    int tag; // -1: no control tag
    std::string bitmap;
    std::string font;
    std::string fontColor;
    pugi::xml_node node;
};

class UiLayout : public UiDescription
{
protected:
    void SetUp() override
    {
        UiDescription::SetUp();
        const pugi::xml_node editor = templateNamed("Editor");
        ASSERT_TRUE(editor);
        collect(editor, Point{0, 0}, 0);
    }

    // Walks the view tree the way the description is instantiated: a view with a template
    // attribute takes that template's children, placed at the view's origin.
    void collect(const pugi::xml_node& container, Point origin, int depth)
    {
        ASSERT_LT(depth, 8) << "template recursion";
        for (pugi::xml_node v : container.children("view"))
        {
            const Point at = pointOf(v, "origin");
            const Point absolute{origin.x + at.x, origin.y + at.y};
            if (v.attribute("template"))
            {
                const pugi::xml_node t = templateNamed(v.attribute("template").value());
                ASSERT_TRUE(t) << v.attribute("template").value();
                groups.push_back(v);
                collect(t, absolute, depth + 1);
                continue;
            }
            PlacedView p;
            p.cls = v.attribute("class").value();
            p.title = v.attribute("title").value();
            p.position = absolute;
            p.size = pointOf(v, "size");
            p.tag = v.attribute("control-tag").empty() ? -1 : tagNumber(v.attribute("control-tag").value());
            p.bitmap = v.attribute("bitmap").value();
            p.font = v.attribute("font").value();
            p.fontColor = v.attribute("font-color").value();
            p.node = v;
            views.push_back(p);
        }
    }

    std::vector<PlacedView> views;
    std::vector<pugi::xml_node> groups;
};

TEST_F(UiLayout, EveryViewSitsWhereTheLayoutPutsItInDocumentOrder)
{
    struct Expected
    {
        const char* cls;
        const char* title;
        Point position;
        Point size;
        int tag;
        const char* bitmap;
    };
    const char* label = "CTextLabel";
    const char* knob = "CAnimKnob";
    const char* button = "COnOffButton";
    // The layout, in the order the description lists it (the knob groups by number, then
    // switch group 0, ...), each group expanded to its label and control.
    const Expected expected[] = {
        {label, "Abs L-R", {150, 35}, {75, 15}, -1, ""},
        {knob, "", {165, 50}, {42, 42}, 3, "chickenhead3"},
        {label, "Abs F-B", {151, 115}, {75, 15}, -1, ""},
        {knob, "", {167, 132}, {42, 42}, 5, "chickenhead3"},
        {label, "Abs C-F", {151, 195}, {75, 15}, -1, ""},
        {knob, "", {167, 212}, {42, 42}, 7, "chickenhead3"},
        {label, "Vol L-R", {35, 35}, {75, 15}, -1, ""},
        {knob, "", {51, 52}, {42, 42}, 2, "chickenhead3"},
        {label, "Vol F-B", {36, 115}, {75, 15}, -1, ""},
        {knob, "", {52, 132}, {42, 42}, 4, "chickenhead3"},
        {label, "Vol C-F", {35, 195}, {75, 15}, -1, ""},
        {knob, "", {51, 212}, {42, 42}, 6, "chickenhead3"},
        {label, "Master Vol", {150, 325}, {75, 15}, -1, ""},
        {knob, "", {166, 342}, {42, 42}, 0, "chickenhead2"},
        {button, "", {114, 258}, {42, 42}, 8, "medtoggleswitch"},
        {label, "Decay Type", {154, 270}, {74, 15}, -1, ""},
        {label, "One Ovr", {89, 295}, {100, 16}, -1, ""},
        {label, "Exp", {85, 250}, {100, 16}, -1, ""},
        {label, "Halvane Hall", {60, 10}, {151, 16}, -1, ""},
        {label, "Brackwater Audio", {155, 470}, {100, 16}, -1, ""},
        {button, "", {94, 408}, {42, 42}, 10, "medtoggleswitch"},
        {label, "R", {90, 430}, {100, 16}, -1, ""},
        {label, "Left/Right", {80, 445}, {74, 15}, -1, ""},
        {button, "", {29, 409}, {42, 42}, 9, "medtoggleswitch"},
        {label, "M", {-25, 431}, {100, 16}, -1, ""},
        {label, "Stereo/Mono", {15, 446}, {74, 15}, -1, ""},
        {label, "Source", {35, 460}, {100, 16}, -1, ""},
        {"COptionMenu", "SEL 1", {60, 355}, {42, 20}, 1, ""},
        {label, "Binaural", {30, 325}, {100, 16}, -1, ""},
        {label, "L", {90, 410}, {100, 16}, -1, ""},
        {label, "S", {-25, 410}, {100, 16}, -1, ""},
    };
    ASSERT_EQ(views.size(), std::size(expected));
    for (std::size_t i = 0; i < views.size(); ++i)
    {
        const PlacedView& v = views[i];
        const Expected& e = expected[i];
        SCOPED_TRACE("view " + std::to_string(i) + " \"" + e.title + "\"");
        EXPECT_EQ(v.cls, e.cls);
        EXPECT_EQ(v.title, e.title);
        EXPECT_EQ(v.position, e.position);
        EXPECT_EQ(v.size, e.size);
        EXPECT_EQ(v.tag, e.tag);
        EXPECT_EQ(v.bitmap, e.bitmap);
    }
}

TEST_F(UiLayout, GroupsArePlacedAtTheirOriginsWithTheirTemplatesSizes)
{
    struct Group
    {
        const char* name;
        Point origin;
        Point size;
        const char* type;
    };
    const Group expected[] = {
        {"User ViewContainer 0", {0, 0}, {268, 490}, "userViewContainer"},
        {"Vexo KnobGroup 0", {150, 35}, {75, 85}, "knobgroup"},
        {"Vexo KnobGroup 1", {151, 110}, {75, 85}, "knobgroup"},
        {"Vexo KnobGroup 2", {151, 190}, {75, 85}, "knobgroup"},
        {"Vexo KnobGroup 3", {35, 30}, {75, 85}, "knobgroup"},
        {"Vexo KnobGroup 4", {36, 110}, {75, 85}, "knobgroup"},
        {"Vexo KnobGroup 5", {35, 190}, {75, 85}, "knobgroup"},
        {"Vexo KnobGroup 6", {150, 320}, {75, 64}, "knobgroup"},
        {"Vexo 2-StateSwitchGroup 0", {34, 255}, {198, 56}, "twostateswitchgroup"},
        {"Vexo 2-StateSwitchGroup 1", {80, 405}, {74, 55}, "twostateswitchgroup"},
        {"Vexo 2-StateSwitchGroup 2", {15, 410}, {74, 51}, "twostateswitchgroup"},
    };
    ASSERT_EQ(groups.size(), std::size(expected));
    for (std::size_t i = 0; i < groups.size(); ++i)
    {
        const Group& e = expected[i];
        SCOPED_TRACE(e.name);
        const pugi::xml_node g = groups[i];
        EXPECT_STREQ(g.attribute("template").value(), e.name);
        EXPECT_EQ(pointOf(g, "origin"), e.origin);
        EXPECT_EQ(pointOf(g, "size"), e.size);
        EXPECT_STREQ(g.attribute("vexotemplate-type").value(), e.type);
        EXPECT_EQ(pointOf(templateNamed(e.name), "size"), e.size);
        if (i > 0)
        {
            EXPECT_STREQ(g.attribute("transparent").value(), "true");
            EXPECT_STREQ(templateNamed(e.name).attribute("transparent").value(), "true");
        }
    }
}

TEST_F(UiLayout, LabelsHaveTheirFontsColoursAndAlignment)
{
    std::map<std::string, const PlacedView*> byTitle;
    for (const PlacedView& v : views)
        if (v.cls == "CTextLabel")
            byTitle[v.title] = &v;
    ASSERT_EQ(byTitle.size(), 20u);

    EXPECT_EQ(byTitle["Halvane Hall"]->font, "Verdana 14 bold ital");
    EXPECT_EQ(byTitle["Brackwater Audio"]->font, "Verdana 10 bold ital");
    EXPECT_EQ(byTitle["Binaural"]->font, "~ NormalFontBig");
    for (const char* t : {"Exp", "One Ovr", "L", "R", "S", "M", "Source"})
        EXPECT_EQ(byTitle[t]->font, "~ NormalFont") << t;
    for (const char* t : {"Vol L-R", "Abs L-R", "Vol F-B", "Abs F-B", "Vol C-F", "Abs C-F",
                          "Master Vol", "Decay Type", "Stereo/Mono", "Left/Right"})
    {
        EXPECT_EQ(byTitle[t]->font, "~ NormalFontSmaller") << t;
        // Group labels leave the alignment to VSTGUI's default.
        EXPECT_TRUE(byTitle[t]->node.attribute("text-alignment")) << t;
        EXPECT_STREQ(byTitle[t]->node.attribute("text-alignment").value(), "") << t;
    }

    for (const auto& [title, v] : byTitle)
    {
        SCOPED_TRACE(title);
        const pugi::xml_node n = v->node;
        const bool binaural = title == "Binaural";
        EXPECT_EQ(v->fontColor, binaural ? "~ GreenCColor" : "~ BlackCColor");
        EXPECT_STREQ(n.attribute("back-color").value(), "~ BlackCColor");
        EXPECT_STREQ(n.attribute("frame-color").value(), "~ BlackCColor");
        EXPECT_STREQ(n.attribute("shadow-color").value(), "~ RedCColor");
        EXPECT_STREQ(n.attribute("transparent").value(), "true");
        EXPECT_STREQ(n.attribute("text-inset").value(), "0, 0");
        EXPECT_EQ(n.attribute("round-rect-radius").as_int(), 6);
        for (pugi::xml_attribute a : n.attributes())
        {
            if (std::strncmp(a.name(), "style-", 6) == 0)
            {
                EXPECT_STREQ(a.value(), "false") << a.name();
            }
        }
        if (v->size.x == 100 || title == "Halvane Hall")
        {
            EXPECT_STREQ(n.attribute("text-alignment").value(), "center");
        }
        EXPECT_STREQ(n.attribute("custom-view-name").value(), binaural ? "UnitsLabel" : "");
        // "Binaural" carries an empty tag so the custom view factory declines it.
        EXPECT_EQ(bool(n.attribute("control-tag")), binaural);
        EXPECT_STREQ(n.attribute("control-tag").value(), "");
    }
}

TEST_F(UiLayout, ControlsCarryTheirCommonAttributes)
{
    int knobs = 0, switches = 0, menus = 0;
    for (const PlacedView& v : views)
    {
        const pugi::xml_node n = v.node;
        SCOPED_TRACE(v.cls + " tag " + std::to_string(v.tag));
        EXPECT_TRUE(n.attribute("custom-view-name"));
        if (v.cls == "CAnimKnob")
        {
            ++knobs;
            EXPECT_EQ(n.attribute("angle-start").as_double(), 135.0);
            EXPECT_EQ(n.attribute("angle-range").as_double(), 270.0);
            EXPECT_EQ(n.attribute("sub-pixmaps").as_int(), 80);
            EXPECT_EQ(n.attribute("height-of-one-image").as_int(), 42);
            EXPECT_EQ(n.attribute("min-value").as_double(-1), 0.0);
            EXPECT_EQ(n.attribute("max-value").as_double(), 1.0);
            EXPECT_EQ(n.attribute("default-value").as_double(), 0.5);
            EXPECT_EQ(n.attribute("wheel-inc-value").as_double(), 0.1);
            EXPECT_EQ(n.attribute("zoom-factor").as_double(), 1.5);
            EXPECT_EQ(n.attribute("value-inset").as_double(-1), 0.0);
            EXPECT_STREQ(n.attribute("background-offset").value(), "0, 0");
            EXPECT_STREQ(n.attribute("transparent").value(), "false");
            EXPECT_STREQ(n.attribute("circle-drawing").value(), "false");
            EXPECT_STREQ(n.attribute("corona-drawing").value(), "false");
        }
        else if (v.cls == "COnOffButton")
        {
            ++switches;
            EXPECT_EQ(n.attribute("min-value").as_double(-1), 0.0);
            EXPECT_EQ(n.attribute("max-value").as_double(), 1.0);
            EXPECT_EQ(n.attribute("default-value").as_double(-1), 0.0);
            EXPECT_EQ(n.attribute("height-of-one-image").as_int(), 42);
            EXPECT_STREQ(n.attribute("transparent").value(), "false");
        }
        else if (v.cls == "COptionMenu")
        {
            ++menus;
            EXPECT_STREQ(n.attribute("font").value(), "~ NormalFontSmaller");
            EXPECT_STREQ(n.attribute("font-color").value(), "~ WhiteCColor");
            EXPECT_STREQ(n.attribute("back-color").value(), "~ BlackCColor");
            EXPECT_STREQ(n.attribute("style-round-rect").value(), "true");
            EXPECT_STREQ(n.attribute("style-no-frame").value(), "true");
            EXPECT_STREQ(n.attribute("menu-popup-style").value(), "false");
            EXPECT_STREQ(n.attribute("menu-check-style").value(), "false");
            EXPECT_STREQ(n.attribute("max-value").value(), "");
        }
    }
    EXPECT_EQ(knobs, 7);
    EXPECT_EQ(switches, 3);
    EXPECT_EQ(menus, 1);

    // Every parameter 0..10 is reachable from exactly one view, nothing else is.
    std::map<int, int> tagged;
    for (const PlacedView& v : views)
        if (v.tag != -1)
            ++tagged[v.tag];
    ASSERT_EQ(tagged.size(), 11u);
    for (int id = 0; id <= 10; ++id)
        EXPECT_EQ(tagged[id], 1) << id;
}

TEST_F(UiDescription, EveryReferenceResolves)
{
    std::set<std::string> bitmaps, fonts, colors, templates;
    for (pugi::xml_node b : root.child("bitmaps").children("bitmap"))
        bitmaps.insert(b.attribute("name").value());
    for (pugi::xml_node f : root.child("fonts").children("font"))
        fonts.insert(f.attribute("name").value());
    for (pugi::xml_node c : root.child("colors").children("color"))
        colors.insert(c.attribute("name").value());
    for (pugi::xml_node t : root.children("template"))
        templates.insert(t.attribute("name").value());
    const std::set<std::string> builtInFonts = {"~ NormalFont", "~ NormalFontSmaller",
                                                "~ NormalFontBig"};
    const std::set<std::string> builtInColors = {"~ BlackCColor", "~ WhiteCColor", "~ GreyCColor",
                                                 "~ RedCColor", "~ GreenCColor"};

    int checked = 0;
    for (pugi::xpath_node x : root.select_nodes("//template | //view"))
    {
        const pugi::xml_node v = x.node();
        for (pugi::xml_attribute a : v.attributes())
        {
            const std::string name = a.name(), value = a.value();
            SCOPED_TRACE(name + "=\"" + value + "\"");
            if (name == "bitmap")
                EXPECT_TRUE(bitmaps.count(value));
            else if (name == "font")
                EXPECT_TRUE(builtInFonts.count(value) || fonts.count(value));
            else if (name.size() > 6 && name.compare(name.size() - 6, 6, "-color") == 0)
                EXPECT_TRUE(builtInColors.count(value) || colors.count(value));
            else if (name == "template")
                EXPECT_TRUE(templates.count(value));
            else if (name == "control-tag" && !value.empty())
                EXPECT_GE(tagNumber(value), 0);
            else
                continue;
            ++checked;
        }
    }
    EXPECT_GT(checked, 150);
}

// ---------------------------------------------------------------------------------------------
// Images

// The pointer's angle in degrees, clockwise from straight up, taken from the brightest pixels
// over the knob's face (the inlaid line is the lightest thing on it).
double pointerAngle(const Image& strip, int frame, int size)
{
    const double c = size / 2.0;
    double brightest = 0.0;
    for (int pass = 0; pass < 2; ++pass)
    {
        double sx = 0.0, sy = 0.0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
            {
                const double dx = x + 0.5 - c, dy = y + 0.5 - c;
                const double r = std::hypot(dx, dy);
                if (r < 3.0 || r > 13.5)
                    continue;
                const std::uint32_t p = strip.at(x, frame * size + y);
                if (Image::alpha(p) < 250)
                    continue;
                const double l = Image::luminance(p);
                if (pass == 0)
                    brightest = std::max(brightest, l);
                else if (l > brightest - 50.0)
                {
                    sx += (l - brightest + 50.0) * dx;
                    sy += (l - brightest + 50.0) * dy;
                }
            }
        if (pass == 1)
            return std::atan2(sx, -sy) * 180.0 / kPi;
    }
    return 0.0;
}

TEST(ResourceImages, KnobPointersSweep270DegreesClockwiseOverTheFrames)
{
    for (const char* name : {"chickenhead3.png", "chickenhead2.png"})
    {
        SCOPED_TRACE(name);
        const Image strip = decodeNamed(name);
        ASSERT_EQ(strip.width, 42);
        ASSERT_EQ(strip.height, 80 * 42);
        std::vector<double> angles;
        for (int f = 0; f < 80; ++f)
            angles.push_back(pointerAngle(strip, f, 42));
        EXPECT_NEAR(angles.front(), -135.0, 4.0);
        EXPECT_NEAR(angles.back(), 135.0, 4.0);
        for (int f = 0; f < 80; ++f)
        {
            // Evenly spaced, so that a knob value maps to the frame showing it.
            EXPECT_NEAR(angles[f], -135.0 + 270.0 * f / 79.0, 4.0) << "frame " << f;
            if (f > 0)
            {
                EXPECT_GT(angles[f], angles[f - 1]) << "frame " << f;
            }
        }
        // Round knobs on a transparent square: the corners let the panel show through.
        for (int f : {0, 79})
        {
            for (auto [x, y] : {std::pair{0, 0}, {41, 0}, {0, 41}, {41, 41}})
                EXPECT_EQ(Image::alpha(strip.at(x, f * 42 + y)), 0);
        }
        EXPECT_EQ(Image::alpha(strip.at(21, 21)), 255);
    }
    // Two colour variants, not one image twice.
    const Image a = decodeNamed("chickenhead3.png"), b = decodeNamed("chickenhead2.png");
    EXPECT_NE(a.argb, b.argb);
}

TEST(ResourceImages, SwitchShowsTheLeverUpWhenOffAndDownWhenOn)
{
    const Image sw = decodeNamed("medtoggleswitch.png");
    ASSERT_EQ(sw.width, 42);
    ASSERT_EQ(sw.height, 84);
    // The mounting is the same in both frames; what lies well above or below the centre
    // changes with the lever.
    struct Mass
    {
        double above = 0.0, below = 0.0;
    };
    auto leverMass = [&](int frame)
    {
        Mass m;
        for (int y = 0; y < 42; ++y)
            for (int x = 0; x < 42; ++x)
            {
                const double w = Image::alpha(sw.at(x, frame * 42 + y)) / 255.0;
                if (y + 0.5 < 21.0 - 12.0)
                    m.above += w;
                else if (y + 0.5 > 21.0 + 12.0)
                    m.below += w;
            }
        return m;
    };
    const Mass off = leverMass(0), on = leverMass(1);
    EXPECT_GT(off.above - on.above, 15.0);
    EXPECT_GT(on.below - off.below, 15.0);

    int differing = 0;
    for (int y = 0; y < 42; ++y)
        for (int x = 0; x < 42; ++x)
            differing += sw.at(x, y) != sw.at(x, 42 + y);
    EXPECT_GT(differing, 100);
}

TEST(ResourceImages, BackgroundsAreOpaque)
{
    for (const char* name : {"greymetal.png", "background.png"})
    {
        const Image image = decodeNamed(name);
        ASSERT_GT(image.width, 0) << name;
        int transparent = 0;
        for (std::uint32_t p : image.argb)
            transparent += Image::alpha(p) < 255;
        // The panel's rounded corners are the only see-through part.
        EXPECT_LT(transparent, 200) << name;
    }
    // The content area shows the metal: it must have texture but stay light enough for black
    // text.
    const Image metal = decodeNamed("greymetal.png");
    double sum = 0.0, sum2 = 0.0;
    for (std::uint32_t p : metal.argb)
    {
        const double l = Image::luminance(p);
        sum += l;
        sum2 += l * l;
    }
    const double mean = sum / metal.argb.size();
    const double deviation = std::sqrt(sum2 / metal.argb.size() - mean * mean);
    EXPECT_GT(mean, 140.0);
    EXPECT_GT(deviation, 2.0);
}

} // namespace
