// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace VSTGUI
{

struct ResourceData
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// Maps a resource name ("vexo.uidesc", "knob.png") to bytes that stay valid for the program's
// life, or to an empty ResourceData when there is no such resource.
using ResourceLookup = std::function<ResourceData(const std::string& name)>;

// Replaces the look-up; an empty function leaves no resources at all.
void setResourceLookup(ResourceLookup lookup);
// Empty when absent.
ResourceData findResource(const std::string& name);

} // namespace VSTGUI
