// SPDX-License-Identifier: GPL-3.0-or-later
// The editor messages between the binding, the editor and the plug-in object, driven through
// plug-in objects of the tests' own: the framework editor's open/tick/close messages, custom
// view requests, the plug-in object's own editor, linked updates and the editor's life.
#include "binding/Processor.h"
#include "editor/CVexoCustomView.h"
#include "editor/VST3EditorQX.h"
#include "host/ComponentHandler.h"
#include "host/EditorView.h"
#include "editor/EmbeddedResourceLookup.h"
#include "host/Utf16.h"
#include "resources/EmbeddedResources.h"
#include "tests/support/TestPlugInFactory.h"

#include "vstgui/CColor.h"
#include "vstgui/CFrame.h"
#include "vstgui/CTextEdit.h"
#include "vstgui/Resources.h"
#include "vstgui/TimerService.h"
#include "vstgui/UIAttributes.h"
#include "vstgui/UIDescription.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using halvane::host::ComponentHandler;
using HostEditor = halvane::host::EditorView;
using Steinberg::Vst::Davu2VOV3::Processor;

namespace
{

// One message as the plug-in object saw it, with the texts copied while they were valid.
struct Seen
{
    uint32_t kind = 0;
    std::string customViewName;
    std::string text;
    EditorMessage raw;
};

// Eleven controls laid out like the room's, so the room's description binds them all; it
// records every editor message and answers the ones a test asks it to.
class CRecordingPlugIn : public CPlugIn
{
public:
    CRecordingPlugIn()
    {
        static const char* const names[] = {"Gain",    "Position", "Vol L-R",    "Abs L-R",
                                            "Vol F-B", "Abs F-B",  "Vol C-F",    "Abs C-F",
                                            "Decay",   "Stereo",   "Left/Right"};
        for (uint32_t id = 0; id < 11; ++id)
        {
            CControlDescriptor d;
            d.kind = CControlDescriptor::kKindContinuous;
            d.controlId = id;
            d.dataType = CControlDescriptor::kFloat;
            d.minValue = 0.0f;
            d.maxValue = 10.0f;
            d.displayPrecision = 2;
            d.setDisplayName(names[id]);
            controlList.appendCopy(d)->floatVariable = &values[id];
        }
        buildControlIndex();
        hasEditorDescription = true;
        knobMode = 2;
    }

    intptr_t handleEditorMessage(EditorMessage* message) override
    {
        Seen seen;
        seen.kind = message->kind;
        if (message->customViewName) seen.customViewName = message->customViewName;
        if (message->text) seen.text = message->text;
        seen.raw = *message;
        messages.push_back(seen);
        switch (message->kind)
        {
        case EditorMessage::kWantsOwnEditor: message->wantsOwnEditor = wantOwnEditor; return 0;
        case EditorMessage::kOpenOwnEditor:
            connector = static_cast<CVSTParameterConnector*>(message->parameterConnector);
            message->width = ownWidth;
            message->height = ownHeight;
            return ownEditorOpens ? 1 : 0;
        case EditorMessage::kCreateCustomView: return customViewAnswer;
        default: return 0;
        }
    }

    bool collectLinkedUpdates(uint32_t controlId, float value, CUpdateNode** list,
                              bool fromHost) override
    {
        offered.push_back({controlId, value, fromHost});
        if (!linkAbsLR || controlId != 3 || fromHost) return false;
        // Abs L-R drags Abs F-B and Abs C-F to fixed values.
        auto* first = new CUpdateNode;
        first->controlId = 5;
        first->value = 2.5f;
        auto* second = new CUpdateNode;
        second->controlId = 7;
        second->value = 7.5f;
        first->next = second;
        *list = first;
        return true;
    }

    std::vector<uint32_t> kinds() const
    {
        std::vector<uint32_t> k;
        for (const Seen& s : messages) k.push_back(s.kind);
        return k;
    }
    size_t count(uint32_t kind) const
    {
        size_t n = 0;
        for (const Seen& s : messages) n += s.kind == kind;
        return n;
    }

    struct Offer
    {
        uint32_t controlId;
        float value;
        bool fromHost;
    };

    float values[11] = {};
    std::vector<Seen> messages;
    std::vector<Offer> offered;
    bool wantOwnEditor = false;
    bool ownEditorOpens = true;
    int32_t ownWidth = 400;
    int32_t ownHeight = 300;
    intptr_t customViewAnswer = 0;
    bool linkAbsLR = false;
    CVSTParameterConnector* connector = nullptr;
};

struct Rig
{
    explicit Rig(CRecordingPlugIn* recording = new CRecordingPlugIn()) : plugIn(recording)
    {
        TestPlugIns::ScopedFactory factory([recording] { return recording; });
        processor = owned(new Processor());
        EXPECT_EQ(processor->initialize(nullptr), kResultOk);
        handler = owned(new ComponentHandler());
        processor->setComponentHandler(handler);
        plugIn->messages.clear();
    }
    ~Rig()
    {
        processor->setComponentHandler(nullptr);
        processor->terminate();
    }

    std::unique_ptr<HostEditor> openEditor()
    {
        auto view = HostEditor::create(processor, "editor");
        EXPECT_TRUE(view);
        if (view)
        {
            EXPECT_TRUE(view->open());
        }
        return view;
    }

    CRecordingPlugIn* plugIn; // owned by the processor
    IPtr<Processor> processor;
    IPtr<ComponentHandler> handler;
};

} // namespace

// ---- the framework editor's messages ----

TEST(EditorMessages, OpenTickAndCloseReachThePlugInObject)
{
    Rig rig;
    auto view = rig.openEditor();
    ASSERT_TRUE(view);
    ASSERT_FALSE(rig.plugIn->messages.empty());
    EXPECT_EQ(rig.plugIn->messages.front().kind, EditorMessage::kWantsOwnEditor);
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kEditorOpened), 1u);
    const Seen& opened = rig.plugIn->messages.back();
    EXPECT_EQ(opened.kind, EditorMessage::kEditorOpened);
    EXPECT_EQ(opened.customViewName, "");
    EXPECT_EQ(opened.text, "");
    EXPECT_EQ(opened.raw.customView, nullptr);
    EXPECT_EQ(opened.raw.controlListener, nullptr);
    EXPECT_FALSE(opened.raw.wantsOwnEditor);

    // 50 ms ticks: twenty in one second, whatever steps the clock takes.
    view->advance(400);
    view->advance(600);
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kEditorTick), 20u);
    view->advance(49);
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kEditorTick), 20u);
    view->advance(1);
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kEditorTick), 21u);

    view->close();
    EXPECT_EQ(rig.plugIn->messages.back().kind, EditorMessage::kEditorClosing);
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kEditorClosing), 1u);
    const size_t ticks = rig.plugIn->count(EditorMessage::kEditorTick);
    view->advance(1000);
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kEditorTick), ticks);
}

TEST(EditorMessages, TickWritesOnlyItsKindAndReopeningStartsTheTimerAgain)
{
    Rig rig;
    auto view = rig.openEditor();
    ASSERT_TRUE(view);
    // Left over in the shared record from the open message.
    view->advance(50);
    ASSERT_EQ(rig.plugIn->messages.back().kind, EditorMessage::kEditorTick);
    EXPECT_EQ(rig.plugIn->messages.back().customViewName, "");

    view->close();
    ASSERT_TRUE(view->open());
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kEditorOpened), 2u);
    view->advance(100);
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kEditorTick), 3u);
}

TEST(EditorMessages, RecreatingTheViewSendsOpenedAgain)
{
    Rig rig;
    IPtr<IPlugView> plugView = owned(rig.processor->createView("editor"));
    auto* editor = dynamic_cast<VST3EditorQX*>(plugView.get());
    ASSERT_NE(editor, nullptr);
    int token = 0;
    ASSERT_EQ(plugView->attached(&token, Halvane::kPlatformTypeOffscreen), kResultOk);
    ASSERT_TRUE(editor->exchangeView("Editor"));
    rig.plugIn->messages.clear();
    FUnknownPtr<Halvane::IOffscreenEditor> offscreen(plugView);
    offscreen->advanceTime(50);
    EXPECT_EQ(rig.plugIn->kinds(),
              (std::vector<uint32_t>{EditorMessage::kEditorTick, EditorMessage::kEditorOpened}));
    ASSERT_NE(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->getFrame()->getNbViews(), 1u); // the rebuilt template, not two
    plugView->removed();
}

TEST(EditorMessages, CustomViewNamesTheFactoryDoesNotKnowGoToThePlugInObject)
{
    Rig rig;
    VSTGUI::UIDescription description("editor-messages-test");
    const char* xml = R"(<?xml version="1.0"?>
<vstgui-ui-description version="1">
  <colors><color name="panel" rgba="#102030ff"/></colors>
  <control-tags><control-tag name="Abs L-R" tag="3"/></control-tags>
</vstgui-ui-description>)";
    ASSERT_TRUE(description.parseMemory(xml, std::strlen(xml)));

    VSTGUI::UIAttributes attributes;
    attributes.setAttribute("origin", "10 ,20");
    attributes.setAttribute("size", "30, 40.9");
    attributes.setAttribute("background-offset", "3,4");
    attributes.setAttribute("bitmap", "knob");
    attributes.setAttribute("handle-bitmap", "handle");
    attributes.setAttribute("off-bitmap", "off");
    attributes.setAttribute("control-tag", "Abs L-R");
    attributes.setAttribute("back-color", "panel");
    attributes.setAttribute("frame-color", "no such color");
    attributes.setAttribute("frame-width", "  2px");
    attributes.setAttribute("style-no-frame", "true");
    attributes.setAttribute("style-round-rect", "TRUE");
    attributes.setAttribute("sub-pixmaps", "80");

    static int theView = 0;
    rig.plugIn->customViewAnswer = reinterpret_cast<intptr_t>(&theView);
    VSTGUI::CView* view = rig.processor->createCustomView("MyDial", attributes, &description, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(view), &theView);
    ASSERT_EQ(rig.plugIn->messages.size(), 1u);
    const Seen& seen = rig.plugIn->messages.back();
    EXPECT_EQ(seen.kind, EditorMessage::kCreateCustomView);
    EXPECT_EQ(seen.customViewName, "MyDial");
    EXPECT_EQ(seen.raw.controlTag, 3);
    EXPECT_EQ(seen.raw.left, 10);
    EXPECT_EQ(seen.raw.top, 20);
    EXPECT_EQ(seen.raw.right, 40);
    EXPECT_EQ(seen.raw.bottom, 60); // 40.9 is read as 40
    EXPECT_EQ(seen.raw.offsetX, 3);
    EXPECT_EQ(seen.raw.offsetY, 4);
    EXPECT_STREQ(seen.raw.bitmapFile, "knob.png");
    EXPECT_STREQ(seen.raw.handleBitmapFile, "handle.png");
    EXPECT_STREQ(seen.raw.offBitmapFile, ""); // the handle bitmap wins
    EXPECT_STREQ(seen.raw.orientation, "");
    ASSERT_NE(seen.raw.backColor, nullptr);
    EXPECT_EQ(*static_cast<const VSTGUI::CColor*>(seen.raw.backColor), VSTGUI::CColor(16, 32, 48));
    ASSERT_NE(seen.raw.frameColor, nullptr);
    EXPECT_EQ(*static_cast<const VSTGUI::CColor*>(seen.raw.frameColor), VSTGUI::kWhiteCColor);
    EXPECT_EQ(seen.raw.fontColor, nullptr);
    EXPECT_EQ(seen.raw.frameWidth, 2);
    EXPECT_TRUE(seen.raw.styleNoFrame);
    EXPECT_FALSE(seen.raw.styleRoundRect);
    EXPECT_EQ(seen.raw.subPixmaps, 80);
    EXPECT_EQ(seen.raw.heightOfOneImage, 0);
    EXPECT_FALSE(seen.raw.wantsOwnEditor);

    // Without a control tag the listener is cleared and the tag keeps its earlier value; the
    // texts of the previous request are still readable by a later tick.
    VSTGUI::UIAttributes bare;
    bare.setAttribute("origin", "no comma");
    rig.plugIn->customViewAnswer = 0;
    EXPECT_EQ(rig.processor->createCustomView("Other", bare, &description, nullptr), nullptr);
    EXPECT_EQ(rig.plugIn->messages.back().raw.controlListener, nullptr);
    EXPECT_EQ(rig.plugIn->messages.back().raw.controlTag, 3);
    EXPECT_EQ(rig.plugIn->messages.back().raw.left, 0);
    EXPECT_EQ(rig.processor->receiveText("VSTGUITimerPing"), kResultOk);
    EXPECT_EQ(rig.plugIn->messages.back().customViewName, "Other");

    // Names the framework's factory answers, and the empty name, never reach it.
    rig.plugIn->messages.clear();
    EXPECT_EQ(rig.processor->createCustomView("UnitsLabel", bare, &description, nullptr), nullptr);
    EXPECT_EQ(rig.processor->createCustomView("", bare, &description, nullptr), nullptr);
    EXPECT_TRUE(rig.plugIn->messages.empty());
    EXPECT_EQ(rig.processor->createCustomView("unitslabel", bare, &description, nullptr), nullptr);
    EXPECT_EQ(rig.plugIn->messages.size(), 1u); // case matters
    // A meter name without its bitmaps and LED count is no meter, so the plug-in object is asked.
    EXPECT_EQ(rig.processor->createCustomView("AnalogMeterView_H65_Z52", bare, &description,
                                              nullptr),
              nullptr);
    EXPECT_EQ(rig.plugIn->messages.size(), 2u);
}

TEST(EditorMessages, ReceiveTextIgnoresOtherTexts)
{
    Rig rig;
    EXPECT_EQ(rig.processor->receiveText("RecreateView"), kResultOk);
    EXPECT_EQ(rig.processor->receiveText("Something"), kResultOk);
    EXPECT_EQ(rig.processor->receiveText(nullptr), kResultOk);
    EXPECT_EQ(rig.plugIn->kinds(), std::vector<uint32_t>{EditorMessage::kEditorOpened});
}

// ---- createView ----

TEST(EditorCreation, OnlyTheExactNameWithADescriptionGivesAnEditor)
{
    Rig rig;
    EXPECT_EQ(rig.processor->createView("Editor"), nullptr);
    EXPECT_EQ(rig.processor->createView("editor2"), nullptr);
    EXPECT_EQ(rig.processor->createView(nullptr), nullptr);
    EXPECT_TRUE(rig.plugIn->messages.empty());

    rig.plugIn->hasEditorDescription = false;
    EXPECT_EQ(rig.processor->createView("editor"), nullptr);
    EXPECT_TRUE(rig.plugIn->messages.empty());
}

TEST(EditorCreation, EveryCallGivesAnIndependentEditorWithItsOwnControlList)
{
    Rig rig;
    IPtr<IPlugView> first = owned(rig.processor->createView("editor"));
    IPtr<IPlugView> second = owned(rig.processor->createView("editor"));
    auto* a = dynamic_cast<VST3EditorQX*>(first.get());
    auto* b = dynamic_cast<VST3EditorQX*>(second.get());
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->controlList.count(), 11);
    EXPECT_NE(a->controlList.at(0), b->controlList.at(0));
    EXPECT_NE(a->controlList.at(0), rig.plugIn->controlList.at(0));
    EXPECT_EQ(a->plugIn, rig.plugIn);
    EXPECT_EQ(a->knobMode, 2u);
    EXPECT_EQ(a->getIdleRate(), 50);
    EXPECT_EQ(a->findControlPosition(7), 7);
    EXPECT_EQ(a->findControlPosition(11), -1);
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kWantsOwnEditor), 2u);

    ViewRect size;
    ASSERT_EQ(first->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), 268);
    EXPECT_EQ(size.getHeight(), 490);
    EXPECT_EQ(first->canResize(), kResultFalse);
    ViewRect bigger(0, 0, 600, 600);
    EXPECT_EQ(first->checkSizeConstraint(&bigger), kResultTrue);
    EXPECT_EQ(bigger.getWidth(), 268);
    EXPECT_EQ(bigger.getHeight(), 490);
}

TEST(EditorCreation, KnobModeFollowsThePlugInObjectOrTheHost)
{
    Rig rig;
    IPtr<IPlugView> view = owned(rig.processor->createView("editor"));
    auto* editor = dynamic_cast<VST3EditorQX*>(view.get());
    ASSERT_NE(editor, nullptr);
    const int32_t expected[] = {VSTGUI::kCircularMode, VSTGUI::kRelativCircularMode,
                                VSTGUI::kLinearMode};
    for (uint32_t mode = 0; mode < 3; ++mode)
    {
        editor->knobMode = mode;
        EXPECT_EQ(editor->getKnobMode(), expected[mode]) << mode;
    }
    editor->knobMode = 7;
    EXPECT_EQ(editor->getKnobMode(), VSTGUI::kLinearMode);

    editor->knobMode = 3;
    rig.processor->setKnobMode(Vst::kRelativCircularMode);
    EXPECT_EQ(editor->getKnobMode(), VSTGUI::kRelativCircularMode);
    rig.processor->setKnobMode(Vst::kCircularMode);
    EXPECT_EQ(editor->getKnobMode(), VSTGUI::kCircularMode);
    rig.processor->setKnobMode(Vst::kLinearMode);
    EXPECT_EQ(editor->getKnobMode(), VSTGUI::kLinearMode);
}

// ---- linked updates ----

TEST(EditorLinkedUpdates, AKnobEditMovesTheLinkedControls)
{
    Rig rig;
    rig.plugIn->linkAbsLR = true;
    auto view = rig.openEditor();
    ASSERT_TRUE(view);
    rig.handler->clear();
    rig.plugIn->offered.clear();

    // Abs L-R's knob: at (165, 50), 42 wide. A linear drag upwards raises it.
    view->mouseDown(186, 71);
    view->mouseMove(186, 41);
    view->mouseUp(186, 41);

    ASSERT_FALSE(rig.plugIn->offered.empty());
    EXPECT_EQ(rig.plugIn->offered.front().controlId, 3u);
    EXPECT_FALSE(rig.plugIn->offered.front().fromHost);
    EXPECT_NEAR(rig.processor->getParamNormalized(5), 0.25, 1e-6);
    EXPECT_NEAR(rig.processor->getParamNormalized(7), 0.75, 1e-6);
    size_t linkedEdits = 0;
    for (const auto& call : rig.handler->calls())
        if (call.kind == ComponentHandler::Kind::PerformEdit && (call.id == 5 || call.id == 7))
            ++linkedEdits;
    EXPECT_EQ(linkedEdits, 2 * rig.plugIn->offered.size());
    for (const auto& call : rig.handler->calls())
        EXPECT_TRUE(call.kind == ComponentHandler::Kind::PerformEdit || call.id == 3);
}

// ---- the plug-in object's own editor ----

TEST(OwnEditor, OpensAtThePlugInObjectsSizeAndSendsEveryParameter)
{
    Rig rig;
    rig.plugIn->wantOwnEditor = true;
    ASSERT_EQ(rig.processor->setParamNormalized(2, 0.75), kResultOk);
    rig.plugIn->messages.clear();

    auto view = HostEditor::create(rig.processor, "editor");
    ASSERT_TRUE(view);
    EXPECT_NE(dynamic_cast<CVexoCustomView*>(view->view()), nullptr);
    EXPECT_EQ(view->size().getWidth(), 100);
    EXPECT_EQ(view->size().getHeight(), 100);
    EXPECT_EQ(rig.plugIn->kinds(), std::vector<uint32_t>{EditorMessage::kWantsOwnEditor});

    ASSERT_TRUE(view->open());
    EXPECT_EQ(view->resizeRequests(), 1);
    EXPECT_EQ(view->requestedSize().getWidth(), 400);
    EXPECT_EQ(view->requestedSize().getHeight(), 300);
    EXPECT_EQ(view->size().getWidth(), 400);
    EXPECT_EQ(view->size().getHeight(), 300);

    const int32 parameterCount = rig.processor->getParameterCount();
    ASSERT_EQ(rig.plugIn->messages.size(), static_cast<size_t>(2 + parameterCount));
    const Seen& opening = rig.plugIn->messages[1];
    EXPECT_EQ(opening.kind, EditorMessage::kOpenOwnEditor);
    EXPECT_NE(opening.raw.parentWindow, nullptr);
    EXPECT_EQ(opening.raw.platformType, -1);
    EXPECT_EQ(opening.raw.customView, static_cast<VSTGUIEditor*>(
                                          dynamic_cast<CVexoCustomView*>(view->view())));
    for (int32 i = 0; i < parameterCount; ++i)
    {
        const Seen& value = rig.plugIn->messages[2 + static_cast<size_t>(i)];
        EXPECT_EQ(value.kind, EditorMessage::kParamValueSet);
        EXPECT_EQ(value.raw.controlId, static_cast<uint32_t>(i));
    }
    EXPECT_DOUBLE_EQ(rig.plugIn->messages[2 + 2].raw.value, 0.75);

    // The connector edits as a host expects.
    ASSERT_NE(rig.plugIn->connector, nullptr);
    rig.handler->clear();
    rig.plugIn->connector->beginEdit(4);
    rig.plugIn->connector->updateParameter(4, 0.25f);
    rig.plugIn->connector->endEdit(4);
    ASSERT_EQ(rig.handler->calls().size(), 3u);
    EXPECT_EQ(rig.handler->calls()[0].kind, ComponentHandler::Kind::BeginEdit);
    EXPECT_EQ(rig.handler->calls()[1].kind, ComponentHandler::Kind::PerformEdit);
    EXPECT_DOUBLE_EQ(rig.handler->calls()[1].value, 0.25);
    EXPECT_EQ(rig.handler->calls()[2].kind, ComponentHandler::Kind::EndEdit);
    EXPECT_DOUBLE_EQ(rig.processor->getParamNormalized(4), 0.25);

    EXPECT_EQ(view->render().width, 400);

    rig.plugIn->messages.clear();
    void* parent = opening.raw.parentWindow;
    view->close();
    ASSERT_EQ(rig.plugIn->messages.size(), 1u);
    EXPECT_EQ(rig.plugIn->messages[0].kind, EditorMessage::kCloseOwnEditor);
    EXPECT_EQ(rig.plugIn->messages[0].raw.parentWindow, parent);
}

TEST(OwnEditor, RefusedOpenKeepsTheInitialSize)
{
    Rig rig;
    rig.plugIn->wantOwnEditor = true;
    rig.plugIn->ownEditorOpens = false;
    auto view = HostEditor::create(rig.processor, "editor");
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->open()); // the host is still told all went well
    EXPECT_EQ(view->resizeRequests(), 0);
    EXPECT_EQ(view->size().getWidth(), 100);
    EXPECT_EQ(rig.plugIn->count(EditorMessage::kParamValueSet), 0u);
}

// ---- life of the editor ----

TEST(EditorLifetime, ReleasingTheViewAfterTheControllerIsTerminatedLeavesNothingBehind)
{
    auto* recording = new CRecordingPlugIn();
    IPtr<IPlugView> plugView;
    {
        Rig rig(recording);
        plugView = owned(rig.processor->createView("editor"));
        ASSERT_TRUE(plugView);
        int token = 0;
        ASSERT_EQ(plugView->attached(&token, Halvane::kPlatformTypeOffscreen), kResultOk);
        ASSERT_EQ(VSTGUI::TimerService::instance().runningTimers(), 1u);
    } // the host terminates the controller with the editor still open
    FUnknownPtr<Halvane::IOffscreenEditor> offscreen(plugView);
    offscreen->advanceTime(100); // a tick reaches a plug-in object that is still alive
    EXPECT_EQ(plugView->removed(), kResultOk);
    EXPECT_EQ(VSTGUI::TimerService::instance().runningTimers(), 0u);
    plugView = nullptr; // the last reference to the processor goes with the view
}

TEST(EditorLifetime, ClosingAndReopeningLeavesOneTimerAndNoStaleBinding)
{
    Rig rig;
    auto view = rig.openEditor();
    ASSERT_TRUE(view);
    for (int i = 0; i < 3; ++i)
    {
        view->close();
        EXPECT_EQ(VSTGUI::TimerService::instance().runningTimers(), 0u);
        ASSERT_TRUE(view->open());
        EXPECT_EQ(VSTGUI::TimerService::instance().runningTimers(), 1u);
    }
    // A host change after the reopenings reaches the new controls and nothing stale.
    EXPECT_EQ(rig.processor->setParamNormalized(3, 0.5), kResultOk);
    view->close();
    EXPECT_EQ(rig.processor->setParamNormalized(3, 0.25), kResultOk);
    view.reset();
    EXPECT_EQ(rig.processor->setParamNormalized(3, 0.75), kResultOk);
}

// ---- descriptions of the tests' own ----

namespace
{

// Serves test descriptions by name and the module's own resources for everything else.
class TestResources
{
public:
    TestResources()
    {
        Halvane::withEmbeddedResources("");
        VSTGUI::setResourceLookup([this](const std::string& name) {
            auto found = documents.find(name);
            if (found != documents.end())
                return VSTGUI::ResourceData{
                    reinterpret_cast<const unsigned char*>(found->second.data()),
                    found->second.size()};
            VSTGUI::ResourceData data;
            if (const Halvane::EmbeddedResource* r = Halvane::findEmbeddedResource(name.c_str()))
            {
                data.data = r->data;
                data.size = r->size;
            }
            return data;
        });
    }
    ~TestResources()
    {
        VSTGUI::setResourceLookup([](const std::string& name) {
            VSTGUI::ResourceData data;
            if (const Halvane::EmbeddedResource* r = Halvane::findEmbeddedResource(name.c_str()))
            {
                data.data = r->data;
                data.size = r->size;
            }
            return data;
        });
    }
    void add(const std::string& name, std::string document) { documents[name] = std::move(document); }

private:
    std::map<std::string, std::string> documents;
};

std::string embeddedDescription()
{
    const Halvane::EmbeddedResource* r = Halvane::findEmbeddedResource("vexo.uidesc");
    return r ? std::string(reinterpret_cast<const char*>(r->data), r->size) : std::string();
}

// An editor on a description of our own, attached offscreen the way the host would.
struct OwnDescriptionEditor
{
    OwnDescriptionEditor(Processor* processor, const char* resource)
    {
        editor = owned(new VST3EditorQX(processor, "Editor", resource));
        view = IPtr<IPlugView>(static_cast<IPlugView*>(editor.get()));
        offscreen = FUnknownPtr<Halvane::IOffscreenEditor>(view).get();
        attached = view->attached(&token, Halvane::kPlatformTypeOffscreen) == kResultOk;
    }
    ~OwnDescriptionEditor()
    {
        if (attached) view->removed();
    }
    void key(char16 c, int16 virtualKey = 0)
    {
        offscreen->injectKey(true, c, virtualKey, 0);
        offscreen->injectKey(false, c, virtualKey, 0);
    }
    void click(double x, double y)
    {
        offscreen->injectMouse(Halvane::IOffscreenEditor::kMouseDown, x, y,
                               Halvane::IOffscreenEditor::kLeftButton, 0);
        offscreen->injectMouse(Halvane::IOffscreenEditor::kMouseUp, x, y,
                               Halvane::IOffscreenEditor::kLeftButton, 0);
    }

    int token = 0;
    IPtr<VST3EditorQX> editor;
    IPtr<IPlugView> view;
    Halvane::IOffscreenEditor* offscreen = nullptr;
    bool attached = false;
};

VSTGUI::CTextEdit* findTextEdit(VSTGUI::CView* view)
{
    if (auto* edit = dynamic_cast<VSTGUI::CTextEdit*>(view)) return edit;
    if (auto* container = dynamic_cast<VSTGUI::CViewContainer*>(view))
        for (uint32_t i = 0; i < container->getNbViews(); ++i)
            if (auto* edit = findTextEdit(container->getView(i))) return edit;
    return nullptr;
}

} // namespace

TEST(EditorTextEntry, TextTheParameterRejectsRestoresTheField)
{
    TestResources resources;
    resources.add("text-entry.uidesc", R"(<?xml version="1.0"?>
<vstgui-ui-description version="1">
  <control-tags><control-tag name="Gain" tag="0"/></control-tags>
  <template name="Editor" class="CViewContainer" origin="0, 0" size="200, 100">
    <view class="CTextEdit" control-tag="Gain" origin="10, 10" size="100, 20" title=""/>
  </template>
</vstgui-ui-description>)");
    Rig rig;
    ASSERT_EQ(rig.processor->setParamNormalized(0, 0.5), kResultOk);
    OwnDescriptionEditor own(rig.processor, "text-entry.uidesc");
    ASSERT_TRUE(own.attached);
    VSTGUI::CTextEdit* edit = findTextEdit(own.editor->getFrame());
    ASSERT_NE(edit, nullptr);
    String128 shown = {};
    rig.processor->getParamStringByValue(0, 0.5, shown);
    const std::string initial = edit->getText();
    EXPECT_FALSE(initial.empty());

    rig.handler->clear();
    own.click(50, 20);
    for (int i = 0; i < 12; ++i) own.key(0, Halvane::IOffscreenEditor::kKeyBack);
    for (char c : std::string("abc")) own.key(static_cast<char16>(c));
    own.key(0, Halvane::IOffscreenEditor::kKeyReturn);
    EXPECT_DOUBLE_EQ(rig.processor->getParamNormalized(0), 0.5);
    EXPECT_EQ(rig.handler->count(ComponentHandler::Kind::PerformEdit), 0u);
    EXPECT_EQ(edit->getText(), initial);

    // Text it reads becomes an edit, and the field shows the parameter's own text for it.
    own.click(50, 20);
    for (int i = 0; i < 12; ++i) own.key(0, Halvane::IOffscreenEditor::kKeyBack);
    own.key('2');
    own.key(0, Halvane::IOffscreenEditor::kKeyReturn);
    EXPECT_DOUBLE_EQ(rig.processor->getParamNormalized(0), 0.2);
    EXPECT_EQ(rig.handler->count(ComponentHandler::Kind::PerformEdit), 1u);
    String128 expected = {};
    rig.processor->getParamStringByValue(0, 0.2, expected);
    EXPECT_EQ(edit->getText(), halvane::host::toUtf8(expected));
}

TEST(EditorDamagedDescription, TruncatedOrScrambledDescriptionsStillOpen)
{
    const std::string whole = embeddedDescription();
    ASSERT_GT(whole.size(), 1000u);
    TestResources resources;
    Rig rig;

    std::vector<std::string> damaged;
    for (size_t cut : {size_t(0), size_t(1), size_t(40), whole.size() / 7, whole.size() / 3,
                       whole.size() / 2, whole.size() - 30})
        damaged.push_back(whole.substr(0, cut));
    // Numbers that would become sizes, counts and indices turned absurd, and missing images.
    std::string absurd = whole;
    for (const char* from : {"sub-pixmaps=\"80\"", "height-of-one-image=\"42\"", "size=\"42, 42\"",
                             "bitmap=\"chickenhead3\"", "size=\"268, 490\""})
    {
        const char* to = std::strstr(from, "sub-pixmaps")    ? "sub-pixmaps=\"0\""
                         : std::strstr(from, "height-of-one") ? "height-of-one-image=\"0\""
                         : std::strstr(from, "42, 42")        ? "size=\"-42, -1e12\""
                         : std::strstr(from, "bitmap")        ? "bitmap=\"nothing here\""
                                                              : "size=\"99999999, nan\"";
        for (size_t at = absurd.find(from); at != std::string::npos; at = absurd.find(from, at + 1))
            absurd.replace(at, std::strlen(from), to);
    }
    damaged.push_back(absurd);
    // Bytes flipped throughout, the same way every run.
    uint32_t seed = 12345;
    for (int round = 0; round < 6; ++round)
    {
        std::string scrambled = whole;
        for (int i = 0; i < 40; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            scrambled[(seed >> 8) % scrambled.size()] = static_cast<char>(seed >> 24);
        }
        damaged.push_back(scrambled);
    }

    for (size_t i = 0; i < damaged.size(); ++i)
    {
        SCOPED_TRACE(i);
        const std::string name = "damaged" + std::to_string(i) + ".uidesc";
        resources.add(name, damaged[i]);
        OwnDescriptionEditor own(rig.processor, name.c_str());
        EXPECT_TRUE(own.attached);
        ViewRect size;
        own.view->getSize(&size);
        if (size.getWidth() > 0 && size.getHeight() > 0 && size.getWidth() <= 4096 &&
            size.getHeight() <= 4096)
        {
            std::vector<uint8> pixels(static_cast<size_t>(size.getWidth()) * size.getHeight() * 4);
            own.offscreen->renderRGBA(pixels.data(), size.getWidth(), size.getHeight(),
                                      size.getWidth() * 4, 1.0);
        }
        own.click(186, 71);
        own.offscreen->advanceTime(100);
    }
}
