// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ControlDescriptor.h"

// The registered controls in registration order. Owns its nodes.
class CControlList
{
public:
    CControlList() = default;
    CControlList(const CControlList& other);
    CControlList& operator=(const CControlList& other);
    ~CControlList();

    CControlDescriptor* appendCopy(const CControlDescriptor& descriptor);
    int count() const;
    // Null when the position is beyond the end.
    CControlDescriptor* at(int position) const;
    // Unlinks the first node with the descriptor's controlId; nothing when none matches.
    void removeById(const CControlDescriptor& descriptor);
    void clear();

private:
    struct Node
    {
        CControlDescriptor descriptor;
        Node* next = nullptr;
    };
    Node* head = nullptr;
};
