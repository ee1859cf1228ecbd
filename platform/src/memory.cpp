// SPDX-License-Identifier: MIT
// KERNEL32's global and local memory (one heap, as on Win32): a fixed block's handle is its
// address; a moveable block is reached through a handle and locked to get its address, which
// stays the same here. The clipboard and EM_GETHANDLE hand such blocks around.
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "src/handles.h"

namespace {

struct Block {
    std::vector<unsigned char> bytes;
    int locks = 0;
};

struct Heap {
    win32::HandleTable<Block> moveable{win32::HandleKind::kMemory};
    std::map<const void*, std::unique_ptr<Block>> fixed;  // by address
};

Heap& TheHeap() {
    static auto* heap = new Heap;
    return *heap;
}

// The block of a handle; nullptr (ERROR_INVALID_HANDLE) for anything else.
Block* BlockOf(HANDLE memory) {
    Heap& heap = TheHeap();
    if (Block* block = heap.moveable.Find(win32::HandleValue(memory))) return block;
    if (auto found = heap.fixed.find(memory); found != heap.fixed.end()) return found->second.get();
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

// A block has at least one byte, so that every block has an address of its own.
HANDLE Allocate(UINT flags, SIZE_T bytes) {
    auto block = std::make_unique<Block>();
    block->bytes.assign(bytes == 0 ? 1 : bytes, 0);  // zeroed whether GMEM_ZEROINIT or not
    Heap& heap = TheHeap();
    if (flags & GMEM_MOVEABLE) {
        const std::uintptr_t handle = heap.moveable.Add(std::move(block));
        if (handle == 0) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return win32::MakeHandle<HANDLE>(handle);
    }
    void* address = block->bytes.data();
    heap.fixed.emplace(address, std::move(block));
    return address;
}

HANDLE Free(HANDLE memory) {
    Heap& heap = TheHeap();
    if (heap.moveable.Remove(win32::HandleValue(memory))) return nullptr;
    if (heap.fixed.erase(memory) != 0) return nullptr;
    SetLastError(ERROR_INVALID_HANDLE);
    return memory;
}

LPVOID Lock(HANDLE memory) {
    Block* block = BlockOf(memory);
    if (block == nullptr) return nullptr;
    ++block->locks;
    return block->bytes.data();
}

// FALSE once the block is unlocked (with NO_ERROR), as for a block that was not locked.
BOOL Unlock(HANDLE memory) {
    Block* block = BlockOf(memory);
    if (block == nullptr) return FALSE;
    if (block->locks > 0 && --block->locks > 0) return TRUE;
    SetLastError(NO_ERROR);
    return FALSE;
}

// New bytes are zeroed, as Allocate's are. A block whose address is known (a fixed one, or a
// locked one) cannot move, so it grows only within what it already holds.
HANDLE Reallocate(HANDLE memory, SIZE_T bytes) {
    Block* block = BlockOf(memory);
    if (block == nullptr) return nullptr;
    const std::size_t size = bytes == 0 ? 1 : bytes;
    const bool fixed = TheHeap().fixed.count(memory) != 0;
    if ((fixed || block->locks > 0) && size > block->bytes.capacity()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    block->bytes.resize(size, 0);
    return memory;
}

SIZE_T Size(HANDLE memory) {
    Block* block = BlockOf(memory);
    return block ? block->bytes.size() : 0;
}

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) { return Allocate(uFlags, dwBytes); }
LPVOID WINAPI GlobalLock(HGLOBAL hMem) { return Lock(hMem); }
BOOL WINAPI GlobalUnlock(HGLOBAL hMem) { return Unlock(hMem); }
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) { return Free(hMem); }
SIZE_T WINAPI GlobalSize(HGLOBAL hMem) { return Size(hMem); }
HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT) {
    return Reallocate(hMem, dwBytes);
}
HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) { return Allocate(uFlags, uBytes); }
LPVOID WINAPI LocalLock(HLOCAL hMem) { return Lock(hMem); }
BOOL WINAPI LocalUnlock(HLOCAL hMem) { return Unlock(hMem); }
HLOCAL WINAPI LocalFree(HLOCAL hMem) { return Free(hMem); }
SIZE_T WINAPI LocalSize(HLOCAL hMem) { return Size(hMem); }
HLOCAL WINAPI LocalReAlloc(HLOCAL hMem, SIZE_T uBytes, UINT) { return Reallocate(hMem, uBytes); }
