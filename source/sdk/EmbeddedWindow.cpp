// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdk/EmbeddedWindow.h"

#include "vstgui/CFrame.h"
#include "vstgui/TimerService.h"
#include "vstgui/x11/X11Frame.h"

#include <chrono>

using namespace Steinberg;

namespace Halvane
{

namespace
{
// Every window drives the one timer service, so they share one clock: the service's time is
// the monotonic clock minus this offset, fixed by the first tick.
bool clockStarted = false;
uint64_t clockOffsetMs = 0;
// After a stall (a host busy elsewhere) timers catch up this much, not the whole gap.
constexpr uint64_t kMaxCatchUpMs = 250;

uint64_t monotonicMs()
{
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

void runTimers()
{
    VSTGUI::TimerService& service = VSTGUI::TimerService::instance();
    const uint64_t now = monotonicMs();
    if (!clockStarted || now < clockOffsetMs + service.now())
    {
        clockStarted = true;
        clockOffsetMs = now - service.now();
    }
    if (now - clockOffsetMs > service.now() + kMaxCatchUpMs)
        clockOffsetMs = now - service.now() - kMaxCatchUpMs;
    service.advanceTo(now - clockOffsetMs);
}
} // namespace

IPtr<EmbeddedWindow> EmbeddedWindow::open(VSTGUI::CFrame& frame, void* parent,
                                          Linux::IRunLoop* runLoop, uint32_t tickMs,
                                          double scaleFactor)
{
    const auto parentWindow = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(parent));
    auto platform = VSTGUI::X11Frame::create(frame, parentWindow, scaleFactor);
    if (!platform) return nullptr;
    IPtr<EmbeddedWindow> window = owned(new EmbeddedWindow(frame, std::move(platform), runLoop));
    if (window->runLoop)
    {
        // A loop that refuses either leaves us drawing once, as without a loop.
        const bool events = window->runLoop->registerEventHandler(
                                window, window->platform->fileDescriptor()) == kResultTrue;
        const bool timer =
            window->runLoop->registerTimer(window, tickMs > 0 ? tickMs : 50) == kResultTrue;
        if (!events || !timer)
        {
            window->runLoop->unregisterEventHandler(window);
            window->runLoop->unregisterTimer(window);
            window->runLoop = nullptr;
        }
    }
    return window;
}

EmbeddedWindow::EmbeddedWindow(VSTGUI::CFrame& frame, std::unique_ptr<VSTGUI::X11Frame> platform,
                               Linux::IRunLoop* runLoop)
    : frame(&frame), platform(std::move(platform)), runLoop(runLoop)
{
    FUNKNOWN_CTOR
    // Held, so a host that releases the view without removing it (the editor closes its frame
    // first) leaves us no dangling frame.
    frame.remember();
    frame.setPlatformFrame(this->platform.get());
}

EmbeddedWindow::~EmbeddedWindow()
{
    close();
    FUNKNOWN_DTOR
}

void EmbeddedWindow::close()
{
    if (runLoop)
    {
        // The loop holds references to us: they must go before the window does.
        IPtr<Linux::IRunLoop> loop = runLoop;
        runLoop = nullptr;
        loop->unregisterEventHandler(this);
        loop->unregisterTimer(this);
    }
    if (platform) platform->detachFrame();
    if (dispatching)
    {
        // Closed from inside one of our own callbacks (a host reacting to an edit): the window
        // and the frame are still on the stack, they go when the callback returns.
        closePending = true;
        return;
    }
    platform.reset();
    if (frame)
    {
        frame->setPlatformFrame(nullptr);
        frame->forget();
        frame = nullptr;
    }
}

void EmbeddedWindow::beginDispatch()
{
    dispatching = true;
}

void EmbeddedWindow::endDispatch()
{
    dispatching = false;
    if (closePending)
    {
        closePending = false;
        close();
    }
}

void EmbeddedWindow::setScaleFactor(double scaleFactor)
{
    if (!platform) return;
    platform->setScaleFactor(scaleFactor);
    platform->flush();
}

void EmbeddedWindow::redraw()
{
    if (platform) platform->flush();
}

void PLUGIN_API EmbeddedWindow::onFDIsSet(Linux::FileDescriptor /*fd*/)
{
    // An event may close the editor (the host reacting to an edit); stay alive till we return.
    IPtr<EmbeddedWindow> self(this);
    if (dispatching) return;
    beginDispatch();
    if (platform) platform->processEvents();
    endDispatch();
}

void PLUGIN_API EmbeddedWindow::onTimer()
{
    IPtr<EmbeddedWindow> self(this);
    if (dispatching) return;
    beginDispatch();
    runTimers();
    if (platform) platform->flush();
    endDispatch();
}

IMPLEMENT_REFCOUNT(EmbeddedWindow)

tresult PLUGIN_API EmbeddedWindow::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, Linux::IEventHandler)
    QUERY_INTERFACE(iid, obj, Linux::IEventHandler::iid, Linux::IEventHandler)
    QUERY_INTERFACE(iid, obj, Linux::ITimerHandler::iid, Linux::ITimerHandler)
    *obj = nullptr;
    return kNoInterface;
}

} // namespace Halvane
