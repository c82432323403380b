// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace Halvane
{
// A resource compiled into the module; data stays valid for the module's lifetime.
struct EmbeddedResource
{
    const unsigned char* data;
    std::size_t size;
};

// Looks a resource up by its file name ("vexo.uidesc", "background.png", ...), ignoring case as
// Windows resource look-up does; null if absent.
const EmbeddedResource* findEmbeddedResource(const char* name);
} // namespace Halvane
