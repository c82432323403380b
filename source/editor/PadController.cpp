// SPDX-License-Identifier: GPL-3.0-or-later
#include "PadController.h"

#include "vstgui/CXYPad.h"

#include "public.sdk/source/vst/vsteditcontroller.h"

namespace VSTGUI
{
namespace
{
// As often as the editor redraws its meters.
constexpr uint32_t kFollowMs = 50;
} // namespace

PadController::PadController(IController* baseController,
                             Steinberg::Vst::EditController* editController,
                             Steinberg::Vst::Parameter* xParameter,
                             Steinberg::Vst::Parameter* yParameter)
    : baseController(baseController), editController(editController), xParameter(xParameter),
      yParameter(yParameter)
{
}

PadController::~PadController()
{
    if (followTimer)
        followTimer->stop();
}

void PadController::edit(Steinberg::Vst::Parameter* parameter, double value)
{
    if (!parameter || !editController)
        return;
    const Steinberg::Vst::ParamID id = parameter->getInfo().id;
    editController->setParamNormalized(id, value);
    editController->performEdit(id, parameter->getNormalized());
}

void PadController::valueChanged(CControl* control)
{
    if (control != pad || !pad)
    {
        if (baseController)
            baseController->valueChanged(control);
        return;
    }
    float x = 0;
    float y = 0;
    CXYPad::calculateXY(pad->getValue(), x, y);
    edit(xParameter, x);
    edit(yParameter, y);
    // What the user just set is already on screen.
    shownX = xParameter ? xParameter->getNormalized() : -1;
    shownY = yParameter ? yParameter->getNormalized() : -1;
}

int32_t PadController::controlModifierClicked(CControl* control, CButtonState button)
{
    if (control != pad && baseController)
        return baseController->controlModifierClicked(control, button);
    return 0;
}

void PadController::controlBeginEdit(CControl* control)
{
    if (control != pad || !pad)
    {
        if (baseController)
            baseController->controlBeginEdit(control);
        return;
    }
    if (!editController)
        return;
    if (xParameter)
        editController->beginEdit(xParameter->getInfo().id);
    if (yParameter)
        editController->beginEdit(yParameter->getInfo().id);
}

void PadController::controlEndEdit(CControl* control)
{
    if (control != pad || !pad)
    {
        if (baseController)
            baseController->controlEndEdit(control);
        return;
    }
    if (!editController)
        return;
    if (xParameter)
        editController->endEdit(xParameter->getInfo().id);
    if (yParameter)
        editController->endEdit(yParameter->getInfo().id);
}

void PadController::controlTagWillChange(CControl* control)
{
    if (control != pad && baseController)
        baseController->controlTagWillChange(control);
}

void PadController::controlTagDidChange(CControl* control)
{
    if (control != pad && baseController)
        baseController->controlTagDidChange(control);
}

int32_t PadController::getTagForName(const char* name, int32_t registeredTag) const
{
    return baseController ? baseController->getTagForName(name, registeredTag) : registeredTag;
}

IControlListener* PadController::getControlListener(const char* controlTagName)
{
    return baseController ? baseController->getControlListener(controlTagName) : nullptr;
}

CView* PadController::createView(const UIAttributes& attributes, const IUIDescription* description)
{
    return baseController ? baseController->createView(attributes, description) : nullptr;
}

CView* PadController::verifyView(CView* view, const UIAttributes& attributes,
                                 const IUIDescription* description)
{
    if (auto* found = dynamic_cast<CXYPad*>(view); found && !pad)
    {
        pad = found;
        pad->setListener(this);
        followParameters();
        followTimer = makeOwned<CVSTGUITimer>([this](CVSTGUITimer*) { followParameters(); },
                                              kFollowMs, true);
    }
    return baseController ? baseController->verifyView(view, attributes, description) : view;
}

IController* PadController::createSubController(const char* name, const IUIDescription* description)
{
    return baseController ? baseController->createSubController(name, description) : nullptr;
}

void PadController::followParameters()
{
    // The user's drag owns the pad until it ends.
    if (!pad || pad->isEditing())
        return;
    const double x = xParameter ? xParameter->getNormalized() : 0;
    const double y = yParameter ? yParameter->getNormalized() : 0;
    if (x == shownX && y == shownY)
        return;
    shownX = x;
    shownY = y;
    pad->setValue(CXYPad::calculateValue(static_cast<float>(x), static_cast<float>(y)));
}
} // namespace VSTGUI
