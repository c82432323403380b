// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/IOffscreenEditor.h"

#include "sdk/EmbeddedWindow.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "vstgui/CBaseObject.h"
#include "vstgui/CButtonState.h"
#include "vstgui/PlatformType.h"
#include "vstgui/VSTGUIEditorInterface.h"

namespace VSTGUI
{
class CFrame;
class CVSTGUITimer;
} // namespace VSTGUI

namespace Steinberg
{
namespace Vst
{

// The SDK's editor view around a VSTGUI frame: the host attaches it, it opens the frame, sizes
// the host window to it and runs the idle timer that drives notify. Subclasses build the frame
// in open and tear it down in close.
//
// On Linux it opens in the host's X11 window, run by the host's run loop (EmbeddedWindow).
// Without a window system it still opens for kPlatformTypeOffscreen, drawn into memory and
// driven through IOffscreenEditor.
class VSTGUIEditor : public EditorView,
                     public VSTGUI::VSTGUIEditorInterface,
                     public VSTGUI::CBaseObject,
                     public Halvane::IOffscreenEditor,
                     public IPlugViewContentScaleSupport
{
public:
    VSTGUIEditor(void* controller, ViewRect* size = nullptr);
    ~VSTGUIEditor() override;

    virtual bool PLUGIN_API open(void* parent,
                                 const VSTGUI::PlatformType& type = VSTGUI::kDefaultNative) = 0;
    virtual void PLUGIN_API close() = 0;

    // The period of the timer that sends notify while the view is attached.
    void setIdleRate(int32 milliseconds);
    int32 getIdleRate() const;

    VSTGUI::CFrame* getFrame() const override { return frame; }

    // IPlugView
    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) SMTG_OVERRIDE;
    tresult PLUGIN_API attached(void* parent, FIDString type) SMTG_OVERRIDE;
    tresult PLUGIN_API removed() SMTG_OVERRIDE;
    tresult PLUGIN_API onSize(ViewRect* newSize) SMTG_OVERRIDE;
    tresult PLUGIN_API onWheel(float distance) SMTG_OVERRIDE;
    tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) SMTG_OVERRIDE;
    tresult PLUGIN_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) SMTG_OVERRIDE;

    // IPlugViewContentScaleSupport: the window's pixels grow, the layout stays.
    tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) SMTG_OVERRIDE;
    // Host pixels per layout unit: the content scale in a window, 1 offscreen.
    double getContentScaleFactor() const { return window ? contentScale : 1.0; }

    // CBaseObject: the idle timer.
    VSTGUI::CMessageResult notify(VSTGUI::CBaseObject* sender,
                                  VSTGUI::IdStringPtr message) override;

    // IOffscreenEditor
    tresult PLUGIN_API renderRGBA(uint8* rgba, int32 width, int32 height, int32 rowBytes,
                                  double scale) SMTG_OVERRIDE;
    tresult PLUGIN_API injectMouse(int32 event, double x, double y, int32 buttons,
                                   int32 modifiers) SMTG_OVERRIDE;
    tresult PLUGIN_API injectWheel(double x, double y, float distance,
                                   int32 modifiers) SMTG_OVERRIDE;
    tresult PLUGIN_API injectKey(TBool down, char16 character, int16 virtualKey,
                                 int16 modifiers) SMTG_OVERRIDE;
    tresult PLUGIN_API advanceTime(uint32 milliseconds) SMTG_OVERRIDE;

    OBJ_METHODS(VSTGUIEditor, EditorView)
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    REFCOUNT_METHODS(EditorView)

protected:
    // Turns the IOffscreenEditor and SDK key flags into VSTGUI's.
    static VSTGUI::CButtonState buttonState(int32 buttons, int32 modifiers);
    static VSTGUI::VstKeyCode keyCode(char16 character, int16 virtualKey, int16 modifiers);

    VSTGUI::CFrame* frame = nullptr;

private:
    bool attachWindow(void* parent);
    void closeWindow();
    // The view's size in the host's pixels.
    ViewRect scaledRect() const;

    VSTGUI::CVSTGUITimer* timer = nullptr;
    IPtr<Halvane::EmbeddedWindow> window;
    double contentScale = 1.0;
    VSTGUI::CPoint lastMouse;
};

} // namespace Vst
} // namespace Steinberg
