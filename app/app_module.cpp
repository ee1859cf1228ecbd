// SPDX-License-Identifier: MIT
#include <windows.h>

#include "app/app_module.h"

#include <cstdlib>
#include <cstring>

#include "app/critical_section_lock.h"

CAppModule g_appModule;

CAppModule::LoopMap::~LoopMap() {
    std::free(keys);
    std::free(values);
}

CAppModule::CAppModule() { InitializeCriticalSection(&m_lock); }

CAppModule::~CAppModule() { Terminate(); }

HRESULT CAppModule::Initialize(const void* /*objectMap*/, HINSTANCE /*instance*/,
                               const void* /*libraryId*/) {
    // A module may be run again after Terminate (the tests start the program several times in
    // one process), so the lock that Terminate deleted comes back.
    if (m_terminated) {
        InitializeCriticalSection(&m_lock);
        m_terminated = false;
    }
    m_mainThreadId = GetCurrentThreadId();
    LoopMap* fresh = new LoopMap;
    CCriticalSectionLock lock(m_lock);
    delete m_loopMap;
    m_loopMap = fresh;
    return S_OK;
}

void CAppModule::Terminate() {
    if (m_terminated) return;
    delete m_loopMap;
    m_loopMap = nullptr;
    DeleteCriticalSection(&m_lock);
    m_terminated = true;
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* pLoop) {
    if (m_terminated) return FALSE;
    CCriticalSectionLock lock(m_lock);
    if (m_loopMap == nullptr) return FALSE;
    LoopMap& map = *m_loopMap;
    const std::size_t grown = static_cast<std::size_t>(map.count) + 1;
    // Each array keeps its old contents if the other one cannot grow.
    void* keys = std::realloc(map.keys, grown * sizeof(DWORD));
    if (keys == nullptr) return FALSE;
    map.keys = static_cast<DWORD*>(keys);
    void* values = std::realloc(map.values, grown * sizeof(CMessageLoop*));
    if (values == nullptr) return FALSE;
    map.values = static_cast<CMessageLoop**>(values);
    map.keys[map.count] = GetCurrentThreadId();
    map.values[map.count] = pLoop;
    ++map.count;
    return TRUE;
}

BOOL CAppModule::RemoveMessageLoop() {
    if (m_terminated) return FALSE;
    CCriticalSectionLock lock(m_lock);
    if (m_loopMap == nullptr) return FALSE;
    LoopMap& map = *m_loopMap;
    const DWORD threadId = GetCurrentThreadId();
    for (int i = 0; i < map.count; ++i) {
        if (map.keys[i] != threadId) continue;
        const std::size_t later = static_cast<std::size_t>(map.count - i - 1);
        std::memmove(map.keys + i, map.keys + i + 1, later * sizeof(DWORD));
        std::memmove(map.values + i, map.values + i + 1, later * sizeof(CMessageLoop*));
        --map.count;
        if (map.count == 0) {
            std::free(map.keys);
            std::free(map.values);
            map.keys = nullptr;
            map.values = nullptr;
        } else {
            // Shrinking keeps the data where it is if the smaller block is not given.
            const std::size_t count = static_cast<std::size_t>(map.count);
            if (void* keys = std::realloc(map.keys, count * sizeof(DWORD))) {
                map.keys = static_cast<DWORD*>(keys);
            }
            if (void* values = std::realloc(map.values, count * sizeof(CMessageLoop*))) {
                map.values = static_cast<CMessageLoop**>(values);
            }
        }
        return TRUE;
    }
    return FALSE;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) {
    if (m_terminated) return nullptr;
    CCriticalSectionLock lock(m_lock);
    if (m_loopMap == nullptr) return nullptr;
    for (int i = 0; i < m_loopMap->count; ++i) {
        if (m_loopMap->keys[i] == threadId) return m_loopMap->values[i];
    }
    return nullptr;
}
