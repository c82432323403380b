// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/EditorView.h"

#include "host/HostError.h"
#include "host/PluginInstance.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cmath>

using namespace Steinberg;

namespace halvane::host
{

EditorImage::Pixel EditorImage::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return {0, 0, 0, 0};
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) +
                      static_cast<size_t>(x)) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
}

// The host window's side of the view: it grants every resize, as a window would.
class EditorView::Frame : public IPlugFrame
{
public:
    Frame() { FUNKNOWN_CTOR }
    virtual ~Frame() = default;

    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override
    {
        if (!view || !newSize) return kInvalidArgument;
        requested = *newSize;
        ++requests;
        view->onSize(newSize);
        return kResultTrue;
    }

    ViewRect requested;
    int requests = 0;
    // A Linux host's frame also answers for its run loop.
    IPtr<Linux::IRunLoop> runLoop;

    DECLARE_FUNKNOWN_METHODS
};

IMPLEMENT_REFCOUNT(EditorView::Frame)

tresult PLUGIN_API EditorView::Frame::queryInterface(const TUID iid, void** obj)
{
    if (runLoop && FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid))
        return runLoop->queryInterface(iid, obj);
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IPlugFrame)
    QUERY_INTERFACE(iid, obj, IPlugFrame::iid, IPlugFrame)
    *obj = nullptr;
    return kNoInterface;
}

std::unique_ptr<EditorView> EditorView::create(PluginInstance& plugin, const std::string& name)
{
    return create(plugin.controller(), name);
}

std::unique_ptr<EditorView> EditorView::create(Vst::IEditController* controller,
                                               const std::string& name)
{
    if (!controller) return nullptr;
    IPtr<IPlugView> view = owned(controller->createView(name.c_str()));
    if (!view) return nullptr;
    FUnknownPtr<Halvane::IOffscreenEditor> offscreen(view);
    if (!offscreen || view->isPlatformTypeSupported(Halvane::kPlatformTypeOffscreen) != kResultTrue)
        throw HostError("the \"" + name + "\" view cannot be drawn without a window");
    return std::unique_ptr<EditorView>(
        new EditorView(view, IPtr<Halvane::IOffscreenEditor>(offscreen.get())));
}

EditorView::EditorView(IPtr<IPlugView> view, IPtr<Halvane::IOffscreenEditor> offscreenEditor)
    : plugView(std::move(view)), offscreen(std::move(offscreenEditor)), frame(owned(new Frame()))
{
    plugView->setFrame(frame);
}

EditorView::~EditorView()
{
    close();
    plugView->setFrame(nullptr);
}

bool EditorView::open()
{
    if (opened) return true;
    opened = plugView->attached(&parentToken, Halvane::kPlatformTypeOffscreen) == kResultOk;
    return opened;
}

bool EditorView::openInWindow(void* parent, Linux::IRunLoop* runLoop)
{
    if (opened) return true;
    frame->runLoop = runLoop;
    opened = plugView->attached(parent, kPlatformTypeX11EmbedWindowID) == kResultOk;
    return opened;
}

bool EditorView::setContentScale(float factor)
{
    FUnknownPtr<IPlugViewContentScaleSupport> scaling(plugView);
    return scaling && scaling->setContentScaleFactor(factor) == kResultOk;
}

void EditorView::close()
{
    if (!opened) return;
    plugView->removed();
    opened = false;
}

ViewRect EditorView::size() const
{
    ViewRect rect;
    plugView->getSize(&rect);
    return rect;
}

bool EditorView::canResize() const
{
    return plugView->canResize() == kResultTrue;
}

const ViewRect& EditorView::requestedSize() const
{
    return frame->requested;
}

int EditorView::resizeRequests() const
{
    return frame->requests;
}

EditorImage EditorView::render(double scale) const
{
    const ViewRect rect = size();
    if (!(scale > 0.0) || scale > 8.0) throw HostError("the editor scale must be above 0 and at most 8");
    EditorImage image;
    image.width = static_cast<int>(std::ceil(rect.getWidth() * scale));
    image.height = static_cast<int>(std::ceil(rect.getHeight() * scale));
    if (image.width <= 0 || image.height <= 0) throw HostError("the editor has no size");
    image.rgba.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4, 0);
    if (offscreen->renderRGBA(image.rgba.data(), image.width, image.height, image.width * 4,
                              scale) != kResultOk)
        throw HostError("the editor could not be drawn (is it open?)");
    return image;
}

bool EditorView::mouseDown(double x, double y, int32_t buttons, int32_t modifiers)
{
    return offscreen->injectMouse(Mouse::kMouseDown, x, y, buttons, modifiers) == kResultTrue;
}

bool EditorView::mouseMove(double x, double y, int32_t buttons, int32_t modifiers)
{
    return offscreen->injectMouse(Mouse::kMouseMoved, x, y, buttons, modifiers) == kResultTrue;
}

bool EditorView::mouseUp(double x, double y, int32_t buttons, int32_t modifiers)
{
    return offscreen->injectMouse(Mouse::kMouseUp, x, y, buttons, modifiers) == kResultTrue;
}

bool EditorView::click(double x, double y, int32_t buttons, int32_t modifiers)
{
    const bool down = mouseDown(x, y, buttons, modifiers);
    const bool up = mouseUp(x, y, buttons & ~Mouse::kDoubleClick, modifiers);
    return down || up;
}

bool EditorView::wheel(double x, double y, float distance, int32_t modifiers)
{
    return offscreen->injectWheel(x, y, distance, modifiers) == kResultTrue;
}

bool EditorView::key(char16_t character, int16_t virtualKey, int16_t modifiers)
{
    const bool down = offscreen->injectKey(true, character, virtualKey, modifiers) == kResultTrue;
    offscreen->injectKey(false, character, virtualKey, modifiers);
    return down;
}

void EditorView::type(const std::string& text)
{
    // Our texts are ASCII; the view takes UTF-16 units.
    for (unsigned char c : text) key(static_cast<char16_t>(c));
}

void EditorView::advance(uint32_t milliseconds)
{
    offscreen->advanceTime(milliseconds);
}

} // namespace halvane::host
