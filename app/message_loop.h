// SPDX-License-Identifier: MIT
// The thread's message loop: filters see every message first (last added first), idle handlers
// run once each time the queue runs dry after activity, and Run returns the WM_QUIT code.
#pragma once

#include <windows.h>

#include "app/message_filter.h"
#include "app/pointer_array.h"

class CMessageLoop {
public:
    CMessageLoop() = default;
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;

    BOOL AddMessageFilter(CMessageFilter* pFilter) { return m_filters.Add(pFilter); }
    BOOL RemoveMessageFilter(CMessageFilter* pFilter) { return m_filters.Remove(pFilter); }
    BOOL AddIdleHandler(CIdleHandler* pHandler) { return m_idleHandlers.Add(pHandler); }
    BOOL RemoveIdleHandler(CIdleHandler* pHandler) { return m_idleHandlers.Remove(pHandler); }

    int Run();

    // FALSE for mouse movement, painting and the system timer, which never re-arm idle work.
    static BOOL IsIdleMessage(MSG* pMsg);

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(int idleCount);

    CPointerArray<CMessageFilter*> m_filters;
    CPointerArray<CIdleHandler*> m_idleHandlers;
    MSG m_msg{};
};
