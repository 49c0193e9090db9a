#pragma once

#include "core/fatal.h"

#include <cstdint>
#include <memory>
#include <new>

namespace tessaro {

/// Fixed-size, bounds-checked array that can be read back to front (reversed = 1 makes index i
/// the physical element size-1-i).
template <typename T> class Array {
public:
    std::unique_ptr<T[]> data;
    std::uint8_t reversed = 0;
    std::int32_t size;

    explicit Array(int n) : data(allocate(n)), size(n) {}

    /// Copies in logical order, so a reversed source ends up in physical order.
    Array(const Array& other) : data(allocate(other.size)), size(other.size) {
        for (int i = 0; i < size; ++i) {
            data[i] = const_cast<Array&>(other)[i];
        }
    }

    Array& operator=(const Array&) = delete;

    T& operator[](int i) {
        if (i < 0 || i >= size) {
            fatal("Errore nella funzione Array::operator[](int)\nIndice fuori limite");
        }
        return reversed ? data[size - 1 - i] : data[i];
    }

private:
    static std::unique_ptr<T[]> allocate(int n) {
        T* raw = n >= 0 ? new (std::nothrow) T[static_cast<std::size_t>(n)]() : nullptr;
        if (raw == nullptr) {
            fatal("Errore nella funzione Array::Array");
        }
        return std::unique_ptr<T[]>(raw);
    }
};

} // namespace tessaro
