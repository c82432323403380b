// SPDX-License-Identifier: GPL-3.0-or-later
#include "UnitsText.h"

namespace UnitsText
{
namespace
{
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}
} // namespace

std::string trimmed(const char* unitsText)
{
    if (unitsText == nullptr)
        return {};
    std::string text(unitsText);
    size_t begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    size_t end = text.size();
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string withSuffix(const std::string& text, const std::string& suffix)
{
    if (suffix.empty())
        return text;
    return text + ' ' + suffix;
}
} // namespace UnitsText
