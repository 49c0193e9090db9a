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

    V& operator[](K key) {
        Elem<K, V> probe;
        probe.key = key;
        Elem<K, V>& found = this->search(probe);
        if (this->notFound == 0) {
            return found.value;
        }
        this->insert(probe);
        // The search after the insert finds the new element and clears the not-found flags; the
        // reference is taken through find so that it can never be the local probe (search hands
        // the probe back on a miss, which optimising compilers rightly reject as a return value).
        this->search(probe);
        return this->buckets[Base::bucketOf(static_cast<std::uint32_t>(key))].find(probe)->value;
    }

    /// The value stored at key, or nullptr; creates nothing (for readers that must not grow the
    /// memory, such as a test or a dump).
    const V* peek(K key) const {
        Elem<K, V> probe;
        probe.key = key;
        const Elem<K, V>* found = this->buckets[Base::bucketOf(static_cast<std::uint32_t>(key))].find(probe);
        return found != nullptr ? &found->value : nullptr;
    }
};

} // namespace tessaro
