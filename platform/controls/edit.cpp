// SPDX-License-Identifier: MIT
// EDIT: the single-line edit control.
//
// Typing replaces the selection; Left/Right (Up/Down alike), Ctrl for words, Home/End, Shift to
// extend; Backspace, Delete, Ctrl+Delete (to the end); cut, copy and paste through the
// in-process clipboard with Ctrl+X/C/V, Shift+Delete, Ctrl+Insert, Shift+Insert; Ctrl+Z and
// Alt+Backspace undo; Ctrl+A selects all. The text limit (30000 unless set) holds for typing,
// pasting and EM_REPLACESEL, not for WM_SETTEXT. With ES_AUTOHSCROLL the text scrolls to keep
// the caret in view; without it, input stops at the right edge. The parent hears EN_SETFOCUS,
// EN_KILLFOCUS, EN_UPDATE then EN_CHANGE after each change, and EN_MAXTEXT when input was cut.
// The text keeps margins from the client edge, which a new font sets as Windows sets them.
// A right click, Shift+F10 or the menu key opens the context menu (undo, cut, copy, paste,
// delete, select all). While it has the focus the edit owns the thread's caret and keeps it at
// its own caret's pixel spot, for programs that ask GetCaretPos; the displays draw the edit's
// caret from its view. A word-break procedure of the program's (EM_SETWORDBREAKPROC) decides
// where Ctrl+Left and Ctrl+Right go.
// A multi-line edit (one line here too) keeps its text in a local block the program may hold
// (EM_GETHANDLE, EM_SETHANDLE), in the window's kind: ANSI for an ANSI window. It takes Enter
// and Tab as text, and in a dialog handles Tab, Escape and Enter itself (it wants every key).
#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

#include "controls/clipboard.h"
#include "controls/control_support.h"
#include "controls/edit_buffer.h"
#include "src/popup_menu.h"
#include "src/window_system.h"

namespace win32::controls {

namespace {

// EM_LIMITTEXT(0): the largest limit of a single-line edit, and of a multi-line one.
constexpr std::size_t kLargestLimit = 0x7FFFFFFE;
constexpr std::size_t kLargestMultiLineLimit = 0xFFFFFFFF;
constexpr int kCaretWidth = 1;  // pixels

struct Edit {
    EditBuffer buffer;
    std::size_t firstVisible = 0;  // index of the first character shown
    bool focused = false;
    bool selecting = false;  // the left button is down and the mouse extends the selection
    bool modified = false;
    HFONT font = nullptr;
    char16_t passwordChar = u'*';  // shown for each character while ES_PASSWORD is set
    int leftMargin = 0;            // pixels between the client edge and the text (EM_SETMARGINS)
    int rightMargin = 0;
    bool created = false;   // WM_CREATE came: the text has its place (EM_GETRECT)
    bool inDialog = false;  // a dialog manager asked WM_GETDLGCODE about a message
    // The local block that holds the text once EM_GETHANDLE or EM_SETHANDLE is used (a
    // multi-line edit's), freed with the edit, and its text's bytes as the edit last saw them.
    HLOCAL handle = nullptr;
    std::vector<char> handed;
    EDITWORDBREAKPROCW wordBreak = nullptr;
};

// The formatting rectangle the text is drawn in (EM_GETRECT): the client area less a pixel on
// each side within a client edge (above and below too where a line has room), less the
// margins; one line high, within the client area.
RECT FormatRect(HWND hwnd, const Edit& edit) {
    RECT format{};
    if (!edit.created) return format;
    GetClientRect(hwnd, &format);
    const int lineHeight = EditFontMetrics().lineHeight;
    if (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
        InflateRect(&format, -1, 0);
        if (format.bottom - format.top >= lineHeight + 2) InflateRect(&format, 0, -1);
    }
    format.left += edit.leftMargin;
    format.right = std::max(format.left, format.right - edit.rightMargin);
    RECT client{};
    GetClientRect(hwnd, &client);
    format.bottom = std::min(format.top + lineHeight, client.bottom);
    return format;
}

int TextAreaWidth(HWND hwnd, const Edit& edit) {
    const RECT format = FormatRect(hwnd, edit);
    return format.right - format.left;
}

void SetMargins(Edit& edit, WPARAM which, int left, int right) {
    if (which & EC_LEFTMARGIN) edit.leftMargin = std::max(0, left);
    if (which & EC_RIGHTMARGIN) edit.rightMargin = std::max(0, right);
}

// The font's margins, where the font gives any and the edit is wide enough for them and two
// average characters (an edit not yet sized counts as 80 pixels wide); else none.
std::optional<EditMargins> FontMargins(HWND hwnd) {
    const EditFont font = EditFontMetrics();
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = IsRectEmpty(&client) ? 80 : client.right - client.left;
    if (!font.margins || width < font.margins->left + font.margins->right + 2 * font.averageWidth)
        return std::nullopt;
    return font.margins;
}

// The width of text as the display shows it: a password edit shows its mask character once
// per unit.
int TextWidth(DWORD style, char16_t mask, std::u16string_view text) {
    if (style & ES_PASSWORD) {
        // Bounded so that the product stays an int for any text WM_SETTEXT may bring.
        const auto count = static_cast<int>(std::min<std::size_t>(text.size(), 1 << 20));
        return win32::MeasureText(std::u16string_view(&mask, 1)) * count;
    }
    return win32::MeasureText(text);
}

int Width(HWND hwnd, const Edit& edit, std::size_t from, std::size_t to) {
    return TextWidth(StyleOf(hwnd), edit.passwordChar,
                     std::u16string_view(edit.buffer.text()).substr(from, to - from));
}

// Keeps the caret within the client area, with room for the caret itself after the last
// character, and uses free space at the right for text scrolled out at the left.
void ScrollCaretIntoView(HWND hwnd, Edit& edit) {
    const EditBuffer& buffer = edit.buffer;
    if (!(StyleOf(hwnd) & ES_AUTOHSCROLL)) {
        edit.firstVisible = 0;
        return;
    }
    const int width = TextAreaWidth(hwnd, edit);
    const std::size_t caret = buffer.caret();
    std::size_t first = std::min(edit.firstVisible, caret);
    int shown = Width(hwnd, edit, first, caret);
    while (first < caret && shown >= width) {
        const std::size_t next = buffer.NextChar(first);
        shown -= Width(hwnd, edit, first, next);
        first = next;
    }
    int tail = Width(hwnd, edit, first, buffer.text().size());
    while (first > 0) {
        const std::size_t previous = buffer.PreviousChar(first);
        const int added = Width(hwnd, edit, previous, first);
        if (tail + added >= width) break;
        tail += added;
        first = previous;
    }
    edit.firstVisible = first;
}

// The character boundary nearest to a client x coordinate.
std::size_t CharFromX(HWND hwnd, const Edit& edit, int x) {
    const EditBuffer& buffer = edit.buffer;
    std::size_t position = edit.firstVisible;
    int left = FormatRect(hwnd, edit).left;
    while (position < buffer.text().size()) {
        const std::size_t next = buffer.NextChar(position);
        const int width = Width(hwnd, edit, position, next);
        if (2 * x < 2 * left + width) break;
        left += width;
        position = next;
    }
    return position;
}

// EM_POSFROMCHAR: the client coordinates of the character's top left, packed as two shorts; -1
// for a position at or past the end of the text.
LRESULT PositionOfChar(HWND hwnd, const Edit& edit, WPARAM index) {
    if (index >= edit.buffer.text().size()) return -1;
    const RECT format = FormatRect(hwnd, edit);
    const std::size_t first = edit.firstVisible;
    int x = format.left;
    if (index >= first) {
        x += Width(hwnd, edit, first, index);
    } else {
        x -= Width(hwnd, edit, index, first);
    }
    return static_cast<LRESULT>(
        MAKELONG(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(format.top)));
}

bool NotifyAndSurvive(HWND hwnd, WORD code) {
    Notify(hwnd, code);
    return IsWindow(hwnd) != FALSE;
}

// Moves the thread's caret, which the edit owns while it has the focus, to the left of the
// character after the edit's caret, at the top of the line.
void PlaceCaret(HWND hwnd, const Edit& edit) {
    if (!edit.focused) return;
    const RECT format = FormatRect(hwnd, edit);
    const std::size_t caret = edit.buffer.caret();
    SetCaretPos(format.left + Width(hwnd, edit, std::min(edit.firstVisible, caret), caret),
                format.top);
}

void SelectionMoved(HWND hwnd, Edit& edit) {
    ScrollCaretIntoView(hwnd, edit);
    PlaceCaret(hwnd, edit);
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Shows a change of the buffer and tells the parent. Nothing of the edit is touched once the
// parent has been told: it may destroy the control.
void Changed(HWND hwnd, Edit& edit, EditBuffer::Change change) {
    if (change.changed) edit.modified = true;
    SelectionMoved(hwnd, edit);
    if (change.truncated && !NotifyAndSurvive(hwnd, EN_MAXTEXT)) return;
    // Input refused at the limit still counts as an edit that may have changed the text.
    if ((change.changed || change.truncated) && NotifyAndSurvive(hwnd, EN_UPDATE))
        Notify(hwnd, EN_CHANGE);
}

EditBuffer::Change ReplaceSelection(HWND hwnd, Edit& edit, std::u16string_view text) {
    const DWORD style = StyleOf(hwnd);
    std::function<bool(const std::u16string&)> fits;
    if (!(style & ES_AUTOHSCROLL)) {
        const int width = TextAreaWidth(hwnd, edit);
        fits = [style, width, mask = edit.passwordChar](const std::u16string& candidate) {
            const int needed = TextWidth(style, mask, candidate);
            return needed == 0 || needed < width;
        };
    }
    return edit.buffer.ReplaceSelection(text, true, fits);
}

bool IsReadOnly(HWND hwnd) { return (StyleOf(hwnd) & ES_READONLY) != 0; }

// Deletes [from, to) when there is no selection, else the selection.
void Delete(HWND hwnd, Edit& edit, std::size_t from, std::size_t to) {
    if (IsReadOnly(hwnd)) {
        win32::Beep();
        return;
    }
    if (!edit.buffer.HasSelection()) edit.buffer.Select(from, to);
    Changed(hwnd, edit, edit.buffer.ReplaceSelection(u"", false));
}

void TypeCharacter(HWND hwnd, Edit& edit, char16_t c) {
    const DWORD style = StyleOf(hwnd);
    if ((style & ES_READONLY) || ((style & ES_NUMBER) && (c < u'0' || c > u'9'))) {
        win32::Beep();
        return;
    }
    if ((style & ES_UPPERCASE) && c >= u'a' && c <= u'z') c = c - u'a' + u'A';
    if ((style & ES_LOWERCASE) && c >= u'A' && c <= u'Z') c = c - u'A' + u'a';
    Changed(hwnd, edit, ReplaceSelection(hwnd, edit, std::u16string_view(&c, 1)));
}

// A line break goes in whole or not at all; it does not make the line wider.
void BreakLine(HWND hwnd, Edit& edit) {
    if (IsReadOnly(hwnd)) {
        win32::Beep();
        return;
    }
    const EditBuffer& buffer = edit.buffer;
    const std::size_t kept =
        buffer.text().size() - (buffer.selectionEnd() - buffer.selectionStart());
    if (kept + 2 > buffer.limit()) {
        Changed(hwnd, edit, {false, true});
        return;
    }
    Changed(hwnd, edit, edit.buffer.ReplaceSelection(u"\r\n", true));
}

void Copy(HWND hwnd, const Edit& edit) {
    // A password edit never gives its text away.
    if (edit.buffer.HasSelection() && !(StyleOf(hwnd) & ES_PASSWORD))
        SetClipboardText(std::u16string(edit.buffer.SelectedText()));
}

// Every paste comes here, a display's too, so that what an edit keeps of pasted text is decided
// once: a single-line edit the first line, a multi-line one the whole text, line breaks and all.
void Paste(HWND hwnd, Edit& edit) {
    std::optional<std::u16string> clip;
    if (const auto pasted = TextBeingPasted()) {
        clip.emplace(*pasted);
    } else {
        clip = ClipboardText();
    }
    if (IsReadOnly(hwnd)) return;
    // Another program's copy is fetched by the display, and its paste comes back here.
    if (!clip && PasteFromElsewhere()) return;
    // A password edit pastes an empty clipboard too: over the selection, which it removes.
    if (!clip) {
        if (StyleOf(hwnd) & ES_PASSWORD) Changed(hwnd, edit, ReplaceSelection(hwnd, edit, u""));
        return;
    }
    std::u16string_view text = *clip;
    if (!(StyleOf(hwnd) & ES_MULTILINE)) text = text.substr(0, text.find_first_of(u"\r\n"));
    Changed(hwnd, edit, ReplaceSelection(hwnd, edit, text));
}

// Undo swaps the last step back, even an empty one, and tells the parent of the change once
// more after the usual EN_UPDATE and EN_CHANGE.
void Undo(HWND hwnd, Edit& edit) {
    if (IsReadOnly(hwnd)) return;
    Changed(hwnd, edit, {edit.buffer.Undo(), false});
    if (IsWindow(hwnd)) Notify(hwnd, EN_CHANGE);
}

// Where the program's word-break procedure puts the start of the word left or right of the
// caret (WB_LEFT, WB_RIGHT), within the text; nothing when the procedure destroyed the edit. The
// procedure gets a copy of the text, which it may write into.
std::optional<std::size_t> ProgramWordBreak(HWND hwnd, const Edit& edit, int action) {
    std::u16string text = edit.buffer.text();
    const auto length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    const int at =
        edit.wordBreak(text.data(), static_cast<int>(edit.buffer.caret()), length, action);
    if (!IsWindow(hwnd)) return std::nullopt;
    return static_cast<std::size_t>(std::clamp(at, 0, length));
}

// A multi-line edit wants every key, so in a dialog it does itself what the dialog manager does
// with Tab, Escape and Enter (unless ES_WANTRETURN): Escape is posted as WM_CLOSE, so that keys
// queued before it still reach the dialog; Enter moves the focus to the default button and
// posts the key to it. True when the key was one of these.
bool DialogKey(HWND hwnd, const Edit& edit, WPARAM key) {
    const DWORD style = StyleOf(hwnd);
    if (!(style & ES_MULTILINE) || !edit.inDialog) return false;
    HWND parent = GetParent(hwnd);
    switch (key) {
        case VK_TAB:
            SendMessageW(parent, WM_NEXTDLGCTL, KeyIsDown(VK_SHIFT) ? 1 : 0, 0);
            return true;
        case VK_ESCAPE:
            PostMessageW(parent, WM_CLOSE, 0, 0);
            return true;
        case VK_RETURN: {
            if (style & ES_WANTRETURN) return false;
            // A dialog without a default push button answers IDOK without DC_HASDEFID.
            const auto id = LOWORD(SendMessageW(parent, DM_GETDEFID, 0, 0));
            HWND button = id != 0 ? GetDlgItem(parent, id) : nullptr;
            if (button != nullptr) {
                SendMessageW(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
                PostMessageW(button, WM_KEYDOWN, VK_RETURN, 0);
            }
            return true;
        }
        default:
            return false;
    }
}

LRESULT OnKeyDown(HWND hwnd, Edit& edit, WPARAM key) {
    EditBuffer& buffer = edit.buffer;
    const bool shift = KeyIsDown(VK_SHIFT);
    const bool control = KeyIsDown(VK_CONTROL);
    const std::size_t caret = buffer.caret();
    auto move = [&](std::size_t position) {
        buffer.MoveCaret(position, shift);
        SelectionMoved(hwnd, edit);
    };
    auto moveByWord = [&](int action) {
        if (edit.wordBreak == nullptr) {
            move(action == WB_LEFT ? buffer.PreviousWord(caret) : buffer.NextWord(caret));
        } else if (const std::optional<std::size_t> at = ProgramWordBreak(hwnd, edit, action)) {
            move(*at);
        }
    };
    switch (key) {
        case VK_LEFT:
        case VK_UP:  // a single line: Up moves like Left, Down like Right
            if (control) {
                moveByWord(WB_LEFT);
            } else {
                move(buffer.PreviousChar(caret));
            }
            break;
        case VK_RIGHT:
        case VK_DOWN:
            if (control) {
                moveByWord(WB_RIGHT);
            } else {
                move(buffer.NextChar(caret));
            }
            break;
        case VK_HOME:
            move(0);
            break;
        case VK_END:
            move(buffer.text().size());
            break;
        case VK_DELETE:
            if (shift && !control) {
                SendMessageW(hwnd, WM_CUT, 0, 0);
            } else {
                Delete(hwnd, edit, caret, control ? buffer.text().size() : buffer.NextChar(caret));
            }
            break;
        case VK_INSERT:
            if (control && !shift) SendMessageW(hwnd, WM_COPY, 0, 0);
            if (shift && !control) SendMessageW(hwnd, WM_PASTE, 0, 0);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT OnChar(HWND hwnd, Edit& edit, char16_t c) {
    // Control characters as TranslateMessage makes them from Ctrl+letter and friends.
    switch (c) {
        case 0x01:  // Ctrl+A
            edit.buffer.Select(0, edit.buffer.text().size());
            SelectionMoved(hwnd, edit);
            return 0;
        case 0x03:  // Ctrl+C
            SendMessageW(hwnd, WM_COPY, 0, 0);
            return 0;
        case 0x16:  // Ctrl+V
            SendMessageW(hwnd, WM_PASTE, 0, 0);
            return 0;
        case 0x18:  // Ctrl+X
            SendMessageW(hwnd, WM_CUT, 0, 0);
            return 0;
        case 0x1A:  // Ctrl+Z
            SendMessageW(hwnd, WM_UNDO, 0, 0);
            return 0;
        case u'\b':
            Delete(hwnd, edit, edit.buffer.PreviousChar(edit.buffer.caret()), edit.buffer.caret());
            return 0;
        case u'\r':
            // In a dialog, Enter without ES_WANTRETURN is the dialog's.
            if ((StyleOf(hwnd) & ES_MULTILINE) &&
                ((StyleOf(hwnd) & ES_WANTRETURN) || !edit.inDialog))
                BreakLine(hwnd, edit);
            return 0;
        case u'\t':
            if (StyleOf(hwnd) & ES_MULTILINE) TypeCharacter(hwnd, edit, c);
            return 0;
        default:
            // Escape and the other control characters mean nothing to an edit; neither do
            // Enter and Tab to a single line.
            if (c < 0x20 || c == 0x7F) return 0;
            TypeCharacter(hwnd, edit, c);
            return 0;
    }
}

LRESULT OnButtonDown(HWND hwnd, WPARAM flags, LPARAM lParam, bool doubleClick) {
    if (GetFocus() != hwnd) {
        SetFocus(hwnd);  // the parent hears EN_SETFOCUS and may do anything meanwhile
        if (!IsWindow(hwnd)) return 0;
    }
    Edit* edit = StateOf<Edit>(hwnd);
    if (!edit) return 0;
    const std::size_t position = CharFromX(hwnd, *edit, static_cast<short>(LOWORD(lParam)));
    if (doubleClick) {
        const auto [first, last] = edit->buffer.WordAt(position);
        edit->buffer.Select(first, last);
    } else {
        edit->buffer.MoveCaret(position, (flags & MK_SHIFT) != 0);
        edit->selecting = true;
        SetCapture(hwnd);
    }
    SelectionMoved(hwnd, *edit);
    return 0;
}

void StopSelecting(HWND hwnd, Edit& edit) {
    if (!edit.selecting) return;
    edit.selecting = false;
    if (GetCapture() == hwnd) ReleaseCapture();
}

// EM_SETSEL: start is the anchor, end the caret; -1 as end means the end of the text and -1
// as start removes the selection, leaving the caret where it is.
void SetSelection(HWND hwnd, Edit& edit, WPARAM wParam, LPARAM lParam) {
    const auto start = static_cast<INT>(wParam);
    const auto end = static_cast<INT>(lParam);
    EditBuffer& buffer = edit.buffer;
    if (start == -1) {
        buffer.Select(buffer.caret(), buffer.caret());
    } else {
        const std::size_t length = buffer.text().size();
        buffer.Select(start < 0 ? length : static_cast<std::size_t>(start),
                      end < 0 ? length : static_cast<std::size_t>(end));
    }
    SelectionMoved(hwnd, edit);
}

LRESULT GetText(const Edit& edit, WPARAM size, LPARAM buffer) {
    auto* out = reinterpret_cast<char16_t*>(buffer);
    if (size == 0 || !out) return 0;
    const std::u16string& text = edit.buffer.text();
    const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
    std::copy_n(text.begin(), count, out);
    out[count] = u'\0';
    return static_cast<LRESULT>(count);
}

// EM_GETLINE: the buffer's first WORD is its size in characters; the line is copied without a
// terminator. A single-line edit has one line, whatever line is asked for.
LRESULT GetLine(const Edit& edit, LPARAM buffer) {
    auto* out = reinterpret_cast<char16_t*>(buffer);
    if (!out) return 0;
    WORD size;
    std::memcpy(&size, out, sizeof size);
    const std::u16string& text = edit.buffer.text();
    const std::size_t count = std::min<std::size_t>(text.size(), size);
    std::copy_n(text.begin(), count, out);
    return static_cast<LRESULT>(count);
}

// The text's bytes in a block, in the window's kind (ANSI for an ANSI window) and terminated,
// as the program may have left them; nullopt for a block that is gone.
std::optional<std::vector<char>> BlockText(HWND hwnd, HLOCAL block) {
    const SIZE_T size = LocalSize(block);
    const auto* bytes = static_cast<const char*>(LocalLock(block));
    if (bytes == nullptr) return std::nullopt;
    const std::size_t unit = IsWindowUnicode(hwnd) ? sizeof(char16_t) : 1;
    std::size_t end = 0;
    while (end + unit <= size &&
           std::any_of(bytes + end, bytes + end + unit, [](char byte) { return byte != 0; })) {
        end += unit;
    }
    std::vector<char> text(bytes, bytes + end);
    text.resize(end + unit, '\0');  // terminated, even where the program left no terminator
    LocalUnlock(block);
    return text;
}

std::vector<char> EncodeText(HWND hwnd, const std::u16string& text) {
    if (IsWindowUnicode(hwnd)) {
        const auto* bytes = reinterpret_cast<const char*>(text.c_str());
        return std::vector<char>(bytes, bytes + (text.size() + 1) * sizeof(char16_t));
    }
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> ansi(static_cast<std::size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), size, nullptr, nullptr);
    return ansi;
}

std::u16string DecodeText(HWND hwnd, const std::vector<char>& bytes) {
    if (IsWindowUnicode(hwnd)) {
        std::u16string text(bytes.size() / sizeof(char16_t) - 1, u'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(char16_t));
        return text;
    }
    const int length = static_cast<int>(bytes.size()) - 1;
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), length)));
    return text;
}

// Takes up what the program wrote into the block since the edit last left its text there.
void TakeUpBlock(HWND hwnd, Edit& edit) {
    std::optional<std::vector<char>> bytes = BlockText(hwnd, edit.handle);
    if (!bytes || *bytes == edit.handed) return;
    edit.buffer.SetText(DecodeText(hwnd, *bytes));
    edit.handed = std::move(*bytes);
}

// Leaves the text in the block, which grows where it must (keeping its handle).
void LeaveInBlock(HWND hwnd, Edit& edit) {
    std::vector<char> bytes = EncodeText(hwnd, edit.buffer.text());
    if (bytes == edit.handed) return;
    if (LocalSize(edit.handle) < bytes.size() &&
        LocalReAlloc(edit.handle, bytes.size(), LMEM_MOVEABLE) == nullptr) {
        return;
    }
    if (void* block = LocalLock(edit.handle)) {
        std::memcpy(block, bytes.data(), bytes.size());
        LocalUnlock(edit.handle);
        edit.handed = std::move(bytes);
    }
}

// EM_GETHANDLE: a multi-line edit's text from now on lives in a local block of its own, which
// the program may read and write; a single-line edit has none.
HLOCAL TextHandle(HWND hwnd, Edit& edit) {
    if (!(StyleOf(hwnd) & ES_MULTILINE)) return nullptr;
    if (edit.handle == nullptr) {
        edit.handle = LocalAlloc(LMEM_MOVEABLE, 1);
        edit.handed.clear();
        LeaveInBlock(hwnd, edit);
    }
    return edit.handle;
}

// EM_SETHANDLE: the program's block becomes the text; the one it replaces is the program's to
// free, as it holds it from EM_GETHANDLE.
void SetTextHandle(HWND hwnd, Edit& edit, HLOCAL block) {
    if (!(StyleOf(hwnd) & ES_MULTILINE) || block == nullptr) return;
    std::optional<std::vector<char>> bytes = BlockText(hwnd, block);
    if (!bytes) return;
    edit.handle = block;
    edit.buffer.SetText(DecodeText(hwnd, *bytes));
    edit.handed = std::move(*bytes);
    edit.firstVisible = 0;
    edit.modified = false;
    SelectionMoved(hwnd, edit);
}

// The context menu (a right click, Shift+F10, the menu key) with Windows' items, each greyed
// where it does not apply; the edit takes the focus first. From the keyboard (-1, -1) it opens
// at the middle of the edit, as on Windows. The item chosen is the message it stands for.
void ContextMenu(HWND hwnd, const Edit& edit, LPARAM lParam) {
    if (GetFocus() != hwnd) SetFocus(hwnd);
    if (!IsWindow(hwnd)) return;
    const bool byKeyboard = lParam == -1;
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (byKeyboard) {
        RECT client{};
        GetClientRect(hwnd, &client);
        at = POINT{client.right / 2, client.bottom / 2};
        ClientToScreen(hwnd, &at);
    }
    const EditBuffer& buffer = edit.buffer;
    const bool readOnly = IsReadOnly(hwnd);
    const bool password = (StyleOf(hwnd) & ES_PASSWORD) != 0;
    const std::size_t start = buffer.selectionStart(), end = buffer.selectionEnd();
    const bool selection = start != end;
    const bool all = std::min(start, end) == 0 && std::max(start, end) == buffer.text().size();
    std::vector<MenuItem> items = {
        {u"&Undo", WM_UNDO, buffer.CanUndo() && !readOnly},
        {},
        {u"Cu&t", WM_CUT, selection && !password && !readOnly},
        {u"&Copy", WM_COPY, selection && !password},
        {u"&Paste", WM_PASTE, ClipboardHoldsText() && !readOnly},
        {u"&Delete", WM_CLEAR, selection && !readOnly},
        {},
        {u"Select &All", EM_SETSEL, !all},
    };
    const UINT chosen = TrackMenu(hwnd, std::move(items), at, byKeyboard, TRUE);
    if (chosen == EM_SETSEL) {
        SendMessageW(hwnd, EM_SETSEL, 0, -1);
    } else if (chosen != 0) {
        SendMessageW(hwnd, chosen, 0, 0);
    }
}

LRESULT OnSetText(HWND hwnd, Edit& edit, LPARAM lParam) {
    const auto* text = reinterpret_cast<const char16_t*>(lParam);
    edit.buffer.SetText(text ? text : u"");
    edit.firstVisible = 0;
    edit.modified = false;
    SelectionMoved(hwnd, edit);
    if (NotifyAndSurvive(hwnd, EN_UPDATE)) Notify(hwnd, EN_CHANGE);
    return TRUE;
}

LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* edit = new Edit;
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (create && create->lpszName && !IS_INTRESOURCE(create->lpszName))
            edit->buffer.SetText(create->lpszName);
        AttachState(hwnd, edit);
        // A bordered edit is drawn with the sunken client edge instead of the flat border.
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        if (style & WS_BORDER) {
            SetWindowLongW(hwnd, GWL_STYLE, style & ~WS_BORDER);
            SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
        }
    }
    Edit* edit = StateOf<Edit>(hwnd);
    if (!edit) return DefWindowProcW(hwnd, message, wParam, lParam);
    EditBuffer& buffer = edit->buffer;

    switch (message) {
        case WM_CREATE:
            edit->created = true;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_NCDESTROY:
            if (edit->handle != nullptr) LocalFree(edit->handle);
            DeleteState<Edit>(hwnd);
            return DefWindowProcW(hwnd, message, wParam, lParam);

        case WM_GETDLGCODE:
            if (lParam != 0) edit->inDialog = true;
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS |
                   ((StyleOf(hwnd) & ES_MULTILINE) ? DLGC_WANTALLKEYS : 0);

        case WM_GETTEXT:
            return GetText(*edit, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(buffer.text().size());
        case WM_SETTEXT:
            return OnSetText(hwnd, *edit, lParam);

        case WM_SETFOCUS:
            edit->focused = true;
            CreateCaret(hwnd, nullptr, kCaretWidth, EditFontMetrics().lineHeight);
            SelectionMoved(hwnd, *edit);
            ShowCaret(hwnd);
            Notify(hwnd, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            edit->focused = false;
            // Only the edit's own caret goes: the program may have made one for another window.
            if (HideCaret(hwnd)) DestroyCaret();
            StopSelecting(hwnd, *edit);
            InvalidateRect(hwnd, nullptr, TRUE);
            Notify(hwnd, EN_KILLFOCUS);
            return 0;

        // Both answer 1, handled or not.
        case WM_KEYDOWN:
            if (!DialogKey(hwnd, *edit, wParam)) OnKeyDown(hwnd, *edit, wParam);
            return 1;
        case WM_CHAR:
            OnChar(hwnd, *edit, static_cast<char16_t>(wParam));
            return 1;
        case WM_SYSKEYDOWN:
            if (wParam == VK_BACK && ((HIWORD(lParam) & KF_ALTDOWN) || KeyIsDown(VK_MENU))) {
                Undo(hwnd, *edit);
                return 0;
            }
            return DefWindowProcW(hwnd, message, wParam, lParam);

        case WM_CONTEXTMENU:
            ContextMenu(hwnd, *edit, lParam);
            return 0;

        case WM_LBUTTONDOWN:
            return OnButtonDown(hwnd, wParam, lParam, false);
        case WM_LBUTTONDBLCLK:
            return OnButtonDown(hwnd, wParam, lParam, true);
        case WM_MOUSEMOVE:
            if (edit->selecting) {
                buffer.MoveCaret(CharFromX(hwnd, *edit, static_cast<short>(LOWORD(lParam))), true);
                SelectionMoved(hwnd, *edit);
            }
            return 0;
        case WM_LBUTTONUP:
            StopSelecting(hwnd, *edit);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) edit->selecting = false;
            return 0;

        case WM_COPY:
            Copy(hwnd, *edit);
            return 0;
        case WM_CUT:
            if (IsReadOnly(hwnd) || (StyleOf(hwnd) & ES_PASSWORD)) return 0;
            Copy(hwnd, *edit);
            Changed(hwnd, *edit, buffer.ReplaceSelection(u"", false));
            return 0;
        case WM_CLEAR:
            if (IsReadOnly(hwnd)) return 0;
            Changed(hwnd, *edit, buffer.ReplaceSelection(u"", false));
            return 0;
        case WM_PASTE:
            Paste(hwnd, *edit);
            return 0;
        case WM_UNDO:
        case EM_UNDO:
            // A single-line edit answers TRUE whether or not there was anything to undo.
            Undo(hwnd, *edit);
            return TRUE;
        case EM_CANUNDO:
            return buffer.CanUndo();
        case EM_EMPTYUNDOBUFFER:
            buffer.EmptyUndo();
            return 0;

        case EM_GETSEL: {
            const std::size_t start = buffer.selectionStart();
            const std::size_t end = buffer.selectionEnd();
            if (auto* out = reinterpret_cast<DWORD*>(wParam)) *out = static_cast<DWORD>(start);
            if (auto* out = reinterpret_cast<DWORD*>(lParam)) *out = static_cast<DWORD>(end);
            // Positions that do not fit a WORD make the packed result -1.
            if (start > 0xFFFF || end > 0xFFFF) return -1;
            return MAKELRESULT(start, end);
        }
        case EM_SETSEL:
            SetSelection(hwnd, *edit, wParam, lParam);
            return 1;
        case EM_LINESCROLL:
            // One line has nothing to scroll; a multi-line edit says it did.
            return (StyleOf(hwnd) & ES_MULTILINE) ? TRUE : FALSE;
        case EM_REPLACESEL: {
            const auto* text = reinterpret_cast<const char16_t*>(lParam);
            const auto change = ReplaceSelection(hwnd, *edit, text ? text : u"");
            if (!wParam) buffer.EmptyUndo();
            Changed(hwnd, *edit, change);
            return TRUE;
        }
        case EM_GETCARETINDEX:
            return static_cast<LRESULT>(buffer.caret());
        case EM_SETCARETINDEX:
            buffer.MoveCaret(wParam, false);
            SelectionMoved(hwnd, *edit);
            return 0;
        case EM_SCROLLCARET:
            SelectionMoved(hwnd, *edit);
            return TRUE;
        case EM_POSFROMCHAR:
            return PositionOfChar(hwnd, *edit, wParam);
        case EM_CHARFROMPOS:
            // The nearest character boundary on the one line (line 0 in the high word).
            return static_cast<LRESULT>(
                MAKELONG(static_cast<WORD>(std::min<std::size_t>(
                             CharFromX(hwnd, *edit, static_cast<short>(LOWORD(lParam))), 0xFFFF)),
                         0));
        case EM_GETFIRSTVISIBLELINE:
            // A single-line edit answers with its first visible character.
            return static_cast<LRESULT>(edit->firstVisible);

        case EM_LIMITTEXT: {
            const std::size_t largest =
                (StyleOf(hwnd) & ES_MULTILINE) ? kLargestMultiLineLimit : kLargestLimit;
            buffer.SetLimit(wParam == 0 ? largest : std::min<std::size_t>(wParam, largest));
            return 0;
        }
        case EM_GETLINE:
            return GetLine(*edit, lParam);
        case EM_SETWORDBREAKPROC:
            edit->wordBreak = reinterpret_cast<EDITWORDBREAKPROCW>(lParam);
            return TRUE;
        case EM_GETWORDBREAKPROC:
            return reinterpret_cast<LRESULT>(edit->wordBreak);
        case EM_GETHANDLE:
            return reinterpret_cast<LRESULT>(TextHandle(hwnd, *edit));
        case EM_SETHANDLE:
            SetTextHandle(hwnd, *edit, reinterpret_cast<HLOCAL>(wParam));
            return 0;
        case EM_GETPASSWORDCHAR:
            return (StyleOf(hwnd) & ES_PASSWORD) ? edit->passwordChar : 0;
        case EM_SETPASSWORDCHAR: {
            // A character makes the edit a password edit; 0 makes it a plain one.
            const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
            if (wParam != 0) edit->passwordChar = static_cast<char16_t>(wParam);
            SetWindowLongW(hwnd, GWL_STYLE,
                           wParam != 0 ? style | ES_PASSWORD : style & ~ES_PASSWORD);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(buffer.limit());
        case EM_GETMODIFY:
            return edit->modified;
        case EM_SETMODIFY:
            edit->modified = wParam != 0;
            return 0;
        case EM_SETREADONLY: {
            const DWORD style = StyleOf(hwnd);
            SetWindowLongW(
                hwnd, GWL_STYLE,
                static_cast<LONG>(wParam ? style | ES_READONLY : style & ~DWORD{ES_READONLY}));
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }

        case WM_SETFONT:
            edit->font = reinterpret_cast<HFONT>(wParam);
            // The font brings its margins.
            if (std::optional<EditMargins> font = FontMargins(hwnd))
                SetMargins(*edit, EC_LEFTMARGIN | EC_RIGHTMARGIN, font->left, font->right);
            ScrollCaretIntoView(hwnd, *edit);
            PlaceCaret(hwnd, *edit);
            if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case EM_SETMARGINS: {
            const std::optional<EditMargins> font = FontMargins(hwnd);
            int left = LOWORD(lParam);
            int right = HIWORD(lParam);
            if (left == EC_USEFONTINFO) left = font ? font->left : edit->leftMargin;
            if (right == EC_USEFONTINFO) right = font ? font->right : edit->rightMargin;
            SetMargins(*edit, wParam, left, right);
            SelectionMoved(hwnd, *edit);
            return 0;
        }
        case EM_GETMARGINS:
            return MAKELONG(edit->leftMargin, edit->rightMargin);
        case EM_GETRECT:
            if (lParam != 0) *reinterpret_cast<RECT*>(lParam) = FormatRect(hwnd, *edit);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(edit->font);

        case WM_SIZE:
            SelectionMoved(hwnd, *edit);
            return 1;
        case WM_ENABLE:
        case WM_STYLECHANGED:
            InvalidateRect(hwnd, nullptr, TRUE);
            return DefWindowProcW(hwnd, message, wParam, lParam);

        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// With the text in a block the program holds, each message first takes up what the program
// wrote there and leaves the text there after (EM_SETHANDLE brings a block of its own).
LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Edit* edit = StateOf<Edit>(hwnd); edit && edit->handle && message != EM_SETHANDLE) {
        TakeUpBlock(hwnd, *edit);
    }
    const LRESULT result = HandleMessage(hwnd, message, wParam, lParam);
    if (Edit* edit = StateOf<Edit>(hwnd); edit && edit->handle) LeaveInBlock(hwnd, *edit);
    return result;
}

}  // namespace

void RegisterEditClass() { RegisterControlClass(u"Edit", CS_DBLCLKS | CS_PARENTDC, EditProc); }

}  // namespace win32::controls
