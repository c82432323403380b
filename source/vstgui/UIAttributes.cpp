// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/UIAttributes.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace VSTGUI
{

namespace
{

std::string trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

const std::string* UIAttributes::getAttributeValue(const std::string& name) const
{
    auto found = values.find(name);
    return found != values.end() ? &found->second : nullptr;
}

bool UIAttributes::stringToDouble(const std::string& text, double& d)
{
    const std::string t = trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || errno == ERANGE || !std::isfinite(v))
        return false;
    d = v;
    return true;
}

bool UIAttributes::stringToInteger(const std::string& text, int32_t& i)
{
    double d = 0;
    if (!stringToDouble(text, d) || d < std::numeric_limits<int32_t>::min()
        || d > std::numeric_limits<int32_t>::max())
        return false;
    i = static_cast<int32_t>(d);
    return true;
}

bool UIAttributes::stringToNumbers(const std::string& text, double* numbers, size_t count)
{
    size_t start = 0;
    for (size_t n = 0; n < count; ++n)
    {
        const size_t comma = text.find(',', start);
        const bool last = n + 1 == count;
        if (last != (comma == std::string::npos))
            return false;
        const std::string part = text.substr(start, last ? std::string::npos : comma - start);
        if (!stringToDouble(part, numbers[n]))
            return false;
        start = comma + 1;
    }
    return true;
}

bool UIAttributes::stringToPoint(const std::string& text, CPoint& p)
{
    double v[2];
    if (!stringToNumbers(text, v, 2))
        return false;
    p = CPoint(v[0], v[1]);
    return true;
}

bool UIAttributes::getPointAttribute(const std::string& name, CPoint& p) const
{
    const std::string* v = getAttributeValue(name);
    return v && stringToPoint(*v, p);
}

bool UIAttributes::getRectAttribute(const std::string& name, CRect& r) const
{
    const std::string* v = getAttributeValue(name);
    double n[4];
    if (!v || !stringToNumbers(*v, n, 4))
        return false;
    r = CRect(n[0], n[1], n[2], n[3]);
    return true;
}

bool UIAttributes::getBooleanAttribute(const std::string& name, bool& b) const
{
    const std::string* v = getAttributeValue(name);
    if (!v)
        return false;
    if (*v == "true")
        b = true;
    else if (*v == "false")
        b = false;
    else
        return false;
    return true;
}

bool UIAttributes::getIntegerAttribute(const std::string& name, int32_t& i) const
{
    const std::string* v = getAttributeValue(name);
    return v && stringToInteger(*v, i);
}

bool UIAttributes::getDoubleAttribute(const std::string& name, double& d) const
{
    const std::string* v = getAttributeValue(name);
    return v && stringToDouble(*v, d);
}

} // namespace VSTGUI
