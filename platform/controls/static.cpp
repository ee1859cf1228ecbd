// SPDX-License-Identifier: MIT
// STATIC: text labels (drawn by the display from the window text and style), icons and bitmaps.
//
// An SS_ICON or SS_BITMAP static's creation text names an image resource of the creating
// module: the template's ordinal form (0xFFFF, id), MAKEINTRESOURCE(id), "#id" or a name. The
// control takes the image's size (the system icon size for icons), keeps no text and passes
// clicks through unless SS_NOTIFY.
#include "controls/control_support.h"

namespace win32::controls {

namespace {

struct Static {
    HANDLE image = nullptr;  // of the style's type: an icon, a bitmap or an enhanced metafile
    bool ownsImage = false;  // a bitmap the control loaded from its creation text
    HFONT font = nullptr;
};

DWORD TypeOf(HWND hwnd) { return StyleOf(hwnd) & SS_TYPEMASK; }

// Whether the control shows images of this kind: each image style takes its own alone.
bool TakesImage(HWND hwnd, WPARAM imageType) {
    switch (TypeOf(hwnd)) {
        case SS_ICON:
            return imageType == IMAGE_ICON || imageType == IMAGE_CURSOR;
        case SS_BITMAP:
            return imageType == IMAGE_BITMAP;
        case SS_ENHMETAFILE:
            return imageType == IMAGE_ENHMETAFILE;
        default:
            return false;
    }
}

// The resource name in a creation text, as LoadImageW takes it.
LPCWSTR ImageName(LPCWSTR text) {
    if (!text || IS_INTRESOURCE(text)) return text;
    if (text[0] == 0xFFFF) return MAKEINTRESOURCEW(text[1]);
    return text[0] ? text : nullptr;
}

void LoadImageResource(HWND hwnd, Static& control, HINSTANCE instance, LPCWSTR text) {
    const LPCWSTR name = ImageName(text);
    if (!name) return;
    if (TypeOf(hwnd) == SS_ICON) {
        control.image = LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
    } else {
        control.image = LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0);
        control.ownsImage = control.image != nullptr;
    }
}

// An icon takes the system icon size, a bitmap its own, unless the style keeps the control's.
void FitToImage(HWND hwnd, HANDLE image) {
    if (!image || (StyleOf(hwnd) & (SS_CENTERIMAGE | SS_REALSIZECONTROL))) return;
    SIZE size{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    if (TypeOf(hwnd) == SS_BITMAP) {
        BITMAP bitmap;
        if (GetObjectW(image, sizeof bitmap, &bitmap) == 0) return;
        size = SIZE{bitmap.bmWidth, bitmap.bmHeight};
    } else if (TypeOf(hwnd) != SS_ICON) {
        return;
    }
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Etched lines are their edge alone: no client area across the line.
void FitEtchedLine(HWND hwnd) {
    const DWORD type = TypeOf(hwnd);
    if (type != SS_ETCHEDHORZ && type != SS_ETCHEDVERT) return;
    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    const int width = window.right - window.left, height = window.bottom - window.top;
    SetWindowPos(hwnd, nullptr, 0, 0, type == SS_ETCHEDVERT ? width - client.right : width,
                 type == SS_ETCHEDHORZ ? height - client.bottom : height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A new image is painted before the call returns, so the parent is asked for its colours at once.
HANDLE SetImage(HWND hwnd, Static& control, HANDLE image) {
    const HANDLE old = control.image;
    control.image = image;
    control.ownsImage = false;  // the caller takes the old one back
    FitToImage(hwnd, image);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    return old;
}

// The parent chooses the colours (WM_CTLCOLORSTATIC), inside the control's client area alone.
void Paint(HWND hwnd) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd, &paint);
    if (!dc) return;
    RECT client;
    GetClientRect(hwnd, &client);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    if (const HWND parent = GetParent(hwnd))
        SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(hwnd));
    EndPaint(hwnd, &paint);
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
        if (create && (type == SS_ICON || type == SS_BITMAP)) {
            // The creation text is the image's name, not window text.
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
            if ((TypeOf(hwnd) == SS_ICON || TypeOf(hwnd) == SS_BITMAP) && create) {
                LoadImageResource(hwnd, *control, create->hInstance, create->lpszName);
                FitToImage(hwnd, control->image);
            }
            FitEtchedLine(hwnd);
            return 0;
        }

        case WM_NCDESTROY:
            if (control->ownsImage) DeleteObject(control->image);
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
            if (TypeOf(hwnd) != SS_ICON) return 0;
            return reinterpret_cast<LRESULT>(
                SetImage(hwnd, *control, reinterpret_cast<HICON>(wParam)));

        case STM_GETICON:
            return TypeOf(hwnd) == SS_ICON ? reinterpret_cast<LRESULT>(control->image) : 0;

        case STM_SETIMAGE:
            if (!TakesImage(hwnd, wParam)) return 0;
            return reinterpret_cast<LRESULT>(
                SetImage(hwnd, *control, reinterpret_cast<HANDLE>(lParam)));

        case STM_GETIMAGE:
            return TakesImage(hwnd, wParam) ? reinterpret_cast<LRESULT>(control->image) : 0;

        case WM_PAINT:
            Paint(hwnd);
            return 0;

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
