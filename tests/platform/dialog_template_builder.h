// Builds dialog templates in memory for the tests' own dialogs (the classic DLGTEMPLATE form
// with DLGITEMTEMPLATE items), for CreateDialogIndirectParamW and DialogBoxIndirectParamW.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace test {

inline constexpr WORD kButton = 0x80;
inline constexpr WORD kEdit = 0x81;
inline constexpr WORD kStatic = 0x82;

class DialogTemplateBuilder {
public:
    DialogTemplateBuilder(DWORD style, short x, short y, short cx, short cy,
                          std::u16string caption = u"Test")
        : style_(style), x_(x), y_(y), cx_(cx), cy_(cy), caption_(std::move(caption)) {}

    DialogTemplateBuilder& Font(WORD pointSize, std::u16string face) {
        style_ |= DS_SETFONT;
        pointSize_ = pointSize;
        face_ = std::move(face);
        return *this;
    }

    DialogTemplateBuilder& Item(WORD atom, std::u16string text, WORD id, DWORD style, short x,
                                short y, short cx, short cy, DWORD exStyle = 0) {
        items_.push_back({atom, std::move(text), 0, id, style | WS_CHILD, x, y, cx, cy, exStyle});
        return *this;
    }

    // A control of a registered class named by its name.
    DialogTemplateBuilder& NamedItem(std::u16string className, std::u16string text, WORD id,
                                     DWORD style, short x, short y, short cx, short cy) {
        items_.push_back({0, std::move(text), 0, id, style | WS_CHILD, x, y, cx, cy, 0});
        items_.back().className = std::move(className);
        return *this;
    }

    // A static showing icon resource `icon` (its text is 0xFFFF and the ordinal).
    DialogTemplateBuilder& IconItem(WORD icon, WORD id, short x, short y) {
        items_.push_back({kStatic, u"", icon, id, WS_CHILD | WS_VISIBLE | SS_ICON, x, y, 0, 0, 0});
        return *this;
    }

    // The template, DWORD-aligned as Windows requires; valid while the builder lives.
    LPCDLGTEMPLATEW Build() {
        bytes_.clear();
        Put32(style_);
        Put32(0);
        Put16(static_cast<WORD>(items_.size()));
        Put16(static_cast<WORD>(x_));
        Put16(static_cast<WORD>(y_));
        Put16(static_cast<WORD>(cx_));
        Put16(static_cast<WORD>(cy_));
        Put16(0);  // no menu
        Put16(0);  // the dialog class
        PutString(caption_);
        if (style_ & DS_SETFONT) {
            Put16(pointSize_);
            PutString(face_);
        }
        for (const ItemSpec& item : items_) {
            while (bytes_.size() % 4 != 0) bytes_.push_back(0);
            Put32(item.style);
            Put32(item.exStyle);
            Put16(static_cast<WORD>(item.x));
            Put16(static_cast<WORD>(item.y));
            Put16(static_cast<WORD>(item.cx));
            Put16(static_cast<WORD>(item.cy));
            Put16(item.id);
            if (item.className.empty()) {
                Put16(0xFFFF);
                Put16(item.atom);
            } else {
                PutString(item.className);
            }
            if (item.ordinalText != 0) {
                Put16(0xFFFF);
                Put16(item.ordinalText);
            } else {
                PutString(item.text);
            }
            Put16(0);  // no creation data
        }
        storage_.assign((bytes_.size() + 3) / 4, 0);
        std::memcpy(storage_.data(), bytes_.data(), bytes_.size());
        return reinterpret_cast<LPCDLGTEMPLATEW>(storage_.data());
    }

private:
    struct ItemSpec {
        WORD atom;
        std::u16string text;
        WORD ordinalText;
        WORD id;
        DWORD style;
        short x, y, cx, cy;
        DWORD exStyle;
        std::u16string className = {};
    };

    void Put16(WORD value) {
        bytes_.push_back(static_cast<unsigned char>(value & 0xFF));
        bytes_.push_back(static_cast<unsigned char>(value >> 8));
    }
    void Put32(DWORD value) {
        Put16(static_cast<WORD>(value & 0xFFFF));
        Put16(static_cast<WORD>(value >> 16));
    }
    void PutString(const std::u16string& text) {
        for (char16_t c : text) Put16(static_cast<WORD>(c));
        Put16(0);
    }

    DWORD style_;
    short x_, y_, cx_, cy_;
    std::u16string caption_;
    WORD pointSize_ = 0;
    std::u16string face_;
    std::vector<ItemSpec> items_;
    std::vector<unsigned char> bytes_;
    std::vector<DWORD> storage_;
};

}  // namespace test
