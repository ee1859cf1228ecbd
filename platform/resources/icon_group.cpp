// SPDX-License-Identifier: MIT
#include "resources/icon_group.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "resources/byte_reader.h"
#include "resources/dib.h"

namespace win32::resources {

namespace {

constexpr std::uint16_t kIconDirectoryType = 1;
// Far above any icon; keeps the size arithmetic small.
constexpr int kMaxIconSide = 1024;
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t BigEndian32(std::span<const std::uint8_t> b) {
    return static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
           static_cast<std::uint32_t>(b[2]) << 8 | static_cast<std::uint32_t>(b[3]);
}

std::optional<IconImage> ReadPng(std::span<const std::uint8_t> data) {
    // Signature, IHDR length and type, width, height.
    if (data.size() < 24 || BigEndian32(data.subspan(12)) != 0x49484452) return std::nullopt;
    const std::uint32_t width = BigEndian32(data.subspan(16));
    const std::uint32_t height = BigEndian32(data.subspan(20));
    if (width < 1 || width > kMaxIconSide || height < 1 || height > kMaxIconSide)
        return std::nullopt;
    IconImage image;
    image.png = true;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.bitCount = 32;
    image.data = data;
    return image;
}

std::optional<IconImage> ReadDib(std::span<const std::uint8_t> data) {
    const std::optional<DibHeader> header = ReadDibHeader(data);
    if (!header) return std::nullopt;
    // The height counts the colour rows and the mask rows.
    if (header->width < 1 || header->width > kMaxIconSide || header->height < 2 ||
        header->height / 2 > kMaxIconSide)
        return std::nullopt;
    IconImage image;
    image.width = header->width;
    image.height = header->height / 2;
    image.bitCount = header->bitCount;
    image.data = data;

    ByteReader parts(data);
    parts.Bytes(header->headerSize);
    image.colorTable = parts.Bytes(header->colors * 4);
    image.colorBits = parts.Bytes(DibRowBytes(image.width, image.bitCount) * image.height);
    image.maskBits = parts.Bytes(DibRowBytes(image.width, 1) * image.height);
    if (!parts.ok()) return std::nullopt;
    return image;
}

}  // namespace

int IconDirectoryEntry::BitsPerPixel() const {
    if (bitCount != 0) return bitCount;
    if (colorCount < 2) return 0;  // 0 stands for "256 or more colours", so it says nothing
    int bits = 0;
    while ((1 << bits) < colorCount) ++bits;
    return bits;
}

std::optional<std::vector<IconDirectoryEntry>> ParseIconDirectory(
    std::span<const std::uint8_t> data) {
    ByteReader reader(data);
    const std::uint16_t reserved = reader.U16();
    const std::uint16_t type = reader.U16();
    const std::uint16_t count = reader.U16();
    if (!reader.ok() || reserved != 0 || type != kIconDirectoryType) return std::nullopt;

    std::vector<IconDirectoryEntry> entries;
    for (std::uint16_t i = 0; i < count; ++i) {
        IconDirectoryEntry entry;
        const std::uint8_t width = reader.U8();
        const std::uint8_t height = reader.U8();
        entry.width = width == 0 ? 256 : width;
        entry.height = height == 0 ? 256 : height;
        entry.colorCount = reader.U8();
        reader.U8();  // reserved
        entry.planes = reader.U16();
        entry.bitCount = reader.U16();
        entry.bytesInRes = reader.U32();
        entry.iconId = reader.U16();
        if (!reader.ok()) return std::nullopt;
        entries.push_back(entry);
    }
    return entries;
}

std::optional<std::size_t> ChooseIconEntry(std::span<const IconDirectoryEntry> entries, int cx,
                                           int cy, int displayBitsPerPixel) {
    if (entries.empty()) return std::nullopt;
    // Keeps the distance arithmetic far from overflow whatever the caller asks for.
    cx = std::clamp(cx, 0, 0x10000);
    cy = std::clamp(cy, 0, 0x10000);

    // Size first: the closest among those that fit, else the closest of all.
    auto fits = [&](const IconDirectoryEntry& e) { return e.width <= cx && e.height <= cy; };
    auto distance = [&](const IconDirectoryEntry& e) {
        return std::abs(e.width - cx) + std::abs(e.height - cy);
    };
    const bool anyFits = std::any_of(entries.begin(), entries.end(), fits);
    const IconDirectoryEntry* bySize = nullptr;
    for (const auto& entry : entries) {
        if (anyFits && !fits(entry)) continue;
        if (!bySize || distance(entry) < distance(*bySize)) bySize = &entry;
    }

    // Then colour depth among the images of that size.
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& entry = entries[i];
        if (entry.width != bySize->width || entry.height != bySize->height) continue;
        if (!best) {
            best = i;
            continue;
        }
        const int bits = entry.BitsPerPixel();
        const int bestBits = entries[*best].BitsPerPixel();
        const bool usable = bits <= displayBitsPerPixel;
        const bool bestUsable = bestBits <= displayBitsPerPixel;
        if (usable != bestUsable ? usable : (usable ? bits > bestBits : bits < bestBits)) best = i;
    }
    return best;
}

std::optional<IconImage> ReadIconImage(std::span<const std::uint8_t> data) {
    if (data.size() >= kPngSignature.size() &&
        std::equal(kPngSignature.begin(), kPngSignature.end(), data.begin()))
        return ReadPng(data);
    return ReadDib(data);
}

std::optional<LoadedIcon> LoadIconFromGroup(const ResourceImage& image, const NameOrOrdinal& group,
                                            int cx, int cy, int displayBitsPerPixel,
                                            std::uint16_t language) {
    const Resource* groupResource = image.Find(kTypeGroupIcon, group, language);
    if (!groupResource) return std::nullopt;
    auto entries = ParseIconDirectory(groupResource->data);
    if (!entries) return std::nullopt;

    auto findIcon = [&](std::uint16_t id) {
        return image.Find(kTypeIcon, id, groupResource->language);
    };
    // A directory that does not state an image's depth leaves it to the image's header.
    for (auto& entry : *entries) {
        if (entry.BitsPerPixel() != 0) continue;
        if (const Resource* icon = findIcon(entry.iconId))
            if (auto header = ReadIconImage(icon->data))
                entry.bitCount = static_cast<std::uint16_t>(header->bitCount);
    }

    const auto chosen = ChooseIconEntry(*entries, cx, cy, displayBitsPerPixel);
    if (!chosen) return std::nullopt;
    const std::uint16_t iconId = (*entries)[*chosen].iconId;
    const Resource* icon = findIcon(iconId);
    if (!icon) return std::nullopt;
    auto iconImage = ReadIconImage(icon->data);
    if (!iconImage) return std::nullopt;
    return LoadedIcon{iconId, *iconImage};
}

}  // namespace win32::resources
