// SPDX-License-Identifier: GPL-3.0-or-later
// The room's editor embedded in a host's X11 window, as a Linux DAW opens it: attached to our
// top-level window, its events and timer run by our run loop, driven with a real pointer (XTest)
// and read back from the X server.
#include "host/ComponentHandler.h"
#include "host/EditorView.h"
#include "host/Module.h"
#include "host/PluginInstance.h"
#include "host/RunLoop.h"
#include "host/X11Window.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Steinberg;
using namespace std::chrono_literals;
using halvane::host::ComponentHandler;
using halvane::host::EditorImage;
using halvane::host::EditorView;
using halvane::host::Module;
using halvane::host::PluginInstance;
using halvane::host::RunLoop;
using halvane::host::X11Window;

namespace
{

constexpr Vst::ParamID kPosition = 1;
constexpr Vst::ParamID kVolLR = 2;
constexpr Vst::ParamID kAbsLR = 3;
constexpr Vst::ParamID kDecayType = 8;
constexpr int kWidth = 268;
constexpr int kHeight = 490;

// Window pixels against the offscreen picture where the latter is opaque (the window has no
// alpha). Returns the share of those pixels that differ by more than rounding.
double mismatch(const EditorImage& window, const EditorImage& offscreen, int* opaque = nullptr)
{
    int compared = 0, differing = 0;
    for (int y = 0; y < offscreen.height && y < window.height; ++y)
        for (int x = 0; x < offscreen.width && x < window.width; ++x)
        {
            const auto want = offscreen.at(x, y);
            if (want.a != 255) continue;
            const auto got = window.at(x, y);
            ++compared;
            differing += std::abs(got.r - want.r) > 2 || std::abs(got.g - want.g) > 2 ||
                         std::abs(got.b - want.b) > 2;
        }
    if (opaque) *opaque = compared;
    return compared ? static_cast<double>(differing) / compared : 1.0;
}

int differingPixels(const EditorImage& a, const EditorImage& b)
{
    int changed = 0;
    for (size_t i = 0; i + 3 < a.rgba.size() && i + 3 < b.rgba.size(); i += 4)
        changed += std::memcmp(&a.rgba[i], &b.rgba[i], 3) != 0;
    return changed;
}

// The least frame a host gives a view: it grants resizes and offers the run loop.
class LoopFrame : public IPlugFrame
{
public:
    explicit LoopFrame(RunLoop* loop) : loop(loop) {}
    virtual ~LoopFrame() = default;
    tresult PLUGIN_API resizeView(IPlugView*, ViewRect*) override { return kResultTrue; }
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
    {
        if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid)) return loop->queryInterface(iid, obj);
        QUERY_INTERFACE(iid, obj, FUnknown::iid, IPlugFrame)
        QUERY_INTERFACE(iid, obj, IPlugFrame::iid, IPlugFrame)
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return ++references; }
    uint32 PLUGIN_API release() override
    {
        if (--references) return references;
        delete this;
        return 0;
    }

private:
    IPtr<RunLoop> loop;
    uint32 references = 1;
};

// The pointer and the screen are shared by every test process on the display: one at a time.
class DisplayLock
{
public:
    DisplayLock()
    {
        const char* display = std::getenv("DISPLAY");
        std::string path = "/tmp/halvane-editor-window-";
        for (const char* c = display ? display : "none"; *c; ++c)
            path += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0666);
        if (fd >= 0) ::flock(fd, LOCK_EX);
    }
    ~DisplayLock()
    {
        if (fd >= 0) ::close(fd); // releases the lock
    }
    DisplayLock(const DisplayLock&) = delete;
    DisplayLock& operator=(const DisplayLock&) = delete;

private:
    int fd = -1;
};

class EditorWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = X11Window::open(2 * kWidth + 20, 2 * kHeight + 20);
        if (!window) GTEST_SKIP() << "no X display";
        module = Module::load(HALVANE_BUNDLE_PATH);
        plugin = PluginInstance::create(module);
        runLoop = owned(new RunLoop());
    }

    std::unique_ptr<EditorView> openEditor(bool withRunLoop = true)
    {
        auto view = EditorView::create(*plugin);
        EXPECT_TRUE(view);
        if (!view) return nullptr;
        EXPECT_TRUE(view->openInWindow(window->parentHandle(), withRunLoop ? runLoop.get() : nullptr));
        return view;
    }

    // A user's click: press, let the editor see it, release.
    void click(int x, int y, unsigned button = 1)
    {
        window->movePointer(x, y);
        runLoop->pump(20ms);
        window->pressButton(button);
        runLoop->pump(20ms);
        window->releaseButton(button);
        runLoop->pump(60ms);
    }

    DisplayLock lock;
    std::unique_ptr<X11Window> window;
    std::shared_ptr<Module> module;
    std::unique_ptr<PluginInstance> plugin;
    IPtr<RunLoop> runLoop;
};

} // namespace

TEST(EditorWindowTypes, TheViewEmbedsInX11WindowsOnly)
{
    auto module = Module::load(HALVANE_BUNDLE_PATH);
    auto plugin = PluginInstance::create(module);
    IPtr<IPlugView> view = owned(plugin->controller()->createView("editor"));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeNSView), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
    // A window id that names no window is refused, not fatal.
    if (std::getenv("DISPLAY"))
    {
        EXPECT_NE(view->attached(reinterpret_cast<void*>(uintptr_t{0x7ffffff0}),
                                 kPlatformTypeX11EmbedWindowID),
                  kResultOk);
    }
    EXPECT_NE(view->attached(nullptr, kPlatformTypeX11EmbedWindowID), kResultOk);
}

TEST_F(EditorWindow, DrawsInTheHostWindowAndRunsItsTimerThroughTheRunLoop)
{
    auto view = openEditor();
    ASSERT_TRUE(view);
    EXPECT_EQ(window->childCount(), 1);
    EXPECT_EQ(window->childSize(), std::make_pair(kWidth, kHeight));
    EXPECT_EQ(view->requestedSize().getWidth(), kWidth);
    EXPECT_EQ(view->requestedSize().getHeight(), kHeight);
    EXPECT_EQ(runLoop->eventHandlerCount(), 1u);
    EXPECT_EQ(runLoop->timerCount(), 1u);

    runLoop->pump(1000ms);
    // The 50 ms idle timer, give or take late ticks on a busy machine.
    EXPECT_GE(runLoop->timerFirings(), 16u);
    EXPECT_LE(runLoop->timerFirings(), 21u);

    int opaque = 0;
    EXPECT_LT(mismatch(window->capture(kWidth, kHeight), view->render(), &opaque), 0.002);
    EXPECT_GT(opaque, kWidth * kHeight / 2);

    // The host moves a parameter: the next tick shows it.
    const EditorImage before = window->capture(kWidth, kHeight);
    ASSERT_TRUE(plugin->setParamNormalized(kAbsLR, 1.0));
    runLoop->pump(120ms);
    const EditorImage after = window->capture(kWidth, kHeight);
    EXPECT_GT(differingPixels(before, after), 50);
    EXPECT_LT(mismatch(after, view->render()), 0.002);
}

TEST_F(EditorWindow, ARealPointerDragsAKnobAndFlipsASwitch)
{
    if (!window->hasXTest()) GTEST_SKIP() << "no XTest extension";
    ASSERT_TRUE(plugin->setParamNormalized(kAbsLR, 0.5));
    ASSERT_TRUE(plugin->setParamNormalized(kDecayType, 0.0));
    auto view = openEditor();
    ASSERT_TRUE(view);
    runLoop->pump(100ms);
    ComponentHandler& handler = plugin->handler();
    handler.clear();

    // "Abs L-R": press on the knob, drag upwards in steps, release.
    window->movePointer(186, 71);
    runLoop->pump(20ms);
    window->pressButton(1);
    runLoop->pump(20ms);
    for (int step = 1; step <= 5; ++step)
    {
        window->movePointer(186, 71 - 8 * step);
        runLoop->pump(20ms);
    }
    window->releaseButton(1);
    runLoop->pump(60ms);

    const auto& calls = handler.calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().kind, ComponentHandler::Kind::BeginEdit);
    EXPECT_EQ(calls.back().kind, ComponentHandler::Kind::EndEdit);
    double last = 0.5;
    for (const auto& call : calls)
    {
        EXPECT_EQ(call.id, static_cast<int64>(kAbsLR));
        if (call.kind != ComponentHandler::Kind::PerformEdit) continue;
        EXPECT_GE(call.value, last);
        last = call.value;
    }
    EXPECT_GE(handler.count(ComponentHandler::Kind::PerformEdit), 2u);
    EXPECT_GT(plugin->getParamNormalized(kAbsLR), 0.5);
    EXPECT_DOUBLE_EQ(plugin->getParamNormalized(kAbsLR), last);

    // A double click (two clicks in quick succession, ours to recognise) resets the knob.
    const double fresh = PluginInstance::create(module)->getParamNormalized(kAbsLR);
    ASSERT_NE(plugin->getParamNormalized(kAbsLR), fresh);
    click(186, 71);
    click(186, 71);
    EXPECT_DOUBLE_EQ(plugin->getParamNormalized(kAbsLR), fresh);

    // "Decay Type": one click flips it, as one gesture.
    handler.clear();
    click(135, 279);
    EXPECT_DOUBLE_EQ(plugin->getParamNormalized(kDecayType), 1.0);
    EXPECT_EQ(handler.count(ComponentHandler::Kind::BeginEdit), 1u);
    EXPECT_EQ(handler.count(ComponentHandler::Kind::EndEdit), 1u);
    EXPECT_LT(mismatch(window->capture(kWidth, kHeight), view->render()), 0.002);
}

TEST_F(EditorWindow, TheWheelTurnsAKnobAndTheSourceMenuOpensInTheWindow)
{
    if (!window->hasXTest()) GTEST_SKIP() << "no XTest extension";
    ASSERT_TRUE(plugin->setParamNormalized(kVolLR, 0.5));
    auto view = openEditor();
    ASSERT_TRUE(view);
    runLoop->pump(100ms);

    // Wheel up over "Vol L-R" is button 4.
    click(72, 73, 4);
    EXPECT_GT(plugin->getParamNormalized(kVolLR), 0.5);

    const EditorImage closed = window->capture(kWidth, kHeight);
    click(81, 365);
    const EditorImage open = window->capture(kWidth, kHeight);
    EXPECT_GT(differingPixels(closed, open), 500); // the list is showing, inside our window
    EXPECT_LT(mismatch(open, view->render()), 0.002);
    EXPECT_EQ(window->childCount(), 1); // and in no window of its own

    // Keys come from the host's window, as hosts forward them: three rows down, Return.
    for (int i = 0; i < 3; ++i)
        view->view()->onKeyDown(0, static_cast<int16>(Halvane::IOffscreenEditor::kKeyDown), 0);
    view->view()->onKeyDown(0, static_cast<int16>(Halvane::IOffscreenEditor::kKeyReturn), 0);
    runLoop->pump(60ms);
    EXPECT_DOUBLE_EQ(plugin->getParamNormalized(kPosition), 0.3);
}

TEST_F(EditorWindow, ClosingAndReopeningLeavesNothingBehind)
{
    for (int round = 0; round < 10; ++round)
    {
        auto view = openEditor();
        ASSERT_TRUE(view);
        EXPECT_EQ(window->childCount(), 1);
        runLoop->pump(60ms);
        view->close();
        EXPECT_EQ(runLoop->eventHandlerCount(), 0u) << round;
        EXPECT_EQ(runLoop->timerCount(), 0u) << round;
        EXPECT_EQ(window->childCount(), 0) << round;
    }
    EXPECT_GE(runLoop->timerFirings(), 5u);
}

TEST_F(EditorWindow, WithoutARunLoopTheEditorStillDrawsOnAttach)
{
    auto view = openEditor(false);
    ASSERT_TRUE(view);
    EXPECT_EQ(window->childCount(), 1);
    EXPECT_LT(mismatch(window->capture(kWidth, kHeight), view->render()), 0.002);
    view->close();
    EXPECT_EQ(window->childCount(), 0);
}

TEST_F(EditorWindow, AContentScaleGrowsThePixelsNotTheLayout)
{
    auto view = openEditor();
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setContentScale(2.f));
    EXPECT_EQ(view->requestedSize().getWidth(), 2 * kWidth);
    EXPECT_EQ(view->requestedSize().getHeight(), 2 * kHeight);
    // Another connection's requests are in the server's hands once it has had a moment.
    runLoop->pump(120ms);
    EXPECT_EQ(window->childSize(), std::make_pair(2 * kWidth, 2 * kHeight));
    EXPECT_LT(mismatch(window->capture(2 * kWidth, 2 * kHeight), view->render(2.0)), 0.002);

    // The layout is the same: a click at twice the place flips "Decay Type".
    if (window->hasXTest())
    {
        ASSERT_TRUE(plugin->setParamNormalized(kDecayType, 0.0));
        click(2 * 135, 2 * 279);
        EXPECT_DOUBLE_EQ(plugin->getParamNormalized(kDecayType), 1.0);
    }
    EXPECT_EQ(view->setContentScale(0.f), false);
}

TEST_F(EditorWindow, TheViewSurvivesAnyOrderOfTeardown)
{
    // Released while attached, never removed: its handlers still leave the loop.
    {
        IPtr<LoopFrame> frame = owned(new LoopFrame(runLoop));
        IPtr<IPlugView> raw = owned(plugin->controller()->createView("editor"));
        ASSERT_TRUE(raw);
        raw->setFrame(frame);
        ASSERT_EQ(raw->attached(window->parentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
        EXPECT_EQ(window->childCount(), 1);
        EXPECT_EQ(runLoop->timerCount(), 1u);
        runLoop->pump(60ms);
    }
    EXPECT_EQ(runLoop->eventHandlerCount(), 0u);
    EXPECT_EQ(runLoop->timerCount(), 0u);
    EXPECT_EQ(window->childCount(), 0);

    // The controller goes first, the view after.
    auto view = openEditor();
    ASSERT_TRUE(view);
    runLoop->pump(60ms);
    plugin.reset();
    runLoop->pump(60ms);
    view->close();
    view.reset();
    EXPECT_EQ(runLoop->eventHandlerCount(), 0u);
    EXPECT_EQ(runLoop->timerCount(), 0u);
    EXPECT_EQ(window->childCount(), 0);
}
