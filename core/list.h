#pragma once

#include "core/fatal.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>

namespace tessaro {

/// Circular doubly linked list with a sentinel and a remembered cursor, so that walking the
/// indexes 0, 1, 2, ... (or backwards) with operator[] costs one step per call.
///
/// T provides operator== (same key or name: what search and contains look for) and operator<
/// (the order that insert keeps).
template <typename T> class List {
public:
    struct NodeBase {
        NodeBase* next = this;
        NodeBase* prev = this;
    };
    struct Node : NodeBase {
        explicit Node(const T& v) : value(v) {}
        T value;
    };

    NodeBase* head;                ///< sentinel: next is the first element, prev the last
    NodeBase* cursor;              ///< node last returned by operator[]
    std::int32_t count = 0;        ///< number of elements
    std::int32_t cursorIndex = -1; ///< index of cursor, -1 while it is the sentinel
    std::uint8_t notFound = 0;     ///< 1 when the last search found nothing

    List() : head(allocateHead()), cursor(head) {}

    List(const List& other) : head(allocateHead()), cursor(head) { appendAll(other); }

    List& operator=(const List& other) {
        if (this != &other) {
            // The result is a fresh list: no flag of an earlier search on this one survives.
            clear();
            notFound = 0;
            appendAll(other);
        }
        return *this;
    }

    ~List() {
        clear();
        delete head;
    }

    /// Appends a copy after the last element; the cursor keeps its place and index.
    void insertTail(const T& value) {
        Node* node =
            allocateNode(value, "Errore nel metodo List<T>::insertTail(): Memoria esaurita");
        linkBefore(head, node);
    }

    /// Inserts a copy before the first element that is not smaller than it (so before equal
    /// ones); the cursor goes back to the sentinel.
    void insert(const T& value) {
        Node* node = allocateNode(value, "Errore nel metodo List<T>::insert(): Memoria esaurita");
        NodeBase* at = head->next;
        while (at != head && static_cast<Node*>(at)->value < value) {
            at = at->next;
        }
        linkBefore(at, node);
        cursor = head;
        cursorIndex = -1;
    }

    /// Links a copy right after node `at` (the sentinel: at the front), for callers that know
    /// the place already; like insert, the cursor goes back to the sentinel.
    T& insertAfter(NodeBase* at, const T& value) {
        Node* node = allocateNode(value, "Errore nel metodo List<T>::insert(): Memoria esaurita");
        linkBefore(at->next, node);
        cursor = head;
        cursorIndex = -1;
        return node->value;
    }

    /// Unlinks and frees node `at` (never the sentinel); the cursor goes back to the sentinel.
    void erase(NodeBase* at) {
        at->prev->next = at->next;
        at->next->prev = at->prev;
        delete static_cast<Node*>(at);
        --count;
        cursor = head;
        cursorIndex = -1;
    }

    /// Element i (0-based), bounds-checked; a step next to the cursor costs one link.
    T& operator[](int i) {
        if (i < 0 || i >= count) {
            fatal("Errore nel metodo List<T>::operator[](T): indice fuori limite");
        }
        if (i == cursorIndex + 1) {
            cursor = cursor->next;
        } else if (i == cursorIndex - 1) {
            cursor = cursor->prev;
        } else {
            cursor = head->next;
            for (int k = 0; k < i; ++k) {
                cursor = cursor->next;
            }
        }
        cursorIndex = i;
        return static_cast<Node*>(cursor)->value;
    }

    /// The first element equal to probe; when there is none, notFound := 1 and the probe itself
    /// is returned.
    T& search(T& probe) {
        notFound = 0;
        if (T* found = find(probe)) {
            return *found;
        }
        notFound = 1;
        return probe;
    }

    /// Whether an element equal to probe exists; notFound is left alone.
    bool contains(const T& probe) const { return find(probe) != nullptr; }

    /// The first element equal to probe, or nullptr; touches neither cursor nor notFound.
    T* find(const T& probe) const {
        for (NodeBase* at = head->next; at != head; at = at->next) {
            if (static_cast<Node*>(at)->value == probe) {
                return &static_cast<Node*>(at)->value;
            }
        }
        return nullptr;
    }

    bool empty() const { return count == 0; }
    int size() const { return count; }

    /// Removes every element; the cursor goes back to the sentinel.
    void clear() {
        NodeBase* at = head->next;
        while (at != head) {
            NodeBase* next = at->next;
            delete static_cast<Node*>(at);
            at = next;
        }
        head->next = head;
        head->prev = head;
        cursor = head;
        count = 0;
        cursorIndex = -1;
    }

    /// Front-to-back iteration that leaves the cursor alone.
    template <typename Value, typename Base> class Iterator {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = Value*;
        using reference = Value&;

        Iterator() = default;
        explicit Iterator(Base* at) : m_at(at) {}
        reference operator*() const {
            return static_cast<Node*>(const_cast<NodeBase*>(m_at))->value;
        }
        pointer operator->() const { return &**this; }
        Iterator& operator++() {
            m_at = m_at->next;
            return *this;
        }
        Iterator operator++(int) {
            Iterator old = *this;
            m_at = m_at->next;
            return old;
        }
        Iterator& operator--() {
            m_at = m_at->prev;
            return *this;
        }
        Iterator operator--(int) {
            Iterator old = *this;
            m_at = m_at->prev;
            return old;
        }
        bool operator==(const Iterator& other) const { return m_at == other.m_at; }

    private:
        Base* m_at = nullptr;
    };
    using iterator = Iterator<T, NodeBase>;
    using const_iterator = Iterator<const T, const NodeBase>;

    iterator begin() { return iterator(head->next); }
    iterator end() { return iterator(head); }
    const_iterator begin() const { return const_iterator(head->next); }
    const_iterator end() const { return const_iterator(head); }

private:
    static NodeBase* allocateHead() {
        NodeBase* sentinel = new (std::nothrow) NodeBase;
        if (sentinel == nullptr) {
            fatal("Err nel metodo costruttore List<T>::List() impos allcare memoria");
        }
        return sentinel;
    }

    static Node* allocateNode(const T& value, const char* failure) {
        Node* node = new (std::nothrow) Node(value);
        if (node == nullptr) {
            fatal(failure);
        }
        return node;
    }

    void linkBefore(NodeBase* at, Node* node) {
        node->next = at;
        node->prev = at->prev;
        at->prev->next = node;
        at->prev = node;
        ++count;
    }

    void appendAll(const List& other) {
        for (const T& value : other) {
            insertTail(value);
        }
    }
};

} // namespace tessaro
