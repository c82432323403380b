// SPDX-License-Identifier: GPL-3.0-or-later
#include "binding/ControlHandoff.h"

#include "framework/PlugIn.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

namespace
{
uint64_t bitsOf(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float floatOf(uint64_t word)
{
    const auto bits = static_cast<uint32_t>(word);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
} // namespace

void ControlHandoff::reset(const CPlugIn& plugIn)
{
    controls = plugIn.controlCount;
    pending = std::make_unique<std::atomic<uint64_t>[]>(controls + 2);
    taken = std::make_unique<uint64_t[]>(controls + 2);
    current = std::make_unique<std::atomic<float>[]>(controls + 2);
    for (size_t i = 0; i < controls + 2; ++i)
        pending[i].store(0, std::memory_order_relaxed);
    publish(plugIn);
}

void ControlHandoff::post(size_t slot, float value, uint64_t kind)
{
    if (!pending || slot >= controls + 2 || !std::isfinite(value)) return;
    pending[slot].store(kPending | kind | bitsOf(value), std::memory_order_release);
}

void ControlHandoff::postActual(size_t position, float actual)
{
    if (position < controls) post(position, actual, 0);
}

void ControlHandoff::postNormalized(size_t position, float normalized)
{
    if (position < controls) post(position, normalized, kNormalized);
}

void ControlHandoff::postJoystick(size_t axis, float value)
{
    if (axis <= kJoystickY) post(controls + axis, value, 0);
}

void ControlHandoff::applyTo(CPlugIn& plugIn)
{
    if (!pending) return;
    const size_t count = std::min<size_t>(controls, plugIn.controlCount);
    bool any = false;
    for (size_t i = 0; i < controls + 2; ++i)
    {
        const uint64_t word = pending[i].load(std::memory_order_acquire);
        taken[i] = word;
        if (!(word & kPending)) continue;
        any = true;
        const float value = floatOf(word);
        const auto position = static_cast<uint32_t>(i);
        if (i < count)
        {
            if (word & kNormalized)
                plugIn.setControlNormalized(position, value, false);
            else
                plugIn.setControlValue(position, value);
        }
        else if (i == controls + kJoystickX)
        {
            plugIn.setJoystickX(value, true);
        }
        else if (i == controls + kJoystickY)
        {
            plugIn.setJoystickY(value, true);
        }
    }
    if (!any) return;
    // A value stays pending until it is recorded as in effect, so the saved state never
    // falls back to an older value in between. One posted meanwhile stays for the next block.
    publish(plugIn);
    for (size_t i = 0; i < controls + 2; ++i)
    {
        uint64_t expected = taken[i];
        if (expected & kPending)
            pending[i].compare_exchange_strong(expected, 0, std::memory_order_release,
                                              std::memory_order_relaxed);
    }
}

void ControlHandoff::publish(const CPlugIn& plugIn)
{
    if (!current) return;
    const size_t count = std::min<size_t>(controls, plugIn.controlCount);
    for (size_t i = 0; i < count; ++i)
        current[i].store(plugIn.getControlValue(static_cast<uint32_t>(i)),
                         std::memory_order_relaxed);
    float x = 0.0f;
    float y = 0.0f;
    plugIn.getJoystickValues(&x, &y);
    current[controls + kJoystickX].store(x, std::memory_order_relaxed);
    current[controls + kJoystickY].store(y, std::memory_order_relaxed);
}

float ControlHandoff::stateValue(const CPlugIn& plugIn, size_t position) const
{
    if (!current || position >= controls) return 0.0f;
    const uint64_t word = pending[position].load(std::memory_order_acquire);
    const CControlDescriptor* d = plugIn.controlAt(static_cast<uint32_t>(position));
    if ((word & kPending) && d)
    {
        const float pendingValue =
            CPlugIn::valueAfterSetting(*d, floatOf(word), (word & kNormalized) != 0);
        // A value the plug-in object will drop leaves the control where it is.
        if (!std::isnan(pendingValue)) return pendingValue;
    }
    return current[position].load(std::memory_order_relaxed);
}

float ControlHandoff::stateJoystick(size_t axis) const
{
    if (!current || axis > kJoystickY) return 0.0f;
    const uint64_t word = pending[controls + axis].load(std::memory_order_acquire);
    if (word & kPending) return floatOf(word);
    return current[controls + axis].load(std::memory_order_relaxed);
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
