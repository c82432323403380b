// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CBaseObject.h"

#include "pluginterfaces/vst/vsttypes.h"

namespace VSTGUI
{

class CView;
class IController;
class IUIDescription;
class UIAttributes;
class VST3Editor;

// What a controller may add to an editor built from a description: views and sub-controllers
// by name, and word of the editor opening and closing. Every default leaves the description
// in charge.
class VST3EditorDelegate
{
public:
    virtual ~VST3EditorDelegate() = default;

    virtual CView* createCustomView(UTF8StringPtr /*name*/, const UIAttributes& /*attributes*/,
                                    const IUIDescription* /*description*/,
                                    VST3Editor* /*editor*/)
    {
        return nullptr;
    }
    virtual CView* verifyView(CView* view, const UIAttributes& /*attributes*/,
                              const IUIDescription* /*description*/, VST3Editor* /*editor*/)
    {
        return view;
    }
    virtual bool isPrivateParameter(const Steinberg::Vst::ParamID /*paramID*/) { return false; }
    virtual void didOpen(VST3Editor* /*editor*/) {}
    virtual void willClose(VST3Editor* /*editor*/) {}
    virtual IController* createSubController(UTF8StringPtr /*name*/,
                                             const IUIDescription* /*description*/,
                                             VST3Editor* /*editor*/)
    {
        return nullptr;
    }
};

} // namespace VSTGUI
