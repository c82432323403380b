// SPDX-License-Identifier: GPL-3.0-or-later
// Controller-side parameter handling, factory presets and MIDI mapping.
#include "binding/Processor.h"

#include "binding/FastMath.h"
#include "binding/MidiEventRelay.h"
#include "framework/PlugIn.h"

#include <algorithm>
#include <cmath>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// No C++ exception may cross a VST 3 call: the SDK's parameter classes index their lists and
// containers with checked access, so every host-facing entry below answers a refusal instead.

ParamValue Processor::safeNormalized(ParamID tag, ParamValue value)
{
    if (std::isnan(value))
    {
        const Parameter* parameter = getParameterObject(tag);
        return parameter ? parameter->getInfo().defaultNormalizedValue : 0.0;
    }
    return std::clamp(value, 0.0, 1.0);
}

tresult PLUGIN_API Processor::setParamNormalized(ParamID tag, ParamValue value)
{
    // The SDK's parameter would store a NaN, and its text conversion turns the stored value
    // into a list index.
    if (std::isnan(value)) return kResultFalse;
    value = std::clamp(value, 0.0, 1.0);
    try
    {
        tresult result = EditController::setParamNormalized(tag, value);
        notifyEditorParamChange(tag, value);
        if (result != kResultOk || tag != kFactoryPresetsId) return result;
        applyProgram();
        return result;
    }
    catch (...)
    {
        return kResultFalse;
    }
}

tresult PLUGIN_API Processor::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
    if (paramIndex < 0 || paramIndex >= getParameterCount()) return kResultFalse;
    try
    {
        return EditController::getParameterInfo(paramIndex, info);
    }
    catch (...)
    {
        return kResultFalse;
    }
}

tresult PLUGIN_API Processor::getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                                    String128 string)
{
    // Unclamped, a huge value prints far past the host's 128 characters.
    if (!string) return kResultFalse;
    try
    {
        return EditController::getParamStringByValue(tag, safeNormalized(tag, valueNormalized),
                                                     string);
    }
    catch (...)
    {
        return kResultFalse;
    }
}

tresult PLUGIN_API Processor::getParamValueByString(ParamID tag, TChar* string,
                                                    ParamValue& valueNormalized)
{
    if (!string) return kResultFalse;
    try
    {
        ParamValue value = 0.0;
        const tresult result = EditController::getParamValueByString(tag, string, value);
        if (result != kResultOk || std::isnan(value)) return kResultFalse;
        valueNormalized = std::clamp(value, 0.0, 1.0);
        return kResultOk;
    }
    catch (...)
    {
        return kResultFalse;
    }
}

ParamValue PLUGIN_API Processor::normalizedParamToPlain(ParamID tag, ParamValue valueNormalized)
{
    try
    {
        return EditController::normalizedParamToPlain(tag, safeNormalized(tag, valueNormalized));
    }
    catch (...)
    {
        return 0.0;
    }
}

ParamValue PLUGIN_API Processor::plainParamToNormalized(ParamID tag, ParamValue plainValue)
{
    try
    {
        const ParamValue normalized = EditController::plainParamToNormalized(tag, plainValue);
        return safeNormalized(tag, normalized);
    }
    catch (...)
    {
        return 0.0;
    }
}

void Processor::notifyEditorParamChange(ParamID id, ParamValue value)
{
    if (!plugIn) return;
    EditorMessage message;
    message.kind = EditorMessage::kParamValueSet;
    message.value = value;
    message.controlId = id;
    plugIn->handleEditorMessage(&message);
}

void Processor::applyProgram()
{
    Parameter* programs = getParameterObject(kFactoryPresetsId);
    if (!programs || !plugIn) return;
    // The value as the parameter stored it, clamped to 0..1.
    const double plain = programs->toPlain(programs->getNormalized());
    // The list holds at most the 16 preset slots; never index outside them.
    int program = std::isfinite(plain) ? static_cast<int>(plain) : 0;
    if (program < 0 || program >= CPlugIn::kPresetSlots) program = 0;

    const uint32 count = static_cast<uint32>(plugIn->controlList.count());
    for (uint32 k = 0; k < count; ++k)
    {
        CControlDescriptor* d = plugIn->controlList.at(static_cast<int>(k));
        if (!d) continue;
        const float a = static_cast<float>(d->presetValues[program]);
        const float span = d->maxValue - d->minValue;
        const float lin = span != 0.0f ? (a - d->minValue) / span : 0.0f;
        float n = lin;
        if (d->logScale)
        {
            n = static_cast<float>((static_cast<double>(std::pow(10.0f, lin)) - 1.0) / 9.0);
        }
        else if (d->voltOctaveScale)
        {
            const float numerator = fastLog2(a / d->minValue);
            const float denominator = fastLog2(d->maxValue / d->minValue);
            n = static_cast<float>(static_cast<double>(numerator) / denominator);
        }
        // A table whose range the taper cannot map must not leave a NaN in the parameter.
        if (!std::isfinite(n)) n = lin;
        handoff.postNormalized(k, lin);
        EditController::setParamNormalized(k, n);
        notifyEditorParamChange(k, n);
    }

    const double x = plugIn->joystickX.presetValues[program];
    const double y = plugIn->joystickY.presetValues[program];
    const double rotatedX = ((x - y) / 1.41421356) / 1.414;
    const double rotatedY = ((y + x) / 1.41421356) / 1.414;
    handoff.postJoystick(ControlHandoff::kJoystickX, static_cast<float>(rotatedX));
    EditController::setParamNormalized(kJoystickXId, rotatedX * 0.5 + 0.5);
    notifyEditorParamChange(kJoystickXId, rotatedX * 0.5 + 0.5);
    handoff.postJoystick(ControlHandoff::kJoystickY, static_cast<float>(rotatedY));
    EditController::setParamNormalized(kJoystickYId, rotatedY * 0.5 + 0.5);
    notifyEditorParamChange(kJoystickYId, rotatedY * 0.5 + 0.5);
    applyHandoffIfInactive();

    if (componentHandler) componentHandler->restartComponent(kParamValuesChanged);
    applyLinkedUpdates();
}

void Processor::applyHandoffIfInactive()
{
    if (plugIn && !active.load()) handoff.applyTo(*plugIn);
}

void Processor::applyLinkedUpdates()
{
    if (!plugIn) return;
    const uint32 count = static_cast<uint32>(plugIn->controlList.count());
    for (uint32 i = 0; i < count; ++i)
    {
        const ParamValue normalized = getParamNormalized(i);
        const ParamValue plain = normalizedParamToPlain(i, normalized);
        CControlDescriptor* d = plugIn->controlList.at(static_cast<int>(i));
        if (!d) continue;
        CUpdateNode* list = nullptr;
        const bool collected =
            plugIn->collectLinkedUpdates(d->controlId, static_cast<float>(plain), &list, true);
        if (collected)
        {
            for (CUpdateNode* node = list; node; node = node->next)
            {
                const int32 position = findControlPosition(node->controlId);
                if (position < 0) continue;
                const ParamValue m =
                    plainParamToNormalized(static_cast<ParamID>(position), node->value);
                setParamNormalized(static_cast<ParamID>(position), m);
                performEdit(static_cast<ParamID>(position), m);
            }
        }
        // A list handed back with a refusal is still the plug-in object's to free.
        if (collected || list) plugIn->releaseUpdateList(&list);
        while (list)
        {
            CUpdateNode* next = list->next;
            delete list;
            list = next;
        }
    }
}

int32 Processor::findControlPosition(uint32 controlId) const
{
    if (!plugIn) return -1;
    const int count = plugIn->controlList.count();
    for (int i = 0; i < count; ++i)
    {
        const CControlDescriptor* d = plugIn->controlList.at(i);
        if (d && d->controlId == controlId) return i;
    }
    return -1;
}

tresult PLUGIN_API Processor::getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                          CtrlNumber midiControllerNumber,
                                                          ParamID& id)
{
    return midiControllerAssignment(plugIn, busIndex, channel, midiControllerNumber, id);
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
