// SPDX-License-Identifier: MIT
// An icon image's pixels, as a display shows them: 32-bit ARGB rows, top down, from a DIB icon
// of any depth with its colour table and transparency mask (or its own alpha channel).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "resources/icon_group.h"

namespace win32::resources {

struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // 0xAARRGGBB
};

// nullopt for a PNG image or one whose bits are cut short.
std::optional<IconPixels> DecodeIconPixels(const IconImage& image);

}  // namespace win32::resources
