// SPDX-License-Identifier: MIT
#include "src/fonts.h"

#include <memory>

#include "src/handles.h"

namespace win32 {

namespace {

HandleTable<FontRecord>& Fonts() {
    static auto* fonts = new HandleTable<FontRecord>(HandleKind::kFont);
    return *fonts;
}

}  // namespace

HFONT CreateFontHandle(FontRecord font) {
    return MakeHandle<HFONT>(Fonts().Add(std::make_unique<FontRecord>(std::move(font))));
}

void DeleteFontHandle(HFONT font) { Fonts().Remove(HandleValue(font)); }

const FontRecord* FindFont(HFONT font) { return Fonts().Find(HandleValue(font)); }

}  // namespace win32
