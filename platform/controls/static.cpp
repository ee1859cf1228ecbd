// SPDX-License-Identifier: MIT
// STATIC: text labels (drawn by the display from the window text and style) and icons.
//
// An SS_ICON static's creation text names an icon resource of the creating module: the
// template's ordinal form (0xFFFF, id), MAKEINTRESOURCE(id), "#id" or a name. The control takes
// the system icon size, keeps no text and passes clicks through unless SS_NOTIFY.
#include "controls/control_support.h"

namespace win32::controls {

namespace {

struct Static {
    HICON icon = nullptr;
    HFONT font = nullptr;
};

bool IsIcon(HWND hwnd) { return (StyleOf(hwnd) & SS_TYPEMASK) == SS_ICON; }

// The icon name in a creation text, as LoadImageW takes it.
LPCWSTR IconName(LPCWSTR text) {
    if (!text || IS_INTRESOURCE(text)) return text;
    if (text[0] == 0xFFFF) return MAKEINTRESOURCEW(text[1]);
    return text[0] ? text : nullptr;
}

HICON LoadIconResource(HINSTANCE instance, LPCWSTR text) {
    const LPCWSTR name = IconName(text);
    if (!name) return nullptr;
    return static_cast<HICON>(
        LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HICON SetIcon(HWND hwnd, Static& control, HICON icon) {
    const HICON old = control.icon;
    control.icon = icon;
    if (icon && !(StyleOf(hwnd) & (SS_CENTERIMAGE | SS_REALSIZECONTROL)))
        SetWindowPos(hwnd, nullptr, 0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd, nullptr, TRUE);
    return old;
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        AttachState(hwnd, new Static);
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        // Etched lines and sunken statics are drawn with the static edge.
        const DWORD style = GetWindowLongW(hwnd, GWL_STYLE);
        const DWORD type = style & SS_TYPEMASK;
        if (type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT || (style & SS_SUNKEN)) {
            SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_STATICEDGE);
        }
        if (create && (static_cast<DWORD>(create->style) & SS_TYPEMASK) == SS_ICON) {
            // The creation text is the icon's name, not window text.
            CREATESTRUCTW withoutText = *create;
            withoutText.lpszName = u"";
            return DefWindowProcW(hwnd, message, wParam, reinterpret_cast<LPARAM>(&withoutText));
        }
    }
    Static* control = StateOf<Static>(hwnd);
    if (!control) return DefWindowProcW(hwnd, message, wParam, lParam);

    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            if (IsIcon(hwnd) && create)
                if (HICON icon = LoadIconResource(create->hInstance, create->lpszName))
                    SetIcon(hwnd, *control, icon);
            return 0;
        }

        case WM_NCDESTROY:
            DeleteState<Static>(hwnd);
            return DefWindowProcW(hwnd, message, wParam, lParam);

        case WM_GETDLGCODE:
            return DLGC_STATIC;

        case WM_NCHITTEST:
            return (StyleOf(hwnd) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;

        case WM_LBUTTONDOWN:
            if (StyleOf(hwnd) & SS_NOTIFY) Notify(hwnd, STN_CLICKED);
            return 0;

        case WM_LBUTTONDBLCLK:
            if (StyleOf(hwnd) & SS_NOTIFY) Notify(hwnd, STN_DBLCLK);
            return 0;

        case STM_SETICON:
            return reinterpret_cast<LRESULT>(
                SetIcon(hwnd, *control, reinterpret_cast<HICON>(wParam)));

        case STM_GETICON:
            return reinterpret_cast<LRESULT>(control->icon);

        case STM_SETIMAGE:
            if (wParam != IMAGE_ICON) return 0;
            return reinterpret_cast<LRESULT>(
                SetIcon(hwnd, *control, reinterpret_cast<HICON>(lParam)));

        case STM_GETIMAGE:
            return wParam == IMAGE_ICON ? reinterpret_cast<LRESULT>(control->icon) : 0;

        case WM_SETFONT:
            control->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;

        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(control->font);

        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return result;
        }

        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;

        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void RegisterStaticClass() {
    RegisterControlClass(u"Static", CS_PARENTDC | CS_DBLCLKS, StaticProc);
}

}  // namespace win32::controls
