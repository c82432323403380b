// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CRect.h"

#include <cstddef>
#include <map>
#include <string>

namespace VSTGUI
{

// A description node's attributes, name to text, in name order.
class UIAttributes
{
public:
    bool hasAttribute(const std::string& name) const { return values.count(name) != 0; }
    // Null when missing.
    const std::string* getAttributeValue(const std::string& name) const;
    void setAttribute(const std::string& name, const std::string& value) { values[name] = value; }
    void removeAttribute(const std::string& name) { values.erase(name); }
    size_t size() const { return values.size(); }
    bool empty() const { return values.empty(); }

    // False (and the output untouched) when missing or malformed.
    bool getPointAttribute(const std::string& name, CPoint& p) const;
    bool getRectAttribute(const std::string& name, CRect& r) const;
    bool getBooleanAttribute(const std::string& name, bool& b) const;
    bool getIntegerAttribute(const std::string& name, int32_t& i) const;
    bool getDoubleAttribute(const std::string& name, double& d) const;

    // "x, y" with any blanks around the comma.
    static bool stringToPoint(const std::string& text, CPoint& p);
    // Comma-separated numbers; false unless exactly count of them.
    static bool stringToNumbers(const std::string& text, double* numbers, size_t count);
    static bool stringToDouble(const std::string& text, double& d);
    static bool stringToInteger(const std::string& text, int32_t& i);

    using const_iterator = std::map<std::string, std::string>::const_iterator;
    const_iterator begin() const { return values.begin(); }
    const_iterator end() const { return values.end(); }

private:
    std::map<std::string, std::string> values;
};

} // namespace VSTGUI
