// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/HostContext.h"

#include "host/Utf16.h"

namespace halvane::host
{

Steinberg::tresult PLUGIN_API HostContext::getName(Steinberg::Vst::String128 name)
{
    copyUtf16("halvane-host", name, 128);
    return Steinberg::kResultTrue;
}

} // namespace halvane::host
