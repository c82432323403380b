// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "framework/EditorMessage.h"

#include <memory>
#include <string>

class CPlugIn;
class CustomViewRequest;

namespace Steinberg::Vst
{
class EditController;
}

namespace VSTGUI
{
class CView;
class IController;
class IUIDescription;
class UIAttributes;
} // namespace VSTGUI

// Builds the framework's own views and pad sub-controllers for the names an editor
// description asks for; other names go to the plug-in object as a custom view request.
// Every method declines (returns null) without a plug-in object.
class CustomViewFactory
{
public:
    // Both are the host binding's and outlive the factory; the message is the one the editor
    // shares with the plug-in object.
    CustomViewFactory(Steinberg::Vst::EditController& controller, EditorMessage& message);
    ~CustomViewFactory();
    CustomViewFactory(const CustomViewFactory&) = delete;
    CustomViewFactory& operator=(const CustomViewFactory&) = delete;

    // Null when the node's own class should be built instead.
    VSTGUI::CView* createCustomView(CPlugIn* plugIn, const char* name,
                                    const VSTGUI::UIAttributes& attributes,
                                    const VSTGUI::IUIDescription* description,
                                    VSTGUI::IController* editor);
    VSTGUI::IController* createSubController(CPlugIn* plugIn, const char* name,
                                             const VSTGUI::IUIDescription* description,
                                             VSTGUI::IController* editor);

private:
    VSTGUI::CView* createKickButton(const std::string& name, const VSTGUI::UIAttributes& attributes,
                                    const VSTGUI::IUIDescription& description);
    VSTGUI::CView* createPad(const std::string& name, const VSTGUI::UIAttributes& attributes,
                             const VSTGUI::IUIDescription& description);
    VSTGUI::CView* createUnitsView(bool editable, CPlugIn& plugIn,
                                   const VSTGUI::UIAttributes& attributes,
                                   const VSTGUI::IUIDescription& description);
    VSTGUI::CView* createMeter(const std::string& name, bool analog, CPlugIn& plugIn,
                               const VSTGUI::UIAttributes& attributes);
    VSTGUI::CView* askPlugIn(const std::string& name, CPlugIn& plugIn,
                             const VSTGUI::UIAttributes& attributes,
                             const VSTGUI::IUIDescription& description);

    Steinberg::Vst::EditController& controller;
    EditorMessage& message;
    // The message points into the last request until the next one.
    std::unique_ptr<CustomViewRequest> lastRequest;
};
