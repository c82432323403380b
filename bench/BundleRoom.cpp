// SPDX-License-Identifier: GPL-3.0-or-later
#include "BundleRoom.h"

#include "host/HostError.h"

namespace bench
{

using halvane::host::HostError;

BundleRoom::BundleRoom(std::shared_ptr<halvane::host::Module> module, double sampleRate,
                       int maxBlock)
    : instance(halvane::host::PluginInstance::create(std::move(module)))
{
    if (!instance->setupProcessing(sampleRate, maxBlock))
        throw HostError("the plug-in refused the processing set-up");
    if (!instance->setActive(true)) throw HostError("the plug-in could not be activated");
    absorptionId = findId("Abs L-R");
    positionId = findId("Position");
}

Steinberg::Vst::ParamID BundleRoom::findId(const char* title) const
{
    const auto info = instance->findParameter(title);
    if (!info) throw HostError(std::string("the plug-in has no parameter \"") + title + "\"");
    return info->id;
}

void BundleRoom::setAbsorption(double normalized)
{
    instance->inputChanges().add(absorptionId, 0, normalized);
}

void BundleRoom::setPosition(int position)
{
    instance->inputChanges().add(positionId, 0, instance->plainToNormalized(positionId, position));
}

void BundleRoom::process(const float* const in[2], float* const out[2], int frames)
{
    if (instance->process(in, 2, out, 2, frames) != Steinberg::kResultOk)
        throw HostError("the plug-in failed to process a block");
}

} // namespace bench
