// SPDX-License-Identifier: MIT
// Creating a dialog from its template, in Windows' order: the frame is created hidden; the
// dialog procedure is installed; WM_SETFONT goes to the dialog before the controls exist; the
// controls are created in template order (WS_EX_NOPARENTNOTIFY, each with WM_SETFONT);
// WM_INITDIALOG names the first tab stop; TRUE from it gives that control the focus the way the
// keyboard would; a modeless dialog is then shown if its template says WS_VISIBLE.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "src/dialog.h"
#include "src/display_manager.h"
#include "src/fonts.h"
#include "src/resources_glue.h"
#include "src/window.h"
#include "src/window_class.h"

namespace win32 {

namespace {

// A control's class from the template: an atom of a predefined class or a name.
std::u16string ControlClass(const resources::NameOrOrdinal& windowClass) {
    if (windowClass.IsOrdinal()) {
        return std::u16string(resources::PredefinedClassName(windowClass.ordinal()));
    }
    return windowClass.name();
}

// Text as CreateWindowExW receives it: a string, or 0xFFFF and the ordinal (an icon's name).
std::u16string ControlText(const resources::NameOrOrdinal& title) {
    if (title.IsOrdinal()) return std::u16string{u'\xFFFF', static_cast<char16_t>(title.ordinal())};
    return title.name();
}

// Template coordinates are the client area's; the frame goes around them, and a top-level
// dialog is then moved into the work area of its monitor.
RECT DialogWindowRect(const resources::DialogTemplate& dialogTemplate, DWORD style, DWORD exStyle,
                      HWND owner, POINT base) {
    RECT rect{0, 0, MulDiv(dialogTemplate.cx, base.x, 4), MulDiv(dialogTemplate.cy, base.y, 8)};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    POINT position{rect.left + MulDiv(dialogTemplate.x, base.x, 4),
                   rect.top + MulDiv(dialogTemplate.y, base.y, 8)};
    if (!(style & WS_CHILD) && !(style & DS_ABSALIGN) && owner != nullptr) {
        ClientToScreen(owner, &position);
    }
    if (!(style & WS_CHILD)) {
        RECT placed{position.x, position.y, position.x + width, position.y + height};
        MONITORINFO info{sizeof info, {}, {}, 0};
        HMONITOR monitor = owner != nullptr && (style & DS_CENTER)
                               ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                               : MonitorFromRect(&placed, MONITOR_DEFAULTTONEAREST);
        if (GetMonitorInfoW(monitor, &info)) {
            const RECT& work = info.rcWork;
            if (style & DS_CENTER) {
                position.x = work.left + (work.right - work.left - width) / 2;
                position.y = work.top + (work.bottom - work.top - height) / 2;
            }
            position.x = std::max(work.left, std::min(position.x, work.right - width));
            position.y = std::max(work.top, std::min(position.y, work.bottom - height));
        }
    }
    return RECT{position.x, position.y, position.x + width, position.y + height};
}

// Creates the controls; false when one fails and the template does not allow that.
bool CreateControls(HWND dialog, const resources::DialogTemplate& dialogTemplate,
                    HINSTANCE instance, HFONT font, POINT base, bool ansi) {
    for (const resources::DialogItem& item : dialogTemplate.items) {
        std::u16string className = ControlClass(item.windowClass);
        std::u16string text = ControlText(item.title);
        // Creation data goes to the control with its size word in front, as in the template.
        std::vector<WORD> creationData;
        if (!item.creationData.empty()) {
            creationData.resize(1 + (item.creationData.size() + 1) / 2);
            creationData[0] = static_cast<WORD>(item.creationData.size());
            std::copy(item.creationData.begin(), item.creationData.end(),
                      reinterpret_cast<unsigned char*>(creationData.data() + 1));
        }
        // A control is a child, never a popup; its flat border becomes the sunken client edge.
        DWORD style = (item.style | WS_CHILD) & ~DWORD{WS_POPUP};
        DWORD exStyle = item.exStyle | WS_EX_NOPARENTNOTIFY;
        if (style & WS_BORDER) {
            style &= ~DWORD{WS_BORDER};
            exStyle |= WS_EX_CLIENTEDGE;
        }
        HWND control =
            className.empty()
                ? nullptr
                : CreateWindowFor(
                      ansi, exStyle, className.c_str(), text.c_str(), style,
                      MulDiv(item.x, base.x, 4), MulDiv(item.y, base.y, 8),
                      MulDiv(item.cx, base.x, 4), MulDiv(item.cy, base.y, 8), dialog,
                      // An id is an int: -1 is -1 in a 64-bit GWLP_ID too.
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(static_cast<INT>(item.id))),
                      instance, creationData.empty() ? nullptr : creationData.data());
        if (!IsWindow(dialog)) return false;
        if (control == nullptr) {
            if (dialogTemplate.style & DS_NOFAILCREATE) continue;
            return false;
        }
        if (font != nullptr)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // The last default push button of the template is the dialog's default button.
        if (IsWindow(control) &&
            (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
            DialogState* state = DialogOf(dialog);
            if (state == nullptr) return false;
            if (state->defaultId != 0) {
                if (HWND previous = GetDlgItem(dialog, static_cast<int>(state->defaultId))) {
                    SendMessageW(previous, BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
                }
            }
            state->defaultId = static_cast<UINT>(GetDlgCtrlID(control));
        }
        if (!IsWindow(dialog)) return false;
    }
    return true;
}

}  // namespace

HWND CreateDialogFromTemplate(const resources::DialogTemplate& dialogTemplate, HINSTANCE instance,
                              HWND owner, DLGPROC dialogProc, LPARAM initParam, bool modal) {
    EnsureBuiltinClasses();
    DWORD style = dialogTemplate.style;
    // Every dialog gets the 3-D look and holds controls that Tab reaches.
    DWORD exStyle = dialogTemplate.exStyle | WS_EX_CONTROLPARENT;
    style |= DS_3DLOOK;
    if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
    if (style & DS_CONTROL) style &= ~static_cast<DWORD>(WS_CAPTION | WS_SYSMENU);
    std::u16string className = dialogTemplate.windowClass.IsNone()
                                   ? std::u16string(u"#32770")
                                   : ControlClass(dialogTemplate.windowClass);
    const POINT base = DialogBaseUnits();
    const RECT rect = DialogWindowRect(dialogTemplate, style, exStyle, owner, base);

    // An ANSI dialog procedure makes an ANSI dialog, with ANSI controls.
    const bool ansi = ResolveProcedure(reinterpret_cast<WNDPROC>(dialogProc), false).ansi;
    // Created hidden even when the template says WS_VISIBLE; shown at the end.
    HWND dialog = CreateWindowFor(ansi, exStyle, className.c_str(), dialogTemplate.caption.c_str(),
                                  style & ~static_cast<DWORD>(WS_VISIBLE), rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, owner, nullptr,
                                  instance, nullptr);
    if (dialog == nullptr) return nullptr;
    DialogState& state = AdoptAsDialog(dialog);
    state.baseUnits = base;
    state.modal = modal;
    HFONT font = nullptr;
    if (dialogTemplate.font && (style & DS_SETFONT)) {
        const resources::DialogFont& templateFont = *dialogTemplate.font;
        // Points at the layer's 96 DPI, as a character height; 0x7FFF asks for the message font.
        font = CreateFontHandle(
            templateFont.pointSize == resources::kMessageBoxFont
                ? MessageFont()
                : FontRecord{templateFont.face, -MulDiv(templateFont.pointSize, 96, 72),
                             templateFont.weight, templateFont.italic, templateFont.charset});
        state.font = font;
    }
    if (FindWindow(dialog)->extra.size() >= DWLP_DLGPROC + sizeof(DLGPROC)) {
        SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(dialogProc));
    }

    if (font != nullptr) SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    if (!IsWindow(dialog)) return nullptr;
    if (!CreateControls(dialog, dialogTemplate, instance, font, base, ansi)) {
        if (IsWindow(dialog)) DestroyWindow(dialog);
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }

    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (first == nullptr) first = GetWindow(dialog, GW_CHILD);
    LRESULT wantsFocus =
        SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam);
    DialogState* after = DialogOf(dialog);
    if (after == nullptr) {  // destroyed in WM_INITDIALOG
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    // EndDialog in WM_INITDIALOG: no focus, never shown.
    if (after->ended && modal) return dialog;
    // An invisible DS_CONTROL dialog (a page inside another) takes no focus yet.
    const bool hiddenPage = (dialogTemplate.style & DS_CONTROL) && !IsWindowVisible(dialog);
    if (wantsFocus && !hiddenPage) {
        // WM_INITDIALOG may have changed the controls: look for the first tab stop again.
        HWND focus = GetNextDlgTabItem(dialog, nullptr, FALSE);
        if (focus == nullptr) focus = GetWindow(dialog, GW_CHILD);
        if (focus != nullptr) {
            MoveDialogFocus(dialog, focus, true);
        } else if (!(style & WS_CHILD)) {
            SetFocus(dialog);
        }
    }
    if (!IsWindow(dialog)) return nullptr;
    if (!modal && (dialogTemplate.style & WS_VISIBLE) && !IsWindowVisible(dialog)) {
        ShowWindow(dialog, SW_SHOWNORMAL);
    }
    return IsWindow(dialog) ? dialog : nullptr;
}

std::optional<resources::DialogTemplate> LoadDialogTemplate(HINSTANCE instance, LPCWSTR name) {
    const resources::Resource* resource =
        FindProgramResource(instance, true, resources::NameOrOrdinal(resources::kTypeDialog),
                            resources::NameOrOrdinal::FromWin32(name));
    if (resource == nullptr) return std::nullopt;
    auto parsed = resources::ParseDialogTemplate(resource->data);
    if (!parsed) SetLastError(ERROR_INVALID_DATA);
    return parsed;
}

std::optional<resources::DialogTemplate> ReadTemplateInMemory(LPCDLGTEMPLATEW dialogTemplate) {
    if (dialogTemplate == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    // Windows reads an in-memory template until it ends; so does the parser, which stops at the
    // template's last item and never reads further than the template says.
    constexpr std::size_t kLargestTemplate = 0x10000;
    auto bytes = std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(dialogTemplate), kLargestTemplate);
    auto parsed = resources::ParseDialogTemplate(bytes);
    if (!parsed) SetLastError(ERROR_INVALID_DATA);
    return parsed;
}

bool IsValidDialogParent(HWND parent) {
    return parent == nullptr || IsDesktop(parent) || CheckWindow(parent) != nullptr;
}

HWND OwnerFromParent(HWND parent) {
    if (parent == nullptr || IsDesktop(parent)) return nullptr;
    return RootOf(parent);
}

}  // namespace win32

namespace {

HWND CreateModeless(const std::optional<win32::resources::DialogTemplate>& dialogTemplate,
                    HINSTANCE instance, HWND parent, DLGPROC dialogProc, LPARAM initParam) {
    if (!dialogTemplate) return nullptr;
    // A child dialog lives in its parent; a top-level one is owned by the parent's root.
    HWND owner = (dialogTemplate->style & WS_CHILD) ? parent : win32::OwnerFromParent(parent);
    return win32::CreateDialogFromTemplate(*dialogTemplate, instance, owner, dialogProc, initParam,
                                           false);
}

}  // namespace

HWND WINAPI CreateDialogParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (!win32::IsValidDialogParent(hWndParent)) return nullptr;
    return CreateModeless(win32::LoadDialogTemplate(hInstance, lpTemplateName), hInstance,
                          hWndParent, lpDialogFunc, dwInitParam);
}

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (!win32::IsValidDialogParent(hWndParent)) return nullptr;
    return CreateModeless(win32::ReadTemplateInMemory(lpTemplate), hInstance, hWndParent,
                          lpDialogFunc, dwInitParam);
}
