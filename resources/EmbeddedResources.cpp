// SPDX-License-Identifier: GPL-3.0-or-later
#include "EmbeddedResources.h"

#include <cstdint>

#define HALVANE_DECLARE_RESOURCE(symbol)                                                           \
    extern const unsigned char symbol[];                                                           \
    extern const std::uint64_t symbol##_size;

extern "C"
{
    HALVANE_DECLARE_RESOURCE(halvane_res_uidesc)
    HALVANE_DECLARE_RESOURCE(halvane_res_background)
    HALVANE_DECLARE_RESOURCE(halvane_res_greymetal)
    HALVANE_DECLARE_RESOURCE(halvane_res_chickenhead3)
    HALVANE_DECLARE_RESOURCE(halvane_res_chickenhead2)
    HALVANE_DECLARE_RESOURCE(halvane_res_medtoggleswitch)
}

namespace Halvane
{
namespace
{
struct NamedResource
{
    const char* name;
    EmbeddedResource resource;
};

#define HALVANE_RESOURCE(name, symbol)                                                             \
    {                                                                                              \
        name, { symbol, static_cast<std::size_t>(symbol##_size) }                                  \
    }

// Built on first use: the sizes are data the assembler wrote, not compile-time constants.
const NamedResource* resourceTable(std::size_t& count)
{
    static const NamedResource table[] = {
        HALVANE_RESOURCE("vexo.uidesc", halvane_res_uidesc),
        HALVANE_RESOURCE("background.png", halvane_res_background),
        HALVANE_RESOURCE("greymetal.png", halvane_res_greymetal),
        HALVANE_RESOURCE("chickenhead3.png", halvane_res_chickenhead3),
        HALVANE_RESOURCE("chickenhead2.png", halvane_res_chickenhead2),
        HALVANE_RESOURCE("medtoggleswitch.png", halvane_res_medtoggleswitch),
    };
    count = sizeof(table) / sizeof(table[0]);
    return table;
}

// Resource names are looked up without regard to case, as Windows does for the module's own.
bool sameName(const char* a, const char* b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (; *a && *b; ++a, ++b)
        if (lower(static_cast<unsigned char>(*a)) != lower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}
} // namespace

const EmbeddedResource* findEmbeddedResource(const char* name)
{
    if (!name)
        return nullptr;
    std::size_t count = 0;
    const NamedResource* table = resourceTable(count);
    for (std::size_t i = 0; i < count; ++i)
        if (sameName(table[i].name, name))
            return &table[i].resource;
    return nullptr;
}
} // namespace Halvane
