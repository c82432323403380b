// SPDX-License-Identifier: GPL-3.0-or-later
#include "ControlList.h"

CControlList::CControlList(const CControlList& other)
{
    *this = other;
}

CControlList& CControlList::operator=(const CControlList& other)
{
    if (this == &other) return *this;
    clear();
    Node** link = &head;
    for (const Node* node = other.head; node; node = node->next)
    {
        Node* copy = new Node;
        copy->descriptor = node->descriptor;
        *link = copy;
        link = &copy->next;
    }
    return *this;
}

CControlList::~CControlList()
{
    clear();
}

CControlDescriptor* CControlList::appendCopy(const CControlDescriptor& descriptor)
{
    Node* node = new Node;
    node->descriptor = descriptor;
    Node** link = &head;
    while (*link)
        link = &(*link)->next;
    *link = node;
    return &node->descriptor;
}

int CControlList::count() const
{
    int result = 0;
    for (const Node* node = head; node; node = node->next)
        ++result;
    return result;
}

CControlDescriptor* CControlList::at(int position) const
{
    if (position < 0) return nullptr;
    Node* node = head;
    for (int i = 0; node && i < position; ++i)
        node = node->next;
    return node ? &node->descriptor : nullptr;
}

void CControlList::removeById(const CControlDescriptor& descriptor)
{
    // Read the id first: the descriptor may live in the node being freed.
    const uint32_t id = descriptor.controlId;
    for (Node** link = &head; *link; link = &(*link)->next)
    {
        if ((*link)->descriptor.controlId == id)
        {
            Node* found = *link;
            *link = found->next;
            delete found;
            return;
        }
    }
}

void CControlList::clear()
{
    while (head)
    {
        Node* next = head->next;
        delete head;
        head = next;
    }
}
