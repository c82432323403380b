// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/EmbeddedResourceLookup.h"

#include "resources/EmbeddedResources.h"
#include "vstgui/Resources.h"

namespace Halvane
{

const char* withEmbeddedResources(const char* resourceName)
{
    // User-interface thread only, like everything that builds editors.
    static bool installed = false;
    if (installed) return resourceName;
    installed = true;
    VSTGUI::setResourceLookup([](const std::string& name) {
        VSTGUI::ResourceData data;
        if (const EmbeddedResource* found = findEmbeddedResource(name.c_str()))
        {
            data.data = found->data;
            data.size = found->size;
        }
        return data;
    });
    return resourceName;
}

} // namespace Halvane
