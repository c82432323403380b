// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PadController.h"

// The framework's pad sub-controller for descriptions that pair two parameters by identifier.
class CPadControllerQX : public VSTGUI::PadController
{
public:
    CPadControllerQX(VSTGUI::IController* baseController,
                     Steinberg::Vst::EditController* editController,
                     Steinberg::Vst::Parameter* xParameter, Steinberg::Vst::Parameter* yParameter)
        : PadController(baseController, editController, xParameter, yParameter)
    {
    }
};
