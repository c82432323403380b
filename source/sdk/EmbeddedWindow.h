// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

#include <cstdint>
#include <memory>

namespace VSTGUI
{
class CFrame;
class X11Frame;
} // namespace VSTGUI

namespace Halvane
{

// An editor frame's window inside a Linux host's window, run by the host's IRunLoop: the X
// connection is one of the loop's event handlers, the idle timer one of its timers. Both are
// registered while open and unregistered by close (or when the last reference goes).
//
// Without a run loop the window is still made and drawn once; it then gets no events and no
// timer, the host's other calls (resize, scale) still redraw it.
class EmbeddedWindow : public Steinberg::Linux::IEventHandler,
                       public Steinberg::Linux::ITimerHandler
{
public:
    // Null when no window can be made in parent (no display, not a window).
    static Steinberg::IPtr<EmbeddedWindow> open(VSTGUI::CFrame& frame, void* parent,
                                                Steinberg::Linux::IRunLoop* runLoop,
                                                uint32_t tickMs, double scaleFactor);
    virtual ~EmbeddedWindow();

    // Idempotent. The frame is not touched afterwards.
    void close();
    bool isOpen() const { return platform != nullptr && !closePending; }

    void setScaleFactor(double scaleFactor);
    // Draws what was invalidated now, for calls from the host outside the run loop.
    void redraw();
    VSTGUI::X11Frame* platformFrame() const { return platform.get(); }

    // Linux::IEventHandler: the X connection has something to read.
    void PLUGIN_API onFDIsSet(Steinberg::Linux::FileDescriptor fd) SMTG_OVERRIDE;
    // Linux::ITimerHandler: run the editor's timers and draw what they invalidated.
    void PLUGIN_API onTimer() SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

private:
    EmbeddedWindow(VSTGUI::CFrame& frame, std::unique_ptr<VSTGUI::X11Frame> platform,
                   Steinberg::Linux::IRunLoop* runLoop);

    // Callbacks of ours are on the stack: closing waits for them.
    void beginDispatch();
    void endDispatch();

    VSTGUI::CFrame* frame;
    std::unique_ptr<VSTGUI::X11Frame> platform;
    bool dispatching = false;
    bool closePending = false;
    Steinberg::IPtr<Steinberg::Linux::IRunLoop> runLoop;
};

} // namespace Halvane
