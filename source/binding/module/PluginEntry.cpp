// SPDX-License-Identifier: GPL-3.0-or-later
// The module's exported class factory: one effect class, "HalvaneDuo".
#include "binding/Processor.h"
#include "sdk/FixedText.h"
#include "sdk/PluginFactory.h"
#include "vst2/Vst2Entry.h"
#include "vst2/Vst2Wrapper.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstring>

using namespace Steinberg;

namespace
{
// The effect's class ID. Never change it: hosts store it in their projects.
const FUID kEffectClassId(0x48A1D0E5, 0x2B7C4F19, 0x9E3A6D42, 0xB8F05C17);
// The effect's VST 2 unique ID; never change it either.
const VstInt32 kVst2UniqueId = CCONST('H', 'v', 'D', 'u');

PFactoryInfo factoryInfo;
PClassInfo2 classInfo;
bool factoryInfoFilled = false;
bool classInfoFilled = false;

void fillFactoryInfo()
{
    if (factoryInfoFilled) return;
    copyFixedText(factoryInfo.vendor, "Brackwater Audio");
    copyFixedText(factoryInfo.url, "https://brackwater.audio");
    copyFixedText(factoryInfo.email, "HalvaneKit 0.0.1.0");
    factoryInfo.flags = PFactoryInfo::kUnicode;
    factoryInfoFilled = true;
}

void fillClassInfo()
{
    if (classInfoFilled) return;
    kEffectClassId.toTUID(classInfo.cid);
    classInfo.cardinality = PClassInfo::kManyInstances;
    copyFixedText(classInfo.category, "Audio Module Class");
    copyFixedText(classInfo.name, "HalvaneDuo");
    classInfo.classFlags = 0;
    copyFixedText(classInfo.subCategories, "FX|Reverb");
    copyFixedText(classInfo.vendor, "");
    copyFixedText(classInfo.version, "0.0.1.0");
    copyFixedText(classInfo.sdkVersion, "VST 3.6.6");
    classInfoFilled = true;
}
} // namespace

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory()
{
    if (gPluginFactory)
    {
        gPluginFactory->addRef();
        return gPluginFactory;
    }
    fillFactoryInfo();
    auto* factory = new CPluginFactory(factoryInfo);
    gPluginFactory = factory;
    fillClassInfo();
    factory->registerClass(&classInfo, Vst::Davu2VOV3::Processor::createInstance, nullptr);
    return gPluginFactory;
}

AEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    IPtr<IPluginFactory> factory = owned(GetPluginFactory());
    TUID classId;
    kEffectClassId.toTUID(classId);
    return Vst::Vst2Wrapper::create(factory, classId, kVst2UniqueId, audioMaster);
}
