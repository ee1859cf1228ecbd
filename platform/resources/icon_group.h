// SPDX-License-Identifier: MIT
// Icon resources: the directory of an icon group (RT_GROUP_ICON), the choice of its best image
// for a requested size and display colour depth, as LoadImage makes it, and the header and
// pixel bytes of that image (an RT_ICON: a DIB with colour and mask bitmaps, or a PNG file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "resources/name_or_ordinal.h"
#include "resources/resource_image.h"

namespace win32::resources {

struct IconDirectoryEntry {
    int width = 0;  // pixels; the stored byte 0 stands for 256
    int height = 0;
    std::uint8_t colorCount = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;  // may be 0 in the directory; see BitsPerPixel
    std::uint32_t bytesInRes = 0;
    std::uint16_t iconId = 0;  // the name of the RT_ICON resource

    // The colour depth the entry claims: bitCount, else the depth its colour count implies,
    // else 0 (unknown: only the image itself says).
    int BitsPerPixel() const;
};

// The entries of a GRPICONDIR; nullopt when it is not an icon directory or is cut short.
std::optional<std::vector<IconDirectoryEntry>> ParseIconDirectory(
    std::span<const std::uint8_t> data);

// The index of the entry that fits best: the largest size not above cx x cy (the smallest
// one when all are larger), then the greatest colour depth not above the display's (the
// lowest one when all are deeper). nullopt for an empty directory.
std::optional<std::size_t> ChooseIconEntry(std::span<const IconDirectoryEntry> entries, int cx,
                                           int cy, int displayBitsPerPixel);

struct IconImage {
    bool png = false;
    int width = 0;
    int height = 0;  // of the icon; a DIB stores twice this, colour rows then mask rows
    int bitCount = 0;
    // A DIB's parts, bottom-up rows padded to 4 bytes; empty for a PNG image.
    std::span<const std::uint8_t> colorTable;  // RGBQUADs
    std::span<const std::uint8_t> colorBits;
    std::span<const std::uint8_t> maskBits;  // 1 bit per pixel, set = transparent
    std::span<const std::uint8_t> data;      // the whole RT_ICON resource
};

// nullopt unless the data holds a complete uncompressed DIB icon (1, 4, 8, 16, 24 or 32 bits
// per pixel) or starts with a PNG header.
std::optional<IconImage> ReadIconImage(std::span<const std::uint8_t> data);

struct LoadedIcon {
    std::uint16_t iconId = 0;
    IconImage image;
};

// Finds icon group `group` in `image`, chooses its best entry for cx x cy and reads that
// RT_ICON, preferring the group's own language. nullopt when any part is missing or invalid.
std::optional<LoadedIcon> LoadIconFromGroup(const ResourceImage& image, const NameOrOrdinal& group,
                                            int cx, int cy, int displayBitsPerPixel,
                                            std::uint16_t language = kLanguageNeutral);

}  // namespace win32::resources
