// SPDX-License-Identifier: MIT
// Handle tables: objects reached through opaque handle values that are small indexes with a
// generation count, so that a stale or bogus handle is recognised and refused instead of
// dereferenced. Like USER handles on Windows, window handles fit in 32 bits (16-bit index,
// 16-bit generation); other kinds carry a kind tag above bit 32, so that no two kinds share a
// value and an icon handle passed as a window is refused too.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace win32 {

enum class HandleKind : std::uint32_t {
    kWindow = 0,
    kIcon = 1,
    kFont = 2,
    kMonitor = 3,
    kMemory = 4,
    kMenu = 5,
    kHook = 6,
    kBitmap = 7,
    kRegion = 8,
    kDeviceContext = 9
};

template <typename T>
class HandleTable {
public:
    explicit HandleTable(HandleKind kind) : kind_(static_cast<std::uintptr_t>(kind)) {}

    // 0 when every index is in use.
    std::uintptr_t Add(std::unique_ptr<T> object) {
        std::size_t index;
        if (!free_.empty()) {
            index = free_.front();
            free_.pop_front();
        } else {
            if (slots_.size() > kMaxIndex) return 0;
            if (slots_.empty()) slots_.emplace_back();  // index 0 is never used
            index = slots_.size();
            slots_.emplace_back();
        }
        Slot& slot = slots_[index];
        slot.object = std::move(object);
        return Value(index, slot.generation);
    }

    T* Find(std::uintptr_t value) const {
        std::size_t index = value & 0xFFFF;
        std::uintptr_t generation = (value >> 16) & 0xFFFF;
        if ((value >> 32) != kind_ || index == 0 || index >= slots_.size()) return nullptr;
        const Slot& slot = slots_[index];
        if (slot.generation != generation || !slot.object) return nullptr;
        return slot.object.get();
    }

    // Takes the object out; its handle is stale from now on.
    std::unique_ptr<T> Remove(std::uintptr_t value) {
        if (Find(value) == nullptr) return nullptr;
        std::size_t index = value & 0xFFFF;
        Slot& slot = slots_[index];
        std::unique_ptr<T> object = std::move(slot.object);
        slot.generation = slot.generation == 0xFFFF ? 1 : slot.generation + 1;
        // Free indexes are reused oldest first, so that a stale handle stays stale for long.
        free_.push_back(static_cast<std::uint16_t>(index));
        return object;
    }

    // Live handle values, in index order.
    std::vector<std::uintptr_t> Handles() const {
        std::vector<std::uintptr_t> values;
        for (std::size_t i = 1; i < slots_.size(); ++i) {
            if (slots_[i].object) values.push_back(Value(i, slots_[i].generation));
        }
        return values;
    }

private:
    static constexpr std::size_t kMaxIndex = 0xFFFF;

    struct Slot {
        std::uint16_t generation = 1;
        std::unique_ptr<T> object;
    };

    std::uintptr_t Value(std::size_t index, std::uint16_t generation) const {
        return (kind_ << 32) | (static_cast<std::uintptr_t>(generation) << 16) | index;
    }

    std::uintptr_t kind_;
    std::vector<Slot> slots_;
    std::deque<std::uint16_t> free_;
};

template <typename Handle>
std::uintptr_t HandleValue(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

template <typename Handle>
Handle MakeHandle(std::uintptr_t value) {
    return reinterpret_cast<Handle>(value);
}

}  // namespace win32
