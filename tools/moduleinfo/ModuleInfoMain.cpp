// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a bundle's Contents/Resources/moduleinfo.json from what the built module reports,
// so hosts that read it list exactly what the module would tell them when loaded.
#include "pluginterfaces/base/ipluginbase.h"

#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

using namespace Steinberg;

namespace
{
std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char ch : text)
    {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\')
            out += '\\', out += static_cast<char>(c);
        else if (c < 0x20)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
        else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

// A module is not trusted to terminate every fixed-size text field.
template <size_t N> std::string field(const char (&text)[N])
{
    size_t length = 0;
    while (length < N && text[length])
        ++length;
    return std::string(text, length);
}

std::string classIdText(const TUID cid)
{
    std::string hex;
    char byte[3];
    for (int i = 0; i < 16; ++i)
    {
        std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned char>(cid[i]));
        hex += byte;
    }
    return hex;
}

std::string subCategoryList(const std::string& text)
{
    std::string list = "[";
    std::string item;
    std::istringstream in(text);
    bool first = true;
    while (std::getline(in, item, '|'))
    {
        list += (first ? "" : ", ") + jsonString(item);
        first = false;
    }
    return list + "]";
}

std::string bundleName(const std::string& modulePath)
{
    const size_t slash = modulePath.find_last_of('/');
    std::string file = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    const size_t dot = file.find_last_of('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s MODULE.so OUTPUT.json\n", argv[0]);
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library)
    {
        std::fprintf(stderr, "cannot load %s: %s\n", argv[1], dlerror());
        return 1;
    }
    using EntryFunction = bool (*)(void*);
    using ExitFunction = bool (*)();
    using FactoryFunction = IPluginFactory* (*)();
    auto moduleEntry = reinterpret_cast<EntryFunction>(dlsym(library, "ModuleEntry"));
    auto moduleExit = reinterpret_cast<ExitFunction>(dlsym(library, "ModuleExit"));
    auto getFactory = reinterpret_cast<FactoryFunction>(dlsym(library, "GetPluginFactory"));
    if (!moduleEntry || !moduleExit || !getFactory || !moduleEntry(library))
    {
        std::fprintf(stderr, "%s lacks the VST 3 module entry points\n", argv[1]);
        return 1;
    }

    IPluginFactory* factory = getFactory();
    if (!factory)
    {
        std::fprintf(stderr, "%s returned no class factory\n", argv[1]);
        moduleExit();
        dlclose(library);
        return 1;
    }
    PFactoryInfo factoryInfo{};
    factory->getFactoryInfo(&factoryInfo);
    IPluginFactory2* factory2 = nullptr;
    factory->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2));

    std::ostringstream json;
    std::string version = "0.0.0";
    std::ostringstream classes;
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo2 info{};
        if (factory2)
        {
            if (factory2->getClassInfo2(i, &info) != kResultOk) continue;
        }
        else
        {
            PClassInfo basic{};
            if (factory->getClassInfo(i, &basic) != kResultOk) continue;
            info = PClassInfo2(basic.cid, basic.cardinality, basic.category, basic.name, 0, "", "",
                               "", "");
        }
        if (i == 0 && info.version[0]) version = field(info.version);
        classes << (i ? ",\n" : "") << "    {\n"
                << "      \"CID\": " << jsonString(classIdText(info.cid)) << ",\n"
                << "      \"Category\": " << jsonString(field(info.category)) << ",\n"
                << "      \"Name\": " << jsonString(field(info.name)) << ",\n"
                << "      \"Vendor\": " << jsonString(field(info.vendor)) << ",\n"
                << "      \"Version\": " << jsonString(field(info.version)) << ",\n"
                << "      \"SDKVersion\": " << jsonString(field(info.sdkVersion)) << ",\n"
                << "      \"Sub Categories\": " << subCategoryList(field(info.subCategories))
                << ",\n"
                << "      \"Class Flags\": " << info.classFlags << ",\n"
                << "      \"Cardinality\": " << info.cardinality << ",\n"
                << "      \"Snapshots\": []\n"
                << "    }";
    }

    json << "{\n"
         << "  \"Name\": " << jsonString(bundleName(argv[1])) << ",\n"
         << "  \"Version\": " << jsonString(version) << ",\n"
         << "  \"Factory Info\": {\n"
         << "    \"Vendor\": " << jsonString(field(factoryInfo.vendor)) << ",\n"
         << "    \"URL\": " << jsonString(field(factoryInfo.url)) << ",\n"
         << "    \"E-Mail\": " << jsonString(field(factoryInfo.email)) << ",\n"
         << "    \"Flags\": {\n"
         << "      \"Unicode\": "
         << ((factoryInfo.flags & PFactoryInfo::kUnicode) ? "true" : "false") << ",\n"
         << "      \"Classes Discardable\": "
         << ((factoryInfo.flags & PFactoryInfo::kClassesDiscardable) ? "true" : "false") << ",\n"
         << "      \"Component Non Discardable\": "
         << ((factoryInfo.flags & PFactoryInfo::kComponentNonDiscardable) ? "true" : "false")
         << "\n    }\n  },\n"
         << "  \"Compatibility\": [],\n"
         << "  \"Classes\": [\n"
         << classes.str() << "\n  ]\n}\n";

    if (factory2) factory2->release();
    factory->release();
    moduleExit();
    dlclose(library);

    std::ofstream out(argv[2]);
    out << json.str();
    if (!out)
    {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
