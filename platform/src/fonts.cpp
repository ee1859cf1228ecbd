// SPDX-License-Identifier: MIT
#include "src/fonts.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "src/handles.h"

namespace win32 {

namespace {

HandleTable<FontRecord>& Fonts() {
    static auto* fonts = new HandleTable<FontRecord>(HandleKind::kFont);
    return *fonts;
}

struct StockEntry {
    int object;
    FontRecord font;
};

// The stock fonts as Windows describes them at 96 DPI.
const std::array<StockEntry, 7>& StockEntries() {
    static const std::array<StockEntry, 7> entries = {{
        {OEM_FIXED_FONT, {u"Terminal", 12, FW_NORMAL, false, 255}},
        {ANSI_FIXED_FONT, {u"Courier", 12, FW_NORMAL, false, ANSI_CHARSET}},
        {ANSI_VAR_FONT, {u"MS Sans Serif", 12, FW_NORMAL, false, ANSI_CHARSET}},
        {SYSTEM_FONT, {u"System", 16, FW_BOLD, false, ANSI_CHARSET}},
        {DEVICE_DEFAULT_FONT, {u"System", 16, FW_BOLD, false, ANSI_CHARSET}},
        {SYSTEM_FIXED_FONT, {u"Fixedsys", 15, FW_NORMAL, false, ANSI_CHARSET}},
        {DEFAULT_GUI_FONT, {u"MS Shell Dlg", -11, FW_NORMAL, false, ANSI_CHARSET}},
    }};
    return entries;
}

// Made once, never removed: a stock font's handle stays valid.
const std::array<HFONT, 7>& StockHandles() {
    static const std::array<HFONT, 7> handles = [] {
        std::array<HFONT, 7> made{};
        for (std::size_t i = 0; i < made.size(); ++i)
            made[i] = CreateFontHandle(StockEntries()[i].font);
        return made;
    }();
    return handles;
}

bool IsStock(HFONT font) {
    const auto& handles = StockHandles();
    return std::find(handles.begin(), handles.end(), font) != handles.end();
}

}  // namespace

HFONT CreateFontHandle(FontRecord font) {
    return MakeHandle<HFONT>(Fonts().Add(std::make_unique<FontRecord>(std::move(font))));
}

BOOL DeleteFontHandle(HFONT font) {
    if (FindFont(font) == nullptr) return FALSE;
    if (!IsStock(font)) Fonts().Remove(HandleValue(font));
    return TRUE;
}

const FontRecord* FindFont(HFONT font) { return Fonts().Find(HandleValue(font)); }

HFONT StockFont(int object) {
    const auto& entries = StockEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].object == object) return StockHandles()[i];
    }
    return nullptr;
}

int GetFontObject(HFONT font, int size, void* buffer) {
    const FontRecord* record = FindFont(font);
    if (record == nullptr) return 0;
    if (buffer == nullptr) return sizeof(LOGFONTW);
    if (size <= 0) return 0;
    const LOGFONTW logical = ToLogFont(*record);
    const auto copied = std::min<std::size_t>(static_cast<std::size_t>(size), sizeof logical);
    std::memcpy(buffer, &logical, copied);
    return static_cast<int>(copied);
}

LOGFONTW ToLogFont(const FontRecord& font) {
    LOGFONTW logical{};
    logical.lfHeight = font.height;
    logical.lfWeight = font.weight;
    logical.lfItalic = font.italic ? 1 : 0;
    logical.lfCharSet = static_cast<BYTE>(font.charset);
    const std::size_t length = std::min<std::size_t>(font.face.size(), LF_FACESIZE - 1);
    std::copy_n(font.face.begin(), length, logical.lfFaceName);
    return logical;
}

FontRecord MessageFont() { return {u"Segoe UI", -12, FW_NORMAL, false, DEFAULT_CHARSET}; }

}  // namespace win32

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
    if (lplf == nullptr) return nullptr;
    const WCHAR* face = lplf->lfFaceName;
    const std::size_t length =
        std::find(face, face + LF_FACESIZE, u'\0') - face;  // a face may fill the array
    return win32::CreateFontHandle(
        win32::FontRecord{std::u16string(face, length), static_cast<int>(lplf->lfHeight),
                          static_cast<int>(lplf->lfWeight), lplf->lfItalic != 0, lplf->lfCharSet});
}
