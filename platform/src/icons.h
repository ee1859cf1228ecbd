// SPDX-License-Identifier: MIT
// Icon handles as displays read them.
#pragma once

#include <windows.h>

#include <optional>

#include "resources/icon_pixels.h"

namespace win32 {

// The pixels of the image an icon handle was loaded from; nullopt for a stale handle or an
// image that cannot be decoded.
std::optional<resources::IconPixels> IconPixelsOf(HICON icon);

}  // namespace win32
