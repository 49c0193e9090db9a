#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessaro {

/// An index from 32-bit keys to pointers, for finding an element of a large container in
/// constant time: open addressing with linear probing, 16 bytes a slot, at most three quarters
/// full.
template <typename P> class KeyIndex {
public:
    /// The pointer kept for key, or nullptr.
    P* find(std::uint32_t key) const {
        if (m_slots.empty()) {
            return nullptr;
        }
        for (std::size_t at = start(key);; at = (at + 1) & m_mask) {
            const Slot& slot = m_slots[at];
            if (slot.target == nullptr || slot.key == key) {
                return slot.target;
            }
        }
    }

    /// Keeps target for key (replacing what was kept for it).
    void add(std::uint32_t key, P* target) {
        if ((m_used + 1) * 4 > m_slots.size() * 3) {
            grow();
        }
        place(key, target);
    }

    /// Forgets key (nothing happens when it is not kept). The entries after it in its probe
    /// run move back, so that no search ever stops at the hole.
    void remove(std::uint32_t key) {
        if (m_slots.empty()) {
            return;
        }
        std::size_t hole = start(key);
        while (m_slots[hole].key != key || m_slots[hole].target == nullptr) {
            if (m_slots[hole].target == nullptr) {
                return;
            }
            hole = (hole + 1) & m_mask;
        }
        for (std::size_t at = (hole + 1) & m_mask; m_slots[at].target != nullptr;
             at = (at + 1) & m_mask) {
            // An entry may fill the hole unless its probe starts after the hole (cyclically,
            // up to the entry itself): then a search for it would begin past the hole.
            const std::size_t home = start(m_slots[at].key);
            const bool startsAfterHole = ((home - hole - 1) & m_mask) < ((at - hole) & m_mask);
            if (!startsAfterHole) {
                m_slots[hole] = m_slots[at];
                hole = at;
            }
        }
        m_slots[hole] = Slot{};
        --m_used;
    }

    /// Room for n entries without growing.
    void reserve(std::size_t n) {
        if (n * 4 > m_slots.size() * 3) {
            rehash(std::bit_ceil(n * 4 / 3 + 1));
        }
    }

    void clear() {
        m_slots.clear();
        m_slots.shrink_to_fit();
        m_mask = 0;
        m_used = 0;
    }

    std::size_t size() const { return m_used; }

private:
    struct Slot {
        std::uint32_t key = 0;
        P* target = nullptr;
    };

    std::size_t start(std::uint32_t key) const {
        // Fibonacci hashing spreads the consecutive addresses of a stack over the table.
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & m_mask;
    }

    void place(std::uint32_t key, P* target) {
        for (std::size_t at = start(key);; at = (at + 1) & m_mask) {
            Slot& slot = m_slots[at];
            if (slot.target == nullptr) {
                slot = Slot{key, target};
                ++m_used;
                return;
            }
            if (slot.key == key) {
                slot.target = target;
                return;
            }
        }
    }

    void grow() { rehash(m_slots.empty() ? 64 : m_slots.size() * 2); }

    void rehash(std::size_t capacity) {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(capacity, Slot{});
        m_mask = capacity - 1;
        m_used = 0;
        for (const Slot& slot : old) {
            if (slot.target != nullptr) {
                place(slot.key, slot.target);
            }
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
};

} // namespace tessaro
