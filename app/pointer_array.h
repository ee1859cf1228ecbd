// SPDX-License-Identifier: MIT
// A small growable array of pointers, as the message loop keeps its filters and idle handlers:
// adding never throws (it reports FALSE), removal takes the first equal element, and indexing
// outside the array raises EXCEPTION_ARRAY_BOUNDS_EXCEEDED.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <type_traits>

template <class T>
class CPointerArray {
    static_assert(std::is_pointer_v<T>, "CPointerArray holds pointers");

public:
    static constexpr int kMaxCapacity = 0x1FFFFFFF;

    CPointerArray() = default;
    CPointerArray(const CPointerArray&) = delete;
    CPointerArray& operator=(const CPointerArray&) = delete;
    ~CPointerArray() { std::free(m_data); }

    int GetSize() const { return m_count; }
    int GetCapacity() const { return m_capacity; }

    // Appends p. A full array grows to one element, then to twice its count; FALSE when that
    // would exceed kMaxCapacity or the memory is not there, and the array is then unchanged.
    BOOL Add(T p) {
        if (m_count == m_capacity) {
            const int capacity = m_capacity == 0 ? 1 : m_count * 2;
            if (capacity < 0 || capacity > kMaxCapacity) return FALSE;
            void* grown = std::realloc(m_data, static_cast<std::size_t>(capacity) * sizeof(T));
            if (grown == nullptr) return FALSE;
            m_data = static_cast<T*>(grown);
            m_capacity = capacity;
        }
        m_data[m_count++] = p;
        return TRUE;
    }

    // Removes the first element equal to p; FALSE when there is none.
    BOOL Remove(T p) {
        for (int i = 0; i < m_count; ++i) {
            if (m_data[i] == p) {
                std::memmove(m_data + i, m_data + i + 1,
                             static_cast<std::size_t>(m_count - i - 1) * sizeof(T));
                --m_count;
                return TRUE;
            }
        }
        return FALSE;
    }

    T& operator[](int index) {
        if (index < 0 || index >= m_count) {
            RaiseException(EXCEPTION_ARRAY_BOUNDS_EXCEEDED, EXCEPTION_NONCONTINUABLE, 0, nullptr);
            std::abort();  // a non-continuable exception never comes back
        }
        return m_data[index];
    }

private:
    T* m_data = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};
