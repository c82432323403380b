// SPDX-License-Identifier: GPL-3.0-or-later
#include "PresetIO.h"

#include "RenderError.h"

#include "public.sdk/source/vst/vstpresetfile.h"

#include <cerrno>
#include <cstring>

using namespace Steinberg;

namespace halvane::render
{

void PresetIO::load(const std::string& path)
{
    IPtr<IBStream> file = owned(Vst::FileStream::open(path.c_str(), "rb"));
    if (!file) throw RenderError("cannot read preset " + path + ": " + std::strerror(errno));

    Vst::PresetFile preset(file);
    if (!preset.readChunkList()) throw RenderError(path + " is not a VST 3 preset file");
    if (preset.getClassID() != plugin.classInfo().cid)
        throw RenderError(path + " is a preset for another plug-in");
    if (!preset.restoreComponentState(plugin.component()))
        throw RenderError("the plug-in refused the state in " + path);
    if (!preset.restoreComponentState(plugin.controller()))
        throw RenderError("the plug-in's controller refused the state in " + path);
    if (!plugin.isSingleComponent() && preset.contains(Vst::kControllerState) &&
        !preset.restoreControllerState(plugin.controller()))
        throw RenderError("the plug-in's controller refused the state in " + path);
}

host::Bytes PresetIO::save() const
{
    auto componentState = host::makeStream(plugin.getComponentState());
    IPtr<MemoryStream> controllerState;
    if (!plugin.isSingleComponent())
    {
        auto s = owned(new MemoryStream());
        if (plugin.controller()->getState(s) == kResultOk)
        {
            s->seek(0, IBStream::kIBSeekSet, nullptr);
            controllerState = s;
        }
    }
    auto out = owned(new MemoryStream());
    if (!Vst::PresetFile::savePreset(out, plugin.classInfo().cid, componentState,
                                     controllerState.get()))
        throw RenderError("cannot build the preset file");
    return host::streamBytes(*out);
}

} // namespace halvane::render
