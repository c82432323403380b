// SPDX-License-Identifier: GPL-3.0-or-later
// The VST 2 entry points, exported beside the VST 3 ones.
#include "Vst2Entry.h"

extern "C"
{
    SMTG_EXPORT_SYMBOL AEffect* VSTPluginMain(audioMasterCallback audioMaster)
    {
        // A host that cannot say which VST version it speaks is not one we can serve.
        if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;
        return createEffectInstance(audioMaster);
    }

    // Old hosts look for "main"; C++ reserves the name, so the alias is given to the linker.
    SMTG_EXPORT_SYMBOL AEffect* legacyVstMain(audioMasterCallback audioMaster) __asm__("main");
    AEffect* legacyVstMain(audioMasterCallback audioMaster)
    {
        return VSTPluginMain(audioMaster);
    }
}
