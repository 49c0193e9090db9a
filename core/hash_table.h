#pragma once

#include <cstdint>

namespace tessaro {

/// Buckets sorted lists of elements by key modulo Buckets (the key taken as unsigned 32-bit);
/// within a bucket the keys ascend.
template <typename ListT, typename ElemT, int Buckets> class HashTable {
public:
    std::uint8_t notFound = 0; ///< 1 when the last search or contains found nothing
    ListT buckets[Buckets];

    static int bucketOf(std::uint32_t key) { return static_cast<int>(key % Buckets); }

    void insert(const ElemT& elem) {
        ListT& bucket = buckets[bucketOf(static_cast<std::uint32_t>(elem.key))];
        bucket.insert(elem);
        notFound = bucket.notFound;
    }

    ElemT& search(ElemT& probe) {
        ListT& bucket = buckets[bucketOf(static_cast<std::uint32_t>(probe.key))];
        ElemT& found = bucket.search(probe);
        notFound = bucket.notFound;
        return found;
    }

    template <typename K> bool contains(K key) {
        ElemT probe;
        probe.key = key;
        const bool found = buckets[bucketOf(static_cast<std::uint32_t>(key))].contains(probe);
        notFound = found ? 0 : 1;
        return found;
    }

    HashTable() = default;
    HashTable(const HashTable&) = default;
    HashTable& operator=(const HashTable& other) {
        if (this != &other) {
            notFound = other.notFound;
            for (int i = 0; i < Buckets; ++i) {
                buckets[i] = other.buckets[i];
            }
        }
        return *this;
    }

    /// Number of elements over all buckets.
    int elementCount() const {
        int n = 0;
        for (const ListT& bucket : buckets) {
            n += bucket.count;
        }
        return n;
    }

    void clear() {
        for (ListT& bucket : buckets) {
            bucket.clear();
        }
        notFound = 0;
    }
};

} // namespace tessaro
