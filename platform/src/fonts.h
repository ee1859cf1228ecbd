// SPDX-License-Identifier: MIT
// Font handles for dialog fonts: the template's font as a handle the dialog hands to its controls
// with WM_SETFONT. Displays draw with their own single font; the record is what the template said.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

struct FontRecord {
    std::u16string face;
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
    int charset = 0;
};

HFONT CreateFontHandle(FontRecord font);
void DeleteFontHandle(HFONT font);
// nullptr for a stale or bogus handle.
const FontRecord* FindFont(HFONT font);

}  // namespace win32
