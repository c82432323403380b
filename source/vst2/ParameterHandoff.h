// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

namespace Steinberg
{
namespace Vst
{

// The current value of every VST 2 parameter, shared by the host's threads without locks.
// VST 2 hosts set parameters from any thread, the audio thread included, so a set only stores
// the value and raises flags; the audio thread turns raised flags into the next block's
// parameter changes, the user-interface thread into controller updates. Several sets between
// two blocks collapse into the last one, which is all a block would apply anyway.
class ParameterHandoff
{
public:
    explicit ParameterHandoff(size_t count);

    size_t size() const { return count; }
    double value(size_t index) const;

    // A host or plug-in edit: both the processor and the controller must learn of it.
    void set(size_t index, double value);
    // The controller already knows (its own edit); only the processor must follow.
    void setFromController(size_t index, double value);
    // The processor produced it (meters, mapped MIDI); only the controller must follow.
    void setFromProcessor(size_t index, double value);
    // The controller's own value (after a loaded state or program): nothing to tell it.
    // A change still waiting for the processor stays: it may be the controller's own edit.
    void adopt(size_t index, double value);
    // Drops what the processor has not picked up yet, before a state or program replaces it.
    void discardForProcessor(size_t index);

    bool pendingForProcessor(size_t index) const;

    // Audio thread: true and the value when the processor has a change to pick up.
    bool takeForProcessor(size_t index, double& value);
    // User-interface thread: likewise for the controller.
    bool takeForController(size_t index, double& value);

private:
    struct Slot
    {
        std::atomic<double> value{0.0};
        std::atomic<bool> toProcessor{false};
        std::atomic<bool> toController{false};
    };
    static_assert(std::atomic<double>::is_always_lock_free, "parameter values need lock-free atomics");

    size_t count;
    std::unique_ptr<Slot[]> slots;
};

} // namespace Vst
} // namespace Steinberg
