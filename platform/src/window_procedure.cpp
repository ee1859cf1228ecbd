// SPDX-License-Identifier: MIT
#include "src/window_procedure.h"

#include "win32/ansi_procedures.h"

#include <array>
#include <cstddef>
#include <utility>

namespace win32 {

namespace {

// A view: `target` seen by callers whose messages are ANSI when `ansi`.
struct View {
    Procedure target;
    bool ansi = false;
};

// Views are made once per procedure and kind and never freed (a program has a handful of
// procedures), so that a view stays callable for as long as anyone holds it.
constexpr std::size_t kViews = 128;

struct ViewTable {
    std::array<View, kViews> views;
    std::size_t used = 0;
};

ViewTable& Views() {
    static auto* table = new ViewTable;  // views may be called until exit
    return *table;
}

template <std::size_t N>
LRESULT CALLBACK ViewEntry(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const View& view = Views().views[N];
    return CallProcedure(view.target, view.ansi, hwnd, message, wParam, lParam);
}

template <std::size_t... N>
constexpr std::array<WNDPROC, sizeof...(N)> MakeEntries(std::index_sequence<N...>) {
    return {&ViewEntry<N>...};
}

constexpr std::array<WNDPROC, kViews> kEntries = MakeEntries(std::make_index_sequence<kViews>{});

}  // namespace

Procedure ResolveProcedure(WNDPROC value, bool callerAnsi) {
    const ViewTable& table = Views();
    for (std::size_t i = 0; i < table.used; ++i) {
        if (kEntries[i] == value) return table.views[i].target;
    }
    return Procedure{value, callerAnsi};
}

WNDPROC ProcedureView(Procedure procedure, bool callerAnsi) {
    if (procedure.proc == nullptr || procedure.ansi == callerAnsi) return procedure.proc;
    ViewTable& table = Views();
    for (std::size_t i = 0; i < table.used; ++i) {
        if (table.views[i].target == procedure && table.views[i].ansi == callerAnsi) {
            return kEntries[i];
        }
    }
    // Out of views (far more procedures than a program has): the procedure itself, unconverted.
    if (table.used == kViews) return procedure.proc;
    table.views[table.used] = View{procedure, callerAnsi};
    return kEntries[table.used++];
}

LRESULT CallProcedure(Procedure procedure, bool messageAnsi, HWND hwnd, UINT message, WPARAM wParam,
                      LPARAM lParam) {
    if (procedure.proc == nullptr) return 0;
    if (procedure.ansi == messageAnsi) return procedure.proc(hwnd, message, wParam, lParam);
    return CallConverted(procedure, hwnd, message, wParam, lParam);
}

WNDPROC WideProcedure(WNDPROC ansiProc) {
    return ProcedureView(ResolveProcedure(ansiProc, true), false);
}

WNDPROC AnsiProcedure(WNDPROC wideProc) {
    return ProcedureView(ResolveProcedure(wideProc, false), true);
}

}  // namespace win32
