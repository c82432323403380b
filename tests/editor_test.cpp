// SPDX-License-Identifier: GPL-3.0-or-later
// The room's editor: the view tree the embedded description builds, and the real bundle's
// editor drawn and driven offscreen through our host as a DAW would drive it.
#include "editor/EmbeddedResourceLookup.h"
#include "host/ComponentHandler.h"
#include "host/EditorView.h"
#include "host/Module.h"
#include "host/PluginInstance.h"
#include "resources/EmbeddedResources.h"

#include "vstgui/CAnimKnob.h"
#include "vstgui/CFontDesc.h"
#include "vstgui/COnOffButton.h"
#include "vstgui/COptionMenu.h"
#include "vstgui/CTextLabel.h"
#include "vstgui/CViewContainer.h"
#include "vstgui/IController.h"
#include "vstgui/UIDescription.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using namespace Steinberg;
using halvane::host::ComponentHandler;
using halvane::host::EditorImage;
using halvane::host::EditorView;
using halvane::host::Module;
using halvane::host::PluginInstance;

namespace
{

// ---- the view tree ----

// Binds nothing: the tree as the description alone makes it.
class NullController : public VSTGUI::IController
{
public:
    void valueChanged(VSTGUI::CControl*) override {}
};

struct Leaf
{
    const char* kind; // "knob", "switch", "menu" or "label"
    const char* text; // label text, menu title
    int x, y, width, height;
    int32_t tag;
    const char* bitmap;
    const char* font;
};

// Every leaf of the "Editor" template in document order, positions absolute.
const Leaf kLayout[] = {
    {"label", "Abs L-R", 150, 35, 75, 15, -1, "", "~ NormalFontSmaller"},
    {"knob", "", 165, 50, 42, 42, 3, "chickenhead3", ""},
    {"label", "Abs F-B", 151, 115, 75, 15, -1, "", "~ NormalFontSmaller"},
    {"knob", "", 167, 132, 42, 42, 5, "chickenhead3", ""},
    {"label", "Abs C-F", 151, 195, 75, 15, -1, "", "~ NormalFontSmaller"},
    {"knob", "", 167, 212, 42, 42, 7, "chickenhead3", ""},
    {"label", "Vol L-R", 35, 35, 75, 15, -1, "", "~ NormalFontSmaller"},
    {"knob", "", 51, 52, 42, 42, 2, "chickenhead3", ""},
    {"label", "Vol F-B", 36, 115, 75, 15, -1, "", "~ NormalFontSmaller"},
    {"knob", "", 52, 132, 42, 42, 4, "chickenhead3", ""},
    {"label", "Vol C-F", 35, 195, 75, 15, -1, "", "~ NormalFontSmaller"},
    {"knob", "", 51, 212, 42, 42, 6, "chickenhead3", ""},
    {"label", "Master Vol", 150, 325, 75, 15, -1, "", "~ NormalFontSmaller"},
    {"knob", "", 166, 342, 42, 42, 0, "chickenhead2", ""},
    {"switch", "", 114, 258, 42, 42, 8, "medtoggleswitch", ""},
    {"label", "Decay Type", 154, 270, 74, 15, -1, "", "~ NormalFontSmaller"},
    {"label", "One Ovr", 89, 295, 100, 16, -1, "", "~ NormalFont"},
    {"label", "Exp", 85, 250, 100, 16, -1, "", "~ NormalFont"},
    {"label", "Halvane Hall", 60, 10, 151, 16, -1, "", "Verdana 14 bold ital"},
    {"label", "Brackwater Audio", 155, 470, 100, 16, -1, "", "Verdana 10 bold ital"},
    {"switch", "", 94, 408, 42, 42, 10, "medtoggleswitch", ""},
    {"label", "R", 90, 430, 100, 16, -1, "", "~ NormalFont"},
    {"label", "Left/Right", 80, 445, 74, 15, -1, "", "~ NormalFontSmaller"},
    {"switch", "", 29, 409, 42, 42, 9, "medtoggleswitch", ""},
    {"label", "M", -25, 431, 100, 16, -1, "", "~ NormalFont"},
    {"label", "Stereo/Mono", 15, 446, 74, 15, -1, "", "~ NormalFontSmaller"},
    {"label", "Source", 35, 460, 100, 16, -1, "", "~ NormalFont"},
    {"menu", "", 60, 355, 42, 20, 1, "", "~ NormalFontSmaller"},
    {"label", "Binaural", 30, 325, 100, 16, -1, "", "~ NormalFontBig"},
    {"label", "L", 90, 410, 100, 16, -1, "", "~ NormalFont"},
    {"label", "S", -25, 410, 100, 16, -1, "", "~ NormalFont"},
};

void collectLeaves(VSTGUI::CView* view, std::vector<VSTGUI::CView*>& leaves)
{
    if (auto* container = dynamic_cast<VSTGUI::CViewContainer*>(view))
    {
        for (uint32_t i = 0; i < container->getNbViews(); ++i)
            collectLeaves(container->getView(i), leaves);
        return;
    }
    leaves.push_back(view);
}

VSTGUI::CRect absoluteRect(VSTGUI::CView* view, VSTGUI::CView* root)
{
    VSTGUI::CRect rect = view->getViewSize();
    for (VSTGUI::CView* parent = view->getParentView(); parent && parent != root;
         parent = parent->getParentView())
        rect.offset(parent->getViewSize().left, parent->getViewSize().top);
    return rect;
}

const char* kindOf(VSTGUI::CView* view)
{
    if (dynamic_cast<VSTGUI::CAnimKnob*>(view)) return "knob";
    if (dynamic_cast<VSTGUI::COnOffButton*>(view)) return "switch";
    if (dynamic_cast<VSTGUI::COptionMenu*>(view)) return "menu";
    if (dynamic_cast<VSTGUI::CTextLabel*>(view)) return "label";
    return "other";
}

// ---- pixels ----

struct Strip
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // straight alpha
};

// An embedded image decoded with Cairo, independently of the editor's own decoding.
Strip decodeEmbedded(const char* name)
{
    const Halvane::EmbeddedResource* resource = Halvane::findEmbeddedResource(name);
    Strip strip;
    if (!resource) return strip;
    struct Reader
    {
        const unsigned char* data;
        size_t size;
        size_t offset;
    } reader{resource->data, resource->size, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* out, unsigned int length) {
            auto* r = static_cast<Reader*>(closure);
            if (r->offset + length > r->size) return CAIRO_STATUS_READ_ERROR;
            std::memcpy(out, r->data + r->offset, length);
            r->offset += length;
            return CAIRO_STATUS_SUCCESS;
        },
        &reader);
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_t* argb =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(surface),
                                       cairo_image_surface_get_height(surface));
        cairo_t* cr = cairo_create(argb);
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(argb);
        strip.width = cairo_image_surface_get_width(argb);
        strip.height = cairo_image_surface_get_height(argb);
        strip.rgba.resize(static_cast<size_t>(strip.width) * strip.height * 4);
        const int stride = cairo_image_surface_get_stride(argb);
        const unsigned char* data = cairo_image_surface_get_data(argb);
        for (int y = 0; y < strip.height; ++y)
            for (int x = 0; x < strip.width; ++x)
            {
                uint32_t p;
                std::memcpy(&p, data + y * stride + x * 4, 4);
                const uint8_t a = p >> 24;
                uint8_t* o = &strip.rgba[(static_cast<size_t>(y) * strip.width + x) * 4];
                auto un = [a](uint32_t c) {
                    return static_cast<uint8_t>(a ? std::min(255u, (c * 255 + a / 2) / a) : 0);
                };
                o[0] = un((p >> 16) & 0xff);
                o[1] = un((p >> 8) & 0xff);
                o[2] = un(p & 0xff);
                o[3] = a;
            }
        cairo_surface_destroy(argb);
    }
    cairo_surface_destroy(surface);
    return strip;
}

// Mean squared difference between a square of the editor and one frame of a strip, over the
// pixels the frame covers (its transparent corners show the background instead).
double frameDistance(const EditorImage& image, int left, int top, const Strip& strip, int frame,
                     int size)
{
    double sum = 0.0;
    int counted = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const uint8_t* s = &strip.rgba[(static_cast<size_t>(frame * size + y) * strip.width + x) * 4];
            if (s[3] < 250) continue;
            const EditorImage::Pixel p = image.at(left + x, top + y);
            const double dr = p.r - s[0], dg = p.g - s[1], db = p.b - s[2];
            sum += dr * dr + dg * dg + db * db;
            ++counted;
        }
    return counted ? sum / counted : std::numeric_limits<double>::max();
}

int closestFrame(const EditorImage& image, int left, int top, const Strip& strip, int size)
{
    const int frames = strip.height / size;
    int best = -1;
    double bestDistance = std::numeric_limits<double>::max();
    for (int f = 0; f < frames; ++f)
    {
        const double d = frameDistance(image, left, top, strip, f, size);
        if (d < bestDistance)
        {
            bestDistance = d;
            best = f;
        }
    }
    return best;
}

bool isGreenText(const EditorImage::Pixel& p)
{
    return p.g > 150 && p.r < 110 && p.b < 110;
}

bool isDarkText(const EditorImage::Pixel& p)
{
    return p.r < 50 && p.g < 50 && p.b < 50;
}

// ---- the bundle ----

constexpr Vst::ParamID kPosition = 1;
constexpr Vst::ParamID kAbsLR = 3;
constexpr Vst::ParamID kDecayType = 8;
constexpr Vst::ParamID kStereoMono = 9;

struct Bundle
{
    Bundle() : module(Module::load(HALVANE_BUNDLE_PATH)), plugin(PluginInstance::create(module)) {}

    std::unique_ptr<EditorView> openEditor()
    {
        auto view = EditorView::create(*plugin);
        EXPECT_TRUE(view);
        if (view)
        {
            EXPECT_TRUE(view->open());
        }
        return view;
    }

    std::shared_ptr<Module> module;
    std::unique_ptr<PluginInstance> plugin;
};

} // namespace

TEST(EditorViewTree, TheEditorTemplateBuildsTheLayout)
{
    Halvane::withEmbeddedResources("vexo.uidesc");
    VSTGUI::UIDescription description("vexo.uidesc");
    ASSERT_TRUE(description.parse());
    NullController controller;
    VSTGUI::CView* editor = description.createView("Editor", &controller);
    ASSERT_NE(editor, nullptr);
    auto* frame = dynamic_cast<VSTGUI::CViewContainer*>(editor);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(editor->getViewSize(), VSTGUI::CRect(0, 0, 268, 490));
    ASSERT_NE(editor->getBackground(), nullptr);
    EXPECT_EQ(editor->getBackground()->getResourceName(), "background.png");
    ASSERT_EQ(frame->getNbViews(), 1u);
    VSTGUI::CView* content = frame->getView(0);
    EXPECT_EQ(content->getViewSize(), VSTGUI::CRect(0, 0, 268, 490));
    ASSERT_NE(content->getBackground(), nullptr);
    EXPECT_EQ(content->getBackground()->getResourceName(), "greymetal.png");
    EXPECT_FALSE(content->getTransparency());

    std::vector<VSTGUI::CView*> leaves;
    collectLeaves(editor, leaves);
    ASSERT_EQ(leaves.size(), std::size(kLayout));
    for (size_t i = 0; i < leaves.size(); ++i)
    {
        const Leaf& want = kLayout[i];
        VSTGUI::CView* view = leaves[i];
        SCOPED_TRACE(std::string("view ") + std::to_string(i) + " " + want.kind + " " + want.text);
        EXPECT_STREQ(kindOf(view), want.kind);
        EXPECT_EQ(absoluteRect(view, editor),
                  VSTGUI::CRect(want.x, want.y, want.x + want.width, want.y + want.height));
        auto* control = dynamic_cast<VSTGUI::CControl*>(view);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->getTag(), want.tag);
        const std::string bitmap = want.bitmap[0] ? std::string(want.bitmap) + ".png" : "";
        EXPECT_EQ(view->getBackground() ? view->getBackground()->getResourceName() : "", bitmap);
        if (auto* label = dynamic_cast<VSTGUI::CTextLabel*>(view))
        {
            EXPECT_EQ(label->getText(), want.text);
            EXPECT_TRUE(label->getTransparency());
            EXPECT_EQ(label->getFontColor(), std::string(want.text) == "Binaural"
                                                 ? VSTGUI::kGreenCColor
                                                 : VSTGUI::kBlackCColor);
        }
        if (auto* display = dynamic_cast<VSTGUI::CParamDisplay*>(view))
        {
            const VSTGUI::CFontDesc* expected = description.getFont(want.font);
            ASSERT_NE(display->getFont(), nullptr);
            ASSERT_NE(expected, nullptr) << want.font;
            EXPECT_EQ(display->getFont()->getName(), expected->getName());
            EXPECT_EQ(display->getFont()->getSize(), expected->getSize());
            EXPECT_EQ(display->getFont()->getStyle(), expected->getStyle());
        }
        if (auto* knob = dynamic_cast<VSTGUI::CAnimKnob*>(view))
        {
            EXPECT_EQ(knob->getNumSubPixmaps(), 80);
            EXPECT_EQ(knob->getHeightOfOneImage(), 42);
            EXPECT_FLOAT_EQ(knob->getStartAngle(), 135.f);
            EXPECT_FLOAT_EQ(knob->getRangeAngle(), 270.f);
            EXPECT_FLOAT_EQ(knob->getZoomFactor(), 1.5f);
        }
        if (auto* menu = dynamic_cast<VSTGUI::COptionMenu*>(view))
        {
            EXPECT_EQ(menu->getFontColor(), VSTGUI::kWhiteCColor);
            EXPECT_EQ(menu->getBackColor(), VSTGUI::kBlackCColor);
            EXPECT_TRUE(menu->getStyle() & VSTGUI::kRoundRectStyle);
            EXPECT_TRUE(menu->getStyle() & VSTGUI::kNoFrame);
        }
    }
    editor->forget();
}

TEST(EditorBundle, OffersItsEditorOnlyUnderItsNameAtAFixedSize)
{
    Bundle bundle;
    EXPECT_EQ(EditorView::create(*bundle.plugin, "Editor"), nullptr);
    EXPECT_EQ(EditorView::create(*bundle.plugin, "parameters"), nullptr);
    auto view = bundle.openEditor();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->size().getWidth(), 268);
    EXPECT_EQ(view->size().getHeight(), 490);
    EXPECT_FALSE(view->canResize());
    EXPECT_EQ(view->requestedSize().getWidth(), 268);
    EXPECT_EQ(view->requestedSize().getHeight(), 490);
    const EditorImage image = view->render();
    EXPECT_EQ(image.width, 268);
    EXPECT_EQ(image.height, 490);
    const EditorImage doubled = view->render(2.0);
    EXPECT_EQ(doubled.width, 536);
    EXPECT_EQ(doubled.height, 980);
    // An opaque editor: no pixel shows through.
    for (int y = 0; y < image.height; y += 7)
        for (int x = 0; x < image.width; x += 7)
            ASSERT_EQ(image.at(x, y).a, 255) << x << "," << y;
}

TEST(EditorBundle, LabelsAreDrawnInTheirColoursWhereTheLayoutPutsThem)
{
    Bundle bundle;
    auto view = bundle.openEditor();
    ASSERT_TRUE(view);
    const EditorImage image = view->render();

    // "Binaural" in green, centred in its 100-pixel box at (30, 325).
    int green = 0;
    double greenX = 0;
    for (int y = 325; y < 341; ++y)
        for (int x = 30; x < 130; ++x)
            if (isGreenText(image.at(x, y)))
            {
                ++green;
                greenX += x;
            }
    ASSERT_GT(green, 30);
    EXPECT_NEAR(greenX / green, 80.0, 8.0);
    // ...and green nowhere else.
    int strayGreen = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if ((y < 320 || y > 346) && isGreenText(image.at(x, y))) ++strayGreen;
    EXPECT_EQ(strayGreen, 0);

    // "S" and "M" hang 25 pixels off the left edge: their text centres at x = 25, left of the
    // Stereo/Mono switch at x = 29. Their boxes' top and bottom lines are left out.
    for (int top : {410, 431})
    {
        int dark = 0;
        double darkX = 0;
        for (int y = top + 2; y < top + 14; ++y)
            for (int x = 0; x < 29; ++x)
                if (isDarkText(image.at(x, y)))
                {
                    ++dark;
                    darkX += x;
                }
        ASSERT_GT(dark, 4) << top;
        EXPECT_NEAR(darkX / dark, 25.0, 4.0) << top;
    }
}

TEST(EditorBundle, KnobsShowTheFrameOfTheirParameterAndFollowTheHost)
{
    const Strip knob = decodeEmbedded("chickenhead3.png");
    ASSERT_EQ(knob.height, 42 * 80);
    Bundle bundle;
    ASSERT_TRUE(bundle.plugin->setParamNormalized(kAbsLR, 0.0));
    auto view = bundle.openEditor();
    ASSERT_TRUE(view);
    EXPECT_EQ(closestFrame(view->render(), 165, 50, knob, 42), 0);

    // The host moves the parameter; the open editor's knob follows.
    for (double value : {0.25, 0.5, 1.0})
    {
        ASSERT_TRUE(bundle.plugin->setParamNormalized(kAbsLR, value));
        const int expected = static_cast<int>(std::lround(value * 79));
        EXPECT_NEAR(closestFrame(view->render(), 165, 50, knob, 42), expected, 1) << value;
    }
}

TEST(EditorBundle, DraggingAKnobIsOneGestureOfEdits)
{
    Bundle bundle;
    ASSERT_TRUE(bundle.plugin->setParamNormalized(kAbsLR, 0.5));
    auto view = bundle.openEditor();
    ASSERT_TRUE(view);
    ComponentHandler& handler = bundle.plugin->handler();
    handler.clear();

    // The room asks for linear knobs: upwards raises the value.
    EXPECT_TRUE(view->mouseDown(186, 71));
    for (int step = 1; step <= 5; ++step) view->mouseMove(186, 71 - 8 * step);
    view->mouseUp(186, 31);

    const auto& calls = handler.calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().kind, ComponentHandler::Kind::BeginEdit);
    EXPECT_EQ(calls.back().kind, ComponentHandler::Kind::EndEdit);
    size_t performs = 0;
    double last = 0.5;
    for (const auto& call : calls)
    {
        EXPECT_EQ(call.id, static_cast<int64>(kAbsLR));
        if (call.kind != ComponentHandler::Kind::PerformEdit) continue;
        ++performs;
        EXPECT_GE(call.value, last); // never back down on the way up
        last = call.value;
    }
    EXPECT_GE(performs, 2u);
    EXPECT_EQ(handler.count(ComponentHandler::Kind::BeginEdit), 1u);
    EXPECT_EQ(handler.count(ComponentHandler::Kind::EndEdit), 1u);
    EXPECT_GT(bundle.plugin->getParamNormalized(kAbsLR), 0.5);
    EXPECT_DOUBLE_EQ(bundle.plugin->getParamNormalized(kAbsLR), last);
}

TEST(EditorBundle, SwitchesToggleTheirParameterAndShowIt)
{
    const Strip toggle = decodeEmbedded("medtoggleswitch.png");
    ASSERT_EQ(toggle.height, 84);
    Bundle bundle;
    ASSERT_TRUE(bundle.plugin->setParamNormalized(kDecayType, 0.0));
    auto view = bundle.openEditor();
    ASSERT_TRUE(view);
    EXPECT_EQ(closestFrame(view->render(), 114, 258, toggle, 42), 0);

    view->click(135, 279);
    EXPECT_DOUBLE_EQ(bundle.plugin->getParamNormalized(kDecayType), 1.0);
    EXPECT_EQ(closestFrame(view->render(), 114, 258, toggle, 42), 1);
    EXPECT_EQ(bundle.plugin->handler().count(ComponentHandler::Kind::BeginEdit), 1u);
    EXPECT_EQ(bundle.plugin->handler().count(ComponentHandler::Kind::EndEdit), 1u);

    view->click(135, 279);
    EXPECT_DOUBLE_EQ(bundle.plugin->getParamNormalized(kDecayType), 0.0);
    EXPECT_EQ(closestFrame(view->render(), 114, 258, toggle, 42), 0);
    // The other switches were left alone.
    EXPECT_DOUBLE_EQ(bundle.plugin->getParamNormalized(kStereoMono), 0.0);
}

TEST(EditorBundle, TheSourceMenuListsThePositionsAndSetsTheChosenOne)
{
    Bundle bundle;
    auto view = bundle.openEditor();
    ASSERT_TRUE(view);
    const EditorImage closed = view->render();
    EXPECT_TRUE(view->click(81, 365));
    const EditorImage open = view->render();
    int changed = 0;
    for (int y = 0; y < open.height; ++y)
        for (int x = 0; x < open.width; ++x)
            changed += std::memcmp(&open.rgba[(y * open.width + x) * 4],
                                   &closed.rgba[(y * open.width + x) * 4], 4) != 0;
    EXPECT_GT(changed, 500); // the popup list is showing

    // Center, L22, L32, L45: three rows down from the current entry.
    for (int i = 0; i < 3; ++i) view->key(0, Halvane::IOffscreenEditor::kKeyDown);
    view->key(0, Halvane::IOffscreenEditor::kKeyReturn);
    // A list parameter is edited to its exact step.
    EXPECT_DOUBLE_EQ(bundle.plugin->getParamNormalized(kPosition), 0.3);
    EXPECT_DOUBLE_EQ(bundle.plugin->normalizedToPlain(kPosition,
                                                      bundle.plugin->getParamNormalized(kPosition)),
                     3.0);
    EXPECT_EQ(bundle.plugin->getParamStringByValue(kPosition, 0.3), "L45");
}

TEST(EditorBundle, TwoEditorsAreIndependentButShowTheSameParameters)
{
    Bundle bundle;
    ASSERT_TRUE(bundle.plugin->setParamNormalized(kDecayType, 0.0));
    auto first = bundle.openEditor();
    auto second = bundle.openEditor();
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    const Strip toggle = decodeEmbedded("medtoggleswitch.png");
    first->click(135, 279);
    EXPECT_DOUBLE_EQ(bundle.plugin->getParamNormalized(kDecayType), 1.0);
    EXPECT_EQ(closestFrame(second->render(), 114, 258, toggle, 42), 1);
    first->close();
    first.reset();
    second->click(135, 279);
    EXPECT_DOUBLE_EQ(bundle.plugin->getParamNormalized(kDecayType), 0.0);
    EXPECT_EQ(closestFrame(second->render(), 114, 258, toggle, 42), 0);
}

// ---- pictures of the editor ----

namespace
{

// A PNG file decoded with Cairo into the host's image form.
EditorImage readPng(const std::string& path)
{
    EditorImage image;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
        (format == CAIRO_FORMAT_ARGB32 || format == CAIRO_FORMAT_RGB24))
    {
        image.width = cairo_image_surface_get_width(surface);
        image.height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        image.rgba.resize(static_cast<size_t>(image.width) * image.height * 4);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
            {
                uint32_t p;
                std::memcpy(&p, data + y * stride + x * 4, 4);
                // Opaque pictures: premultiplied and straight colours agree.
                uint8_t* o = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
                o[0] = (p >> 16) & 0xff;
                o[1] = (p >> 8) & 0xff;
                o[2] = p & 0xff;
                o[3] = format == CAIRO_FORMAT_RGB24 ? 255 : p >> 24;
            }
    }
    cairo_surface_destroy(surface);
    return image;
}

struct TempDir
{
    TempDir()
    {
        char pattern[] = "/tmp/halvane-editor-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "";
    }
    ~TempDir()
    {
        if (!path.empty()) std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string path;
};

int runRender(const std::string& arguments)
{
    const std::string command = std::string("'") + HALVANE_RENDER_PATH + "' --plugin '" +
                                HALVANE_BUNDLE_PATH + "' " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str());
}

} // namespace

TEST(EditorSnapshot, TheBundleCarriesItsSnapshotsAtBothScales)
{
    Bundle bundle;
    char id[64] = {};
    bundle.plugin->classInfo().cid.toString(id);
    const std::string base =
        std::string(HALVANE_BUNDLE_PATH) + "/Contents/Resources/Snapshots/" + id + "_snapshot";
    const EditorImage single = readPng(base + ".png");
    const EditorImage doubled = readPng(base + "_2.0x.png");
    EXPECT_EQ(single.width, 268);
    EXPECT_EQ(single.height, 490);
    EXPECT_EQ(doubled.width, 536);
    EXPECT_EQ(doubled.height, 980);

    // They are the editor as it opens: the same pixels our host draws.
    auto view = bundle.openEditor();
    ASSERT_TRUE(view);
    const EditorImage drawn = view->render();
    ASSERT_EQ(drawn.rgba.size(), single.rgba.size());
    size_t differing = 0;
    for (size_t i = 0; i < drawn.rgba.size(); ++i)
        differing += std::abs(int(drawn.rgba[i]) - int(single.rgba[i])) > 1;
    EXPECT_EQ(differing, 0u);
}

TEST(EditorSnapshot, RenderToolDrawsTheEditorWithTheGivenSettings)
{
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const Strip knob = decodeEmbedded("chickenhead3.png");
    const std::string low = dir.path + "/low.png";
    const std::string high = dir.path + "/high.png";
    ASSERT_EQ(runRender("--set 'Abs L-R=0' --editor-snapshot '" + low + "'"), 0);
    ASSERT_EQ(runRender("--set 'Abs L-R=14' --editor-snapshot '" + high + "'"), 0);
    const EditorImage lowImage = readPng(low);
    const EditorImage highImage = readPng(high);
    ASSERT_EQ(lowImage.width, 268);
    ASSERT_EQ(highImage.height, 490);
    EXPECT_EQ(closestFrame(lowImage, 165, 50, knob, 42), 0);
    EXPECT_EQ(closestFrame(highImage, 165, 50, knob, 42), 79);
    // An existing picture is only replaced when asked to.
    EXPECT_NE(runRender("--editor-snapshot '" + low + "'"), 0);
    EXPECT_EQ(runRender("--force --editor-snapshot '" + low + "'"), 0);
}
