// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sdk/VSTGUIEditor.h"
#include "vstgui/IController.h"
#include "vstgui/IFrameObservers.h"
#include "vstgui/plugin-bindings/VST3EditorDelegate.h"

#include "pluginterfaces/vst/ivstplugview.h"

#include <map>
#include <memory>
#include <string>

namespace VSTGUI
{

class CControl;
class ParameterChangeListener;
class UIDescription;

// An editor built from a user-interface description: the template's views in a frame, every
// control bound to the parameter its tag names. The controller may take part through
// VST3EditorDelegate.
class VST3Editor : public Steinberg::Vst::VSTGUIEditor,
                   public Steinberg::Vst::IParameterFinder,
                   public IController,
                   public IViewAddedRemovedObserver,
                   public IMouseObserver,
                   public IKeyboardHook
{
public:
    VST3Editor(Steinberg::Vst::EditController* controller, UTF8StringPtr templateName,
               UTF8StringPtr xmlFile);

    // Builds another template in place of the current one at the next timer tick.
    bool exchangeView(UTF8StringPtr templateName);

    // VSTGUIEditor
    bool PLUGIN_API open(void* parent, const PlatformType& type = kDefaultNative) override;
    void PLUGIN_API close() override;
    CMessageResult notify(CBaseObject* sender, IdStringPtr message) override;

    // VSTGUIEditorInterface
    int32_t getKnobMode() const override;
    bool beforeSizeChange(const CRect& newSize, const CRect& oldSize) override;

    // IPlugView
    Steinberg::tresult PLUGIN_API canResize() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

    // IParameterFinder
    Steinberg::tresult PLUGIN_API findParameter(Steinberg::int32 xPos, Steinberg::int32 yPos,
                                                Steinberg::Vst::ParamID& resultTag) SMTG_OVERRIDE;

    // IControlListener / IController
    void valueChanged(CControl* control) override;
    void controlBeginEdit(CControl* control) override;
    void controlEndEdit(CControl* control) override;
    void controlTagWillChange(CControl* control) override;
    void controlTagDidChange(CControl* control) override;
    CView* createView(const UIAttributes& attributes, const IUIDescription* description) override;
    CView* verifyView(CView* view, const UIAttributes& attributes,
                      const IUIDescription* description) override;
    IController* createSubController(const char* name,
                                     const IUIDescription* description) override;

    // IViewAddedRemovedObserver
    void onViewAdded(CFrame* frame, CView* view) override;
    void onViewRemoved(CFrame* frame, CView* view) override;
    // IMouseObserver
    void onMouseEntered(CView* view, CFrame* frame) override;
    void onMouseExited(CView* view, CFrame* frame) override;
    // IKeyboardHook
    int32_t onKeyDown(const VstKeyCode& code, CFrame* frame) override;
    int32_t onKeyUp(const VstKeyCode& code, CFrame* frame) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid,
                                                 void** obj) SMTG_OVERRIDE;
    REFCOUNT_METHODS(VSTGUIEditor)

protected:
    ~VST3Editor() override;

    // The listener for a tag, or null when no control has that tag.
    ParameterChangeListener* getParameterChangeListener(int32_t tag) const;
    // True between exchangeView and the rebuild.
    bool isViewRecreationPending() const { return recreateViewPending; }

private:
    bool buildView();
    void bindTree(CView* view);
    void unbindTree(CView* view);
    void bindControl(CControl* control);
    void unbindControl(CControl* control);
    void releaseListeners();

    UIDescription* description = nullptr;
    VST3EditorDelegate* delegate = nullptr;
    std::string templateName;
    std::map<int32_t, ParameterChangeListener*> listeners;
    CPoint minSize;
    CPoint maxSize;
    bool recreateViewPending = false;
    bool tooltipsEnabled = true;
};

} // namespace VSTGUI
