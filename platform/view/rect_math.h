// SPDX-License-Identifier: MIT
// Arithmetic on the view's rectangles for the displays, which call no Win32 function (not even
// OffsetRect or IntersectRect).
#pragma once

#include <windows.h>

#include <algorithm>

namespace win32 {

constexpr int Width(const RECT& r) { return r.right - r.left; }
constexpr int Height(const RECT& r) { return r.bottom - r.top; }
constexpr bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
constexpr bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
constexpr RECT Offset(const RECT& r, LONG dx, LONG dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
constexpr RECT Inset(const RECT& r, LONG by) {
    return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by};
}
// The part of `a` inside `b`: empty, at `a`'s clamped corner, where they do not meet.
constexpr RECT Intersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}
constexpr bool Contains(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
constexpr bool Contains(const RECT& r, POINT p) { return Contains(r, p.x, p.y); }

}  // namespace win32
