// SPDX-License-Identifier: GPL-3.0-or-later
// The saved component state: version, every control's value in table order, bypass and the
// joystick, little-endian. Saved projects hold this layout; never change it.
#include "binding/Processor.h"

#include "framework/PlugIn.h"
#include "framework/SaturatingCast.h"

#include "base/source/fstreamer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

namespace
{
constexpr uint64 kStateVersion = 1;

// Reads one control entry by data type; false on a short read or a type with no entry
// (`present` tells the two apart).
bool readControlEntry(IBStreamer& streamer, uint32 dataType, double& value, bool& present)
{
    present = true;
    switch (dataType)
    {
    case CControlDescriptor::kInt:
    {
        int32 v = 0;
        if (!streamer.readInt32(v)) return false;
        value = v;
        return true;
    }
    case CControlDescriptor::kFloat:
    {
        float v = 0.0f;
        if (!streamer.readFloat(v)) return false;
        value = v;
        return true;
    }
    case CControlDescriptor::kDouble:
    {
        double v = 0.0;
        if (!streamer.readDouble(v)) return false;
        value = v;
        return true;
    }
    case CControlDescriptor::kUnsigned:
    {
        uint32 v = 0;
        if (!streamer.readInt32u(v)) return false;
        value = v;
        return true;
    }
    default:
        present = false;
        return true;
    }
}

// A saved value kept inside the control's range; a table may list its range downwards.
double clampToControl(double value, const CControlDescriptor& d)
{
    const double low = std::min(d.minValue, d.maxValue);
    const double high = std::max(d.minValue, d.maxValue);
    return std::min(std::max(value, low), high);
}

// A whole stream, read and checked before anything is applied: a refused state must change
// nothing. Values that cannot apply (non-finite) are left out.
struct SavedState
{
    std::vector<std::optional<double>> controls; // in table order, clamped to their ranges
    bool bypass = false;
    std::optional<float> joystick[2];
};

bool readSavedState(IBStream* stream, const CPlugIn& plugIn, SavedState& state)
{
    IBStreamer streamer(stream, kLittleEndian);
    uint64 version = 0;
    if (!streamer.readInt64u(version)) return false;
    const int count = plugIn.controlList.count();
    state.controls.assign(static_cast<size_t>(std::max(count, 0)), std::nullopt);
    for (int i = 0; i < count; ++i)
    {
        const CControlDescriptor* d = plugIn.controlList.at(i);
        if (!d) continue;
        double value = 0.0;
        bool present = false;
        if (!readControlEntry(streamer, d->dataType, value, present)) return false;
        // Clamping before the rounding to single precision keeps a huge double from turning
        // into an infinity.
        if (present && std::isfinite(value))
            state.controls[static_cast<size_t>(i)] = clampToControl(value, *d);
    }
    if (!streamer.readBool(state.bypass)) return false;
    if (version == 0) return true;
    for (auto& axis : state.joystick)
    {
        float v = 0.0f;
        if (!streamer.readFloat(v)) return false;
        if (std::isfinite(v)) axis = std::clamp(v, -1.0f, 1.0f);
    }
    return true;
}

// The stream's own reads may throw (out of memory, a host stream that does); the host hears
// a refusal.
bool readSavedStateSafely(IBStream* stream, const CPlugIn& plugIn, SavedState& state)
{
    try
    {
        return readSavedState(stream, plugIn, state);
    }
    catch (...)
    {
        return false;
    }
}
} // namespace

tresult Processor::getComponentData(IBStream* state)
{
    if (!state || !plugIn) return kResultFalse;
    // While processing, the values come from what the audio thread last recorded; otherwise
    // nothing else runs and the control variables are read as they stand.
    if (!active.load()) handoff.publish(*plugIn);
    IBStreamer streamer(state, kLittleEndian);
    if (!streamer.writeInt64u(kStateVersion)) return kResultFalse;
    const int count = plugIn->controlList.count();
    for (int i = 0; i < count; ++i)
    {
        const CControlDescriptor* d = plugIn->controlList.at(i);
        if (!d) continue;
        const float v = handoff.stateValue(*plugIn, static_cast<size_t>(i));
        bool written = true;
        switch (d->dataType)
        {
        case CControlDescriptor::kInt:
            written = streamer.writeInt32(saturatingInt32(v));
            break;
        case CControlDescriptor::kFloat:
            written = streamer.writeFloat(v);
            break;
        case CControlDescriptor::kDouble:
            written = streamer.writeDouble(v);
            break;
        case CControlDescriptor::kUnsigned:
            written = streamer.writeInt32u(saturatingUint32(v));
            break;
        default:
            break;
        }
        if (!written) return kResultFalse;
    }
    if (!streamer.writeBool(bypassed.load())) return kResultFalse;
    const float x = handoff.stateJoystick(ControlHandoff::kJoystickX);
    const float y = handoff.stateJoystick(ControlHandoff::kJoystickY);
    if (!streamer.writeFloat(x) || !streamer.writeFloat(y)) return kResultFalse;
    return kResultOk;
}

tresult Processor::setComponentData(IBStream* state)
{
    if (!state || !plugIn) return kResultFalse;
    SavedState saved;
    if (!readSavedStateSafely(state, *plugIn, saved)) return kResultFalse;
    for (size_t i = 0; i < saved.controls.size(); ++i)
        if (saved.controls[i]) handoff.postActual(i, static_cast<float>(*saved.controls[i]));
    bypassed.store(saved.bypass);
    for (size_t axis = 0; axis < 2; ++axis)
        if (saved.joystick[axis]) handoff.postJoystick(axis, *saved.joystick[axis]);
    applyHandoffIfInactive();
    return kResultOk;
}

tresult PLUGIN_API Processor::setComponentState(IBStream* state)
{
    if (!plugIn || !state) return kResultFalse;
    SavedState saved;
    if (!readSavedStateSafely(state, *plugIn, saved)) return kResultFalse;
    for (size_t k = 0; k < saved.controls.size(); ++k)
    {
        const auto id = static_cast<ParamID>(k);
        Parameter* parameter = getParameterObject(id);
        if (!saved.controls[k] || !parameter) continue;
        const ParamValue normalized = parameter->toNormalized(*saved.controls[k]);
        // The parameter object clamps to 0..1 but would keep a NaN.
        if (std::isfinite(normalized)) EditController::setParamNormalized(id, normalized);
    }
    if (Parameter* parameter = getParameterObject(kBypassId))
        EditController::setParamNormalized(kBypassId,
                                           parameter->toNormalized(saved.bypass ? 1.0 : 0.0));
    const ParamID axes[2] = {kJoystickXId, kJoystickYId};
    for (size_t axis = 0; axis < 2; ++axis)
    {
        Parameter* parameter = getParameterObject(axes[axis]);
        if (!parameter || !saved.joystick[axis]) continue;
        const double position = static_cast<double>(*saved.joystick[axis]) * 0.5 + 0.5;
        const ParamValue normalized = parameter->toNormalized(position);
        if (std::isfinite(normalized)) EditController::setParamNormalized(axes[axis], normalized);
    }
    applyLinkedUpdates();
    return kResultOk;
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
