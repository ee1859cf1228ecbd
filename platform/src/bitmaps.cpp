// SPDX-License-Identifier: MIT
// Bitmaps: CreateBitmap, bitmap resources through LoadImageW and LoadBitmapW, GetDIBits. They are
// device-dependent bitmaps of the display's depth, so GetObjectW gives no bits pointer.
#include "src/bitmaps.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "resources/dib.h"
#include "src/device_contexts.h"
#include "src/handles.h"
#include "src/resources_glue.h"

namespace win32 {

namespace {

constexpr int kDisplayBitsPerPixel = 32;

struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPixel = 0;
    std::vector<std::uint32_t> pixels;
    std::shared_ptr<const resources::IconPixels> shown;  // made at first use
};

HandleTable<Bitmap>& Bitmaps() {
    static auto* bitmaps = new HandleTable<Bitmap>(HandleKind::kBitmap);
    return *bitmaps;
}

Bitmap* FindBitmap(HGDIOBJ object) { return Bitmaps().Find(HandleValue(object)); }

HBITMAP AddBitmap(std::unique_ptr<Bitmap> bitmap) {
    const auto handle = MakeHandle<HBITMAP>(Bitmaps().Add(std::move(bitmap)));
    if (handle == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return handle;
}

// Device-dependent rows are padded to 16 bits, not 32 as a DIB's.
std::size_t DeviceRowBytes(int width, int bitsPixel) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPixel) + 15) / 16 * 2;
}

}  // namespace

HBITMAP LoadBitmapImage(HINSTANCE instance, LPCWSTR name, int cx, int cy, UINT flags) {
    // Files, DIB sections and stretched copies are not part of this platform.
    if ((flags & (LR_LOADFROMFILE | LR_CREATEDIBSECTION)) || name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const resources::Resource* resource =
        FindProgramResource(instance, false, resources::NameOrOrdinal(resources::kTypeBitmap),
                            resources::NameOrOrdinal::FromWin32(name));
    if (resource == nullptr) return nullptr;
    std::optional<resources::BitmapImage> image = resources::ReadBitmapImage(resource->data);
    if (!image) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    if ((cx != 0 && cx != image->width) || (cy != 0 && cy != image->height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = image->width;
    bitmap->height = image->height;
    bitmap->bitsPixel = kDisplayBitsPerPixel;
    bitmap->pixels = std::move(image->pixels);
    return AddBitmap(std::move(bitmap));
}

std::shared_ptr<const resources::IconPixels> BitmapPixelsOf(HBITMAP handle) {
    Bitmap* bitmap = FindBitmap(handle);
    if (bitmap == nullptr) return nullptr;
    if (!bitmap->shown) {
        resources::IconPixels shown{bitmap->width, bitmap->height, bitmap->pixels};
        for (std::uint32_t& pixel : shown.argb) pixel |= 0xFF000000u;
        bitmap->shown = std::make_shared<const resources::IconPixels>(std::move(shown));
    }
    return bitmap->shown;
}

bool IsBitmap(HGDIOBJ object) { return FindBitmap(object) != nullptr; }

int GetBitmapObject(HBITMAP handle, int size, void* buffer) {
    const Bitmap* bitmap = FindBitmap(handle);
    if (bitmap == nullptr) return 0;
    if (buffer == nullptr) return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP info{};
    info.bmWidth = bitmap->width;
    info.bmHeight = bitmap->height;
    info.bmWidthBytes = static_cast<LONG>(DeviceRowBytes(bitmap->width, bitmap->bitsPixel));
    info.bmPlanes = 1;
    info.bmBitsPixel = static_cast<WORD>(bitmap->bitsPixel);
    std::memcpy(buffer, &info, sizeof info);
    return sizeof(BITMAP);
}

bool DeleteBitmap(HBITMAP bitmap) { return Bitmaps().Remove(HandleValue(bitmap)) != nullptr; }

}  // namespace win32

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount,
                            const void* lpBits) {
    using namespace win32;
    // 1, 16, 24 and 32 bits per pixel: the depths whose pixels need no device palette.
    const bool depthKnown = nBitCount == 1 || nBitCount == 16 || nBitCount == 24 || nBitCount == 32;
    if (nWidth < 1 || nHeight < 1 || nPlanes != 1 || !depthKnown) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto width = static_cast<std::size_t>(nWidth);
    const auto height = static_cast<std::size_t>(nHeight);
    if (width > resources::kMaxBitmapPixels || height > resources::kMaxBitmapPixels / width) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = nWidth;
    bitmap->height = nHeight;
    bitmap->bitsPixel = static_cast<int>(nBitCount);
    bitmap->pixels.assign(width * height, 0);
    if (lpBits != nullptr) {
        // A monochrome bitmap's bits are black (0) and white (1).
        static constexpr std::uint8_t kMonochrome[] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
        const std::size_t rowBytes = DeviceRowBytes(nWidth, bitmap->bitsPixel);
        const auto* bits = static_cast<const std::uint8_t*>(lpBits);
        for (std::size_t y = 0; y < height; ++y)
            for (std::size_t x = 0; x < width; ++x)
                bitmap->pixels[y * width + x] =
                    resources::DibPixel(bits + y * rowBytes, x, bitmap->bitsPixel, kMonochrome)
                        .value_or(0);
    }
    return AddBitmap(std::move(bitmap));
}

HBITMAP WINAPI LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName) {
    return win32::LoadBitmapImage(hInstance, lpBitmapName, 0, 0, 0);
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                     BITMAPINFO* lpbmi, UINT usage) {
    using namespace win32;
    const Bitmap* bitmap = FindBitmap(hbm);
    if (FindDeviceContext(hdc) == nullptr || bitmap == nullptr || lpbmi == nullptr ||
        lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAPINFOHEADER& header = lpbmi->bmiHeader;
    if (lpvBits == nullptr) {
        // Tells the bitmap's format; a depth asked for stays.
        header.biWidth = bitmap->width;
        header.biHeight = bitmap->height;
        header.biPlanes = 1;
        if (header.biBitCount == 0) header.biBitCount = static_cast<WORD>(bitmap->bitsPixel);
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(
            resources::DibRowBytes(bitmap->width, header.biBitCount) * bitmap->height);
        return bitmap->height;
    }
    // Bits of 24 or 32 bits per pixel in the bitmap's own size: no colour table, no stretching.
    const bool topDown = header.biHeight < 0;
    const std::int64_t rows =
        topDown ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
    if ((header.biBitCount != 24 && header.biBitCount != 32) || header.biCompression != BI_RGB ||
        header.biWidth != bitmap->width || rows != bitmap->height) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (start >= static_cast<UINT>(bitmap->height)) return 0;
    const UINT lines = std::min<UINT>(cLines, static_cast<UINT>(bitmap->height) - start);
    const std::size_t rowBytes = resources::DibRowBytes(bitmap->width, header.biBitCount);
    const std::size_t bytesPerPixel = header.biBitCount / 8;
    auto* out = static_cast<std::uint8_t*>(lpvBits);
    for (UINT line = 0; line < lines; ++line) {
        // Line `start` is the bitmap's bottom row unless the caller asked for rows top down.
        const UINT scan = start + line;
        const std::size_t y = topDown ? scan : static_cast<std::size_t>(bitmap->height) - 1 - scan;
        std::uint8_t* row = out + static_cast<std::size_t>(line) * rowBytes;
        std::memset(row, 0, rowBytes);
        for (std::size_t x = 0; x < static_cast<std::size_t>(bitmap->width); ++x) {
            const std::uint32_t pixel =
                bitmap->pixels[y * static_cast<std::size_t>(bitmap->width) + x];
            for (std::size_t b = 0; b < bytesPerPixel; ++b)
                row[x * bytesPerPixel + b] = static_cast<std::uint8_t>(pixel >> (8 * b));
        }
    }
    return static_cast<int>(lines);
}
