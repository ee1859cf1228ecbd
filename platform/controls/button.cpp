// SPDX-License-Identifier: MIT
// BUTTON: push buttons, default push buttons, group boxes, check boxes (two- and three-state) and
// radio buttons.
//
// A button clicks (BN_CLICKED to the parent) when the left button goes down and up over it,
// when Space goes down and up while it has the focus, or on BM_CLICK. While the mouse button or
// Space is held it shows pushed; losing the focus then cancels the click. A click checks an
// automatic box (the next state of three) or an automatic radio button, which unchecks the
// other automatic radio buttons of its group.
#include "controls/control_support.h"

namespace win32::controls {

namespace {

struct Button {
    bool pushed = false;   // drawn pushed in (BST_PUSHED)
    bool focused = false;  // BST_FOCUS
    bool spaceDown = false;
    bool mouseDown = false;  // the mouse is captured between button down and up
    UINT check = BST_UNCHECKED;
    HFONT font = nullptr;
};

DWORD TypeOf(HWND hwnd) { return StyleOf(hwnd) & BS_TYPEMASK; }

bool IsRadioButton(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

bool IsCheckBox(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
}

void SetCheck(HWND hwnd, Button& button, WPARAM state) {
    const DWORD type = TypeOf(hwnd);
    if (!IsCheckBox(type) && !IsRadioButton(type)) return;
    const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
    const UINT check = state == BST_INDETERMINATE && threeState ? BST_INDETERMINATE
                       : state != BST_UNCHECKED                 ? BST_CHECKED
                                                                : BST_UNCHECKED;
    // A radio button is a tab stop while it is checked.
    if (IsRadioButton(type)) {
        const DWORD style = StyleOf(hwnd);
        const DWORD newStyle = check ? style | WS_TABSTOP : style & ~DWORD{WS_TABSTOP};
        if (newStyle != style) SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(newStyle));
    }
    if (button.check == check) return;
    button.check = check;
    InvalidateRect(hwnd, nullptr, TRUE);
}

// What a click does to an automatic box or radio button before the parent hears of it.
void ToggleOnClick(HWND hwnd, Button& button) {
    switch (TypeOf(hwnd)) {
        case BS_AUTOCHECKBOX:
            SetCheck(hwnd, button, button.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
            break;
        case BS_AUTO3STATE:
            SetCheck(hwnd, button, (button.check + 1) % 3);
            break;
        case BS_AUTORADIOBUTTON: {
            SetCheck(hwnd, button, BST_CHECKED);
            const HWND parent = GetParent(hwnd);
            if (parent == nullptr) break;
            for (HWND other = GetNextDlgGroupItem(parent, hwnd, FALSE);
                 other != nullptr && other != hwnd;
                 other = GetNextDlgGroupItem(parent, other, FALSE)) {
                if ((SendMessageW(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
                    (StyleOf(other) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
                    SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
                }
            }
            break;
        }
        default:
            break;
    }
}

bool IsGroupBox(HWND hwnd) { return TypeOf(hwnd) == BS_GROUPBOX; }

void SetPushed(HWND hwnd, Button& button, bool pushed) {
    if (button.pushed == pushed) return;
    button.pushed = pushed;
    InvalidateRect(hwnd, nullptr, TRUE);
}

bool InClient(HWND hwnd, LPARAM lParam) {
    RECT client;
    GetClientRect(hwnd, &client);
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&client, point) != FALSE;
}

// The last thing a handler does: the parent may destroy the button in response.
void Click(HWND hwnd) {
    if (!IsWindowEnabled(hwnd)) return;
    if (Button* button = StateOf<Button>(hwnd)) ToggleOnClick(hwnd, *button);
    if (IsWindow(hwnd)) Notify(hwnd, BN_CLICKED);
}

void CancelPush(HWND hwnd, Button& button) {
    if (button.mouseDown) {
        button.mouseDown = false;
        if (GetCapture() == hwnd) ReleaseCapture();
    }
    button.spaceDown = false;
    SetPushed(hwnd, button, false);
}

LRESULT OnButtonDown(HWND hwnd, Button& button) {
    if (IsGroupBox(hwnd) || !IsWindowEnabled(hwnd)) return 0;
    if (GetFocus() != hwnd) {
        SetFocus(hwnd);
        if (!IsWindow(hwnd)) return 0;
    }
    SetCapture(hwnd);
    button.mouseDown = true;
    SetPushed(hwnd, button, true);
    return 0;
}

LRESULT OnButtonUp(HWND hwnd, Button& button, LPARAM lParam) {
    if (!button.mouseDown) return 0;
    button.mouseDown = false;
    const bool inside = InClient(hwnd, lParam);
    SetPushed(hwnd, button, false);
    if (GetCapture() == hwnd) ReleaseCapture();
    if (inside) Click(hwnd);
    return 0;
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) AttachState(hwnd, new Button);
    Button* button = StateOf<Button>(hwnd);
    if (!button) return DefWindowProcW(hwnd, message, wParam, lParam);

    switch (message) {
        case WM_NCDESTROY:
            DeleteState<Button>(hwnd);
            return DefWindowProcW(hwnd, message, wParam, lParam);

        case WM_GETDLGCODE:
            switch (TypeOf(hwnd)) {
                case BS_PUSHBUTTON:
                    return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
                case BS_DEFPUSHBUTTON:
                    return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
                case BS_GROUPBOX:
                    return DLGC_STATIC;
                case BS_RADIOBUTTON:
                case BS_AUTORADIOBUTTON:
                    return DLGC_BUTTON | DLGC_RADIOBUTTON;
                default:
                    return DLGC_BUTTON;
            }

        case WM_NCHITTEST:
            // A group box lets clicks through to what lies inside it.
            if (IsGroupBox(hwnd)) return HTTRANSPARENT;
            return DefWindowProcW(hwnd, message, wParam, lParam);

        case WM_SETFOCUS:
            button->focused = true;
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;

        case WM_KILLFOCUS:
            button->focused = false;
            CancelPush(hwnd, *button);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;

        case WM_KEYDOWN:
            if (wParam == VK_SPACE && !IsGroupBox(hwnd) && !button->spaceDown &&
                !button->mouseDown) {
                button->spaceDown = true;
                SetPushed(hwnd, *button, true);
            }
            return 0;

        case WM_KEYUP:
            if (wParam == VK_SPACE && button->spaceDown) {
                button->spaceDown = false;
                const bool wasPushed = button->pushed;
                SetPushed(hwnd, *button, false);
                if (wasPushed) Click(hwnd);
            }
            return 0;

        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return OnButtonDown(hwnd, *button);

        case WM_MOUSEMOVE:
            if (button->mouseDown) SetPushed(hwnd, *button, InClient(hwnd, lParam));
            return 0;

        case WM_LBUTTONUP:
            return OnButtonUp(hwnd, *button, lParam);

        case WM_CAPTURECHANGED:
            if (button->mouseDown && reinterpret_cast<HWND>(lParam) != hwnd)
                CancelPush(hwnd, *button);
            return 0;

        case BM_CLICK:
            // A click at the button's origin, focus and all; a disabled button still notifies.
            if (IsGroupBox(hwnd)) return 0;
            if (!IsWindowEnabled(hwnd)) {
                Notify(hwnd, BN_CLICKED);
                return 0;
            }
            SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            if (IsWindow(hwnd)) SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
            return 0;

        case BM_GETSTATE:
            return button->check | (button->pushed ? BST_PUSHED : 0) |
                   (button->focused ? BST_FOCUS : 0);

        case BM_GETCHECK:
            return button->check;

        case BM_SETCHECK:
            SetCheck(hwnd, *button, wParam);
            return 0;

        case BM_SETSTATE:
            SetPushed(hwnd, *button, wParam != 0);
            return 0;

        case BM_SETSTYLE: {
            // Only the button type changes: this is how the dialog manager moves the default.
            const DWORD style = StyleOf(hwnd);
            const DWORD newStyle =
                (style & ~DWORD{BS_TYPEMASK}) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
            if (newStyle != style) SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(newStyle));
            if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }

        case WM_SETFONT:
            button->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;

        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(button->font);

        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return result;
        }

        case WM_ENABLE:
            if (!wParam) CancelPush(hwnd, *button);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;

        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void RegisterButtonClass() {
    RegisterControlClass(u"Button", CS_DBLCLKS | CS_PARENTDC, ButtonProc);
}

}  // namespace win32::controls
