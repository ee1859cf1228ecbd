// SPDX-License-Identifier: MIT
#include <windows.h>

#include "app/dialog_impl.h"

#include <cstdint>
#include <new>

// GetMonitorInfoW takes the plain record, whose size tells it apart from the extended one.
static_assert(sizeof(MONITORINFO) == 40);

CDialogImplBaseT::~CDialogImplBaseT() {
    // A window that outlives its object must not reach it any more.
    if (m_hWnd != nullptr && m_binding != nullptr &&
        GetWindowLongPtrW(m_hWnd, DWLP_USER) == reinterpret_cast<LONG_PTR>(m_binding)) {
        SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    }
    g_windowCreationList.Remove(m_creationRecord);
    delete m_binding;
}

BOOL CDialogImplBaseT::BeginCreation() {
    if (m_binding == nullptr) {
        m_binding = new (std::nothrow) Binding{this};
        if (m_binding == nullptr) {
            SetLastError(ERROR_OUTOFMEMORY);
            return FALSE;
        }
    }
    g_windowCreationList.Push(m_creationRecord, this);
    return TRUE;
}

void CDialogImplBaseT::EndCreation() { g_windowCreationList.Remove(m_creationRecord); }

INT_PTR CALLBACK CDialogImplBaseT::StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam,
                                                   LPARAM lParam) {
    auto* self = static_cast<CDialogImplBaseT*>(g_windowCreationList.TakeForCurrentThread());
    if (self == nullptr) return FALSE;
    self->m_hWnd = hWnd;
    self->m_binding->dialog = self;
    // The procedure first: Wine's WoW64 mode clears DWLP_USER of a 32-bit dialog when
    // DWLP_DLGPROC is set. Windows keeps both, in either order.
    SetWindowLongPtrW(hWnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(self->GetDialogProc()));
    SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self->m_binding));
    return self->HandleMessage(hWnd, uMsg, wParam, lParam);
}

INT_PTR CALLBACK CDialogImplBaseT::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto* binding = reinterpret_cast<Binding*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    if (binding == nullptr || binding->dialog == nullptr) return FALSE;
    return binding->dialog->HandleMessage(hWnd, uMsg, wParam, lParam);
}

INT_PTR CDialogImplBaseT::HandleMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = hWnd;
    msg.message = uMsg;
    msg.wParam = wParam;
    msg.lParam = lParam;
    const MSG* saved = m_pCurrentMsg;
    m_pCurrentMsg = &msg;
    LRESULT lResult = 0;
    const BOOL handled = ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0);
    m_pCurrentMsg = saved;

    INT_PTR result = FALSE;
    if (handled) {
        switch (uMsg) {
            // The dialog manager reads these results from the return value, not from
            // DWLP_MSGRESULT.
            case WM_COMPAREITEM:
            case WM_VKEYTOITEM:
            case WM_CHARTOITEM:
            case WM_INITDIALOG:
            case WM_QUERYDRAGICON:
            case WM_CTLCOLORMSGBOX:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSCROLLBAR:
            case WM_CTLCOLORSTATIC:
                result = static_cast<INT_PTR>(lResult);
                break;
            default:
                // A destroyed window has no message result left to set.
                if ((m_dwState & WINSTATE_DESTROYED) == 0) {
                    SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, static_cast<LONG_PTR>(lResult));
                }
                result = TRUE;
                break;
        }
    } else if (uMsg == WM_NCDESTROY) {
        m_dwState |= WINSTATE_DESTROYED;
    }

    // Let go of a destroyed window only in the outermost call, so that a handler that
    // destroyed the window keeps m_hWnd until it returns.
    if ((m_dwState & WINSTATE_DESTROYED) != 0 && m_pCurrentMsg == nullptr) {
        HWND old = m_hWnd;
        m_hWnd = nullptr;
        m_dwState &= ~static_cast<DWORD>(WINSTATE_DESTROYED);
        OnFinalMessage(old);
    }
    return result;
}

BOOL CDialogImplBaseT::CenterOverWindow(HWND center) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE));
    if (center == nullptr) {
        center = (style & WS_CHILD) != 0 ? GetParent(m_hWnd) : GetWindow(m_hWnd, GW_OWNER);
    }

    RECT window{};
    GetWindowRect(m_hWnd, &window);
    RECT area{};
    RECT over{};
    if ((style & WS_CHILD) != 0) {
        HWND parent = GetParent(m_hWnd);
        GetClientRect(parent, &area);
        GetClientRect(center, &over);
        POINT corners[2] = {{over.left, over.top}, {over.right, over.bottom}};
        MapWindowPoints(center, parent, corners, 2);
        over = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    } else {
        if (center != nullptr) {
            const DWORD centerStyle = static_cast<DWORD>(GetWindowLongW(center, GWL_STYLE));
            if ((centerStyle & WS_VISIBLE) == 0 || (centerStyle & WS_MINIMIZE) != 0) {
                center = nullptr;
            }
        }
        HMONITOR monitor =
            MonitorFromWindow(center != nullptr ? center : m_hWnd, MONITOR_DEFAULTTONEAREST);
        if (monitor == nullptr) return FALSE;
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (!GetMonitorInfoW(monitor, &info)) return FALSE;
        area = info.rcWork;
        if (center != nullptr) {
            GetWindowRect(center, &over);
        } else {
            over = area;
        }
    }

    // 64-bit arithmetic: rectangles come from the platform and are not trusted to be small.
    using Wide = std::int64_t;
    const Wide width = Wide{window.right} - window.left;
    const Wide height = Wide{window.bottom} - window.top;
    Wide left = (Wide{over.left} + over.right) / 2 - width / 2;
    Wide top = (Wide{over.top} + over.bottom) / 2 - height / 2;
    if (left + width > area.right) left = area.right - width;
    if (left < area.left) left = area.left;
    if (top + height > area.bottom) top = area.bottom - height;
    if (top < area.top) top = area.top;

    return SetWindowPos(m_hWnd, nullptr, static_cast<int>(left), static_cast<int>(top), -1, -1,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
