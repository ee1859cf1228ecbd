// SPDX-License-Identifier: MIT
// DialogTemplate: a dialog resource (RT_DIALOG) in either of its two forms, DLGTEMPLATE with
// DLGITEMTEMPLATE items or DLGTEMPLATEEX with DLGITEMTEMPLATEEX items, read into plain data
// for the dialog manager.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/name_or_ordinal.h"

namespace win32::resources {

// DS_SETFONT: the template carries a font.
inline constexpr std::uint32_t kDialogStyleSetFont = 0x40;

// Atoms of the predefined control classes, as templates name them.
inline constexpr std::uint16_t kAtomButton = 0x80;
inline constexpr std::uint16_t kAtomEdit = 0x81;
inline constexpr std::uint16_t kAtomStatic = 0x82;
inline constexpr std::uint16_t kAtomListBox = 0x83;
inline constexpr std::uint16_t kAtomScrollBar = 0x84;
inline constexpr std::uint16_t kAtomComboBox = 0x85;

// The class name of a predefined class atom ("Button", ...); empty for any other value.
std::u16string_view PredefinedClassName(std::uint16_t atom);

// The point size of "the message-box font" in an extended template.
constexpr std::uint16_t kMessageBoxFont = 0x7FFF;

struct DialogFont {
    // 0x7FFF in an extended template means "the message-box font"; then nothing else of the
    // font is stored and the fields below keep their defaults.
    std::uint16_t pointSize = 0;
    // The classic form stores only size and face; it stands for FW_DONTCARE and
    // DEFAULT_CHARSET.
    std::uint16_t weight = 0;
    bool italic = false;
    std::uint8_t charset = 1;
    std::u16string face;
};

struct DialogItem {
    std::uint32_t helpId = 0;  // extended form only
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    // A DWORD in the extended form, a WORD in the classic one (where -1 reads as 0xFFFF).
    std::uint32_t id = 0;
    NameOrOrdinal windowClass;  // an atom (kAtom*) or a class name
    NameOrOrdinal title;        // text, or an ordinal such as the icon of an SS_ICON static
    std::vector<std::uint8_t> creationData;
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t helpId = 0;  // extended form only
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;         // none (the empty name), a menu ordinal or a menu name
    NameOrOrdinal windowClass;  // none, an atom or a class name
    std::u16string caption;
    std::optional<DialogFont> font;  // present exactly when style has DS_SETFONT
    std::vector<DialogItem> items;
};

// nullopt when the bytes end before the template and all its items do.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::uint8_t> data);

}  // namespace win32::resources
