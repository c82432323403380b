// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CVSTGUITimer.h"
#include "vstgui/IController.h"
#include "vstgui/SharedPointer.h"

namespace Steinberg::Vst
{
class EditController;
class Parameter;
} // namespace Steinberg::Vst

namespace VSTGUI
{
class CXYPad;

// Sub-controller that binds the first XY pad of its container to two parameters: the pad's
// packed value goes out as two edits, and parameter changes from elsewhere move the pad.
// Everything else is passed on to the controller above.
class PadController : public IController
{
public:
    // Any pointer may be null: a missing parameter is simply not edited.
    PadController(IController* baseController, Steinberg::Vst::EditController* editController,
                  Steinberg::Vst::Parameter* xParameter, Steinberg::Vst::Parameter* yParameter);
    ~PadController() override;

    void valueChanged(CControl* control) override;
    int32_t controlModifierClicked(CControl* control, CButtonState button) override;
    void controlBeginEdit(CControl* control) override;
    void controlEndEdit(CControl* control) override;
    void controlTagWillChange(CControl* control) override;
    void controlTagDidChange(CControl* control) override;

    int32_t getTagForName(const char* name, int32_t registeredTag) const override;
    IControlListener* getControlListener(const char* controlTagName) override;
    CView* createView(const UIAttributes& attributes, const IUIDescription* description) override;
    CView* verifyView(CView* view, const UIAttributes& attributes,
                      const IUIDescription* description) override;
    IController* createSubController(const char* name, const IUIDescription* description) override;

    // Moves the pad to the parameters' values when they changed; the editor's timer calls it.
    void followParameters();

private:
    void edit(Steinberg::Vst::Parameter* parameter, double value);

    IController* baseController;
    Steinberg::Vst::EditController* editController;
    Steinberg::Vst::Parameter* xParameter;
    Steinberg::Vst::Parameter* yParameter;
    CXYPad* pad = nullptr;
    SharedPointer<CVSTGUITimer> followTimer;
    double shownX = -1;
    double shownY = -1;
};
} // namespace VSTGUI
