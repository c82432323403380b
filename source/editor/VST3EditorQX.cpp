// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/VST3EditorQX.h"

#include "editor/EmbeddedResourceLookup.h"
#include "framework/PlugIn.h"
#include "vstgui/plugin-bindings/ParameterChangeListener.h"

#include "vstgui/CControl.h"
#include "vstgui/CFrame.h"
#include "vstgui/CTextEdit.h"
#include "vstgui/CVSTGUITimer.h"

#include "base/source/fstring.h"

using namespace Steinberg;
using namespace VSTGUI;

VST3EditorQX::VST3EditorQX(Vst::EditController* controller, UTF8StringPtr templateName,
                           UTF8StringPtr xmlFile)
    : VST3Editor(controller, templateName, Halvane::withEmbeddedResources(xmlFile))
{
    setIdleRate(kIdleRateMs);
}

VST3EditorQX::~VST3EditorQX() = default;

void VST3EditorQX::setPlugIn(CPlugIn* object)
{
    plugIn = object;
    if (!plugIn) return;
    const int count = plugIn->controlList.count();
    for (int i = 0; i < count; ++i)
        if (const CControlDescriptor* d = plugIn->controlList.at(i)) controlList.appendCopy(*d);
}

int32_t VST3EditorQX::findControlPosition(int32_t controlId) const
{
    if (!plugIn) return -1;
    const int count = controlList.count();
    for (int i = 0; i < count; ++i)
    {
        const CControlDescriptor* d = controlList.at(i);
        if (d && static_cast<int32_t>(d->controlId) == controlId) return i;
    }
    return -1;
}

void VST3EditorQX::applyLinkedUpdates(uint32_t controlId, float value, bool fromHost)
{
    if (!plugIn || !controller) return;
    CUpdateNode* list = nullptr;
    const bool collected = plugIn->collectLinkedUpdates(controlId, value, &list, fromHost);
    if (collected)
    {
        for (CUpdateNode* node = list; node; node = node->next)
        {
            const int32_t position = findControlPosition(static_cast<int32_t>(node->controlId));
            if (position < 0) continue;
            const auto id = static_cast<Vst::ParamID>(position);
            const Vst::ParamValue m = controller->plainParamToNormalized(id, node->value);
            controller->setParamNormalized(id, m);
            controller->performEdit(id, m);
        }
    }
    // A list handed back with a refusal is still the plug-in object's to free.
    if (collected || list) plugIn->releaseUpdateList(&list);
    while (list)
    {
        CUpdateNode* next = list->next;
        delete list;
        list = next;
    }
}

int32_t VST3EditorQX::getKnobMode() const
{
    switch (knobMode)
    {
    case 0: return kCircularMode;
    case 1: return kRelativCircularMode;
    case 3: return VST3Editor::getKnobMode();
    default: return kLinearMode;
    }
}

bool VST3EditorQX::beforeSizeChange(const CRect& /*newSize*/, const CRect& /*oldSize*/)
{
    return true;
}

CMessageResult VST3EditorQX::notify(CBaseObject* sender, IdStringPtr message)
{
    if (message == CVSTGUITimer::kMsgTimer && controller)
    {
        controller->receiveText("VSTGUITimerPing");
        if (frame) frame->invalid();
    }
    const bool recreating = isViewRecreationPending();
    const CMessageResult result = VST3Editor::notify(sender, message);
    if (recreating && controller) controller->receiveText("RecreateView");
    return result;
}

void VST3EditorQX::valueChanged(CControl* control)
{
    if (!control) return;
    const int32_t tag = control->getTag();
    if (ParameterChangeListener* listener = getParameterChangeListener(tag))
    {
        Vst::ParamValue value = control->getValueNormalized();
        auto* textEdit = dynamic_cast<CTextEdit*>(control);
        if (textEdit && listener->getParameter() && controller)
        {
            String wide(textEdit->getText().c_str());
            wide.toWideString(kCP_Utf8);
            Vst::String128 text = {};
            wide.copyTo16(text, 0, 127);
            if (controller->getParamValueByString(listener->getParameterID(), text, value) !=
                kResultOk)
            {
                // Text the parameter cannot read: the field shows the parameter again.
                listener->update(listener->getParameter()->unknownCast(), IDependent::kChanged);
                return;
            }
        }
        listener->performEdit(value);
    }
    if (plugIn && controller)
    {
        const Vst::ParamValue normalized = control->getValueNormalized();
        const Vst::ParamValue plain =
            controller->normalizedParamToPlain(static_cast<Vst::ParamID>(tag), normalized);
        if (tag >= 0)
            if (CControlDescriptor* d = plugIn->controlAt(static_cast<uint32_t>(tag)))
                applyLinkedUpdates(d->controlId, static_cast<float>(plain), false);
    }
}
