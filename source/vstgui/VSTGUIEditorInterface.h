// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CRect.h"

#include <cstdint>

namespace VSTGUI
{

class CFrame;

enum CKnobMode : int32_t
{
    kCircularMode = 0,
    kRelativCircularMode,
    kLinearMode
};

// What the frame and its controls ask of the editor that owns them.
class VSTGUIEditorInterface
{
public:
    virtual ~VSTGUIEditorInterface() = default;

    // -1: the controls' default (circular).
    virtual int32_t getKnobMode() const { return -1; }
    // False refuses the frame's size change.
    virtual bool beforeSizeChange(const CRect& newSize, const CRect& oldSize)
    {
        (void)newSize;
        (void)oldSize;
        return true;
    }
    virtual CFrame* getFrame() const { return nullptr; }
};

} // namespace VSTGUI
