// SPDX-License-Identifier: MIT
#include "resources/dialog_template.h"

#include "resources/byte_reader.h"

namespace win32::resources {

namespace {

constexpr std::uint16_t kExtendedVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;

void ReadFont(ByteReader& reader, bool extended, DialogFont& font) {
    font.pointSize = reader.U16();
    if (!extended) {
        font.face = reader.String();
        return;
    }
    if (font.pointSize == kMessageBoxFont) return;
    font.weight = reader.U16();
    font.italic = reader.U8() != 0;
    font.charset = reader.U8();
    font.face = reader.String();
}

DialogItem ReadItem(ByteReader& reader, bool extended) {
    DialogItem item;
    if (extended) {
        item.helpId = reader.U32();
        item.exStyle = reader.U32();
        item.style = reader.U32();
    } else {
        item.style = reader.U32();
        item.exStyle = reader.U32();
    }
    item.x = reader.I16();
    item.y = reader.I16();
    item.cx = reader.I16();
    item.cy = reader.I16();
    item.id = extended ? reader.U32() : reader.U16();
    item.windowClass = reader.NameOrOrd();
    item.title = reader.NameOrOrd();
    // The creation data follows its WORD size.
    const std::uint16_t dataSize = reader.U16();
    const auto data = reader.Bytes(dataSize);
    item.creationData.assign(data.begin(), data.end());
    return item;
}

}  // namespace

std::u16string_view PredefinedClassName(std::uint16_t atom) {
    switch (atom) {
        case kAtomButton:
            return u"Button";
        case kAtomEdit:
            return u"Edit";
        case kAtomStatic:
            return u"Static";
        case kAtomListBox:
            return u"ListBox";
        case kAtomScrollBar:
            return u"ScrollBar";
        case kAtomComboBox:
            return u"ComboBox";
        default:
            return {};
    }
}

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::uint8_t> data) {
    ByteReader reader(data);
    DialogTemplate dialog;
    {
        ByteReader probe(data);
        dialog.extended =
            probe.U16() == kExtendedVersion && probe.U16() == kExtendedSignature && probe.ok();
    }
    if (dialog.extended) {
        reader.U16();
        reader.U16();
        dialog.helpId = reader.U32();
        dialog.exStyle = reader.U32();
        dialog.style = reader.U32();
    } else {
        dialog.style = reader.U32();
        dialog.exStyle = reader.U32();
    }
    const std::uint16_t itemCount = reader.U16();
    dialog.x = reader.I16();
    dialog.y = reader.I16();
    dialog.cx = reader.I16();
    dialog.cy = reader.I16();
    dialog.menu = reader.NameOrOrd();
    dialog.windowClass = reader.NameOrOrd();
    dialog.caption = reader.String();
    if (dialog.style & kDialogStyleSetFont)
        ReadFont(reader, dialog.extended, dialog.font.emplace());
    if (!reader.ok()) return std::nullopt;

    // Each item starts on a DWORD boundary.
    for (std::uint16_t i = 0; i < itemCount; ++i) {
        reader.AlignTo4();
        dialog.items.push_back(ReadItem(reader, dialog.extended));
        if (!reader.ok()) return std::nullopt;
    }
    return dialog;
}

}  // namespace win32::resources
