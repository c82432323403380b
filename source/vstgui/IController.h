// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/IControlListener.h"

#include <cstdint>

namespace VSTGUI
{

class CView;
class IUIDescription;
class UIAttributes;

// What a description asks of its controller while it builds views.
class IController : public IControlListener
{
public:
    virtual int32_t getTagForName(const char* name, int32_t registeredTag) const
    {
        (void)name;
        return registeredTag;
    }
    virtual IControlListener* getControlListener(const char* controlTagName)
    {
        (void)controlTagName;
        return this;
    }
    // Offered every node with a non-empty custom-view-name; null lets the class be created.
    virtual CView* createView(const UIAttributes& attributes, const IUIDescription* description)
    {
        (void)attributes;
        (void)description;
        return nullptr;
    }
    // Called once a view has its attributes and children. A controller that returns another
    // view disposes of the one it was given.
    virtual CView* verifyView(CView* view, const UIAttributes& attributes,
                              const IUIDescription* description)
    {
        (void)attributes;
        (void)description;
        return view;
    }
    // Offered every node with a non-empty sub-controller; the view owns what this returns.
    virtual IController* createSubController(const char* name, const IUIDescription* description)
    {
        (void)name;
        (void)description;
        return nullptr;
    }
};

} // namespace VSTGUI
