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

// Built on first use: the sizes are data the assembler wrote, not compile-time constants.
const NamedResource* resourceTable(std::size_t& count)
{
    static const NamedResource table[] = {
        {"vexo.uidesc", {halvane_res_uidesc, halvane_res_uidesc_size}},
        {"background.png", {halvane_res_background, halvane_res_background_size}},
        {"greymetal.png", {halvane_res_greymetal, halvane_res_greymetal_size}},
        {"chickenhead3.png", {halvane_res_chickenhead3, halvane_res_chickenhead3_size}},
        {"chickenhead2.png", {halvane_res_chickenhead2, halvane_res_chickenhead2_size}},
        {"medtoggleswitch.png", {halvane_res_medtoggleswitch, halvane_res_medtoggleswitch_size}},
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
