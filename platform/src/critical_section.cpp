// SPDX-License-Identifier: MIT
// Critical sections: recursive locks, as on Windows. The lock itself lives behind DebugInfo;
// OwningThread and RecursionCount are kept up to date for the curious.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::recursive_mutex& LockOf(LPCRITICAL_SECTION section) {
    if (section == nullptr || section->DebugInfo == nullptr) {
        // Using a section that was never initialised or already deleted is a programming error
        // that Windows does not survive either; stop loudly rather than race silently.
        std::fputs("credcipher platform: critical section used while not initialised\n", stderr);
        std::abort();
    }
    return *static_cast<std::recursive_mutex*>(section->DebugInfo);
}

void NoteOwner(LPCRITICAL_SECTION section) {
    ++section->RecursionCount;
    section->OwningThread = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(GetCurrentThreadId()));
}

}  // namespace

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    *lpCriticalSection = RTL_CRITICAL_SECTION{};
    lpCriticalSection->LockCount = -1;
    lpCriticalSection->DebugInfo = new std::recursive_mutex;
}

BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection,
                                                  DWORD dwSpinCount) {
    InitializeCriticalSection(lpCriticalSection);
    lpCriticalSection->SpinCount = dwSpinCount;
    return TRUE;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    LockOf(lpCriticalSection).lock();
    NoteOwner(lpCriticalSection);
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!LockOf(lpCriticalSection).try_lock()) return FALSE;
    NoteOwner(lpCriticalSection);
    return TRUE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    std::recursive_mutex& lock = LockOf(lpCriticalSection);
    if (--lpCriticalSection->RecursionCount == 0) lpCriticalSection->OwningThread = nullptr;
    lock.unlock();
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (lpCriticalSection == nullptr) return;
    delete static_cast<std::recursive_mutex*>(lpCriticalSection->DebugInfo);
    *lpCriticalSection = RTL_CRITICAL_SECTION{};
}
