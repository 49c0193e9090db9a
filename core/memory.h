#pragma once

#include "core/elem.h"
#include "core/hash_table.h"
#include "core/key_index.h"
#include "core/list.h"

#include <cstdint>

namespace tessaro {

/// Sparse memory: a 20-bucket hash table whose indexing creates absent keys (with the value V{},
/// 0 for numbers, so that runs are reproducible).
///
/// Finding a key takes constant time whatever the size, through an index of the nodes beside
/// the buckets (a view that reads thousands of words of a memory of millions must not walk the
/// lists). The index follows what goes through Memory itself; entries appended to a bucket
/// directly are noticed by the changed element count and indexed at the next lookup. Whoever
/// empties a bucket directly calls clear() or forgetIndex() afterwards.
template <typename K, typename V>
class Memory : public HashTable<List<Elem<K, V>>, Elem<K, V>, 20> {
public:
    using Base = HashTable<List<Elem<K, V>>, Elem<K, V>, 20>;
    using NodeBase = typename List<Elem<K, V>>::NodeBase;

    Memory() = default;
    // The index points into the other memory's nodes: a copy builds its own when asked.
    Memory(const Memory& other) : Base(other) {}
    Memory& operator=(const Memory& other) {
        if (this != &other) {
            Base::operator=(other);
            forgetIndex();
        }
        return *this;
    }

    /// The value at key; an absent key is created, in its bucket's ascending position.
    V& operator[](K key) {
        List<Elem<K, V>>& bucket = this->buckets[Base::bucketOf(static_cast<std::uint32_t>(key))];
        // Whether found or created, the element is there afterwards and the last search of the
        // table and of its bucket has succeeded.
        this->notFound = 0;
        bucket.notFound = 0;
        if (NodeBase* found = findNode(key)) {
            return nodeValue(found).value;
        }
        Elem<K, V> created;
        created.key = key;
        NodeBase* before = lastNotAbove(bucket, key);
        V& value = bucket.insertAfter(before, created).value;
        m_index.add(static_cast<std::uint32_t>(key), before->next);
        ++m_indexedCount;
        return value;
    }

    /// The value stored at key, or nullptr; creates nothing (for readers that must not grow the
    /// memory, such as a view or a dump).
    const V* peek(K key) const {
        NodeBase* found = findNode(key);
        return found != nullptr ? &nodeValue(found).value : nullptr;
    }

    /// Removes the element at key, if any (a word created by mistake, or undone).
    void erase(K key) {
        NodeBase* found = findNode(key);
        if (found == nullptr) {
            return;
        }
        this->buckets[Base::bucketOf(static_cast<std::uint32_t>(key))].erase(found);
        m_index.remove(static_cast<std::uint32_t>(key));
        --m_indexedCount;
    }

    /// Adds elem in its bucket's ascending position, as the hash table does.
    void insert(const Elem<K, V>& elem) {
        Base::insert(elem);
        forgetIndex();
    }

    /// Removes every element.
    void clear() {
        Base::clear();
        forgetIndex();
    }

    /// Drops the index; the next lookup builds it again from the buckets.
    void forgetIndex() {
        m_index.clear();
        m_indexedCount = -1;
    }

private:
    static Elem<K, V>& nodeValue(NodeBase* node) {
        return static_cast<typename List<Elem<K, V>>::Node*>(node)->value;
    }

    NodeBase* findNode(K key) const {
        if (this->elementCount() != m_indexedCount) {
            rebuildIndex();
        }
        return m_index.find(static_cast<std::uint32_t>(key));
    }

    void rebuildIndex() const {
        m_index.clear();
        m_index.reserve(static_cast<std::size_t>(this->elementCount()));
        for (const List<Elem<K, V>>& bucket : this->buckets) {
            for (NodeBase* at = bucket.head->next; at != bucket.head; at = at->next) {
                m_index.add(static_cast<std::uint32_t>(nodeValue(at).key), at);
            }
        }
        m_indexedCount = this->elementCount();
    }

    // The last element whose key is not above key (the sentinel when there is none), where a
    // new key goes. Buckets ascend, so walking back from the largest key stops early: the
    // addresses a growing stack creates, each above all others in its bucket, cost no walk.
    static NodeBase* lastNotAbove(const List<Elem<K, V>>& bucket, K key) {
        NodeBase* at = bucket.head->prev;
        while (at != bucket.head && key < nodeValue(at).key) {
            at = at->prev;
        }
        return at;
    }

    mutable KeyIndex<NodeBase> m_index;
    mutable int m_indexedCount = -1;
};

} // namespace tessaro
