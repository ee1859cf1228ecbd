// SPDX-License-Identifier: MIT
#include "src/popup_menu.h"

#include <algorithm>

#include "src/display_manager.h"
#include "src/handles.h"
#include "src/message_queue.h"
#include "src/window.h"
#include "src/window_system.h"
#include "view/window_view.h"

namespace win32 {

namespace {

OpenMenu* openMenu = nullptr;

// The open menu's handle; a menu closed makes its handle stale.
HandleTable<OpenMenu*>& MenuHandles() {
    static auto* table = new HandleTable<OpenMenu*>(HandleKind::kMenu);
    return *table;
}

// The menu's window takes the clicks on it without becoming the active window.
LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Lays the items out below one another inside the frame, the menu as wide as its widest text
// with its margins, its top-left corner at `at`. Where it does not fit on the work area to the
// right of (below) `at`, it opens to the left (above) of it; then it is moved onto the area.
RECT LayOut(OpenMenu& menu, POINT at) {
    const SystemMetricsSet metrics = CurrentMetrics();
    const int frame = metrics.menuFrameWidth;
    const int itemHeight = std::max(metrics.menuItemHeight, CurrentFont().height + 4);
    int textWidth = 0;
    for (const MenuItem& item : menu.items)
        textWidth = std::max(textWidth, MeasureText(WithoutMnemonics(item.text)));
    const LONG width = textWidth + 2 * metrics.menuTextMargin + 2 * frame;
    LONG height = 2 * frame;
    for (const MenuItem& item : menu.items)
        height += item.IsSeparator() ? metrics.menuSeparatorHeight : itemHeight;

    // The work area of the monitor `at` is on, else of the primary one.
    const std::vector<MonitorArea> monitors = CurrentMonitors();
    RECT work =
        monitors.empty() ? RECT{at.x, at.y, at.x + width, at.y + height} : monitors.front().work;
    for (const MonitorArea& monitor : monitors) {
        if (PtInRect(&monitor.monitor, at)) work = monitor.work;
    }
    LONG x = at.x, y = at.y;
    if (x + width > work.right && x - width >= work.left) x -= width;
    if (y + height > work.bottom && y - height >= work.top) y -= height;
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));

    menu.rects.clear();
    LONG top = y + frame;
    for (const MenuItem& item : menu.items) {
        const LONG bottom = top + (item.IsSeparator() ? metrics.menuSeparatorHeight : itemHeight);
        menu.rects.push_back(RECT{x + frame, top, x + width - frame, bottom});
        top = bottom;
    }
    return RECT{x, y, x + width, y + height};
}

// The item at `point` (screen), separators included; kNone outside every item.
std::size_t ItemAt(const OpenMenu& menu, POINT point) {
    for (std::size_t i = 0; i < menu.rects.size(); ++i) {
        if (PtInRect(&menu.rects[i], point)) return i;
    }
    return OpenMenu::kNone;
}

// The next item that is no separator from `from` in direction `step` (+1 or -1), round the
// list; disabled items are highlighted too, as on Windows, but cannot be chosen.
std::size_t NextItem(const std::vector<MenuItem>& items, std::size_t from, int step) {
    const std::size_t count = items.size();
    if (from == OpenMenu::kNone) from = step > 0 ? count - 1 : 0;
    for (std::size_t i = 1; i <= count; ++i) {
        const std::size_t index = (from + count + static_cast<std::size_t>(step) * i) % count;
        if (!items[index].IsSeparator()) return index;
    }
    return OpenMenu::kNone;
}

// The item whose mnemonic is `c`, or kNone.
std::size_t ItemOfMnemonic(const std::vector<MenuItem>& items, WPARAM c) {
    const auto lower = [](WPARAM u) { return u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u; };
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::u16string& text = items[i].text;
        for (std::size_t at = 0; at + 1 < text.size(); ++at) {
            if (text[at] != u'&') continue;
            if (text[at + 1] != u'&') {
                if (lower(text[at + 1]) == lower(c)) return i;
                break;
            }
            ++at;
        }
    }
    return OpenMenu::kNone;
}

void Highlight(OpenMenu& menu, std::size_t item) {
    if (menu.highlighted == item) return;
    menu.highlighted = item;
    MarkDirty();
}

// Runs the open menu until it is done; the chosen item's command or 0.
UINT RunMenu(OpenMenu& menu, HWND owner) {
    MSG msg;
    for (;;) {
        // The owner hears when the menu waits for input; it may end the menu then (EndMenu).
        if (!menu.ending && QueueIsEmpty() && IsWindow(owner))
            SendMessageW(owner, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(menu.window));
        if (menu.ending || !IsWindow(owner) || !IsWindow(menu.window) || !NextLoopMessage(msg))
            break;
        switch (msg.message) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                switch (msg.wParam) {
                    case VK_UP:
                    case VK_DOWN:
                        Highlight(menu, NextItem(menu.items, menu.highlighted,
                                                 msg.wParam == VK_UP ? -1 : 1));
                        break;
                    case VK_HOME:
                    case VK_END:
                        Highlight(menu, NextItem(menu.items, OpenMenu::kNone,
                                                 msg.wParam == VK_HOME ? 1 : -1));
                        break;
                    case VK_RETURN:
                        // Enter on nothing or on a greyed item closes the menu choosing nothing.
                        if (menu.highlighted == OpenMenu::kNone) return 0;
                        return menu.items[menu.highlighted].enabled
                                   ? menu.items[menu.highlighted].command
                                   : 0;
                    case VK_ESCAPE:
                    case VK_MENU:
                    case VK_F10:
                        return 0;
                    default:
                        TranslateMessage(&msg);  // letters choose by mnemonic
                        break;
                }
                break;
            case WM_CHAR:
            case WM_SYSCHAR: {
                const std::size_t item = ItemOfMnemonic(menu.items, msg.wParam);
                if (item != OpenMenu::kNone && menu.items[item].enabled)
                    return menu.items[item].command;
                if (item != OpenMenu::kNone) {
                    Highlight(menu, item);
                } else {
                    MessageBeep(MB_OK);
                }
                break;
            }
            case WM_MOUSEMOVE:
            case WM_NCMOUSEMOVE: {
                const std::size_t item = ItemAt(menu, msg.pt);
                if (item != OpenMenu::kNone && !menu.items[item].IsSeparator())
                    Highlight(menu, item);
                break;
            }
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_NCLBUTTONDOWN:
            case WM_NCRBUTTONDOWN: {
                // A press outside the menu dismisses it; the press is not passed on.
                RECT rect;
                GetWindowRect(menu.window, &rect);
                if (!PtInRect(&rect, msg.pt)) return 0;
                break;
            }
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_NCLBUTTONUP:
            case WM_NCRBUTTONUP: {
                // A release on an enabled item chooses it; elsewhere on the menu it stays open.
                const std::size_t item = ItemAt(menu, msg.pt);
                if (item != OpenMenu::kNone && menu.items[item].enabled &&
                    !menu.items[item].IsSeparator())
                    return menu.items[item].command;
                break;
            }
            default:
                if (!IsInputMessage(msg.message)) DispatchMessageW(&msg);
                break;
        }
    }
    return 0;
}

}  // namespace

const OpenMenu* CurrentMenu() { return openMenu; }

bool IsInputMessage(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCRBUTTONUP);
}

bool NextLoopMessage(MSG& msg) {
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got != -1) return true;
    }
}

void RegisterMenuClass() {
    WNDCLASSEXW menuClass{};
    menuClass.cbSize = sizeof menuClass;
    menuClass.style = CS_SAVEBITS | CS_DBLCLKS;
    menuClass.lpfnWndProc = MenuWindowProc;
    menuClass.lpszClassName = u"#32768";
    RegisterClassExW(&menuClass);
}

UINT TrackMenu(HWND owner, std::vector<MenuItem> items, POINT at, bool byKeyboard, BOOL popup) {
    if (FindWindow(owner) == nullptr || openMenu != nullptr || items.empty()) return 0;
    OpenMenu menu;
    menu.items = std::move(items);
    const RECT rect = LayOut(menu, at);
    if (byKeyboard) {
        const auto enabled = std::find_if(menu.items.begin(), menu.items.end(), [](const auto& i) {
            return i.enabled && !i.IsSeparator();
        });
        if (enabled != menu.items.end())
            menu.highlighted = static_cast<std::size_t>(enabled - menu.items.begin());
    }
    SendMessageW(owner, WM_ENTERMENULOOP, static_cast<WPARAM>(popup), 0);
    if (!IsWindow(owner)) return 0;
    menu.window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, u"#32768", nullptr, WS_POPUP,
                                  rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, RootOf(owner), nullptr, nullptr, nullptr);
    UINT chosen = 0;
    if (menu.window != nullptr) {
        openMenu = &menu;
        menu.handle =
            reinterpret_cast<HMENU>(MenuHandles().Add(std::make_unique<OpenMenu*>(&menu)));
        // Closed however the loop ends, also by input that ran out (an exception).
        struct Closing {
            OpenMenu& menu;
            ~Closing() {
                MenuHandles().Remove(reinterpret_cast<std::uintptr_t>(menu.handle));
                openMenu = nullptr;
                if (GetCapture() == menu.window) ReleaseCapture();
                DestroyWindow(menu.window);
                MarkDirty();
            }
        } closing{menu};
        ShowWindow(menu.window, SW_SHOWNOACTIVATE);
        SetCapture(menu.window);
        chosen = RunMenu(menu, owner);
    }
    if (IsWindow(owner)) SendMessageW(owner, WM_EXITMENULOOP, static_cast<WPARAM>(popup), 0);
    return IsWindow(owner) ? chosen : 0;
}

}  // namespace win32

BOOL WINAPI EndMenu() {
    if (win32::openMenu != nullptr) win32::openMenu->ending = true;
    return TRUE;
}

// Of the open menu's window: the menu (item 0) or an item (1 onwards), its rectangle, and
// whether it is highlighted; the menu itself always has the focus while open.
BOOL WINAPI GetMenuBarInfo(HWND hwnd, LONG idObject, LONG idItem, PMENUBARINFO pmbi) {
    using namespace win32;
    const OpenMenu* menu = openMenu;
    if (pmbi == nullptr || pmbi->cbSize != sizeof *pmbi || idObject != OBJID_CLIENT ||
        menu == nullptr || menu->window != hwnd || idItem < 0 ||
        static_cast<std::size_t>(idItem) > menu->items.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (idItem == 0) {
        GetWindowRect(hwnd, &pmbi->rcBar);
    } else {
        pmbi->rcBar = menu->rects[static_cast<std::size_t>(idItem - 1)];
    }
    pmbi->hMenu = menu->handle;
    pmbi->hwndMenu = nullptr;
    // One-bit BOOL fields: true is all of the bit, -1.
    pmbi->fBarFocused = -1;
    pmbi->fFocused =
        idItem == 0 || menu->highlighted == static_cast<std::size_t>(idItem - 1) ? -1 : 0;
    return TRUE;
}

// An item of the open menu by position or by command: its state (greyed, highlighted) and id.
BOOL WINAPI GetMenuItemInfoW(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOW lpmii) {
    using namespace win32;
    OpenMenu* const* found = MenuHandles().Find(reinterpret_cast<std::uintptr_t>(hmenu));
    if (found == nullptr || lpmii == nullptr || lpmii->cbSize != sizeof *lpmii) {
        SetLastError(found == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const OpenMenu& menu = **found;
    std::size_t index = item;
    if (!fByPosition) {
        index = 0;
        while (index < menu.items.size() &&
               (menu.items[index].IsSeparator() || menu.items[index].command != item))
            ++index;
    }
    if (index >= menu.items.size()) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return FALSE;
    }
    if (lpmii->fMask & MIIM_STATE) {
        lpmii->fState = (menu.items[index].enabled ? 0u : UINT{MFS_GRAYED}) |
                        (menu.highlighted == index ? UINT{MFS_HILITE} : 0u);
    }
    if (lpmii->fMask & MIIM_ID) lpmii->wID = menu.items[index].command;
    return TRUE;
}
