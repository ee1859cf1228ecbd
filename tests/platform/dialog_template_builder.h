// SPDX-License-Identifier: MIT
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
        items_.push_back({atom, std::move(text), id, style | WS_CHILD, x, y, cx, cy, exStyle});
        return *this;
    }

    // A control of a registered class named by its name.
    DialogTemplateBuilder& NamedItem(std::u16string className, std::u16string text, WORD id,
                                     DWORD style, short x, short y, short cx, short cy) {
        items_.push_back({0, std::move(text), id, style | WS_CHILD, x, y, cx, cy, 0});
        items_.back().className = std::move(className);
        return *this;
    }

    // The template, DWORD-aligned as Windows requires; valid while the builder lives.
    LPCDLGTEMPLATEW Build() {
        bytes_.clear();
        Put({LOWORD(style_), HIWORD(style_), 0, 0, static_cast<WORD>(items_.size()),
             static_cast<WORD>(x_), static_cast<WORD>(y_), static_cast<WORD>(cx_),
             static_cast<WORD>(cy_), 0, 0});  // no menu, the dialog class
        PutString(caption_);
        if (style_ & DS_SETFONT) {
            Put({pointSize_});
            PutString(face_);
        }
        for (const ItemSpec& item : items_) {
            while (bytes_.size() % 4 != 0) bytes_.push_back(0);
            Put({LOWORD(item.style), HIWORD(item.style), LOWORD(item.exStyle), HIWORD(item.exStyle),
                 static_cast<WORD>(item.x), static_cast<WORD>(item.y), static_cast<WORD>(item.cx),
                 static_cast<WORD>(item.cy), item.id});
            if (item.className.empty()) {
                Put({0xFFFF, item.atom});
            } else {
                PutString(item.className);
            }
            PutString(item.text);
            Put({0});  // no creation data
        }
        storage_.assign((bytes_.size() + 3) / 4, 0);
        std::memcpy(storage_.data(), bytes_.data(), bytes_.size());
        return reinterpret_cast<LPCDLGTEMPLATEW>(storage_.data());
    }

private:
    struct ItemSpec {
        WORD atom;
        std::u16string text;
        WORD id;
        DWORD style;
        short x, y, cx, cy;
        DWORD exStyle;
        std::u16string className = {};
    };

    void Put(std::initializer_list<WORD> words) {
        for (WORD word : words) {
            bytes_.push_back(static_cast<unsigned char>(word & 0xFF));
            bytes_.push_back(static_cast<unsigned char>(word >> 8));
        }
    }
    void PutString(const std::u16string& text) {
        for (char16_t c : text) Put({static_cast<WORD>(c)});
        Put({0});
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
