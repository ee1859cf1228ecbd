// SPDX-License-Identifier: MIT
#include "resources/icon_pixels.h"

namespace win32::resources {

namespace {

std::size_t RowBytes(int width, int bitCount) {
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

}  // namespace

std::optional<IconPixels> DecodeIconPixels(const IconImage& image) {
    if (image.png || image.width <= 0 || image.height <= 0) return std::nullopt;
    const int bits = image.bitCount;
    const std::size_t colorRow = RowBytes(image.width, bits);
    const std::size_t maskRow = RowBytes(image.width, 1);
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
            std::uint32_t bgra = 0;
            if (bits == 32 || bits == 24) {
                const std::uint8_t* p = row + x * static_cast<std::size_t>(bits / 8);
                bgra = p[0] | (p[1] << 8) | (p[2] << 16) |
                       (bits == 32 ? static_cast<std::uint32_t>(p[3]) << 24 : 0);
                anyAlpha = anyAlpha || (bgra >> 24) != 0;
            } else if (bits == 16) {
                const unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);  // 5-5-5
                bgra = (((v >> 10) & 31) * 255 / 31) << 16 | (((v >> 5) & 31) * 255 / 31) << 8 |
                       (v & 31) * 255 / 31;
            } else {
                const std::size_t bit = x * static_cast<std::size_t>(bits);
                const unsigned index =
                    (row[bit / 8] >> (8 - bits - static_cast<int>(bit % 8))) & ((1u << bits) - 1);
                if ((index + 1) * 4 > image.colorTable.size()) return std::nullopt;
                const std::uint8_t* quad = image.colorTable.data() + index * 4;
                bgra = quad[0] | (quad[1] << 8) | (quad[2] << 16);
            }
            const bool transparent = (mask[x / 8] >> (7 - x % 8)) & 1;
            pixels.argb[y * static_cast<std::size_t>(image.width) + x] =
                (bgra & 0xFFFFFF) | (transparent ? 0u : 0xFF000000u) | (bgra & 0xFF000000u);
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
