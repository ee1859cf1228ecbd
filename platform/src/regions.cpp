// SPDX-License-Identifier: MIT
#include "src/regions.h"

#include <algorithm>
#include <memory>

#include "src/handles.h"

namespace win32 {

namespace {

HandleTable<RECT>& Regions() {
    static auto* regions = new HandleTable<RECT>(HandleKind::kRegion);
    return *regions;
}

}  // namespace

RECT* FindRegion(HRGN region) { return Regions().Find(HandleValue(region)); }

bool DeleteRegion(HRGN region) { return Regions().Remove(HandleValue(region)) != nullptr; }

int RegionType(const RECT& box) { return IsRectEmpty(&box) ? NULLREGION : SIMPLEREGION; }

}  // namespace win32

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    // Either corner may come first; an empty rectangle is the empty region.
    RECT box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    if (IsRectEmpty(&box)) box = RECT{};
    auto region = std::make_unique<RECT>(box);
    return win32::MakeHandle<HRGN>(win32::Regions().Add(std::move(region)));
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    const RECT* box = win32::FindRegion(hrgn);
    if (box == nullptr || lprc == nullptr) return 0;
    *lprc = *box;
    return win32::RegionType(*box);
}
