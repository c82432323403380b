// The saved component state: version, every control's value in table order, bypass and the
// joystick, little-endian. Saved projects hold this layout; never change it.
#include "binding/Processor.h"

#include "framework/PlugIn.h"
#include "framework/SaturatingCast.h"

#include "base/source/fstreamer.h"

#include <algorithm>
#include <cmath>

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
} // namespace

tresult Processor::getComponentData(IBStream* state)
{
    if (!state || !plugIn) return kResultFalse;
    IBStreamer streamer(state, kLittleEndian);
    if (!streamer.writeInt64u(kStateVersion)) return kResultFalse;
    const int count = plugIn->controlList.count();
    for (int i = 0; i < count; ++i)
    {
        const CControlDescriptor* d = plugIn->controlList.at(i);
        if (!d) continue;
        const float v = plugIn->getControlValue(static_cast<uint32>(i));
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
    if (!streamer.writeBool(bypassed)) return kResultFalse;
    float x = 0.0f;
    float y = 0.0f;
    plugIn->getJoystickValues(&x, &y);
    if (!streamer.writeFloat(x) || !streamer.writeFloat(y)) return kResultFalse;
    return kResultOk;
}

tresult Processor::setComponentData(IBStream* state)
{
    if (!state || !plugIn) return kResultFalse;
    IBStreamer streamer(state, kLittleEndian);
    uint64 version = 0;
    if (!streamer.readInt64u(version)) return kResultFalse;
    const int count = plugIn->controlList.count();
    for (int i = 0; i < count; ++i)
    {
        const CControlDescriptor* d = plugIn->controlList.at(i);
        if (!d) continue;
        double value = 0.0;
        bool present = false;
        if (!readControlEntry(streamer, d->dataType, value, present)) return kResultFalse;
        // Non-finite values leave the control as it is. Clamping before the rounding to
        // single precision keeps a huge double from turning into an infinity.
        if (present && std::isfinite(value))
            plugIn->setControlValue(static_cast<uint32>(i),
                                    static_cast<float>(clampToControl(value, *d)));
    }
    bool bypass = false;
    const bool bypassRead = streamer.readBool(bypass);
    bypassed = bypassRead && bypass;
    if (!bypassRead) return kResultFalse;
    if (version != 0)
    {
        float x = 0.0f;
        if (!streamer.readFloat(x)) return kResultFalse;
        if (std::isfinite(x)) plugIn->setJoystickX(std::clamp(x, -1.0f, 1.0f), true);
        float y = 0.0f;
        if (!streamer.readFloat(y)) return kResultFalse;
        if (std::isfinite(y)) plugIn->setJoystickY(std::clamp(y, -1.0f, 1.0f), true);
    }
    return kResultOk;
}

tresult PLUGIN_API Processor::setComponentState(IBStream* state)
{
    if (!plugIn || !state) return kResultFalse;
    IBStreamer streamer(state, kLittleEndian);
    uint64 version = 0;
    if (!streamer.readInt64u(version)) return kResultFalse;
    const int count = plugIn->controlList.count();
    for (int k = 0; k < count; ++k)
    {
        const CControlDescriptor* d = plugIn->controlList.at(k);
        if (!d) continue;
        double value = 0.0;
        bool present = false;
        if (!readControlEntry(streamer, d->dataType, value, present)) return kResultFalse;
        Parameter* parameter = getParameterObject(static_cast<ParamID>(k));
        if (!present || !parameter || !std::isfinite(value)) continue;
        const ParamValue normalized = parameter->toNormalized(clampToControl(value, *d));
        // The parameter object clamps to 0..1 but would keep a NaN.
        if (std::isfinite(normalized))
            EditController::setParamNormalized(static_cast<ParamID>(k), normalized);
    }
    bool bypass = false;
    if (!streamer.readBool(bypass)) return kResultFalse;
    if (Parameter* parameter = getParameterObject(kBypassId))
        EditController::setParamNormalized(kBypassId, parameter->toNormalized(bypass ? 1.0 : 0.0));
    if (version != 0)
    {
        const ParamID axes[2] = {kJoystickXId, kJoystickYId};
        for (ParamID axis : axes)
        {
            float v = 0.0f;
            if (!streamer.readFloat(v)) return kResultFalse;
            Parameter* parameter = getParameterObject(axis);
            if (!parameter || !std::isfinite(v)) continue;
            const double position = std::clamp(static_cast<double>(v), -1.0, 1.0) * 0.5 + 0.5;
            const ParamValue normalized = parameter->toNormalized(position);
            if (std::isfinite(normalized)) EditController::setParamNormalized(axis, normalized);
        }
    }
    applyLinkedUpdates();
    return kResultOk;
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
