#pragma once

namespace tessaro {

/// A key/value pair as the hash table and the sparse memory keep it. Equality and order look at
/// the key only; keys are unsigned, so the order is the unsigned one.
template <typename K, typename V> struct Elem {
    K key{};
    V value{};

    friend bool operator==(const Elem& a, const Elem& b) { return a.key == b.key; }
    friend bool operator<(const Elem& a, const Elem& b) { return a.key < b.key; }
};

} // namespace tessaro
