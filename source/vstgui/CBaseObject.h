// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace VSTGUI
{

using IdStringPtr = const char*;
using UTF8StringPtr = const char*;

enum CMessageResult
{
    kMessageUnknown = 0,
    kMessageNotified = 1
};

// Reference counted like VSTGUI's objects: whoever creates one holds the first reference and
// gives it up with forget(); containers take over the reference of the views added to them.
class CBaseObject
{
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;
    virtual ~CBaseObject() = default;

    void remember() { ++references; }
    void forget()
    {
        if (--references == 0)
            delete this;
    }
    int32_t getNbReference() const { return references; }

    virtual CMessageResult notify(CBaseObject* sender, IdStringPtr message)
    {
        (void)sender;
        (void)message;
        return kMessageUnknown;
    }

private:
    int32_t references = 1;
};

} // namespace VSTGUI
