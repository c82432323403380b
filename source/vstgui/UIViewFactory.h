// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace VSTGUI
{

class CView;
class IUIDescription;
class UIAttributes;

// Creates views by class name and applies description attributes to them.
class UIViewFactory
{
public:
    // Null for an unknown class.
    static CView* createView(const std::string& className);
    // Applies every attribute the view's class (and its bases) knows; the rest are ignored.
    // Values that would make a negative size, count or index are clamped or skipped.
    static void applyAttributes(CView* view, const UIAttributes& attributes,
                                const IUIDescription& description);
    static std::vector<std::string> classNames();
};

} // namespace VSTGUI
