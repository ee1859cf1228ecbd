// SPDX-License-Identifier: MIT
#include "resources/dib.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

#include "resources/byte_reader.h"

namespace win32::resources {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;

}  // namespace

std::optional<DibHeader> ReadDibHeader(std::span<const std::uint8_t> data) {
    ByteReader reader(data);
    DibHeader header;
    header.headerSize = reader.U32();
    header.width = static_cast<std::int32_t>(reader.U32());
    header.height = static_cast<std::int32_t>(reader.U32());
    reader.U16();  // planes
    header.bitCount = reader.U16();
    const std::uint32_t compression = reader.U32();
    reader.U32();  // image size
    reader.U32();  // pixels per metre, x and y
    reader.U32();
    const std::uint32_t colorsUsed = reader.U32();
    if (!reader.ok() || header.headerSize < kBitmapInfoHeaderSize ||
        header.headerSize > data.size())
        return std::nullopt;
    static constexpr std::array<int, 6> kDepths = {1, 4, 8, 16, 24, 32};
    if (std::find(kDepths.begin(), kDepths.end(), header.bitCount) == kDepths.end() ||
        compression != kBiRgb)
        return std::nullopt;
    header.colors = header.bitCount <= 8 ? std::size_t{1} << header.bitCount : 0;
    if (colorsUsed != 0) {
        if (colorsUsed > 256) return std::nullopt;
        header.colors = colorsUsed;
    }
    return header;
}

std::size_t DibRowBytes(int width, int bitCount) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
}

std::optional<std::uint32_t> DibPixel(const std::uint8_t* row, std::size_t x, int bitCount,
                                      std::span<const std::uint8_t> colorTable) {
    if (bitCount == 32 || bitCount == 24) {
        const std::uint8_t* p = row + x * static_cast<std::size_t>(bitCount / 8);
        return p[0] | (p[1] << 8) | (p[2] << 16) |
               (bitCount == 32 ? static_cast<std::uint32_t>(p[3]) << 24 : 0);
    }
    if (bitCount == 16) {
        const unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);  // 5-5-5
        return (((v >> 10) & 31) * 255 / 31) << 16 | (((v >> 5) & 31) * 255 / 31) << 8 |
               (v & 31) * 255 / 31;
    }
    const std::size_t bit = x * static_cast<std::size_t>(bitCount);
    const unsigned index =
        (row[bit / 8] >> (8 - bitCount - static_cast<int>(bit % 8))) & ((1u << bitCount) - 1);
    if ((index + 1) * 4 > colorTable.size()) return std::nullopt;
    const std::uint8_t* quad = colorTable.data() + index * 4;
    return quad[0] | (quad[1] << 8) | (quad[2] << 16);
}

std::optional<BitmapImage> ReadBitmapImage(std::span<const std::uint8_t> data) {
    const std::optional<DibHeader> header = ReadDibHeader(data);
    if (!header || header->width < 1 || header->height == 0 ||
        header->height == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    const auto width = static_cast<std::size_t>(header->width);
    const auto rows = static_cast<std::size_t>(std::abs(header->height));
    if (width > kMaxBitmapPixels || rows > kMaxBitmapPixels / width) return std::nullopt;
    ByteReader parts(data);
    parts.Bytes(header->headerSize);
    const std::span<const std::uint8_t> colorTable = parts.Bytes(header->colors * 4);
    const std::size_t rowBytes = DibRowBytes(header->width, header->bitCount);
    const std::span<const std::uint8_t> bits = parts.Bytes(rowBytes * rows);
    if (!parts.ok()) return std::nullopt;

    BitmapImage image{header->width, static_cast<int>(rows), header->bitCount, {}};
    image.pixels.resize(width * rows);
    const bool topDown = header->height < 0;
    for (std::size_t y = 0; y < rows; ++y) {
        const std::uint8_t* row = bits.data() + (topDown ? y : rows - 1 - y) * rowBytes;
        for (std::size_t x = 0; x < width; ++x) {
            const std::optional<std::uint32_t> pixel =
                DibPixel(row, x, header->bitCount, colorTable);
            if (!pixel) return std::nullopt;
            image.pixels[y * width + x] = *pixel;
        }
    }
    return image;
}

}  // namespace win32::resources
