// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CViewContainer.h"
#include "vstgui/IFrameObservers.h"
#include "vstgui/VSTGUIEditorInterface.h"

#include <vector>

namespace VSTGUI
{

// The root of a view tree. Platform input arrives through the platformOn... calls (from a window
// backend, or injected by a test), in frame coordinates.
class CFrame : public CViewContainer
{
public:
    CFrame(const CRect& size, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    // Removes every view and gives up the creation reference.
    void close();

    VSTGUIEditorInterface* getEditor() const { return editor; }
    void setPlatformFrame(IPlatformFrame* platform) { platformFrame = platform; }
    IPlatformFrame* getPlatformFrame() const { return platformFrame; }

    // Asks the editor first; false when it refuses.
    bool setSize(CCoord width, CCoord height);

    // The old focus view gets looseFocus before the new one gets takeFocus.
    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }
    // While set, every mouse and key event goes to this view (a popup) alone.
    void setModalView(CView* view);
    CView* getModalView() const { return modalView; }

    void registerKeyboardHook(IKeyboardHook* hook);
    void unregisterKeyboardHook(IKeyboardHook* hook);
    void registerMouseObserver(IMouseObserver* observer);
    void unregisterMouseObserver(IMouseObserver* observer);
    void registerViewAddedRemovedObserver(IViewAddedRemovedObserver* observer);
    void unregisterViewAddedRemovedObserver(IViewAddedRemovedObserver* observer);

    CMouseEventResult platformOnMouseDown(CPoint where, const CButtonState& buttons);
    CMouseEventResult platformOnMouseMoved(CPoint where, const CButtonState& buttons);
    CMouseEventResult platformOnMouseUp(CPoint where, const CButtonState& buttons);
    bool platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, float distance,
                              const CButtonState& buttons);
    bool platformOnKeyDown(VstKeyCode& keyCode);
    bool platformOnKeyUp(VstKeyCode& keyCode);
    // Draws the whole tree clipped to rect (frame coordinates).
    void platformDrawRect(CDrawContext* context, const CRect& rect);

    // Called on every editor timer tick; offscreen there is nothing to flush.
    virtual void idle() {}

    // What has been invalidated since the last clearDirtyRect.
    const CRect& getDirtyRect() const { return dirtyRect; }
    void clearDirtyRect() { dirtyRect = CRect(); }

    void invalid() override;
    void invalidRect(const CRect& rect) override;

    // Containers call these so focus, modal view and observers never keep a removed view.
    void onViewAdded(CView* view);
    void onViewRemoved(CView* view);

private:
    VSTGUIEditorInterface* editor;
    IPlatformFrame* platformFrame = nullptr;
    CView* focusView = nullptr;
    CView* modalView = nullptr;
    CView* mouseOverView = nullptr;
    CRect dirtyRect;
    std::vector<IKeyboardHook*> keyboardHooks;
    std::vector<IMouseObserver*> mouseObservers;
    std::vector<IViewAddedRemovedObserver*> viewObservers;
};

} // namespace VSTGUI
