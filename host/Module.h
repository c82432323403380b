// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/HostContext.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"

#include <memory>
#include <string>
#include <vector>

namespace halvane::host
{

struct FactoryInfo
{
    std::string vendor;
    std::string url;
    std::string email;
    Steinberg::int32 flags = 0;
};

// What the factory says about one class; the fields of IPluginFactory2/3 stay empty when
// the factory only speaks IPluginFactory.
struct ClassInfo
{
    Steinberg::FUID cid;
    Steinberg::int32 cardinality = 0;
    std::string category;
    std::string name;
    std::string subCategories;
    std::string vendor;
    std::string version;
    std::string sdkVersion;
    Steinberg::uint32 classFlags = 0;
};

// A loaded .vst3 bundle: the shared object, its entry and exit calls and its factory.
// Instances keep the module alive through the shared pointer.
class Module
{
public:
    // Throws HostError with a one-line reason.
    static std::shared_ptr<Module> load(const std::string& bundlePath);
    // <bundle>/Contents/<arch>-linux/<bundle name>.so; a path to a .so is taken as it is.
    static std::string binaryPath(const std::string& bundlePath);

    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const std::string& path() const { return bundle; }
    const FactoryInfo& factoryInfo() const { return info; }
    const std::vector<ClassInfo>& classes() const { return classList; }
    // The first class of the category (and name, when given), or null.
    const ClassInfo* findClass(const std::string& category, const std::string& name = {}) const;
    Steinberg::IPluginFactory* factory() const { return pluginFactory; }
    HostContext* hostContext() { return &context; }

private:
    Module() = default;
    void readFactory();
    void unload();

    std::string bundle;
    void* handle = nullptr;
    bool entered = false;
    Steinberg::IPtr<Steinberg::IPluginFactory> pluginFactory;
    FactoryInfo info;
    std::vector<ClassInfo> classList;
    HostContext context;
};

} // namespace halvane::host
