// SPDX-License-Identifier: GPL-3.0-or-later
#include "PluginFactory.h"

#include "FixedText.h"

#include "pluginterfaces/base/funknown.h"

#include <cstring>

namespace Steinberg
{

IPluginFactory* gPluginFactory = nullptr;

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo(info)
{
    FUNKNOWN_CTOR;
}

CPluginFactory::~CPluginFactory()
{
    if (gPluginFactory == this) gPluginFactory = nullptr;
    if (hostContext) hostContext->release();
    FUNKNOWN_DTOR
}

IMPLEMENT_REFCOUNT(CPluginFactory)

tresult PLUGIN_API CPluginFactory::queryInterface(FIDString iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, IPluginFactory::iid, IPluginFactory)
    QUERY_INTERFACE(iid, obj, IPluginFactory2::iid, IPluginFactory2)
    QUERY_INTERFACE(iid, obj, IPluginFactory3::iid, IPluginFactory3)
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IPluginFactory)
    *obj = nullptr;
    return kNoInterface;
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateInstanceFunction createFunc,
                                   void* context)
{
    if (!info || !createFunc) return false;
    ClassEntry entry;
    entry.info2 = *info;
    std::memcpy(entry.infoW.cid, info->cid, sizeof(TUID));
    entry.infoW.cardinality = info->cardinality;
    copyFixedText(entry.infoW.category, info->category);
    copyFixedText(entry.infoW.name, info->name);
    entry.infoW.classFlags = info->classFlags;
    copyFixedText(entry.infoW.subCategories, info->subCategories);
    copyFixedText(entry.infoW.vendor, info->vendor);
    copyFixedText(entry.infoW.version, info->version);
    copyFixedText(entry.infoW.sdkVersion, info->sdkVersion);
    entry.createFunc = createFunc;
    entry.context = context;
    classes.push_back(entry);
    return true;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
    if (!info) return kInvalidArgument;
    std::memcpy(info, &factoryInfo, sizeof(PFactoryInfo));
    return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses()
{
    return static_cast<int32>(classes.size());
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
    if (!info) return kInvalidArgument;
    if (index < 0 || index >= countClasses()) return kInvalidArgument;
    const PClassInfo2& src = classes[index].info2;
    std::memcpy(info->cid, src.cid, sizeof(TUID));
    info->cardinality = src.cardinality;
    copyFixedText(info->category, src.category);
    copyFixedText(info->name, src.name);
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
    if (!info) return kInvalidArgument;
    if (index < 0 || index >= countClasses()) return kInvalidArgument;
    std::memcpy(info, &classes[index].info2, sizeof(PClassInfo2));
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
    if (!info) return kInvalidArgument;
    if (index < 0 || index >= countClasses()) return kInvalidArgument;
    std::memcpy(info, &classes[index].infoW, sizeof(PClassInfoW));
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj)
{
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !iid) return kInvalidArgument;
    for (const auto& entry : classes)
    {
        if (!FUnknownPrivate::iidEqual(entry.info2.cid, cid)) continue;
        FUnknown* instance = entry.createFunc(entry.context);
        if (!instance) return kOutOfMemory;
        tresult result = instance->queryInterface(iid, obj);
        // The interface holds its own reference now (or the query failed).
        instance->release();
        if (result != kResultOk) *obj = nullptr;
        return result == kResultOk ? kResultOk : kNoInterface;
    }
    return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* context)
{
    if (context) context->addRef();
    if (hostContext) hostContext->release();
    hostContext = context;
    return kResultOk;
}

} // namespace Steinberg
