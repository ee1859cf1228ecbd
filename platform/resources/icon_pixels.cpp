// SPDX-License-Identifier: MIT
#include "resources/icon_pixels.h"

#include "resources/dib.h"

namespace win32::resources {

std::optional<IconPixels> DecodeIconPixels(const IconImage& image) {
    if (image.png || image.width <= 0 || image.height <= 0) return std::nullopt;
    const int bits = image.bitCount;
    const std::size_t colorRow = DibRowBytes(image.width, bits);
    const std::size_t maskRow = DibRowBytes(image.width, 1);
    const auto rows = static_cast<std::size_t>(image.height);
    if (image.colorBits.size() < colorRow * rows || image.maskBits.size() < maskRow * rows)
        return std::nullopt;
    IconPixels pixels{image.width, image.height, {}};
    pixels.argb.resize(rows * static_cast<std::size_t>(image.width));
    bool anyAlpha = false;
    for (std::size_t y = 0; y < rows; ++y) {
        // DIB rows are stored bottom up.
        const std::uint8_t* row = image.colorBits.data() + (rows - 1 - y) * colorRow;
        const std::uint8_t* mask = image.maskBits.data() + (rows - 1 - y) * maskRow;
        for (std::size_t x = 0; x < static_cast<std::size_t>(image.width); ++x) {
            const std::optional<std::uint32_t> bgra = DibPixel(row, x, bits, image.colorTable);
            if (!bgra) return std::nullopt;
            anyAlpha = anyAlpha || (*bgra >> 24) != 0;
            const bool transparent = (mask[x / 8] >> (7 - x % 8)) & 1;
            pixels.argb[y * static_cast<std::size_t>(image.width) + x] =
                (*bgra & 0xFFFFFF) | (transparent ? 0u : 0xFF000000u) | (*bgra & 0xFF000000u);
        }
    }
    // A 32-bit image with an alpha channel is drawn by it, not by its mask.
    if (anyAlpha) {
        for (std::size_t y = 0; y < rows; ++y) {
            const std::uint8_t* row = image.colorBits.data() + (rows - 1 - y) * colorRow;
            for (std::size_t x = 0; x < static_cast<std::size_t>(image.width); ++x) {
                std::uint32_t& pixel = pixels.argb[y * static_cast<std::size_t>(image.width) + x];
                pixel = (pixel & 0xFFFFFF) | static_cast<std::uint32_t>(row[x * 4 + 3]) << 24;
            }
        }
    }
    return pixels;
}

}  // namespace win32::resources
