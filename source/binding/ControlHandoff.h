// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

class CPlugIn;

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Carries control values set on the host's other threads (state, presets) to the audio
// thread, which applies them at the start of its next block, and carries the values the
// audio thread ends a block with back for the saved state. Every slot is one atomic word, so
// neither side ever waits or sees half a value. A newer value for a control replaces one not
// yet applied.
class ControlHandoff
{
public:
    // The two slots after the controls are the joystick axes.
    static constexpr size_t kJoystickX = 0;
    static constexpr size_t kJoystickY = 1;

    // Sizes the slots for the plug-in object's controls and records its current values. Not
    // while processing.
    void reset(const CPlugIn& plugIn);

    void postActual(size_t position, float actual);
    void postNormalized(size_t position, float normalized);
    void postJoystick(size_t axis, float value);

    // Applies and clears every pending value, then records the values now in effect.
    void applyTo(CPlugIn& plugIn);
    // Records the values in effect, for the saved state.
    void publish(const CPlugIn& plugIn);

    // What the saved state holds for a control: the pending value when there is one,
    // otherwise the last one recorded.
    float stateValue(const CPlugIn& plugIn, size_t position) const;
    float stateJoystick(size_t axis) const;

private:
    static constexpr uint64_t kPending = uint64_t(1) << 63;
    static constexpr uint64_t kNormalized = uint64_t(1) << 62;

    void post(size_t slot, float value, uint64_t kind);

    size_t controls = 0;
    // Control slots, then the two axes.
    std::unique_ptr<std::atomic<uint64_t>[]> pending;
    std::unique_ptr<std::atomic<float>[]> current;
    // The applying thread's copy of the slots it took in this pass.
    std::unique_ptr<uint64_t[]> taken;
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
