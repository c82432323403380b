// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParameterSettings.h"

#include "RenderError.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iomanip>

using Steinberg::Vst::ParameterInfo;

namespace halvane::render
{

namespace
{

bool equalsIgnoreCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](unsigned char x, unsigned char y)
                                              { return std::tolower(x) == std::tolower(y); });
}

std::string joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& s : items)
        out += (out.empty() ? "" : ", ") + s;
    return out;
}

// True when the whole text is a number, finite or not ("nan", "inf", "1e999" count);
// `finite` tells whether it is one a parameter could take.
bool parseNumber(const std::string& text, double& value, bool& finite)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    finite = errno != ERANGE && std::isfinite(value);
    return !text.empty() && *end == '\0';
}

} // namespace

ParameterSettings::ParameterSettings(host::PluginInstance& p) : plugin(p), params(p.parameters()) {}

const host::ParameterInfo* ParameterSettings::find(const std::string& name) const
{
    for (const auto& p : params)
        if (p.title == name) return &p;
    for (const auto& p : params)
        if (equalsIgnoreCase(p.title, name)) return &p;
    return nullptr;
}

bool ParameterSettings::has(const std::string& title) const
{
    return find(title) != nullptr;
}

bool ParameterSettings::isList(const host::ParameterInfo& p) const
{
    return (p.flags & ParameterInfo::kIsList) != 0;
}

std::vector<std::string> ParameterSettings::entries(const host::ParameterInfo& p) const
{
    // A one-entry list has no steps at all.
    std::vector<std::string> list;
    const int steps = std::max(p.stepCount, 0);
    for (int i = 0; i <= steps; ++i)
        list.push_back(plugin.getParamStringByValue(p.id, steps ? double(i) / steps : 0.0));
    return list;
}

std::string ParameterSettings::rangeText(const host::ParameterInfo& p) const
{
    if (isList(p)) return joined(entries(p));
    std::string text =
        plugin.getParamStringByValue(p.id, 0.0) + " to " + plugin.getParamStringByValue(p.id, 1.0);
    if (!p.units.empty()) text += " " + p.units;
    return text;
}

std::string ParameterSettings::validNames() const
{
    std::vector<std::string> names;
    for (const auto& p : params)
        if (!(p.flags & (ParameterInfo::kIsReadOnly | ParameterInfo::kIsHidden)))
            names.push_back(p.title);
    return joined(names);
}

Setting ParameterSettings::resolve(const std::string& name, const std::string& value) const
{
    const host::ParameterInfo* p = find(name);
    if (!p || (p->flags & (ParameterInfo::kIsReadOnly | ParameterInfo::kIsHidden)))
        throw RenderError("unknown parameter \"" + name + "\"; valid names: " + validNames());

    Setting s{p->id, p->title, 0.0};
    if (isList(*p))
    {
        const std::vector<std::string> list = entries(*p);
        for (size_t pass = 0; pass < 2; ++pass)
            for (size_t i = 0; i < list.size(); ++i)
                if (pass == 0 ? list[i] == value : equalsIgnoreCase(list[i], value))
                {
                    s.normalized = p->stepCount > 0 ? double(i) / p->stepCount : 0.0;
                    return s;
                }
        throw RenderError("\"" + value + "\" is not an entry of " + p->title +
                          "; entries: " + joined(list));
    }

    const double lo = plugin.normalizedToPlain(p->id, 0.0);
    const double hi = plugin.normalizedToPlain(p->id, 1.0);
    const auto outOfRange = [&]
    { return RenderError(value + " is outside the range of " + p->title + " (" + rangeText(*p) + ")"); };
    double plain = 0.0;
    bool finite = false;
    if (parseNumber(value, plain, finite))
    {
        // A number the plug-in cannot hold is refused like any other out-of-range one; its
        // text entry would quietly clamp it.
        if (!finite) throw outOfRange();
    }
    else
    {
        // Whatever the plug-in's own text entry understands, as long as it stays in range.
        const auto n = plugin.getParamValueByString(p->id, value);
        if (!n)
            throw RenderError("\"" + value + "\" is not a value of " + p->title + " (" +
                              rangeText(*p) + ")");
        plain = plugin.normalizedToPlain(p->id, *n);
    }
    const double tolerance = 1e-9 * std::max(1.0, std::fabs(hi - lo));
    if (!(plain >= std::min(lo, hi) - tolerance && plain <= std::max(lo, hi) + tolerance))
        throw outOfRange();
    s.normalized = std::clamp(plugin.plainToNormalized(p->id, plain), 0.0, 1.0);
    return s;
}

void ParameterSettings::apply(const Setting& s)
{
    plugin.setParamNormalized(s.id, s.normalized);
    plugin.inputChanges().add(s.id, 0, s.normalized);
    // An empty block carries the change to the processor without moving audio.
    plugin.process(nullptr, 0, nullptr, 0, 0);
}

void ParameterSettings::list(std::ostream& out) const
{
    struct Row
    {
        std::string title, def, current, range;
    };
    std::vector<Row> rows{{"Parameter", "Default", "Current", "Range"}};
    for (const auto& p : params)
    {
        std::string range = rangeText(p);
        if (p.flags & ParameterInfo::kIsReadOnly) range += " (read-only)";
        rows.push_back({p.title, plugin.getParamStringByValue(p.id, p.defaultNormalized),
                        plugin.getParamStringByValue(p.id, plugin.getParamNormalized(p.id)),
                        range});
    }
    size_t w1 = 0, w2 = 0, w3 = 0;
    for (const Row& r : rows)
    {
        w1 = std::max(w1, r.title.size());
        w2 = std::max(w2, r.def.size());
        w3 = std::max(w3, r.current.size());
    }
    for (const Row& r : rows)
        out << std::left << std::setw(static_cast<int>(w1 + 2)) << r.title
            << std::setw(static_cast<int>(w2 + 2)) << r.def << std::setw(static_cast<int>(w3 + 2))
            << r.current << r.range << '\n';
}

} // namespace halvane::render
