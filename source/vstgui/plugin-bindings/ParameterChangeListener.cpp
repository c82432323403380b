// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/plugin-bindings/ParameterChangeListener.h"

#include "vstgui/CControl.h"
#include "vstgui/COptionMenu.h"
#include "vstgui/CParamDisplay.h"
#include "vstgui/CTextLabel.h"

#include "base/source/fstring.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace VSTGUI
{

ParameterChangeListener::ParameterChangeListener(EditController* editController,
                                                 Parameter* boundParameter, CControl* control)
    : controller(editController), parameter(boundParameter)
{
    if (parameter)
    {
        parameter->addDependent(this);
        shownValue = parameter->getNormalized();
    }
    else if (control)
    {
        shownValue = control->getValueNormalized();
    }
    if (control) addControl(control);
}

ParameterChangeListener::~ParameterChangeListener()
{
    detach();
}

void ParameterChangeListener::detach()
{
    if (parameter)
    {
        parameter->removeDependent(this);
        parameter = nullptr;
    }
    for (CControl* control : controls) control->forget();
    controls.clear();
}

ParamID ParameterChangeListener::getParameterID() const
{
    return parameter ? parameter->getInfo().id : 0;
}

void ParameterChangeListener::addControl(CControl* control)
{
    if (!control || containsControl(control)) return;
    control->remember();
    controls.push_back(control);
    setupControl(control);
    showValue(control, shownValue);
}

void ParameterChangeListener::removeControl(CControl* control)
{
    auto found = std::find(controls.begin(), controls.end(), control);
    if (found == controls.end()) return;
    controls.erase(found);
    control->forget();
}

bool ParameterChangeListener::containsControl(CControl* control) const
{
    return std::find(controls.begin(), controls.end(), control) != controls.end();
}

void ParameterChangeListener::setupControl(CControl* control)
{
    if (!parameter) return;
    const ParameterInfo& info = parameter->getInfo();
    if (auto* menu = dynamic_cast<COptionMenu*>(control))
    {
        // The menu's entries are the parameter's steps, its value the step index.
        menu->removeAllEntry();
        for (int32 step = 0; step <= info.stepCount; ++step)
        {
            const ParamValue normalized = info.stepCount > 0 ? double(step) / info.stepCount : 0.0;
            menu->addEntry(valueString(normalized));
        }
        menu->setMin(0.f);
        menu->setMax(static_cast<float>(info.stepCount > 0 ? info.stepCount : 1));
    }
    else if (dynamic_cast<CTextLabel*>(control) == nullptr)
    {
        if (auto* display = dynamic_cast<CParamDisplay*>(control))
        {
            display->setValueToStringFunction(
                [this](float value, std::string& text, CParamDisplay* view) {
                    if (!parameter) return false;
                    text = valueString(view->getRange() != 0.f
                                           ? (value - view->getMin()) / view->getRange()
                                           : 0.0);
                    return true;
                });
        }
    }
    // A reset returns to the parameter's default, whatever the description says.
    const float range = control->getMax() - control->getMin();
    control->setDefaultValue(control->getMin() +
                             static_cast<float>(info.defaultNormalizedValue) * range);
}

void ParameterChangeListener::showValue(CControl* control, ParamValue value)
{
    if (auto* menu = dynamic_cast<COptionMenu*>(control))
    {
        const ParamValue plain = parameter ? parameter->toPlain(value) : value;
        menu->setValue(static_cast<float>(std::lround(plain)));
    }
    else if (auto* label = dynamic_cast<CTextLabel*>(control))
    {
        if (parameter) label->setText(valueString(value));
        label->setValueNormalized(static_cast<float>(value));
    }
    else
    {
        control->setValueNormalized(static_cast<float>(value));
    }
    control->setOldValue(control->getValue());
    control->invalid();
}

void ParameterChangeListener::updateControlValue(ParamValue value)
{
    shownValue = value;
    for (CControl* control : controls) showValue(control, value);
}

void ParameterChangeListener::beginEdit()
{
    if (parameter && controller) controller->beginEdit(getParameterID());
}

void ParameterChangeListener::endEdit()
{
    if (parameter && controller) controller->endEdit(getParameterID());
}

void ParameterChangeListener::performEdit(ParamValue value)
{
    if (parameter && controller)
    {
        // Controls compute in float; a stepped parameter gets its exact step, not a neighbour.
        const int32 steps = parameter->getInfo().stepCount;
        if (steps > 0) value = std::round(value * steps) / steps;
        const ParamID id = getParameterID();
        controller->setParamNormalized(id, value);
        controller->performEdit(id, value);
        // The parameter may have refused or quantised it; the controls show what it holds.
        updateControlValue(parameter->getNormalized());
        return;
    }
    updateControlValue(value);
}

void PLUGIN_API ParameterChangeListener::update(FUnknown* changedUnknown, int32 message)
{
    if (message != IDependent::kChanged || !parameter) return;
    FUnknownPtr<FUnknown> changed(changedUnknown);
    FUnknownPtr<FUnknown> ours(static_cast<FObject*>(parameter.get())->unknownCast());
    if (changed.get() != ours.get()) return;
    updateControlValue(parameter->getNormalized());
}

std::string ParameterChangeListener::valueString(ParamValue value) const
{
    if (!parameter || !controller) return {};
    String128 text = {};
    if (controller->getParamStringByValue(getParameterID(), value, text) != kResultOk) return {};
    String converted(text);
    converted.toMultiByte(kCP_Utf8);
    return converted.text8() ? std::string(converted.text8()) : std::string();
}

} // namespace VSTGUI
