// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/plugin-bindings/VST3Editor.h"

#include "vstgui/plugin-bindings/ParameterChangeListener.h"

#include "vstgui/CControl.h"
#include "vstgui/CFrame.h"
#include "vstgui/CVSTGUITimer.h"
#include "vstgui/Log.h"
#include "vstgui/UIDescription.h"

#include "base/source/updatehandler.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace VSTGUI
{

namespace
{
// The size a template gets when the description does not say.
constexpr CCoord kFallbackSize = 100;
} // namespace

VST3Editor::VST3Editor(EditController* controller, UTF8StringPtr templateName,
                       UTF8StringPtr xmlFile)
    : VSTGUIEditor(controller), templateName(templateName ? templateName : "")
{
    // Parameters tell their dependents about changes only through the update handler.
    UpdateHandler::instance();
    delegate = dynamic_cast<VST3EditorDelegate*>(controller);

    description = new UIDescription(xmlFile ? xmlFile : "");
    description->parse();

    CPoint size(kFallbackSize, kFallbackSize);
    if (const UIAttributes* attributes = description->getTemplateAttributes(this->templateName))
        attributes->getPointAttribute("size", size);
    if (!(size.x > 0) || !(size.y > 0)) size = CPoint(kFallbackSize, kFallbackSize);
    minSize = maxSize = size;
    if (const UIAttributes* attributes = description->getTemplateAttributes(this->templateName))
    {
        attributes->getPointAttribute("minSize", minSize);
        attributes->getPointAttribute("maxSize", maxSize);
    }
    ViewRect initial(0, 0, static_cast<int32>(size.x), static_cast<int32>(size.y));
    setRect(initial);
}

VST3Editor::~VST3Editor()
{
    // A host may release the view without removing it.
    if (frame) close();
    releaseListeners();
    description->forget();
}

bool VST3Editor::exchangeView(UTF8StringPtr name)
{
    if (!name || !description->getTemplateAttributes(name)) return false;
    templateName = name;
    recreateViewPending = true;
    return true;
}

bool PLUGIN_API VST3Editor::open(void* /*parent*/, const PlatformType& /*type*/)
{
    if (frame) close();
    const ViewRect& size = getRect();
    frame = new CFrame(CRect(0, 0, size.getWidth(), size.getHeight()), this);
    frame->registerViewAddedRemovedObserver(this);
    frame->registerMouseObserver(this);
    frame->registerKeyboardHook(this);
    buildView();
    if (delegate) delegate->didOpen(this);
    return true;
}

void PLUGIN_API VST3Editor::close()
{
    if (!frame) return;
    if (delegate) delegate->willClose(this);
    releaseListeners();
    frame->unregisterViewAddedRemovedObserver(this);
    frame->unregisterMouseObserver(this);
    frame->unregisterKeyboardHook(this);
    frame->close();
    frame = nullptr;
}

bool VST3Editor::buildView()
{
    CView* view = description->createView(templateName, this);
    if (!view)
    {
        logLine("editor: template \"" + templateName + "\" could not be built");
        return false;
    }
    const CRect& viewSize = view->getViewSize();
    frame->setSize(viewSize.getWidth(), viewSize.getHeight());
    frame->addView(view);
    bindTree(frame);
    return true;
}

CMessageResult VST3Editor::notify(CBaseObject* sender, IdStringPtr message)
{
    if (message == CVSTGUITimer::kMsgTimer && recreateViewPending && frame)
    {
        recreateViewPending = false;
        releaseListeners();
        frame->removeAll(true);
        buildView();
    }
    return VSTGUIEditor::notify(sender, message);
}

int32_t VST3Editor::getKnobMode() const
{
    switch (EditController::getHostKnobMode())
    {
    case Vst::kCircularMode: return VSTGUI::kCircularMode;
    case Vst::kRelativCircularMode: return VSTGUI::kRelativCircularMode;
    default: return VSTGUI::kLinearMode;
    }
}

bool VST3Editor::beforeSizeChange(const CRect& newSize, const CRect& oldSize)
{
    if (newSize.getWidth() < minSize.x || newSize.getWidth() > maxSize.x ||
        newSize.getHeight() < minSize.y || newSize.getHeight() > maxSize.y)
        return false;
    if (!plugFrame || !isAttached() || newSize == oldSize) return true;
    ViewRect request(0, 0, static_cast<int32>(newSize.getWidth()),
                     static_cast<int32>(newSize.getHeight()));
    return plugFrame->resizeView(this, &request) == kResultTrue;
}

tresult PLUGIN_API VST3Editor::canResize()
{
    return (minSize == maxSize) ? kResultFalse : kResultTrue;
}

tresult PLUGIN_API VST3Editor::checkSizeConstraint(ViewRect* rect)
{
    if (!rect) return kInvalidArgument;
    // The host sizes in its pixels; the limits are in layout units.
    const double scale = getContentScaleFactor();
    const auto pixels = [scale](double units) { return static_cast<int32>(std::ceil(units * scale)); };
    const int32 width = std::clamp(rect->getWidth(), pixels(minSize.x),
                                   pixels(std::max(minSize.x, maxSize.x)));
    const int32 height = std::clamp(rect->getHeight(), pixels(minSize.y),
                                    pixels(std::max(minSize.y, maxSize.y)));
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return kResultTrue;
}

tresult PLUGIN_API VST3Editor::onSize(ViewRect* newSize)
{
    if (!newSize) return kInvalidArgument;
    ViewRect constrained = *newSize;
    checkSizeConstraint(&constrained);
    return VSTGUIEditor::onSize(&constrained);
}

tresult PLUGIN_API VST3Editor::findParameter(int32 xPos, int32 yPos, ParamID& resultTag)
{
    if (!frame) return kResultFalse;
    CView* view = frame->getViewAt(CPoint(xPos, yPos), true);
    auto* control = dynamic_cast<CControl*>(view);
    if (!control || control->getTag() < 0) return kResultFalse;
    ParameterChangeListener* listener = getParameterChangeListener(control->getTag());
    if (!listener || !listener->getParameter()) return kResultFalse;
    resultTag = listener->getParameterID();
    return kResultTrue;
}

ParameterChangeListener* VST3Editor::getParameterChangeListener(int32_t tag) const
{
    auto found = listeners.find(tag);
    return found == listeners.end() ? nullptr : found->second;
}

void VST3Editor::bindTree(CView* view)
{
    if (auto* control = dynamic_cast<CControl*>(view)) bindControl(control);
    if (auto* container = dynamic_cast<CViewContainer*>(view))
        for (uint32_t i = 0; i < container->getNbViews(); ++i) bindTree(container->getView(i));
}

void VST3Editor::unbindTree(CView* view)
{
    if (auto* control = dynamic_cast<CControl*>(view)) unbindControl(control);
    if (auto* container = dynamic_cast<CViewContainer*>(view))
        for (uint32_t i = 0; i < container->getNbViews(); ++i) unbindTree(container->getView(i));
}

void VST3Editor::bindControl(CControl* control)
{
    // Only our own controls: a popup's or a sub-controller's are theirs to handle.
    if (control->getListener() != this) return;
    const int32_t tag = control->getTag();
    if (tag == -1) return;
    if (ParameterChangeListener* listener = getParameterChangeListener(tag))
    {
        listener->addControl(control);
        return;
    }
    Parameter* parameter = nullptr;
    if (controller && tag >= 0) parameter = controller->getParameterObject(static_cast<ParamID>(tag));
    if (parameter && delegate && delegate->isPrivateParameter(static_cast<ParamID>(tag)))
        parameter = nullptr;
    listeners[tag] = new ParameterChangeListener(controller, parameter, control);
}

void VST3Editor::unbindControl(CControl* control)
{
    for (auto it = listeners.begin(); it != listeners.end(); ++it)
    {
        if (!it->second->containsControl(control)) continue;
        it->second->removeControl(control);
        if (!it->second->hasControls())
        {
            it->second->detach();
            it->second->release();
            listeners.erase(it);
        }
        return;
    }
}

void VST3Editor::releaseListeners()
{
    for (auto& entry : listeners)
    {
        entry.second->detach();
        entry.second->release();
    }
    listeners.clear();
}

void VST3Editor::valueChanged(CControl* control)
{
    if (!control) return;
    if (ParameterChangeListener* listener = getParameterChangeListener(control->getTag()))
        listener->performEdit(control->getValueNormalized());
}

void VST3Editor::controlBeginEdit(CControl* control)
{
    if (!control) return;
    if (ParameterChangeListener* listener = getParameterChangeListener(control->getTag()))
        listener->beginEdit();
}

void VST3Editor::controlEndEdit(CControl* control)
{
    if (!control) return;
    if (ParameterChangeListener* listener = getParameterChangeListener(control->getTag()))
        listener->endEdit();
}

void VST3Editor::controlTagWillChange(CControl* control)
{
    if (control) unbindControl(control);
}

void VST3Editor::controlTagDidChange(CControl* control)
{
    // Controls not yet in the frame are bound when they join it.
    if (control && control->isAttached()) bindControl(control);
}

CView* VST3Editor::createView(const UIAttributes& attributes, const IUIDescription* desc)
{
    const std::string* name = attributes.getAttributeValue("custom-view-name");
    if (!delegate || !name || name->empty()) return nullptr;
    return delegate->createCustomView(name->c_str(), attributes, desc, this);
}

CView* VST3Editor::verifyView(CView* view, const UIAttributes& attributes,
                              const IUIDescription* desc)
{
    return delegate ? delegate->verifyView(view, attributes, desc, this) : view;
}

IController* VST3Editor::createSubController(const char* name, const IUIDescription* desc)
{
    if (!delegate || !name || !name[0]) return nullptr;
    return delegate->createSubController(name, desc, this);
}

void VST3Editor::onViewAdded(CFrame* /*frame*/, CView* view)
{
    if (view) bindTree(view);
}

void VST3Editor::onViewRemoved(CFrame* /*frame*/, CView* view)
{
    if (view) unbindTree(view);
}

void VST3Editor::onMouseEntered(CView* /*view*/, CFrame* /*frame*/) {}

void VST3Editor::onMouseExited(CView* /*view*/, CFrame* /*frame*/) {}

int32_t VST3Editor::onKeyDown(const VstKeyCode& /*code*/, CFrame* /*frame*/)
{
    return -1;
}

int32_t VST3Editor::onKeyUp(const VstKeyCode& /*code*/, CFrame* /*frame*/)
{
    return -1;
}

tresult PLUGIN_API VST3Editor::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, IParameterFinder::iid, IParameterFinder)
    return VSTGUIEditor::queryInterface(iid, obj);
}

} // namespace VSTGUI
