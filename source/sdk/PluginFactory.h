// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

namespace Steinberg
{

using CreateInstanceFunction = FUnknown* (*)(void* context);

// The module's class factory: answers IPluginFactory, -2 and -3 from the registered classes.
class CPluginFactory : public IPluginFactory3
{
public:
    explicit CPluginFactory(const PFactoryInfo& info);
    virtual ~CPluginFactory();

    bool registerClass(const PClassInfo2* info, CreateInstanceFunction createFunc,
                       void* context = nullptr);

    DECLARE_FUNKNOWN_METHODS

    // IPluginFactory
    tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
    int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
    tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) SMTG_OVERRIDE;
    // IPluginFactory2
    tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;
    // IPluginFactory3
    tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
    tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

private:
    struct ClassEntry
    {
        PClassInfo2 info2;
        PClassInfoW infoW;
        CreateInstanceFunction createFunc = nullptr;
        void* context = nullptr;
    };

    PFactoryInfo factoryInfo;
    std::vector<ClassEntry> classes;
    FUnknown* hostContext = nullptr;
};

// The module's factory singleton; cleared when that factory is destroyed.
extern IPluginFactory* gPluginFactory;

} // namespace Steinberg
