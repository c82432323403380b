// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/EditorView.h"

#include <cstdint>
#include <memory>

namespace halvane::host
{

// A host's top-level plug-in window on the X display, with what a test needs to act as the user
// in front of it: the pixels on screen and a real pointer (XTest).
class X11Window
{
public:
    // Null when no display can be opened (no X server, DISPLAY unset).
    static std::unique_ptr<X11Window> open(int width, int height);
    ~X11Window();
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    uint32_t id() const;
    // What IPlugView::attached takes for "X11EmbedWindowID".
    void* parentHandle() const;

    // Windows the plug-in put into ours.
    int childCount() const;
    // Size of the first child; {0, 0} without one.
    std::pair<int, int> childSize() const;

    // What the screen shows in our window, alpha 255.
    EditorImage capture(int width, int height) const;

    // Real pointer input, in window coordinates; false without the XTest extension.
    bool hasXTest() const;
    void movePointer(int x, int y);
    void pressButton(unsigned button);
    void releaseButton(unsigned button);

private:
    struct Connection;
    explicit X11Window(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> x;
};

} // namespace halvane::host
