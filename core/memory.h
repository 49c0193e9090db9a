#pragma once

#include "core/elem.h"
#include "core/hash_table.h"
#include "core/list.h"

#include <cstdint>

namespace tessaro {

/// Sparse memory: a 20-bucket hash table whose indexing creates absent keys (with the value V{},
/// 0 for numbers, so that runs are reproducible).
template <typename K, typename V>
class Memory : public HashTable<List<Elem<K, V>>, Elem<K, V>, 20> {
public:
    using Base = HashTable<List<Elem<K, V>>, Elem<K, V>, 20>;

    /// The value at key; an absent key is created, in its bucket's ascending position.
    V& operator[](K key) {
        List<Elem<K, V>>& bucket = this->buckets[Base::bucketOf(static_cast<std::uint32_t>(key))];
        typename List<Elem<K, V>>::NodeBase* at = lastNotAbove(bucket, key);
        // Whether found or created, the element is there afterwards and the last search of the
        // table and of its bucket has succeeded.
        this->notFound = 0;
        bucket.notFound = 0;
        if (at != bucket.head && nodeValue(at).key == key) {
            return nodeValue(at).value;
        }
        Elem<K, V> created;
        created.key = key;
        return bucket.insertAfter(at, created).value;
    }

    /// The value stored at key, or nullptr; creates nothing (for readers that must not grow the
    /// memory, such as a test or a dump).
    const V* peek(K key) const {
        const List<Elem<K, V>>& bucket =
            this->buckets[Base::bucketOf(static_cast<std::uint32_t>(key))];
        typename List<Elem<K, V>>::NodeBase* at = lastNotAbove(bucket, key);
        if (at != bucket.head && nodeValue(at).key == key) {
            return &nodeValue(at).value;
        }
        return nullptr;
    }

private:
    static Elem<K, V>& nodeValue(typename List<Elem<K, V>>::NodeBase* node) {
        return static_cast<typename List<Elem<K, V>>::Node*>(node)->value;
    }

    // The last element whose key is not above key (the sentinel when there is none). Buckets
    // ascend, so walking back from the largest key stops early: the addresses a growing stack
    // creates, each above all others in its bucket, cost no walk at all.
    static typename List<Elem<K, V>>::NodeBase* lastNotAbove(const List<Elem<K, V>>& bucket,
                                                             K key) {
        typename List<Elem<K, V>>::NodeBase* at = bucket.head->prev;
        while (at != bucket.head && key < nodeValue(at).key) {
            at = at->prev;
        }
        return at;
    }
};

} // namespace tessaro
