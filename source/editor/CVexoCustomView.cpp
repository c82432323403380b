// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CVexoCustomView.h"

#include "framework/PlugIn.h"
#include "sdk/ModuleEntry.h"

#include "vstgui/CFrame.h"

using namespace Steinberg;
using namespace VSTGUI;

CVexoCustomView::CVexoCustomView(Vst::EditController* controller, ViewRect* size)
    : VSTGUIEditor(controller, size)
{
}

CVexoCustomView::~CVexoCustomView()
{
    // A host may release the view without removing it first.
    if (frame) close();
}

bool PLUGIN_API CVexoCustomView::open(void* parent, const PlatformType& platformType)
{
    if (frame) close();
    frame = new CFrame(CRect(0, 0, 0, 0), this);
    frame->setTransparency(true);
    if (!plugIn) return false;
    systemWindow = parent;

    EditorMessage opening;
    opening.kind = EditorMessage::kOpenOwnEditor;
    opening.customView = static_cast<VSTGUIEditor*>(this);
    opening.parentWindow = parent;
    opening.platformType = platformType;
    opening.moduleHandle = Halvane::moduleHandle();
    opening.parameterConnector = static_cast<CVSTParameterConnector*>(this);
    opening.width = 0;
    opening.height = 0;
    if (plugIn->handleEditorMessage(&opening) == 0) return false;

    // Identifiers are counted from 0; one that no parameter has reads as 0.
    const int32 count = controller ? controller->getParameterCount() : 0;
    for (int32 i = 0; i < count; ++i)
    {
        EditorMessage value;
        value.kind = EditorMessage::kParamValueSet;
        value.controlId = static_cast<uint32_t>(i);
        value.value = controller->getParamNormalized(static_cast<Vst::ParamID>(i));
        plugIn->handleEditorMessage(&value);
    }
    frame->setSize(opening.width, opening.height);
    return true;
}

void PLUGIN_API CVexoCustomView::close()
{
    if (plugIn && systemWindow)
    {
        EditorMessage closing;
        closing.kind = EditorMessage::kCloseOwnEditor;
        closing.parentWindow = systemWindow;
        closing.moduleHandle = Halvane::moduleHandle();
        plugIn->handleEditorMessage(&closing);
        systemWindow = nullptr;
    }
    if (!frame) return;
    if (frame->getNbReference() == 1)
    {
        frame->close();
        frame = nullptr;
    }
    else
    {
        frame->forget();
    }
}

void CVexoCustomView::beginEdit(uint32_t id)
{
    if (controller) controller->beginEdit(id);
}

void CVexoCustomView::endEdit(uint32_t id)
{
    if (controller) controller->endEdit(id);
}

void CVexoCustomView::updateParameter(uint32_t id, float normalizedValue)
{
    if (!controller) return;
    controller->setParamNormalized(id, normalizedValue);
    controller->performEdit(id, normalizedValue);
}
