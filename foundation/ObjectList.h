#pragma once
#include "foundation/Exception.h"
#include "foundation/MemoryAllocator.h"

// A doubly linked list with a cursor that lookups and insertions move. An owning list deletes a value when it
// leaves the list, and also a value that it was offered but could not link.
template <typename T>
class ObjectList {
public:
    explicit ObjectList(bool owns = true) : owns(owns) {}
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;
    virtual ~ObjectList() { removeAll(); }

    bool append(T* value)
    {
        Node* node = newNode(value);
        if (!node)
            return false;
        Node* last = first;
        while (last && last->next)
            last = last->next;
        node->previous = last;
        if (last)
            last->next = node;
        else
            first = node;
        cursor = node;
        ++itemCount;
        return true;
    }

    bool insertBeforeCursor(T* value)
    {
        Node* node = newNode(value);
        if (!node)
            return false;
        Node* after = cursor ? cursor : first;
        node->next = after;
        node->previous = after ? after->previous : nullptr;
        if (node->previous)
            node->previous->next = node;
        else
            first = node;
        if (after)
            after->previous = node;
        cursor = node;
        ++itemCount;
        return true;
    }

    bool replaceAtCursor(T* value)
    {
        if (!cursor || !value)
            return insertBeforeCursor(value);
        release(cursor->value);
        cursor->value = value;
        return true;
    }

    void removeAtCursor()
    {
        Node* node = cursor;
        if (!node)
            return;
        if (node->previous)
            node->previous->next = node->next;
        else
            first = node->next;
        if (node->next)
            node->next->previous = node->previous;
        cursor = node->next ? node->next : node->previous;
        release(node->value);
        MemoryAllocator::free(node);
        --itemCount;
    }

    void removeAll()
    {
        while (first) {
            Node* node = first;
            first = node->next;
            release(node->value);
            MemoryAllocator::free(node);
        }
        cursor = nullptr;
        itemCount = 0;
    }

    // Cursor movement; each returns false when no node is left to stand on.
    bool moveToFirst()
    {
        cursor = first;
        return cursor != nullptr;
    }
    bool moveToNext()
    {
        if (cursor)
            cursor = cursor->next;
        return cursor != nullptr;
    }
    // The value under the cursor; null without a cursor.
    T* atCursor() const { return cursor ? cursor->value : nullptr; }
    // The value of the first node; null in an empty list.
    T* firstValue() const { return first ? first->value : nullptr; }

    // Moves the first node, value and all, to the front of the other list; nothing is allocated, so nothing
    // can fail. Both lists' cursors are left on no node. Nothing happens to an empty list.
    void moveFirstTo(ObjectList& other)
    {
        Node* node = first;
        if (!node)
            return;
        first = node->next;
        if (first)
            first->previous = nullptr;
        --itemCount;
        node->next = other.first;
        if (other.first)
            other.first->previous = node;
        other.first = node;
        ++other.itemCount;
        cursor = nullptr;
        other.cursor = nullptr;
    }

    int count() const { return itemCount; }

private:
    struct Node {
        T* value;
        Node* previous;
        Node* next;
    };

    Node* newNode(T* value)
    {
        if (!value) {
            SetLastError(ErrorCode::InvalidArgument);
            return nullptr;
        }
        auto node = static_cast<Node*>(MemoryAllocator::alloc(sizeof(Node)));
        if (!node) {
            release(value);
            SetLastError(ErrorCode::NoMemory);
            return nullptr;
        }
        node->value = value;
        return node;
    }

    void release(T* value)
    {
        if (owns)
            delete value;
    }

    int itemCount = 0;
    Node* first = nullptr;
    Node* cursor = nullptr;
    bool owns;
};
