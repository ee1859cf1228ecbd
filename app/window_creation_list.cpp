// SPDX-License-Identifier: MIT
#include <windows.h>

#include "app/window_creation_list.h"

#include "app/critical_section_lock.h"

CWindowCreationList g_windowCreationList;

CWindowCreationList::CWindowCreationList() { InitializeCriticalSection(&m_lock); }

CWindowCreationList::~CWindowCreationList() { DeleteCriticalSection(&m_lock); }

void CWindowCreationList::Push(Record& record, void* object) {
    record.object = object;
    record.threadId = GetCurrentThreadId();
    CCriticalSectionLock lock(m_lock);
    record.next = m_head;
    m_head = &record;
}

void* CWindowCreationList::TakeForCurrentThread() {
    const DWORD threadId = GetCurrentThreadId();
    CCriticalSectionLock lock(m_lock);
    for (Record** link = &m_head; *link != nullptr; link = &(*link)->next) {
        Record* record = *link;
        if (record->threadId == threadId) {
            *link = record->next;
            record->next = nullptr;
            return record->object;
        }
    }
    return nullptr;
}

void CWindowCreationList::Remove(Record& record) {
    CCriticalSectionLock lock(m_lock);
    for (Record** link = &m_head; *link != nullptr; link = &(*link)->next) {
        if (*link == &record) {
            *link = record.next;
            record.next = nullptr;
            return;
        }
    }
}
