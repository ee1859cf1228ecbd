// SPDX-License-Identifier: MIT
#include "src/device_contexts.h"

#include <memory>

#include "src/fonts.h"
#include "src/handles.h"
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

DeviceContext* FindDeviceContext(HDC dc) { return DeviceContexts().Find(HandleValue(dc)); }

}  // namespace win32

HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd == nullptr) hWnd = win32::DesktopWindow();
    if (win32::CheckWindow(hWnd) == nullptr) return nullptr;
    return win32::AddDeviceContext(hWnd);
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

// The layer's displays count 96 pixels to the inch.
int WINAPI GetDeviceCaps(HDC hdc, int index) {
    if (win32::FindDeviceContext(hdc) == nullptr) return 0;
    return index == LOGPIXELSX || index == LOGPIXELSY ? 96 : 0;
}
