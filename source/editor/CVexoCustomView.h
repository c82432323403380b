// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/CVSTParameterConnector.h"
#include "sdk/VSTGUIEditor.h"

class CPlugIn;

// The editor view of a plug-in object that draws its own editor: the frame is an empty,
// transparent one the plug-in object sizes, and parameter edits come back through the
// connector.
class CVexoCustomView : public CVSTParameterConnector, public Steinberg::Vst::VSTGUIEditor
{
public:
    CVexoCustomView(Steinberg::Vst::EditController* controller, Steinberg::ViewRect* size);
    ~CVexoCustomView() override;

    bool PLUGIN_API open(void* parent, const VSTGUI::PlatformType& platformType) override;
    void PLUGIN_API close() override;

    // CVSTParameterConnector
    void beginEdit(uint32_t id) override;
    void endEdit(uint32_t id) override;
    void updateParameter(uint32_t id, float normalizedValue) override;

    // Not owned; the controller that owns it outlives this view.
    CPlugIn* plugIn = nullptr;
};
