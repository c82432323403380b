// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/x11/X11Frame.h"

#include "vstgui/CFrame.h"
#include "vstgui/CAnimKnob.h"
#include "vstgui/CKickButton.h"
#include "vstgui/COnOffButton.h"
#include "vstgui/COptionMenu.h"
#include "vstgui/COptionMenuPopup.h"
#include "vstgui/CTextEdit.h"
#include "vstgui/CTextLabel.h"
#include "vstgui/CXYPad.h"
#include "vstgui/IPlatformFactory.h"
#include "vstgui/cairo/CairoDrawContext.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <typeinfo>

namespace VSTGUI
{

namespace
{
constexpr unsigned long kDoubleClickMs = 400;
constexpr int kDoubleClickSlop = 4;
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | KeyPressMask | KeyReleaseMask |
                            StructureNotifyMask;

// Xlib's default error handler ends the process; a bad parent id from a host must not.
bool xErrorSeen = false;
int recordError(Display*, XErrorEvent*)
{
    xErrorSeen = true;
    return 0;
}

class ErrorTrap
{
public:
    explicit ErrorTrap(Display* display) : display(display)
    {
        XSync(display, False);
        xErrorSeen = false;
        previous = XSetErrorHandler(recordError);
    }
    ~ErrorTrap() { XSetErrorHandler(previous); }
    bool failed()
    {
        XSync(display, False);
        return xErrorSeen;
    }

private:
    Display* display;
    int (*previous)(Display*, XErrorEvent*) = nullptr;
};

int32_t modifiersOf(unsigned int state)
{
    int32_t bits = 0;
    if (state & ShiftMask) bits |= kShift;
    if (state & ControlMask) bits |= kControl;
    if (state & Mod1Mask) bits |= kAlt;
    return bits;
}

int32_t buttonsOf(unsigned int state)
{
    int32_t bits = 0;
    if (state & Button1Mask) bits |= kLButton;
    if (state & Button2Mask) bits |= kMButton;
    if (state & Button3Mask) bits |= kRButton;
    return bits;
}

int32_t buttonBit(unsigned int button)
{
    switch (button)
    {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
    }
}

unsigned char virtualKeyOf(KeySym sym)
{
    switch (sym)
    {
    case XK_BackSpace: return VKEY_BACK;
    case XK_Tab: case XK_ISO_Left_Tab: return VKEY_TAB;
    case XK_Return: return VKEY_RETURN;
    case XK_KP_Enter: return VKEY_ENTER;
    case XK_Escape: return VKEY_ESCAPE;
    case XK_Page_Down: return VKEY_NEXT;
    case XK_Page_Up: return VKEY_PAGEUP;
    case XK_End: return VKEY_END;
    case XK_Home: return VKEY_HOME;
    case XK_Left: return VKEY_LEFT;
    case XK_Up: return VKEY_UP;
    case XK_Right: return VKEY_RIGHT;
    case XK_Down: return VKEY_DOWN;
    case XK_Insert: return VKEY_INSERT;
    case XK_Delete: return VKEY_DELETE;
    default: return 0;
    }
}

VstKeyCode keyCodeOf(XKeyEvent& event)
{
    char text[8] = {};
    KeySym sym = NoSymbol;
    const int length = XLookupString(&event, text, sizeof(text) - 1, &sym, nullptr);
    VstKeyCode code;
    code.virt = virtualKeyOf(sym);
    // Our texts are Latin-1; anything longer than one byte is no character we can type.
    if (!code.virt && length == 1 && static_cast<unsigned char>(text[0]) >= 0x20)
        code.character = static_cast<unsigned char>(text[0]);
    if (event.state & ShiftMask) code.modifier |= MODIFIER_SHIFT;
    if (event.state & Mod1Mask) code.modifier |= MODIFIER_ALTERNATE;
    // Ctrl is the command key on this platform, as for the mouse.
    if (event.state & ControlMask) code.modifier |= MODIFIER_COMMAND;
    return code;
}

int pixels(double units, double scale)
{
    return std::max(1, static_cast<int>(std::ceil(units * scale)));
}
} // namespace

struct X11Frame::Connection
{
    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    cairo_surface_t* surface = nullptr;

    ~Connection()
    {
        if (surface) cairo_surface_destroy(surface);
        if (window) XDestroyWindow(display, window);
        if (display) XCloseDisplay(display);
    }
};

std::unique_ptr<X11Frame> X11Frame::create(CFrame& frame, uint32_t parentWindow,
                                           double scaleFactor)
{
    if (!parentWindow || !(scaleFactor > 0.0) || !std::isfinite(scaleFactor)) return nullptr;
    auto x = std::make_unique<Connection>();
    x->display = XOpenDisplay(nullptr);
    if (!x->display) return nullptr;

    const CRect& size = frame.getViewSize();
    {
        ErrorTrap trap(x->display);
        XSetWindowAttributes attributes{};
        attributes.event_mask = kEventMask;
        // No background: the window is always covered by the back buffer, and clearing first
        // would flicker.
        attributes.background_pixmap = None;
        x->window = XCreateWindow(x->display, parentWindow, 0, 0,
                                  static_cast<unsigned>(pixels(size.getWidth(), scaleFactor)),
                                  static_cast<unsigned>(pixels(size.getHeight(), scaleFactor)),
                                  0, CopyFromParent, InputOutput, CopyFromParent,
                                  CWEventMask | CWBackPixmap, &attributes);
        XWindowAttributes created{};
        if (trap.failed() || !x->window || !XGetWindowAttributes(x->display, x->window, &created))
        {
            // A window never made must not be destroyed.
            x->window = 0;
            return nullptr;
        }
        x->visual = created.visual;
    }
    x->surface = cairo_xlib_surface_create(x->display, x->window, x->visual,
                                           pixels(size.getWidth(), scaleFactor),
                                           pixels(size.getHeight(), scaleFactor));
    if (cairo_surface_status(x->surface) != CAIRO_STATUS_SUCCESS) return nullptr;

    std::unique_ptr<X11Frame> platform(new X11Frame(frame, std::move(x), scaleFactor));
    if (!platform->resizeBackBuffer()) return nullptr;
    XMapWindow(platform->x->display, platform->x->window);
    platform->invalidRect(CRect(CPoint(), size.getSize()));
    platform->flush();
    return platform;
}

X11Frame::X11Frame(CFrame& frame, std::unique_ptr<Connection> connection, double scaleFactor)
    : frame(&frame), x(std::move(connection)), scale(scaleFactor)
{
}

// The frame may be gone already: the destructor touches only what is ours.
X11Frame::~X11Frame() = default;

int X11Frame::fileDescriptor() const
{
    return ConnectionNumber(x->display);
}

uint32_t X11Frame::window() const
{
    return static_cast<uint32_t>(x->window);
}

void X11Frame::detachFrame()
{
    frame = nullptr;
}

bool X11Frame::resizeBackBuffer()
{
    if (!frame) return false;
    const CRect& size = frame->getViewSize();
    backBuffer = getPlatformFactory().createOffscreenContext(size.getSize(), scale);
    windowStale = true;
    return backBuffer && dynamic_cast<CairoDrawContext*>(backBuffer.get());
}

CPoint X11Frame::toFrame(int px, int py) const
{
    return CPoint(px / scale, py / scale);
}

void X11Frame::invalidRect(const CRect& rect)
{
    if (rect.isEmpty()) return;
    if (frame && rect == CRect(CPoint(), frame->getViewSize().getSize()))
    {
        wholeFrameDirty = true;
        return;
    }
    if (dirty.isEmpty())
        dirty = rect;
    else
        dirty.unite(rect);
}

void X11Frame::setSize(const CRect& size)
{
    const int width = pixels(size.getWidth(), scale);
    const int height = pixels(size.getHeight(), scale);
    XResizeWindow(x->display, x->window, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    cairo_xlib_surface_set_size(x->surface, width, height);
    resizeBackBuffer();
    invalidRect(CRect(CPoint(), size.getSize()));
}

void X11Frame::setScaleFactor(double scaleFactor)
{
    if (!(scaleFactor > 0.0) || !std::isfinite(scaleFactor) || scaleFactor == scale) return;
    scale = scaleFactor;
    if (frame) setSize(frame->getViewSize());
}

namespace
{
// Views of our own that redraw only what a change of theirs invalidated: the editor's tick has
// nothing new for them. Anything else (a custom view, a meter that decays per redraw, a custom
// container) may draw something new at any tick and is drawn again every time.
bool drawsTheSameUntilInvalidated(const CView& view)
{
    static const std::type_info* const kinds[] = {
        &typeid(CView),        &typeid(CTextLabel),  &typeid(CParamDisplay),
        &typeid(CAnimKnob),    &typeid(COnOffButton), &typeid(CKickButton),
        &typeid(COptionMenu),  &typeid(COptionMenuPopup), &typeid(CTextEdit),
        &typeid(CXYPad)};
    const std::type_info& kind = typeid(view);
    return std::any_of(std::begin(kinds), std::end(kinds),
                       [&](const std::type_info* k) { return *k == kind; });
}

void mix(size_t& signature, size_t value)
{
    signature ^= value + 0x9e3779b97f4a7c15ull + (signature << 6) + (signature >> 2);
}

// The live leaves' rectangles in frame coordinates, and a signature of the tree's shape: when it
// changes, what the back buffer keeps of the static views is no longer true.
void collectLiveViews(const CViewContainer& container, const CPoint& offset,
                      std::vector<CRect>& live, size_t& signature)
{
    for (uint32_t i = 0; i < container.getNbViews(); ++i)
    {
        const CView* view = container.getView(i);
        if (!view || !view->isVisible()) continue;
        CRect rect = view->getViewSize();
        rect.offset(offset.x, offset.y);
        mix(signature, reinterpret_cast<uintptr_t>(view));
        mix(signature, static_cast<size_t>(rect.left * 64) ^ (static_cast<size_t>(rect.top * 64) << 20));
        mix(signature, static_cast<size_t>(rect.right * 64) ^ (static_cast<size_t>(rect.bottom * 64) << 20));
        if (typeid(*view) == typeid(CViewContainer))
            collectLiveViews(static_cast<const CViewContainer&>(*view),
                             CPoint(rect.left, rect.top), live, signature);
        else if (!drawsTheSameUntilInvalidated(*view))
            live.push_back(rect);
    }
}
} // namespace

void X11Frame::flush()
{
    auto* buffer = dynamic_cast<CairoDrawContext*>(backBuffer.get());
    if (frame && buffer && (wholeFrameDirty || !dirty.isEmpty()))
    {
        const CRect whole(CPoint(), frame->getViewSize().getSize());
        areas.clear();
        if (wholeFrameDirty)
        {
            // The editor invalidates everything every tick; what only changes when it says so is
            // kept from the last picture and only the live views are drawn again.
            size_t signature = 0;
            collectLiveViews(*frame, CPoint(), areas, signature);
            if (signature != treeSignature || windowStale)
            {
                areas.assign(1, whole);
                treeSignature = signature;
            }
        }
        if (!dirty.isEmpty()) areas.push_back(dirty);
        wholeFrameDirty = false;
        dirty = CRect();

        CRect changed;
        for (CRect area : areas)
        {
            area.bound(whole);
            if (area.isEmpty()) continue;
            buffer->clearRect(area);
            frame->platformDrawRect(buffer, area);
            changed.isEmpty() ? (void)(changed = area) : (void)changed.unite(area);
        }
        cairo_surface_flush(buffer->surface());
        if (!changed.isEmpty()) copyChanges(changed);
    }
    XFlush(x->display);
}

void X11Frame::copyChanges(const CRect& area)
{
    cairo_surface_t* pixels = static_cast<CairoDrawContext*>(backBuffer.get())->surface();
    const int width = cairo_image_surface_get_width(pixels);
    const int height = cairo_image_surface_get_height(pixels);
    const int stride = cairo_image_surface_get_stride(pixels);
    const unsigned char* data = cairo_image_surface_get_data(pixels);
    int left = std::max(0, static_cast<int>(std::floor(area.left * scale)));
    int top = std::max(0, static_cast<int>(std::floor(area.top * scale)));
    int right = std::min(width, static_cast<int>(std::ceil(area.right * scale)));
    int bottom = std::min(height, static_cast<int>(std::ceil(area.bottom * scale)));
    if (right <= left || bottom <= top) return;

    // Most ticks redraw the whole frame and change a knob or nothing: the window only gets
    // what differs from what it already shows, unless the server lost its pixels.
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(height);
    if (shown.size() != bytes || windowStale)
    {
        shown.assign(data, data + bytes);
        windowStale = false;
    }
    else
    {
        int changedTop = bottom, changedBottom = top, changedLeft = right, changedRight = left;
        for (int row = top; row < bottom; ++row)
        {
            const auto* now = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(row) * stride);
            auto* before = reinterpret_cast<uint32_t*>(shown.data() + static_cast<size_t>(row) * stride);
            if (std::equal(now + left, now + right, before + left)) continue;
            changedTop = std::min(changedTop, row);
            changedBottom = row + 1;
            int first = left, last = right;
            while (now[first] == before[first]) ++first;
            while (now[last - 1] == before[last - 1]) --last;
            changedLeft = std::min(changedLeft, first);
            changedRight = std::max(changedRight, last);
            std::copy(now + left, now + right, before + left);
        }
        if (changedBottom <= changedTop) return;
        left = changedLeft;
        right = changedRight;
        top = changedTop;
        bottom = changedBottom;
    }

    cairo_t* cr = cairo_create(x->surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, pixels, 0, 0);
    cairo_rectangle(cr, left, top, right - left, bottom - top);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(x->surface);
}

void X11Frame::processEvents()
{
    while (XPending(x->display) > 0)
    {
        XEvent event;
        XNextEvent(x->display, &event);
        // A drag floods motion events; only the latest position matters.
        if (event.type == MotionNotify)
            while (XCheckTypedWindowEvent(x->display, x->window, MotionNotify, &event)) {}
        handleEvent(&event);
    }
    flush();
}

void X11Frame::handleEvent(const void* raw)
{
    XEvent event = *static_cast<const XEvent*>(raw);
    if (!frame || event.xany.window != x->window) return;
    switch (event.type)
    {
    case Expose:
    {
        const XExposeEvent& e = event.xexpose;
        const CPoint topLeft = toFrame(e.x, e.y);
        invalidRect(CRect(topLeft.x, topLeft.y, (e.x + e.width) / scale, (e.y + e.height) / scale));
        windowStale = true;
        break;
    }
    case ButtonPress:
    {
        const XButtonEvent& e = event.xbutton;
        const CPoint where = toFrame(e.x, e.y);
        const int32_t modifiers = modifiersOf(e.state);
        if (e.button >= 4 && e.button <= 7)
        {
            const float distance = (e.button == 4 || e.button == 6) ? 1.f : -1.f;
            const CMouseWheelAxis axis = e.button <= 5 ? kMouseWheelAxisY : kMouseWheelAxisX;
            frame->platformOnMouseWheel(where, axis, distance, CButtonState(modifiers));
            break;
        }
        const int32_t button = buttonBit(e.button);
        if (!button) break;
        int32_t state = button | buttonsOf(e.state) | modifiers;
        const bool nearLast = std::abs(e.x - lastPressX) <= kDoubleClickSlop &&
                              std::abs(e.y - lastPressY) <= kDoubleClickSlop;
        if (e.button == lastPressButton && nearLast && e.time - lastPressTime <= kDoubleClickMs)
        {
            state |= kDoubleClick;
            lastPressButton = 0; // a third click starts over
        }
        else
        {
            lastPressButton = e.button;
        }
        lastPressTime = e.time;
        lastPressX = e.x;
        lastPressY = e.y;
        frame->platformOnMouseDown(where, CButtonState(state));
        // A text field needs the keys: take the focus the host's window would otherwise keep.
        if (frame && frame->getFocusView())
            XSetInputFocus(x->display, x->window, RevertToParent, e.time);
        break;
    }
    case ButtonRelease:
    {
        const XButtonEvent& e = event.xbutton;
        const int32_t button = buttonBit(e.button);
        if (!button) break;
        // The state is from before the release: the released button is still in it.
        frame->platformOnMouseUp(toFrame(e.x, e.y),
                                 CButtonState(button | modifiersOf(e.state)));
        break;
    }
    case MotionNotify:
    {
        const XMotionEvent& e = event.xmotion;
        frame->platformOnMouseMoved(toFrame(e.x, e.y),
                                    CButtonState(buttonsOf(e.state) | modifiersOf(e.state)));
        break;
    }
    case KeyPress:
    case KeyRelease:
    {
        VstKeyCode code = keyCodeOf(event.xkey);
        if (!code.character && !code.virt) break;
        if (event.type == KeyPress)
            frame->platformOnKeyDown(code);
        else
            frame->platformOnKeyUp(code);
        break;
    }
    default: break;
    }
}

} // namespace VSTGUI
