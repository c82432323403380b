// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "source/editor/IOffscreenEditor.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Steinberg::Vst
{
class IEditController;
}

namespace halvane::host
{

class PluginInstance;

// A rendered editor: straight-alpha RGBA, rows packed.
struct EditorImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    struct Pixel
    {
        uint8_t r, g, b, a;
    };
    Pixel at(int x, int y) const;
};

// One editor view of a plug-in, opened without a window the way a host opens it in one:
// createView, setFrame, attached; removed and release when it goes. Drawing and events go
// through the view's IOffscreenEditor.
class EditorView
{
public:
    // Null when the controller offers no view of that name. Throws HostError when the view it
    // offers cannot be driven offscreen.
    static std::unique_ptr<EditorView> create(PluginInstance& plugin,
                                              const std::string& name = "editor");
    static std::unique_ptr<EditorView> create(Steinberg::Vst::IEditController* controller,
                                              const std::string& name = "editor");
    ~EditorView();
    EditorView(const EditorView&) = delete;
    EditorView& operator=(const EditorView&) = delete;

    // attached() with the offscreen platform type; true when the view answered kResultOk.
    bool open();
    // attached() into a host window ("X11EmbedWindowID"), the frame offering runLoop (none when
    // null), as a Linux host does; true when the view answered kResultOk.
    bool openInWindow(void* parent, Steinberg::Linux::IRunLoop* runLoop);
    // IPlugViewContentScaleSupport; false when the view has none or refuses.
    bool setContentScale(float factor);
    void close();
    bool isOpen() const { return opened; }

    Steinberg::ViewRect size() const;
    bool canResize() const;
    // The last size the view asked its frame for, through IPlugFrame::resizeView.
    const Steinberg::ViewRect& requestedSize() const;
    int resizeRequests() const;

    // Throws HostError when the view cannot draw.
    EditorImage render(double scale = 1.0) const;

    using Mouse = Halvane::IOffscreenEditor;
    bool mouseDown(double x, double y, int32_t buttons = Mouse::kLeftButton,
                   int32_t modifiers = 0);
    bool mouseMove(double x, double y, int32_t buttons = Mouse::kLeftButton,
                   int32_t modifiers = 0);
    bool mouseUp(double x, double y, int32_t buttons = Mouse::kLeftButton, int32_t modifiers = 0);
    // Down and up at one place.
    bool click(double x, double y, int32_t buttons = Mouse::kLeftButton, int32_t modifiers = 0);
    bool wheel(double x, double y, float distance, int32_t modifiers = 0);
    bool key(char16_t character, int16_t virtualKey = 0, int16_t modifiers = 0);
    // One key press per character, as typed.
    void type(const std::string& text);
    void advance(uint32_t milliseconds);

    Steinberg::IPlugView* view() const { return plugView; }

private:
    class Frame;
    EditorView(Steinberg::IPtr<Steinberg::IPlugView> view,
               Steinberg::IPtr<Halvane::IOffscreenEditor> offscreen);

    Steinberg::IPtr<Steinberg::IPlugView> plugView;
    Steinberg::IPtr<Halvane::IOffscreenEditor> offscreen;
    Steinberg::IPtr<Frame> frame;
    bool opened = false;
    // What attached() gets as the parent: ours, never read by the view.
    int parentToken = 0;
};

} // namespace halvane::host
