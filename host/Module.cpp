// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/Module.h"

#include "host/HostError.h"
#include "host/Utf16.h"

#include <dlfcn.h>
#include <sys/stat.h>

using namespace Steinberg;

namespace halvane::host
{

namespace
{

#if defined(__x86_64__)
constexpr const char* kArchitecture = "x86_64-linux";
#elif defined(__aarch64__)
constexpr const char* kArchitecture = "aarch64-linux";
#elif defined(__i386__)
constexpr const char* kArchitecture = "i386-linux";
#else
constexpr const char* kArchitecture = "unknown-linux";
#endif

using ModuleEntryFunc = bool (*)(void*);
using ModuleExitFunc = bool (*)();
using GetFactoryFunc = IPluginFactory* (*)();

std::string fixedText(const char* text, size_t size)
{
    size_t n = 0;
    while (n < size && text[n])
        ++n;
    return std::string(text, n);
}

bool endsWith(const std::string& s, const std::string& suffix)
{
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

std::string Module::binaryPath(const std::string& bundlePath)
{
    std::string bundle = bundlePath;
    while (bundle.size() > 1 && bundle.back() == '/')
        bundle.pop_back();
    if (endsWith(bundle, ".so")) return bundle;
    std::string name = bundle.substr(bundle.find_last_of('/') + 1);
    if (endsWith(name, ".vst3")) name.resize(name.size() - 5);
    return bundle + "/Contents/" + kArchitecture + "/" + name + ".so";
}

std::shared_ptr<Module> Module::load(const std::string& bundlePath)
{
    struct stat st
    {
    };
    if (::stat(bundlePath.c_str(), &st) != 0) throw HostError("plug-in not found: " + bundlePath);

    const std::string binary = binaryPath(bundlePath);
    std::shared_ptr<Module> module(new Module());
    module->bundle = bundlePath;
    module->handle = ::dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module->handle)
    {
        const char* why = ::dlerror();
        throw HostError("cannot load " + binary + ": " + (why ? why : "unknown error"));
    }

    auto entry = reinterpret_cast<ModuleEntryFunc>(::dlsym(module->handle, "ModuleEntry"));
    if (!entry) throw HostError(binary + " does not export ModuleEntry");
    if (!entry(module->handle)) throw HostError("ModuleEntry of " + binary + " failed");
    module->entered = true;

    auto getFactory = reinterpret_cast<GetFactoryFunc>(::dlsym(module->handle, "GetPluginFactory"));
    if (!getFactory) throw HostError(binary + " does not export GetPluginFactory");
    // GetPluginFactory hands over a reference; owned() keeps it without adding another.
    module->pluginFactory = owned(getFactory());
    if (!module->pluginFactory)
        throw HostError("GetPluginFactory of " + binary + " returned no factory");
    module->readFactory();
    return module;
}

Module::~Module()
{
    unload();
}

void Module::unload()
{
    pluginFactory = nullptr;
    if (handle && entered)
    {
        if (auto exitFunc = reinterpret_cast<ModuleExitFunc>(::dlsym(handle, "ModuleExit")))
            exitFunc();
    }
    entered = false;
    if (handle) ::dlclose(handle);
    handle = nullptr;
}

void Module::readFactory()
{
    PFactoryInfo fi{};
    if (pluginFactory->getFactoryInfo(&fi) == kResultOk)
    {
        info.vendor = fixedText(fi.vendor, PFactoryInfo::kNameSize);
        info.url = fixedText(fi.url, PFactoryInfo::kURLSize);
        info.email = fixedText(fi.email, PFactoryInfo::kEmailSize);
        info.flags = fi.flags;
    }

    FUnknownPtr<IPluginFactory2> factory2(pluginFactory);
    FUnknownPtr<IPluginFactory3> factory3(pluginFactory);
    if (factory3) factory3->setHostContext(&context);

    const int32 count = pluginFactory->countClasses();
    for (int32 i = 0; i < count; ++i)
    {
        ClassInfo ci;
        PClassInfoW w{};
        PClassInfo2 c2{};
        PClassInfo c1{};
        if (factory3 && factory3->getClassInfoUnicode(i, &w) == kResultOk)
        {
            ci.cid = FUID::fromTUID(w.cid);
            ci.cardinality = w.cardinality;
            ci.category = fixedText(w.category, PClassInfo::kCategorySize);
            ci.name = toUtf8(w.name, PClassInfo::kNameSize);
            ci.classFlags = w.classFlags;
            ci.subCategories = fixedText(w.subCategories, PClassInfo2::kSubCategoriesSize);
            ci.vendor = toUtf8(w.vendor, PClassInfo2::kVendorSize);
            ci.version = toUtf8(w.version, PClassInfo2::kVersionSize);
            ci.sdkVersion = toUtf8(w.sdkVersion, PClassInfo2::kVersionSize);
        }
        else if (factory2 && factory2->getClassInfo2(i, &c2) == kResultOk)
        {
            ci.cid = FUID::fromTUID(c2.cid);
            ci.cardinality = c2.cardinality;
            ci.category = fixedText(c2.category, PClassInfo::kCategorySize);
            ci.name = fixedText(c2.name, PClassInfo::kNameSize);
            ci.classFlags = c2.classFlags;
            ci.subCategories = fixedText(c2.subCategories, PClassInfo2::kSubCategoriesSize);
            ci.vendor = fixedText(c2.vendor, PClassInfo2::kVendorSize);
            ci.version = fixedText(c2.version, PClassInfo2::kVersionSize);
            ci.sdkVersion = fixedText(c2.sdkVersion, PClassInfo2::kVersionSize);
        }
        else if (pluginFactory->getClassInfo(i, &c1) == kResultOk)
        {
            ci.cid = FUID::fromTUID(c1.cid);
            ci.cardinality = c1.cardinality;
            ci.category = fixedText(c1.category, PClassInfo::kCategorySize);
            ci.name = fixedText(c1.name, PClassInfo::kNameSize);
        }
        else
            continue;
        classList.push_back(std::move(ci));
    }
}

const ClassInfo* Module::findClass(const std::string& category, const std::string& name) const
{
    for (const ClassInfo& c : classList)
        if (c.category == category && (name.empty() || c.name == name)) return &c;
    return nullptr;
}

} // namespace halvane::host
