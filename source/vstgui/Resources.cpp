// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/Resources.h"

namespace VSTGUI
{

namespace
{

ResourceLookup& currentLookup()
{
    static ResourceLookup lookup;
    return lookup;
}

} // namespace

void setResourceLookup(ResourceLookup lookup)
{
    currentLookup() = std::move(lookup);
}

ResourceData findResource(const std::string& name)
{
    const ResourceLookup& lookup = currentLookup();
    if (!lookup || name.empty())
        return {};
    ResourceData found = lookup(name);
    if (!found.data)
        found.size = 0;
    return found;
}

} // namespace VSTGUI
