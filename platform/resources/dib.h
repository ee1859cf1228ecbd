// SPDX-License-Identifier: MIT
// Device-independent bitmaps as icons and bitmap resources store them: a BITMAPINFOHEADER, a
// colour table and rows padded to four bytes. Every size is checked against the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace win32::resources {

struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative for rows stored top down
    int bitCount = 0;
    std::size_t colors = 0;  // entries of the colour table
};

// nullopt unless the data starts with an uncompressed header (BI_RGB) of 1, 4, 8, 16, 24 or
// 32 bits per pixel whose colour table has at most 256 entries.
std::optional<DibHeader> ReadDibHeader(std::span<const std::uint8_t> data);

std::size_t DibRowBytes(int width, int bitCount);

// Pixel x of a row as 0x00RRGGBB, with the fourth byte of a 32-bit pixel as its top byte;
// nullopt for an index outside the colour table. `row` holds DibRowBytes(x + 1, bitCount).
std::optional<std::uint32_t> DibPixel(const std::uint8_t* row, std::size_t x, int bitCount,
                                      std::span<const std::uint8_t> colorTable);

// A bitmap resource (RT_BITMAP): a whole DIB, at most kMaxBitmapPixels pixels.
struct BitmapImage {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::vector<std::uint32_t> pixels;  // rows top down, as DibPixel gives them
};
inline constexpr std::size_t kMaxBitmapPixels = std::size_t{1} << 24;

std::optional<BitmapImage> ReadBitmapImage(std::span<const std::uint8_t> data);

}  // namespace win32::resources
