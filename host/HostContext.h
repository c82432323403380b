// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "public.sdk/source/vst/hosting/hostclasses.h"

namespace halvane::host
{

// The context handed to initialize: the SDK's host application under our own name.
class HostContext : public Steinberg::Vst::HostApplication
{
public:
    Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
};

} // namespace halvane::host
