// SPDX-License-Identifier: MIT
// Font handles: the fonts a program creates (CreateFontIndirectW, a dialog template's font) and
// the stock fonts. A font keeps what it was asked for, which GetObjectW gives back; the displays
// draw every font in their own single font, so every font measures as that one (text_metrics).
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

struct FontRecord {
    std::u16string face;
    int height = 0;  // as LOGFONT's lfHeight: negative for the character height
    int weight = 0;
    bool italic = false;
    int charset = 0;
};

HFONT CreateFontHandle(FontRecord font);
// FALSE for a stale handle; a stock font is never deleted, yet TRUE.
BOOL DeleteFontHandle(HFONT font);
// nullptr for a stale or bogus handle.
const FontRecord* FindFont(HFONT font);
// GetStockObject's fonts; nullptr for another object.
HFONT StockFont(int object);
// GetObjectW of a font: the LOGFONTW it stands for.
int GetFontObject(HFONT font, int size, void* buffer);
LOGFONTW ToLogFont(const FontRecord& font);
// The font of message boxes and of captions and menus (SPI_GETNONCLIENTMETRICS): Windows' own,
// at 96 DPI.
FontRecord MessageFont();

}  // namespace win32
