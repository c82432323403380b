// SPDX-License-Identifier: GPL-3.0-or-later
// The editor side of the binding: the view the host asks for and the editor's messages to the
// plug-in object.
#include "binding/Processor.h"

#include "editor/CVexoCustomView.h"
#include "editor/VST3EditorQX.h"
#include "framework/PlugIn.h"

#include <cstring>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

IPlugView* PLUGIN_API Processor::createView(FIDString name)
{
    if (!plugIn || !name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
    if (!plugIn->hasEditorDescription) return nullptr;

    EditorMessage ask;
    ask.kind = EditorMessage::kWantsOwnEditor;
    ask.wantsOwnEditor = false;
    plugIn->handleEditorMessage(&ask);
    if (ask.wantsOwnEditor)
    {
        ViewRect initial(0, 0, 100, 100);
        auto* view = new CVexoCustomView(this, &initial);
        view->plugIn = plugIn;
        return view;
    }

    auto* editor = new VST3EditorQX(this, "Editor", "vexo.uidesc");
    editor->knobMode = plugIn->knobMode;
    editor->setPlugIn(plugIn);
    return editor;
}

tresult Processor::receiveText(const char8* text)
{
    if (!plugIn || !text) return kResultOk;
    if (std::strcmp(text, "VSTGUITimerPing") == 0)
    {
        // A tick carries nothing but its kind; the rest of the record stays as it was.
        editorMessage.kind = EditorMessage::kEditorTick;
        plugIn->handleEditorMessage(&editorMessage);
    }
    else if (std::strcmp(text, "RecreateView") == 0)
    {
        sendEditorOpenClose(EditorMessage::kEditorOpened);
    }
    return kResultOk;
}

void Processor::didOpen(VSTGUI::VST3Editor* editor)
{
    if (plugIn && editor) sendEditorOpenClose(EditorMessage::kEditorOpened);
}

void Processor::willClose(VSTGUI::VST3Editor* /*editor*/)
{
    if (plugIn) sendEditorOpenClose(EditorMessage::kEditorClosing);
}

void Processor::sendEditorOpenClose(uint32 kind)
{
    editorMessage.kind = kind;
    editorMessage.customViewName = "";
    editorMessage.text = "";
    editorMessage.customView = nullptr;
    editorMessage.controlListener = nullptr;
    editorMessage.wantsOwnEditor = false;
    plugIn->handleEditorMessage(&editorMessage);
}

VSTGUI::CView* Processor::createCustomView(VSTGUI::UTF8StringPtr name,
                                           const VSTGUI::UIAttributes& attributes,
                                           const VSTGUI::IUIDescription* description,
                                           VSTGUI::VST3Editor* editor)
{
    return customViews.createCustomView(plugIn, name, attributes, description, editor);
}

VSTGUI::IController* Processor::createSubController(VSTGUI::UTF8StringPtr name,
                                                    const VSTGUI::IUIDescription* description,
                                                    VSTGUI::VST3Editor* editor)
{
    return customViews.createSubController(plugIn, name, description, editor);
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
