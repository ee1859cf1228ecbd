// SPDX-License-Identifier: MIT
// Icon handles as the view of the windows reads them.
#pragma once

#include <windows.h>

#include <memory>

#include "resources/icon_pixels.h"

namespace win32 {

// The pixels of the image an icon handle was loaded from, decoded once per icon; nullptr for a
// stale handle or an image that cannot be decoded. The same icon gives the same pointer.
std::shared_ptr<const resources::IconPixels> IconPixelsOf(HICON icon);

}  // namespace win32
