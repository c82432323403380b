// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParameterHandoff.h"

namespace Steinberg
{
namespace Vst
{

ParameterHandoff::ParameterHandoff(size_t count) : count(count), slots(new Slot[count]) {}

double ParameterHandoff::value(size_t index) const
{
    if (index >= count) return 0.0;
    return slots[index].value.load(std::memory_order_acquire);
}

void ParameterHandoff::set(size_t index, double value)
{
    if (index >= count) return;
    slots[index].value.store(value, std::memory_order_release);
    slots[index].toController.store(true, std::memory_order_release);
    slots[index].toProcessor.store(true, std::memory_order_release);
}

void ParameterHandoff::setFromController(size_t index, double value)
{
    if (index >= count) return;
    slots[index].value.store(value, std::memory_order_release);
    slots[index].toProcessor.store(true, std::memory_order_release);
}

void ParameterHandoff::setFromProcessor(size_t index, double value)
{
    if (index >= count) return;
    slots[index].value.store(value, std::memory_order_release);
    slots[index].toController.store(true, std::memory_order_release);
}

void ParameterHandoff::adopt(size_t index, double value)
{
    if (index >= count) return;
    slots[index].toController.store(false, std::memory_order_release);
    slots[index].value.store(value, std::memory_order_release);
}

void ParameterHandoff::discardForProcessor(size_t index)
{
    if (index < count) slots[index].toProcessor.store(false, std::memory_order_release);
}

bool ParameterHandoff::pendingForProcessor(size_t index) const
{
    return index < count && slots[index].toProcessor.load(std::memory_order_acquire);
}

bool ParameterHandoff::takeForProcessor(size_t index, double& value)
{
    if (index >= count) return false;
    // The flag is cleared before the value is read: a set in between raises it again and is
    // picked up next block rather than lost.
    if (!slots[index].toProcessor.exchange(false, std::memory_order_acq_rel)) return false;
    value = slots[index].value.load(std::memory_order_acquire);
    return true;
}

bool ParameterHandoff::takeForController(size_t index, double& value)
{
    if (index >= count) return false;
    if (!slots[index].toController.exchange(false, std::memory_order_acq_rel)) return false;
    value = slots[index].value.load(std::memory_order_acquire);
    return true;
}

} // namespace Vst
} // namespace Steinberg
