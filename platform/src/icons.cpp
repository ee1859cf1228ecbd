// SPDX-License-Identifier: MIT
// Icons: LoadImageW and LoadIconW make icon handles from the program's RT_GROUP_ICON resources,
// choosing the group's best image for the size asked; shared loads give the same handle.
// LoadImageW hands bitmaps on to src/bitmaps.cpp.
#include <windows.h>

#include <map>
#include <memory>
#include <tuple>

#include "src/icons.h"

#include "resources/icon_group.h"
#include "src/bitmaps.h"
#include "src/display_manager.h"
#include "src/handles.h"
#include "src/resources_glue.h"

namespace win32 {

namespace {

struct Icon {
    std::uint16_t imageId = 0;  // the RT_ICON chosen
    int width = 0;
    int height = 0;
    int bitCount = 0;
    bool shared = false;
    resources::IconImage image;  // views into the program's resources, kept for its life
    std::shared_ptr<const resources::IconPixels> pixels;  // decoded at first use
    bool decoded = false;
};

struct IconRegistry {
    HandleTable<Icon> table{HandleKind::kIcon};
    // Shared icons by origin (the system's or the program's), group name and size.
    std::map<std::tuple<bool, bool, std::uint16_t, std::u16string, int, int>, HICON> shared;
};

IconRegistry& Icons() {
    static auto* registry = new IconRegistry;
    return *registry;
}

constexpr int kDisplayBitsPerPixel = 32;

// IDI_APPLICATION to IDI_SHIELD: the system's own icons, which a module handle of NULL names.
constexpr std::uint16_t kFirstSystemIcon = 32512;
constexpr std::uint16_t kLastSystemIcon = 32518;

bool IsSystemIcon(HINSTANCE instance, LPCWSTR name) {
    return instance == nullptr && IS_INTRESOURCE(name) && LOWORD(name) >= kFirstSystemIcon &&
           LOWORD(name) <= kLastSystemIcon;
}

}  // namespace

std::shared_ptr<const resources::IconPixels> IconPixelsOf(HICON handle) {
    Icon* icon = Icons().table.Find(HandleValue(handle));
    if (icon == nullptr) return nullptr;
    if (!icon->decoded) {
        icon->decoded = true;
        if (std::optional<resources::IconPixels> pixels = resources::DecodeIconPixels(icon->image))
            icon->pixels = std::make_shared<const resources::IconPixels>(std::move(*pixels));
    }
    return icon->pixels;
}

}  // namespace win32

HANDLE WINAPI LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    using namespace win32;
    if (type == IMAGE_BITMAP) return LoadBitmapImage(hInst, name, cx, cy, fuLoad);
    if (type != IMAGE_ICON || (fuLoad & LR_LOADFROMFILE)) {
        // Cursors and files are not part of this platform.
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (name == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    auto group = resources::NameOrOrdinal::FromWin32(name);
    const SystemMetricsSet metrics = CurrentMetrics();
    const bool defaultSize = (fuLoad & LR_DEFAULTSIZE) != 0;
    const bool system = IsSystemIcon(hInst, name);
    // The system's icons are always shared, as the system owns them.
    if (system) fuLoad |= LR_SHARED;
    auto key = std::make_tuple(system, group.IsOrdinal(), group.ordinal(), group.name(), cx, cy);
    IconRegistry& icons = Icons();
    if (fuLoad & LR_SHARED) {
        auto found = icons.shared.find(key);
        if (found != icons.shared.end() && icons.table.Find(HandleValue(found->second))) {
            return found->second;
        }
    }
    auto icon = std::make_unique<Icon>();
    icon->shared = (fuLoad & LR_SHARED) != 0;
    if (system) {
        // A handle that behaves as Windows' does; this platform has no image for it, so the
        // displays draw nothing where it is shown.
        icon->width = cx != 0 ? cx : metrics.iconWidth;
        icon->height = cy != 0 ? cy : metrics.iconWidth;
        icon->bitCount = kDisplayBitsPerPixel;
        icon->decoded = true;
    } else {
        const resources::Resource* resource = FindProgramResource(
            hInst, false, resources::NameOrOrdinal(resources::kTypeGroupIcon), group);
        if (resource == nullptr) return nullptr;
        const int chooseX = cx != 0 ? cx : metrics.iconWidth;
        const int chooseY = cy != 0 ? cy : metrics.iconWidth;
        auto loaded =
            resources::LoadIconFromGroup(*resources::ProgramResources(), group, chooseX, chooseY,
                                         kDisplayBitsPerPixel, resource->language);
        if (!loaded) {
            SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
            return nullptr;
        }
        icon->imageId = loaded->iconId;
        // Size zero without LR_DEFAULTSIZE means the image's own size.
        icon->width = cx != 0 ? cx : defaultSize ? metrics.iconWidth : loaded->image.width;
        icon->height = cy != 0 ? cy : defaultSize ? metrics.iconWidth : loaded->image.height;
        icon->bitCount = loaded->image.bitCount;
        icon->image = loaded->image;
    }
    HICON handle = MakeHandle<HICON>(icons.table.Add(std::move(icon)));
    if (handle == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (fuLoad & LR_SHARED) icons.shared[key] = handle;
    return handle;
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    return static_cast<HICON>(
        LoadImageW(hInstance, lpIconName, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
    win32::Icon* icon = win32::Icons().table.Find(win32::HandleValue(hIcon));
    if (icon == nullptr) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    // Shared icons belong to the system; destroying one is a no-op that succeeds.
    if (!icon->shared) win32::Icons().table.Remove(win32::HandleValue(hIcon));
    return TRUE;
}
