// SPDX-License-Identifier: GPL-3.0-or-later
#include "CustomViewFactory.h"

#include "CKickButtonQX.h"
#include "CPadControllerQX.h"
#include "CTextEditQX.h"
#include "CTextLabelQX.h"
#include "CVuMeterQX.h"
#include "CXYPadQX.h"
#include "CustomViewRequest.h"
#include "ViewNameRules.h"

#include "framework/PlugIn.h"

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "vstgui/CBitmap.h"
#include "vstgui/IUIDescription.h"
#include "vstgui/SharedPointer.h"
#include "vstgui/UIAttributes.h"

#include <cstdlib>
#include <initializer_list>

using namespace VSTGUI;
using namespace ViewNameRules;

namespace
{
// Meters are fed at the editor's redraw rate.
constexpr float kMeterRate = 20.f;
constexpr Steinberg::Vst::ParamID kVectorJoystickX = 0x8005;
constexpr Steinberg::Vst::ParamID kVectorJoystickY = 0x8006;

bool hasAll(const UIAttributes& attributes, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (!attributes.hasAttribute(name))
            return false;
    return true;
}

const std::string& text(const UIAttributes& attributes, const char* name)
{
    static const std::string none;
    const std::string* value = attributes.getAttributeValue(name);
    return value ? *value : none;
}

CPoint point(const UIAttributes& attributes, const char* name)
{
    CPoint p;
    CustomViewRequest::parsePoint(text(attributes, name), p);
    return p;
}

CRect viewRect(const UIAttributes& attributes)
{
    const CPoint origin = point(attributes, "origin");
    const CPoint size = point(attributes, "size");
    return CRect(origin.x, origin.y, origin.x + size.x, origin.y + size.y);
}

// The view takes its own reference; ours ends here.
SharedPointer<CBitmap> bitmap(const UIAttributes& attributes, const char* name)
{
    return makeOwned<CBitmap>(bitmapResourceName(text(attributes, name)));
}

CColor color(const IUIDescription& description, const std::string& name)
{
    CColor c;
    if (!description.getColor(name, c))
        c = kWhiteCColor;
    return c;
}
} // namespace

CustomViewFactory::CustomViewFactory(Steinberg::Vst::EditController& controller,
                                     EditorMessage& message)
    : controller(controller), message(message)
{
}

CustomViewFactory::~CustomViewFactory() = default;

CView* CustomViewFactory::createCustomView(CPlugIn* plugIn, const char* rawName,
                                           const UIAttributes& attributes,
                                           const IUIDescription* description, IController* editor)
{
    (void)editor; // listeners come from the description, which asks the editor
    if (!plugIn || !rawName || !description || rawName[0] == '\0')
        return nullptr;
    const std::string name(rawName);
    if (kickButtonNotifyMode(name) >= 0)
        return createKickButton(name, attributes, *description);
    if (name == "TrackPad" || name == "Joystick")
        return createPad(name, attributes, *description);
    if (name == "UnitsEdit")
        return createUnitsView(true, *plugIn, attributes, *description);
    if (name == "UnitsLabel")
        return createUnitsView(false, *plugIn, attributes, *description);
    const bool meterAttributes = hasAll(attributes, {"size", "origin", "bitmap", "off-bitmap", "num-led"});
    if (meterAttributes && name.find("AnalogMeterView") != std::string::npos)
        return createMeter(name, true, *plugIn, attributes);
    if (meterAttributes && (name == "InvertedMeterView" || name == "MeterView"))
        return createMeter(name, false, *plugIn, attributes);
    return askPlugIn(name, *plugIn, attributes, *description);
}

CView* CustomViewFactory::createKickButton(const std::string& name, const UIAttributes& attributes,
                                           const IUIDescription& description)
{
    if (!hasAll(attributes, {"size", "origin", "bitmap", "control-tag", "background-offset"}))
        return nullptr;
    const std::string& tagName = text(attributes, "control-tag");
    const CPoint offset = point(attributes, "background-offset");
    auto* button = new CKickButtonQX(viewRect(attributes), description.getControlListener(tagName),
                                     description.getTagForName(tagName),
                                     bitmap(attributes, "bitmap").get(), offset);
    button->notifyMode = kickButtonNotifyMode(name);
    return button;
}

CView* CustomViewFactory::createPad(const std::string& name, const UIAttributes& attributes,
                                    const IUIDescription& description)
{
    if (!hasAll(attributes, {"size", "origin", "back-color", "frame-color", "font-color",
                             "frame-width", "round-rect-radius", "style-round-rect",
                             "style-no-frame"}))
        return nullptr;
    auto* pad = new CXYPadQX(viewRect(attributes));
    pad->joystickMode = name == "Joystick";
    pad->setBackColor(color(description, text(attributes, "back-color")));
    pad->setFrameColor(color(description, text(attributes, "frame-color")));
    pad->setFontColor(color(description, text(attributes, "font-color")));
    pad->setFrameWidth(parseInteger(text(attributes, "frame-width")));
    pad->setRoundRectRadius(parseInteger(text(attributes, "round-rect-radius")));
    int32_t style = pad->getStyle();
    if (parseFlag(text(attributes, "style-round-rect")))
        style |= kRoundRectStyle;
    else
        style &= ~kRoundRectStyle;
    pad->setStyle(style);
    if (parseFlag(text(attributes, "style-no-frame")))
        style |= kNoFrame;
    else
        style &= ~kNoFrame;
    pad->setStyle(style);
    return pad;
}

CView* CustomViewFactory::createUnitsView(bool editable, CPlugIn& plugIn,
                                          const UIAttributes& attributes,
                                          const IUIDescription& description)
{
    if (!hasAll(attributes, {"origin", "size", "title", "control-tag"}))
        return nullptr;
    const std::string& tagName = text(attributes, "control-tag");
    const int32_t tag = description.getTagForName(tagName);
    const CControlDescriptor* control = tag >= 0 ? plugIn.controlList.at(tag) : nullptr;
    if (!control)
        return nullptr;
    SharedPointer<CBitmap> background;
    if (!text(attributes, "bitmap").empty())
        background = bitmap(attributes, "bitmap");
    const std::string& title = text(attributes, "title");
    if (editable)
    {
        auto* edit = new CTextEditQX(viewRect(attributes), description.getControlListener(tagName),
                                     tag, title, background.get(), 0);
        edit->setUnitsSuffix(control->unitsText);
        return edit;
    }
    auto* label = new CTextLabelQX(viewRect(attributes), title, background.get(), 0);
    label->setUnitsSuffix(control->unitsText);
    return label;
}

CView* CustomViewFactory::createMeter(const std::string& name, bool analog, CPlugIn& plugIn,
                                      const UIAttributes& attributes)
{
    const bool inverted = analog ? name.find("InvertedAnalogMeterView") != std::string::npos
                                 : name == "InvertedMeterView";
    const std::string& leds = text(attributes, "num-led");
    auto* meter = new CVuMeterQX(viewRect(attributes), bitmap(attributes, "bitmap").get(),
                                 bitmap(attributes, "off-bitmap").get(), parseInteger(leds),
                                 inverted, analog, CVuMeter::kVertical);
    if (analog)
    {
        const AnalogMeterName frames = parseAnalogMeterName(name);
        meter->setFrameHeight(frames.frameHeight);
        meter->setFrameCount(std::atof(leds.c_str()));
        meter->setZeroFrame(frames.zeroFrame);
    }
    // Without a control name the meter keeps the detector it was built with.
    const std::string* controlName = attributes.getAttributeValue("control-tag");
    if (!controlName)
        return meter;
    for (int i = 0; i < plugIn.controlList.count(); ++i)
    {
        const CControlDescriptor* d = plugIn.controlList.at(i);
        if (*controlName != d->displayName || (analog && !d->meterVariable))
            continue;
        meter->setupMeterEnvelope(kMeterRate, d->meterAttackMs, d->meterReleaseMs, true,
                                  static_cast<int32_t>(d->meterDetectMode), d->meterIsLog);
    }
    return meter;
}

CView* CustomViewFactory::askPlugIn(const std::string& name, CPlugIn& plugIn,
                                    const UIAttributes& attributes,
                                    const IUIDescription& description)
{
    lastRequest = std::make_unique<CustomViewRequest>(name.c_str(), attributes, &description);
    lastRequest->fill(message);
    return reinterpret_cast<CView*>(plugIn.handleEditorMessage(&message));
}

IController* CustomViewFactory::createSubController(CPlugIn* plugIn, const char* rawName,
                                                    const IUIDescription* description,
                                                    IController* editor)
{
    (void)description;
    if (!plugIn || !rawName)
        return nullptr;
    const PadControllerName pad = parseSubControllerName(rawName);
    switch (pad.kind)
    {
    case PadControllerName::kVectorJoystick:
        return new PadController(editor, &controller, controller.getParameterObject(kVectorJoystickX),
                                 controller.getParameterObject(kVectorJoystickY));
    case PadControllerName::kParameterPair:
        return new CPadControllerQX(editor, &controller,
                                    controller.getParameterObject(static_cast<uint32_t>(pad.xId)),
                                    controller.getParameterObject(static_cast<uint32_t>(pad.yId)));
    case PadControllerName::kNone:
        break;
    }
    return nullptr;
}
