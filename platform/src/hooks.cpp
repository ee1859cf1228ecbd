// SPDX-License-Identifier: MIT
// Windows hooks of the thread: WH_CBT, whose HCBT_ACTIVATE is asked before a window becomes the
// active one (a program's way to find a message box it opened), and WH_MSGFILTER, which sees
// the messages of the dialog manager's loops (CallMsgFilterW) before they are handled. Other
// kinds are not kept: their SetWindowsHookExW fails with ERROR_CALL_NOT_IMPLEMENTED.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "src/focus.h"
#include "src/handles.h"

namespace win32 {

namespace {

struct Hook {
    int kind;
    HOOKPROC proc;
};

HandleTable<Hook>& Hooks() {
    static auto* table = new HandleTable<Hook>(HandleKind::kHook);
    return *table;
}

bool IsKept(int kind) { return kind == WH_CBT || kind == WH_MSGFILTER; }

// The hooks of a kind, the one set last first: it is called first.
std::vector<std::uintptr_t>& Chain(int kind) {
    static auto* cbt = new std::vector<std::uintptr_t>;
    static auto* messageFilter = new std::vector<std::uintptr_t>;
    return kind == WH_CBT ? *cbt : *messageFilter;
}

LRESULT CallFrom(int kind, std::size_t index, int code, WPARAM wParam, LPARAM lParam) {
    // A copy: a hook may set or remove hooks.
    const std::vector<std::uintptr_t> chain = Chain(kind);
    if (index >= chain.size()) return 0;
    const Hook* hook = Hooks().Find(chain[index]);
    return hook != nullptr ? hook->proc(code, wParam, lParam) : 0;
}

}  // namespace

bool CbtRefusesActivation(HWND hwnd, bool byMouse, HWND active) {
    // A hook that works the window (clicks its buttons) activates it again: that is not asked.
    static HWND asking = nullptr;
    if (asking == hwnd) return false;
    HWND outer = asking;
    asking = hwnd;
    CBTACTIVATESTRUCT activation{byMouse ? TRUE : FALSE, active};
    const bool refused = CallFrom(WH_CBT, 0, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(hwnd),
                                  reinterpret_cast<LPARAM>(&activation)) != 0;
    asking = outer;
    return refused;
}

void ResetHooks() {
    for (int kind : {WH_CBT, WH_MSGFILTER}) {
        for (std::uintptr_t handle : Chain(kind)) Hooks().Remove(handle);
        Chain(kind).clear();
    }
}

}  // namespace win32

HHOOK WINAPI SetWindowsHookExW(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD) {
    using namespace win32;
    if (lpfn == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!IsKept(idHook)) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    const std::uintptr_t handle = Hooks().Add(std::make_unique<Hook>(Hook{idHook, lpfn}));
    if (handle == 0) return nullptr;
    Chain(idHook).insert(Chain(idHook).begin(), handle);
    return reinterpret_cast<HHOOK>(handle);
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) {
    using namespace win32;
    const auto handle = reinterpret_cast<std::uintptr_t>(hhk);
    const Hook* hook = Hooks().Find(handle);
    if (hook == nullptr) {
        SetLastError(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    std::erase(Chain(hook->kind), handle);
    Hooks().Remove(handle);
    return TRUE;
}

LRESULT WINAPI CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam) {
    using namespace win32;
    const Hook* hook = Hooks().Find(reinterpret_cast<std::uintptr_t>(hhk));
    if (hook == nullptr) return 0;
    const int kind = hook->kind;
    const std::vector<std::uintptr_t>& chain = Chain(kind);
    const auto at = std::find(chain.begin(), chain.end(), reinterpret_cast<std::uintptr_t>(hhk));
    if (at == chain.end()) return 0;
    return CallFrom(kind, static_cast<std::size_t>(at - chain.begin()) + 1, nCode, wParam, lParam);
}

BOOL WINAPI CallMsgFilterW(LPMSG lpMsg, int nCode) {
    return win32::CallFrom(WH_MSGFILTER, 0, nCode, 0, reinterpret_cast<LPARAM>(lpMsg)) != 0 ? TRUE
                                                                                            : FALSE;
}
