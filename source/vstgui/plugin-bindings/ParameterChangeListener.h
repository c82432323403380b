// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/source/fobject.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "public.sdk/source/vst/vstparameters.h"

#include <string>
#include <vector>

namespace VSTGUI
{

class CControl;

// Ties the controls of one tag to the parameter of that id, when there is one: their gestures
// become the controller's edits, and every change of the parameter moves them. Without a
// parameter the controls of the tag only follow each other.
class ParameterChangeListener : public Steinberg::FObject
{
public:
    ParameterChangeListener(Steinberg::Vst::EditController* controller,
                            Steinberg::Vst::Parameter* parameter, CControl* control);
    ~ParameterChangeListener() override;

    void addControl(CControl* control);
    void removeControl(CControl* control);
    bool containsControl(CControl* control) const;
    bool hasControls() const { return !controls.empty(); }
    // Lets go of the parameter and the controls, for when the editor closes.
    void detach();

    Steinberg::Vst::Parameter* getParameter() const { return parameter; }
    Steinberg::Vst::ParamID getParameterID() const;

    void beginEdit();
    void endEdit();
    // With a parameter: setParamNormalized and performEdit; without one the other controls of
    // the tag take the value.
    void performEdit(Steinberg::Vst::ParamValue value);

    // The controls show this normalized value.
    void updateControlValue(Steinberg::Vst::ParamValue value);
    // IDependent: the parameter changed.
    void PLUGIN_API update(Steinberg::FUnknown* changedUnknown,
                           Steinberg::int32 message) SMTG_OVERRIDE;

    // The parameter's own text for a normalized value.
    std::string valueString(Steinberg::Vst::ParamValue value) const;

    OBJ_METHODS(ParameterChangeListener, FObject)

private:
    void setupControl(CControl* control);
    void showValue(CControl* control, Steinberg::Vst::ParamValue value);

    Steinberg::Vst::EditController* controller;
    Steinberg::IPtr<Steinberg::Vst::Parameter> parameter;
    std::vector<CControl*> controls;
    // The value the controls show; without a parameter this is the tag's only memory.
    Steinberg::Vst::ParamValue shownValue = 0.0;
};

} // namespace VSTGUI
