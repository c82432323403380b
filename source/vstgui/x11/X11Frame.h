// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/COffscreenContext.h"
#include "vstgui/CRect.h"
#include "vstgui/IFrameObservers.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace VSTGUI
{

class CFrame;

// A frame's window inside a host's X11 window: a child window on a display connection of its
// own, drawn through a back buffer that keeps the last picture, so only what was invalidated is
// drawn again and the window gets one copy per flush. The owner drives it from the host's run
// loop: processEvents when the connection's descriptor is readable, flush after every timer tick.
//
// Layout stays in frame units; the scale factor only multiplies the window's pixels.
class X11Frame : public IPlatformFrame
{
public:
    // Null when no display can be opened or the parent is no window.
    static std::unique_ptr<X11Frame> create(CFrame& frame, uint32_t parentWindow,
                                            double scaleFactor = 1.0);
    ~X11Frame() override;
    X11Frame(const X11Frame&) = delete;
    X11Frame& operator=(const X11Frame&) = delete;

    int fileDescriptor() const;
    uint32_t window() const;

    // Handles every queued event, then flushes.
    void processEvents();
    // Draws what was invalidated into the back buffer and copies it to the window.
    void flush();

    void setScaleFactor(double scaleFactor);
    double getScaleFactor() const { return scale; }

    // Forget the frame: nothing touches it from now on (it is being closed).
    void detachFrame();

    // IPlatformFrame
    void invalidRect(const CRect& rect) override;
    void setSize(const CRect& size) override;

private:
    struct Connection;
    X11Frame(CFrame& frame, std::unique_ptr<Connection> connection, double scaleFactor);

    bool resizeBackBuffer();
    // Copies what changed in area (frame units) from the back buffer to the window.
    void copyChanges(const CRect& area);
    void handleEvent(const void* event);
    CPoint toFrame(int x, int y) const;

    CFrame* frame;
    std::unique_ptr<Connection> x;
    std::unique_ptr<COffscreenContext> backBuffer;
    double scale;
    // Invalidated parts, and the whole frame apart (the editor's tick).
    CRect dirty;
    bool wholeFrameDirty = false;
    size_t treeSignature = 0;
    std::vector<CRect> areas;
    // The back buffer's pixels as the window shows them.
    std::vector<unsigned char> shown;
    bool windowStale = true;
    // Double clicks are ours to recognise.
    unsigned long lastPressTime = 0;
    int lastPressX = -100, lastPressY = -100;
    unsigned lastPressButton = 0;
};

} // namespace VSTGUI
