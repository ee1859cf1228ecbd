// SPDX-License-Identifier: MIT
// Windows and window classes as the window system keeps them, the table that maps window handles
// to them, and the tree they form (parents, children, owners, z-order). Internal to the platform.
//
// The window system serves one GUI thread: the windows, their queue and the display belong to
// the thread that uses them, as the program does.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "src/window_procedure.h"

namespace win32 {

struct DialogState;

struct WindowClass {
    std::u16string name;
    ATOM atom = 0;
    UINT style = 0;
    Procedure proc;
    WNDPROC ansiProc = nullptr;  // a built-in class's own procedure for ANSI windows, if any
    int classExtra = 0;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    int windows = 0;       // live windows of the class
    bool builtin = false;  // the dialog class and the controls
};

struct Window {
    Window();
    ~Window();

    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowClass;
    Procedure proc;
    // An ANSI window (IsWindowUnicode is FALSE): its procedure is ANSI, or it is a control an
    // ANSI caller created, whose procedure serves both kinds.
    bool ansi = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::u16string text;
    HWND parent = nullptr;       // child windows
    HWND owner = nullptr;        // top-level windows
    std::vector<HWND> children;  // top of the z-order first: creation order
    RECT rect{};                 // in the parent's client coordinates; screen for top-level
    RECT restoredRect{};         // where a minimised window goes back to
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;  // GWLP_ID
    LONG_PTR userData = 0;
    std::vector<unsigned char> extra;  // cbWndExtra bytes
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    bool destroying = false;  // WM_DESTROY has been sent
    // What waits for WM_PAINT: the window (its frame alone, for a child whose client area
    // missed), the part of its client area (client coordinates), and whether to erase first.
    bool paintPending = false;
    RECT update{};
    bool erasePending = false;
    std::unique_ptr<DialogState> dialog;  // windows the dialog manager made or adopted
    // SetPropW: by name (an atom's name is "#<atom>"), in the order they were set.
    std::vector<std::pair<std::u16string, HANDLE>> properties;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool IsVisible() const { return (style & WS_VISIBLE) != 0; }
    bool IsEnabled() const { return (style & WS_DISABLED) == 0; }
    bool IsMinimized() const { return (style & WS_MINIMIZE) != 0; }
};

// nullptr for a null, stale or bogus handle.
Window* FindWindow(HWND hwnd);
// As FindWindow, and sets ERROR_INVALID_WINDOW_HANDLE when there is no such window.
Window* CheckWindow(HWND hwnd);

// The desktop window: the parent of every top-level window, never destroyed.
HWND DesktopWindow();
bool IsDesktop(HWND hwnd);

HWND AddWindow(std::unique_ptr<Window> window);
// Takes the window out of the table; its handle is stale from now on. The object itself is kept
// until no message is being handled, so that code up the stack never touches freed memory.
void ReleaseWindow(HWND hwnd);
// Frees released windows; called where no window procedure is running.
void CollectReleasedWindows();
// Destroys every window for a fresh start without calling the program's code: windows go back to
// their built-in class procedure (or DefWindowProcW) and dialogs lose their dialog procedure
// first, because the program's procedures may be gone (a test that failed with an exception).
void DestroyAllWindows();
// Every live window, top-level windows and children alike.
std::vector<HWND> AllWindows();

// Top-level windows, top of the z-order first.
std::vector<HWND>& TopLevelWindows();
// The list of siblings `window` is in: its parent's children or the top-level windows.
std::vector<HWND>& Siblings(const Window& window);
void BringToTop(HWND hwnd);

// True when `hwnd` is `ancestor` or lies below it (children only, not owned windows).
bool IsSelfOrDescendant(HWND ancestor, HWND hwnd);
// The top-level window `hwnd` belongs to.
HWND RootOf(HWND hwnd);

// The widths of the frame and caption around the client area, from the display's metrics.
RECT NonClientInsets(DWORD style, DWORD exStyle);
RECT WindowRectOnScreen(const Window& window);
RECT ClientRectOnScreen(const Window& window);
// The client area's origin in screen coordinates; (0,0) for the desktop or no window.
POINT ClientOrigin(HWND hwnd);

// The window's procedure called with a message, as SendMessageW does for the same thread; the
// message's text is ANSI when `messageAnsi`.
LRESULT CallWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool messageAnsi = false);

// CreateWindowExW for a caller of either kind: a window of a built-in class is an ANSI window
// when `ansiCaller`; other windows are of their class's kind.
HWND CreateWindowFor(bool ansiCaller, DWORD exStyle, LPCWSTR className, LPCWSTR windowName,
                     DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, LPVOID param);

}  // namespace win32
