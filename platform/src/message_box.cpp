// SPDX-License-Identifier: MIT
// MessageBoxW: a modal dialog made from a template built in memory, as on Windows: the text in a
// static of id 0xFFFF, the buttons of the type (the default one as MB_DEFBUTTONn says), sized to
// the text in the display's font. Every display draws it as it draws any dialog.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "src/display_manager.h"
#include "src/window_system.h"

namespace win32 {

namespace {

struct BoxButton {
    const char16_t* text;
    int id;
};

std::vector<BoxButton> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{u"OK", IDOK}, {u"Cancel", IDCANCEL}};
        case MB_ABORTRETRYIGNORE:
            return {{u"&Abort", IDABORT}, {u"&Retry", IDRETRY}, {u"&Ignore", IDIGNORE}};
        case MB_YESNOCANCEL:
            return {{u"&Yes", IDYES}, {u"&No", IDNO}, {u"Cancel", IDCANCEL}};
        case MB_YESNO:
            return {{u"&Yes", IDYES}, {u"&No", IDNO}};
        case MB_RETRYCANCEL:
            return {{u"&Retry", IDRETRY}, {u"Cancel", IDCANCEL}};
        case MB_CANCELTRYCONTINUE:
            return {{u"Cancel", IDCANCEL}, {u"&Try Again", IDTRYAGAIN}, {u"&Continue", IDCONTINUE}};
        default:
            return {{u"OK", IDOK}};
    }
}

// A dialog template in memory: the header, then items, each on a DWORD boundary.
class TemplateWriter {
public:
    void Header(DWORD style, DWORD exStyle, WORD items, short cx, short cy,
                std::u16string_view caption) {
        const DLGTEMPLATE header{style, exStyle, items, 0, 0, cx, cy};
        Append(&header, sizeof header);
        Word(0);  // no menu
        Word(0);  // the dialog class
        Text(caption);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
              std::u16string_view text) {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
        const DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy, id};
        Append(&item, sizeof item);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);  // no creation data
    }
    // DWORD-aligned storage for the template.
    std::vector<DWORD> Finish() const {
        std::vector<DWORD> aligned((bytes_.size() + 3) / 4);
        std::memcpy(aligned.data(), bytes_.data(), bytes_.size());
        return aligned;
    }

private:
    void Append(const void* data, std::size_t size) {
        const auto* begin = static_cast<const unsigned char*>(data);
        bytes_.insert(bytes_.end(), begin, begin + size);
    }
    void Word(WORD value) { Append(&value, sizeof value); }
    void Text(std::u16string_view text) {
        for (char16_t c : text) Word(c);
        Word(0);
    }
    std::vector<unsigned char> bytes_;
};

struct BoxState {
    std::vector<BoxButton> buttons;
    int defaultButton;
};

// Escape and the close box choose Cancel where there is one, and OK in a box that has only OK.
int CancelOf(const std::vector<BoxButton>& buttons) {
    for (const BoxButton& button : buttons) {
        if (button.id == IDCANCEL) return IDCANCEL;
    }
    return buttons.size() == 1 ? buttons.front().id : 0;
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto* state = reinterpret_cast<const BoxState*>(lParam);
            // The default button takes the focus and the default look.
            SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(state->defaultButton), 0);
            SendMessageW(dialog, WM_NEXTDLGCTL,
                         reinterpret_cast<WPARAM>(GetDlgItem(dialog, state->defaultButton)), TRUE);
            return FALSE;
        }
        case WM_COMMAND: {
            const auto* state =
                reinterpret_cast<const BoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
            if (state == nullptr || HIWORD(wParam) != BN_CLICKED) return FALSE;
            int id = LOWORD(wParam);
            if (id == IDCANCEL) id = CancelOf(state->buttons);
            const bool known = std::any_of(state->buttons.begin(), state->buttons.end(),
                                           [id](const BoxButton& b) { return b.id == id; });
            if (known) EndDialog(dialog, id);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

}  // namespace win32

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    using namespace win32;
    const std::u16string text = lpText != nullptr ? lpText : u"";
    const std::u16string caption = lpCaption != nullptr ? lpCaption : u"Error";
    BoxState state{ButtonsOf(uType), 0};
    const std::size_t defaultIndex =
        std::min<std::size_t>((uType & MB_DEFMASK) >> 8, state.buttons.size() - 1);
    state.defaultButton = state.buttons[defaultIndex].id;

    // Dialog units from the display's font: the text's widest line and its lines, the
    // buttons 50 x 14 with 4 between them, 7 of margin all round.
    const POINT base = DialogBaseUnits();
    const int unitX = std::max<int>(1, base.x);
    int widest = 0, lines = 1;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(u'\n', start);
        std::u16string_view line = std::u16string_view(text).substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        widest = std::max(widest, MeasureText(line));
        if (end == std::u16string::npos) break;
        ++lines;
        start = end + 1;
    }
    const int textWidth = std::min((widest * 4 + unitX - 1) / unitX + 1, 600);
    const int textHeight = std::min(lines * 8, 400);
    const int buttonCount = static_cast<int>(state.buttons.size());
    const int buttonsWidth = buttonCount * 50 + (buttonCount - 1) * 4;
    const int width = std::max(textWidth, buttonsWidth) + 14;
    const int height = 7 + textHeight + 7 + 14 + 7;

    DWORD exStyle = WS_EX_DLGMODALFRAME;
    if (uType & (MB_SYSTEMMODAL | MB_TOPMOST)) exStyle |= WS_EX_TOPMOST;
    TemplateWriter writer;
    writer.Header(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, exStyle,
                  static_cast<WORD>(buttonCount + 1), static_cast<short>(width),
                  static_cast<short>(height), caption);
    writer.Item(SS_LEFT | SS_NOPREFIX, 7, 7, static_cast<short>(textWidth),
                static_cast<short>(textHeight), 0xFFFF, 0x0082, text);
    int x = (width - buttonsWidth) / 2;
    for (std::size_t i = 0; i < state.buttons.size(); ++i) {
        const DWORD kind = i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        writer.Item(kind | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), static_cast<short>(x),
                    static_cast<short>(height - 21), 50, 14, static_cast<WORD>(state.buttons[i].id),
                    0x0080, state.buttons[i].text);
        x += 54;
    }
    const std::vector<DWORD> dialogTemplate = writer.Finish();
    HWND owner = hWnd != nullptr ? GetAncestor(hWnd, GA_ROOT) : nullptr;
    const INT_PTR result =
        DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
                                owner, BoxProc, reinterpret_cast<LPARAM>(&state));
    return result > 0 ? static_cast<int>(result) : 0;
}
