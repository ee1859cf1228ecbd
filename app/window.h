// SPDX-License-Identifier: MIT
// The roots of every window object: CWindow holds the handle, CMessageMap declares the message
// map, and CWindowImplRoot adds what a bound window object keeps while it handles messages.
#pragma once

#include <windows.h>

class CWindow {
public:
    explicit CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}

    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    operator HWND() const { return m_hWnd; }

    HWND m_hWnd;
};

class CMessageMap {
public:
    // Returns TRUE when the map handled the message, with the handler's result in lResult.
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult, DWORD dwMsgMapID) = 0;

protected:
    ~CMessageMap() = default;
};

class CWindowImplRoot : public CWindow, public CMessageMap {
public:
    CWindowImplRoot() = default;
    CWindowImplRoot(const CWindowImplRoot&) = delete;
    CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;
    virtual ~CWindowImplRoot() = default;

    // The message being handled, or nullptr between messages.
    const MSG* GetCurrentMessage() const { return m_pCurrentMsg; }

protected:
    enum : DWORD { WINSTATE_DESTROYED = 0x1 };

    const MSG* m_pCurrentMsg = nullptr;
    DWORD m_dwState = 0;
};
