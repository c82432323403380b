// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/X11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace halvane::host
{

struct X11Window::Connection
{
    Display* display = nullptr;
    Window window = 0;
    bool xtest = false;

    ~Connection()
    {
        if (window) XDestroyWindow(display, window);
        if (display) XCloseDisplay(display);
    }
};

namespace
{
int channel(unsigned long pixel, unsigned long mask)
{
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long max = mask >> shift;
    return static_cast<int>(value * 255 / max);
}
} // namespace

std::unique_ptr<X11Window> X11Window::open(int width, int height)
{
    auto x = std::make_unique<Connection>();
    x->display = XOpenDisplay(nullptr);
    // Xvfb resets when its last client leaves and refuses connections meanwhile.
    for (int attempt = 0; !x->display && std::getenv("DISPLAY") && attempt < 20; ++attempt)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        x->display = XOpenDisplay(nullptr);
    }
    if (!x->display) return nullptr;
    const int screen = DefaultScreen(x->display);
    x->window = XCreateSimpleWindow(x->display, RootWindow(x->display, screen), 0, 0,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height),
                                    0, BlackPixel(x->display, screen),
                                    BlackPixel(x->display, screen));
    XStoreName(x->display, x->window, "halvane host");
    XSelectInput(x->display, x->window, StructureNotifyMask);
    XMapRaised(x->display, x->window);
    // Only a viewable window has pixels to read back and takes pointer events.
    for (XEvent event;;)
    {
        XWindowEvent(x->display, x->window, StructureNotifyMask, &event);
        if (event.type == MapNotify) break;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    x->xtest = XTestQueryExtension(x->display, &eventBase, &errorBase, &major, &minor);
    return std::unique_ptr<X11Window>(new X11Window(std::move(x)));
}

X11Window::X11Window(std::unique_ptr<Connection> connection) : x(std::move(connection)) {}

X11Window::~X11Window() = default;

uint32_t X11Window::id() const
{
    return static_cast<uint32_t>(x->window);
}

void* X11Window::parentHandle() const
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(x->window));
}

int X11Window::childCount() const
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XSync(x->display, False);
    if (!XQueryTree(x->display, x->window, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    return static_cast<int>(count);
}

std::pair<int, int> X11Window::childSize() const
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XSync(x->display, False);
    if (!XQueryTree(x->display, x->window, &root, &parent, &children, &count) || !count)
        return {0, 0};
    XWindowAttributes attributes{};
    XGetWindowAttributes(x->display, children[0], &attributes);
    XFree(children);
    return {attributes.width, attributes.height};
}

EditorImage X11Window::capture(int width, int height) const
{
    EditorImage image;
    XSync(x->display, False);
    XImage* pixels = XGetImage(x->display, x->window, 0, 0, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!pixels) return image;
    image.width = width;
    image.height = height;
    image.rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px)
        {
            const unsigned long pixel = XGetPixel(pixels, px, py);
            uint8_t* out = &image.rgba[(static_cast<size_t>(py) * width + px) * 4];
            out[0] = static_cast<uint8_t>(channel(pixel, pixels->red_mask));
            out[1] = static_cast<uint8_t>(channel(pixel, pixels->green_mask));
            out[2] = static_cast<uint8_t>(channel(pixel, pixels->blue_mask));
            out[3] = 255;
        }
    XDestroyImage(pixels);
    return image;
}

bool X11Window::hasXTest() const
{
    return x->xtest;
}

void X11Window::movePointer(int px, int py)
{
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(x->display, x->window, DefaultRootWindow(x->display), px, py, &rootX,
                          &rootY, &child);
    XTestFakeMotionEvent(x->display, DefaultScreen(x->display), rootX, rootY, CurrentTime);
    XSync(x->display, False);
}

void X11Window::pressButton(unsigned button)
{
    XTestFakeButtonEvent(x->display, button, True, CurrentTime);
    XSync(x->display, False);
}

void X11Window::releaseButton(unsigned button)
{
    XTestFakeButtonEvent(x->display, button, False, CurrentTime);
    XSync(x->display, False);
}

} // namespace halvane::host
