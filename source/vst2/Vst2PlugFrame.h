// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/gui/iplugview.h"

#include <chrono>
#include <functional>
#include <vector>

namespace Steinberg
{
namespace Vst
{

// The frame an editor view lives in under a VST 2 host. VST 2 has no run loop to lend, so
// the editor's timers and file descriptors are served from the host's effEditIdle calls,
// on the user-interface thread the editor expects.
class Vst2PlugFrame : public IPlugFrame, public Linux::IRunLoop
{
public:
    using Clock = std::chrono::steady_clock;
    // Asks the host for a new window size; true when it agreed.
    using ResizeWindow = std::function<bool(int32 width, int32 height)>;

    explicit Vst2PlugFrame(ResizeWindow resizeWindow);
    virtual ~Vst2PlugFrame();

    // Calls the handlers whose descriptors are readable and the timers that are due at `now`.
    void idle(Clock::time_point now = Clock::now());

    // IPlugFrame
    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) SMTG_OVERRIDE;

    // IRunLoop
    tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* handler,
                                            Linux::FileDescriptor fd) SMTG_OVERRIDE;
    tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* handler) SMTG_OVERRIDE;
    tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler,
                                     Linux::TimerInterval milliseconds) SMTG_OVERRIDE;
    tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

private:
    struct EventEntry
    {
        Linux::IEventHandler* handler;
        Linux::FileDescriptor fd;
    };
    struct TimerEntry
    {
        Linux::ITimerHandler* handler;
        Clock::duration interval;
        Clock::time_point due;
    };

    ResizeWindow resizeWindow;
    std::vector<EventEntry> eventHandlers;
    std::vector<TimerEntry> timers;
};

} // namespace Vst
} // namespace Steinberg
