// SPDX-License-Identifier: MIT
// The process-wide list of dialog objects whose windows are being created. The dialog
// procedure of a new window has no other way to learn its object than to take, on its first
// message, the newest record of its own thread.
#pragma once

#include <windows.h>

class CWindowCreationList {
public:
    struct Record {
        void* object = nullptr;
        DWORD threadId = 0;
        Record* next = nullptr;
    };

    CWindowCreationList();
    ~CWindowCreationList();
    CWindowCreationList(const CWindowCreationList&) = delete;
    CWindowCreationList& operator=(const CWindowCreationList&) = delete;

    // Puts record (owned by the caller) at the front, for the calling thread.
    void Push(Record& record, void* object);
    // Unlinks the newest record of the calling thread and returns its object, or nullptr.
    void* TakeForCurrentThread();
    // Unlinks record if it is still listed (its window never received a message).
    void Remove(Record& record);

private:
    CRITICAL_SECTION m_lock;
    Record* m_head = nullptr;
};

extern CWindowCreationList g_windowCreationList;
