// SPDX-License-Identifier: MIT
#include <windows.h>

#include "app/message_loop.h"

namespace {
// The system timer message that drives caret blinking and similar housekeeping.
constexpr UINT kSystemTimer = 0x0118;
}  // namespace

int CMessageLoop::Run() {
    BOOL idleArmed = TRUE;
    int idleCount = 0;
    for (;;) {
        while (idleArmed && !PeekMessageW(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idleArmed = FALSE;
        }
        const BOOL got = GetMessageW(&m_msg, nullptr, 0, 0);
        if (got == -1) continue;  // an error: skip it, keep the idle state
        if (got == 0) return static_cast<int>(m_msg.wParam);
        if (!PreTranslateMessage(&m_msg)) {
            TranslateMessage(&m_msg);
            DispatchMessageW(&m_msg);
        }
        if (IsIdleMessage(&m_msg)) {
            idleArmed = TRUE;
            idleCount = 0;
        }
    }
}

BOOL CMessageLoop::IsIdleMessage(MSG* pMsg) {
    switch (pMsg->message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
        case WM_PAINT:
        case kSystemTimer:
            return FALSE;
        default:
            return TRUE;
    }
}

BOOL CMessageLoop::PreTranslateMessage(MSG* pMsg) {
    for (int i = m_filters.GetSize() - 1; i >= 0; --i) {
        // A filter may remove filters while it runs (the main dialog does when it closes).
        if (i >= m_filters.GetSize()) continue;
        CMessageFilter* filter = m_filters[i];
        if (filter != nullptr && filter->PreTranslateMessage(pMsg)) return TRUE;
    }
    return FALSE;
}

BOOL CMessageLoop::OnIdle(int /*idleCount*/) {
    for (int i = 0; i < m_idleHandlers.GetSize(); ++i) {
        CIdleHandler* handler = m_idleHandlers[i];
        if (handler != nullptr) handler->OnIdle();
    }
    return FALSE;
}
