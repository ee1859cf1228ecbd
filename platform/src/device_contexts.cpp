// SPDX-License-Identifier: MIT
#include "src/device_contexts.h"

#include <memory>

#include "src/fonts.h"
#include "src/handles.h"
#include "src/regions.h"
#include "src/window.h"

namespace win32 {

namespace {

HandleTable<DeviceContext>& DeviceContexts() {
    static auto* contexts = new HandleTable<DeviceContext>(HandleKind::kDeviceContext);
    return *contexts;
}

HDC AddDeviceContext(HWND window) {
    auto dc = std::make_unique<DeviceContext>();
    dc->window = window;
    dc->font = StockFont(SYSTEM_FONT);
    return MakeHandle<HDC>(DeviceContexts().Add(std::move(dc)));
}

}  // namespace

HDC CreateWindowDeviceContext(HWND window) { return AddDeviceContext(window); }

DeviceContext* FindDeviceContext(HDC dc) { return DeviceContexts().Find(HandleValue(dc)); }

}  // namespace win32

HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd == nullptr) hWnd = win32::DesktopWindow();
    if (win32::CheckWindow(hWnd) == nullptr) return nullptr;
    return win32::CreateWindowDeviceContext(hWnd);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    const win32::DeviceContext* dc = win32::FindDeviceContext(hDC);
    if (dc == nullptr || dc->window == nullptr) return 0;
    win32::DeviceContexts().Remove(win32::HandleValue(hDC));
    return 1;
}

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc != nullptr && win32::FindDeviceContext(hdc) == nullptr) return nullptr;
    return win32::AddDeviceContext(nullptr);
}

BOOL WINAPI DeleteDC(HDC hdc) {
    return win32::DeviceContexts().Remove(win32::HandleValue(hdc)) != nullptr ? TRUE : FALSE;
}

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    win32::DeviceContext* dc = win32::FindDeviceContext(hdc);
    if (dc == nullptr) return 0;  // ERROR
    RECT box{left, top, right, bottom};
    if (dc->clip) IntersectRect(&box, &box, &*dc->clip);
    if (IsRectEmpty(&box)) box = RECT{};
    dc->clip = box;
    return win32::RegionType(box);
}

int WINAPI GetClipRgn(HDC hdc, HRGN hrgn) {
    const win32::DeviceContext* dc = win32::FindDeviceContext(hdc);
    RECT* region = win32::FindRegion(hrgn);
    if (dc == nullptr || region == nullptr) return -1;
    if (!dc->clip) return 0;
    *region = *dc->clip;
    return 1;
}

// The layer's displays count 96 pixels to the inch.
int WINAPI GetDeviceCaps(HDC hdc, int index) {
    if (win32::FindDeviceContext(hdc) == nullptr) return 0;
    return index == LOGPIXELSX || index == LOGPIXELSY ? 96 : 0;
}
