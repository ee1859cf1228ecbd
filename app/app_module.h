// SPDX-License-Identifier: MIT
// The application module: one per program. It records which message loop serves which thread,
// so that a window can find the loop that drives it and join it.
#pragma once

#include <windows.h>

class CMessageLoop;

class CAppModule {
public:
    CAppModule();
    ~CAppModule();
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;

    // objectMap and libraryId name component objects; this program has none (pass nullptr).
    HRESULT Initialize(const void* objectMap, HINSTANCE instance, const void* libraryId);
    void Terminate();

    // Registers pLoop under the calling thread; FALSE when the map cannot grow.
    BOOL AddMessageLoop(CMessageLoop* pLoop);
    // Removes the calling thread's first entry; FALSE when it has none.
    BOOL RemoveMessageLoop();
    // The loop of the given thread, or nullptr.
    CMessageLoop* GetMessageLoop(DWORD threadId = GetCurrentThreadId());

    DWORD m_mainThreadId = 0;

private:
    // Thread ids and their loops as two parallel arrays that grow and shrink by one entry.
    struct LoopMap {
        DWORD* keys = nullptr;
        CMessageLoop** values = nullptr;
        int count = 0;
        ~LoopMap();
    };

    CRITICAL_SECTION m_lock;
    bool m_terminated = false;
    LoopMap* m_loopMap = nullptr;
};

extern CAppModule g_appModule;
