// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "framework/PlugIn.h"

#include <functional>

// Test programs that link the binding directly choose the plug-in object a new Processor
// creates. Null factory: createPlugIn() returns null.
namespace TestPlugIns
{
void setFactory(std::function<CPlugIn*()> factory);

// Sets the factory for the lifetime of the scope.
class ScopedFactory
{
public:
    explicit ScopedFactory(std::function<CPlugIn*()> factory) { setFactory(std::move(factory)); }
    ~ScopedFactory() { setFactory(nullptr); }
};
} // namespace TestPlugIns
