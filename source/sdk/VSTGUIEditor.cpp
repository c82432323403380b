// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdk/VSTGUIEditor.h"

#include "vstgui/CFrame.h"
#include "vstgui/CVSTGUITimer.h"
#include "vstgui/IPlatformFactory.h"
#include "vstgui/TimerService.h"

#include <cmath>
#include <cstring>

namespace Steinberg
{
namespace Vst
{

using namespace VSTGUI;

namespace
{
// The SDK's default idle rate.
constexpr uint32 kDefaultIdleRateMs = 100;
} // namespace

VSTGUIEditor::VSTGUIEditor(void* controller, ViewRect* size)
    : EditorView(static_cast<EditController*>(controller), size),
      timer(new CVSTGUITimer(static_cast<CBaseObject*>(this), kDefaultIdleRateMs, false))
{
}

VSTGUIEditor::~VSTGUIEditor()
{
    // The timer only points at us; it must be gone from the timer service before we are.
    timer->stop();
    timer->forget();
    closeWindow();
}

void VSTGUIEditor::setIdleRate(int32 milliseconds)
{
    if (milliseconds > 0) timer->setFireTime(static_cast<uint32_t>(milliseconds));
}

int32 VSTGUIEditor::getIdleRate() const
{
    return static_cast<int32>(timer->getFireTime());
}

tresult PLUGIN_API VSTGUIEditor::isPlatformTypeSupported(FIDString type)
{
    if (type && std::strcmp(type, Halvane::kPlatformTypeOffscreen) == 0) return kResultTrue;
#if defined(__linux__)
    if (type && std::strcmp(type, kPlatformTypeX11EmbedWindowID) == 0) return kResultTrue;
#endif
    return kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::attached(void* parent, FIDString type)
{
    if (isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
    if (isAttached()) return kResultFalse;
    const bool embedded = std::strcmp(type, kPlatformTypeX11EmbedWindowID) == 0;
    if (open(parent, embedded ? kX11EmbedWindowID : kDefaultNative) && frame)
    {
        if (embedded && !attachWindow(parent))
        {
            close();
            return kResultFalse;
        }
        ViewRect viewRect = scaledRect();
        setRect(viewRect);
        if (plugFrame) plugFrame->resizeView(this, &viewRect);
        timer->start();
    }
    return EditorView::attached(parent, type);
}

bool VSTGUIEditor::attachWindow(void* parent)
{
    // Hosts hand out the run loop through the frame; some only through their context.
    IPtr<Linux::IRunLoop> runLoop;
    if (plugFrame) runLoop = FUnknownPtr<Linux::IRunLoop>(plugFrame);
    if (!runLoop && getController())
        runLoop = FUnknownPtr<Linux::IRunLoop>(getController()->getHostContext());
    window = Halvane::EmbeddedWindow::open(*frame, parent, runLoop,
                                           static_cast<uint32_t>(getIdleRate()), contentScale);
    return window != nullptr;
}

void VSTGUIEditor::closeWindow()
{
    if (!window) return;
    window->close();
    window = nullptr;
}

ViewRect VSTGUIEditor::scaledRect() const
{
    const double scale = getContentScaleFactor();
    const CRect& size = frame->getViewSize();
    return ViewRect(0, 0, static_cast<int32>(std::ceil(size.getWidth() * scale)),
                    static_cast<int32>(std::ceil(size.getHeight() * scale)));
}

tresult PLUGIN_API VSTGUIEditor::removed()
{
    timer->stop();
    // The window goes first: it must not draw a frame being torn down.
    closeWindow();
    close();
    return EditorView::removed();
}

tresult PLUGIN_API VSTGUIEditor::onSize(ViewRect* newSize)
{
    if (!newSize) return kInvalidArgument;
    const double scale = getContentScaleFactor();
    if (frame) frame->setSize(newSize->getWidth() / scale, newSize->getHeight() / scale);
    if (window) window->redraw();
    return EditorView::onSize(newSize);
}

tresult PLUGIN_API VSTGUIEditor::setContentScaleFactor(ScaleFactor factor)
{
    if (!(factor > 0.f) || !std::isfinite(factor) || factor > 8.f) return kInvalidArgument;
    if (factor == contentScale) return kResultOk;
    contentScale = factor;
    if (!window || !frame) return kResultOk;
    window->setScaleFactor(contentScale);
    ViewRect viewRect = scaledRect();
    setRect(viewRect);
    if (plugFrame) plugFrame->resizeView(this, &viewRect);
    return kResultOk;
}

tresult PLUGIN_API VSTGUIEditor::onWheel(float distance)
{
    return injectWheel(lastMouse.x, lastMouse.y, distance, 0);
}

tresult PLUGIN_API VSTGUIEditor::onKeyDown(char16 key, int16 keyCode, int16 modifiers)
{
    return injectKey(true, key, keyCode, modifiers);
}

tresult PLUGIN_API VSTGUIEditor::onKeyUp(char16 key, int16 keyCode, int16 modifiers)
{
    return injectKey(false, key, keyCode, modifiers);
}

CMessageResult VSTGUIEditor::notify(CBaseObject* /*sender*/, IdStringPtr message)
{
    if (message == CVSTGUITimer::kMsgTimer)
    {
        if (frame) frame->idle();
        return kMessageNotified;
    }
    return kMessageUnknown;
}

tresult PLUGIN_API VSTGUIEditor::renderRGBA(uint8* rgba, int32 width, int32 height,
                                            int32 rowBytes, double scale)
{
    if (!frame || !isAttached()) return kResultFalse;
    if (!rgba || !(scale > 0.0) || !std::isfinite(scale)) return kInvalidArgument;
    const CRect& size = frame->getViewSize();
    const double needWidth = std::ceil(size.getWidth() * scale);
    const double needHeight = std::ceil(size.getHeight() * scale);
    if (width < needWidth || height < needHeight || rowBytes < width * 4) return kInvalidArgument;

    auto context = getPlatformFactory().createOffscreenContext(
        CPoint(size.getWidth(), size.getHeight()), scale);
    if (!context) return kResultFalse;
    frame->platformDrawRect(context.get(), CRect(0, 0, size.getWidth(), size.getHeight()));
    const PixelImage image = context->getPixels();
    const int rows = image.height < height ? image.height : height;
    const int columns = image.width < width ? image.width : width;
    for (int y = 0; y < rows; ++y)
        std::memcpy(rgba + static_cast<size_t>(y) * static_cast<size_t>(rowBytes),
                    image.rgba.data() + static_cast<size_t>(y) * image.width * 4,
                    static_cast<size_t>(columns) * 4);
    return kResultOk;
}

CButtonState VSTGUIEditor::buttonState(int32 buttons, int32 modifiers)
{
    int32_t state = buttons & (kLButton | kMButton | kRButton);
    if (buttons & Halvane::IOffscreenEditor::kDoubleClick) state |= VSTGUI::kDoubleClick;
    if (modifiers & Halvane::IOffscreenEditor::kShift) state |= VSTGUI::kShift;
    if (modifiers & Halvane::IOffscreenEditor::kCommand) state |= VSTGUI::kControl;
    if (modifiers & Halvane::IOffscreenEditor::kAlternate) state |= VSTGUI::kAlt;
    if (modifiers & Halvane::IOffscreenEditor::kControl) state |= VSTGUI::kApple;
    return CButtonState(state);
}

VstKeyCode VSTGUIEditor::keyCode(char16 character, int16 virtualKey, int16 modifiers)
{
    VstKeyCode code;
    code.character = character;
    // VSTGUI numbers its virtual keys as the SDK does.
    if (!character && virtualKey > 0 && virtualKey <= VKEY_DELETE)
        code.virt = static_cast<unsigned char>(virtualKey);
    // Return and Enter are keys, not characters.
    if (character == '\r' || character == '\n')
    {
        code.character = 0;
        code.virt = VKEY_RETURN;
    }
    else if (character == 27)
    {
        code.character = 0;
        code.virt = VKEY_ESCAPE;
    }
    code.modifier = static_cast<unsigned char>(modifiers & 0x0f);
    return code;
}

tresult PLUGIN_API VSTGUIEditor::injectMouse(int32 event, double x, double y, int32 buttons,
                                             int32 modifiers)
{
    if (!frame || !isAttached()) return kResultFalse;
    lastMouse = CPoint(x, y);
    const CButtonState state = buttonState(buttons, modifiers);
    CMouseEventResult result = kMouseEventNotHandled;
    switch (event)
    {
    case kMouseDown: result = frame->platformOnMouseDown(lastMouse, state); break;
    case kMouseMoved: result = frame->platformOnMouseMoved(lastMouse, state); break;
    case kMouseUp: result = frame->platformOnMouseUp(lastMouse, state); break;
    default: return kInvalidArgument;
    }
    return (result == kMouseEventNotHandled || result == kMouseEventNotImplemented) ? kResultFalse
                                                                                     : kResultTrue;
}

tresult PLUGIN_API VSTGUIEditor::injectWheel(double x, double y, float distance, int32 modifiers)
{
    if (!frame || !isAttached()) return kResultFalse;
    lastMouse = CPoint(x, y);
    return frame->platformOnMouseWheel(lastMouse, kMouseWheelAxisY, distance,
                                       buttonState(0, modifiers))
               ? kResultTrue
               : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::injectKey(TBool down, char16 character, int16 virtualKey,
                                           int16 modifiers)
{
    if (!frame || !isAttached()) return kResultFalse;
    VstKeyCode code = keyCode(character, virtualKey, modifiers);
    const bool handled = down ? frame->platformOnKeyDown(code) : frame->platformOnKeyUp(code);
    return handled ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::advanceTime(uint32 milliseconds)
{
    TimerService::instance().advance(milliseconds);
    return kResultOk;
}

tresult PLUGIN_API VSTGUIEditor::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, Halvane::IOffscreenEditor::iid, Halvane::IOffscreenEditor)
    QUERY_INTERFACE(iid, obj, IPlugViewContentScaleSupport::iid, IPlugViewContentScaleSupport)
    return EditorView::queryInterface(iid, obj);
}

} // namespace Vst
} // namespace Steinberg
