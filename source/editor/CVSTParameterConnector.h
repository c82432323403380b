// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// How a plug-in object's own editor moves parameters: each call reaches the controller and,
// through it, the host. The base does nothing, for editors opened without a controller.
// Only these three occupy the vtable, in this order: plug-in objects call through it.
class CVSTParameterConnector
{
public:
    virtual void beginEdit(uint32_t /*id*/) {}
    virtual void endEdit(uint32_t /*id*/) {}
    virtual void updateParameter(uint32_t /*id*/, float /*normalizedValue*/) {}

protected:
    // Never deleted through this interface: the view that implements it is reference counted.
    ~CVSTParameterConnector() = default;
};
