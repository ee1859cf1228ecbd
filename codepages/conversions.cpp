// SPDX-License-Identifier: MIT
// WideCharToMultiByte, MultiByteToWideChar, GetCPInfo and IsDBCSLeadByteEx on the generated
// tables. A UTF-16 unit converts on its own (a surrogate pair the page lacks is two default
// characters); a lead byte takes any byte after it but the terminator. Every page keeps ASCII as
// it is (the generator checks it).
#include <algorithm>
#include <span>
#include <string>

#include "codepages/codepages.h"
#include "codepages/output.h"
#include "codepages/tables.h"

namespace codepages {

namespace {

using tables::kPages;

const tables::Page* FindPage(unsigned int number) {
    if (number == kAnsi || number == kThreadAnsi) number = GetACP();
    const tables::Page* end = kPages + tables::kPageCount;
    const tables::Page* found = std::find_if(
        kPages, end, [number](const tables::Page& page) { return page.number == number; });
    return found != end ? found : nullptr;
}

template <typename Unit>
std::span<const Unit> InputText(const Unit* text, int length) {
    const std::size_t count =
        length == -1 ? std::char_traits<Unit>::length(text) + 1 : static_cast<std::size_t>(length);
    return {text, count};
}

bool ToBytes(const tables::Page& page, std::span<const char16_t> text, Output<char>& out,
             char defaultChar, bool& usedDefault) {
    for (const char16_t unit : text) {
        if (unit < 0x80) {  // ASCII as itself, the commonest case
            if (!out.Put(static_cast<char>(unit))) return false;
            continue;
        }
        const std::uint16_t bytes =
            tables::kEncodeBlocks[page.encodeBlocks[unit >> 8]][unit & 0xFF];
        if (bytes == tables::kNoBytes) {
            usedDefault = true;
            if (!out.Put(defaultChar)) return false;
        } else if (bytes > 0xFF) {
            if (!out.Put(static_cast<char>(bytes >> 8)) ||
                !out.Put(static_cast<char>(bytes & 0xFF)))
                return false;
        } else if (!out.Put(static_cast<char>(bytes))) {
            return false;
        }
    }
    return true;
}

bool ToUnits(const tables::Page& page, std::span<const unsigned char> text, Output<char16_t>& out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = text[i];
        if (byte < 0x80) {  // ASCII as itself, the commonest case
            if (!out.Put(byte)) return false;
            continue;
        }
        const std::uint16_t row = page.decodeRows[byte];
        if (row != tables::kNotLead && i + 1 < text.size() && text[i + 1] != 0) {
            const unsigned char trail = text[++i];
            const bool inRow = trail >= tables::kFirstTrail && trail <= tables::kLastTrail;
            if (!out.Put(inRow ? tables::kDecodeRows[row][trail - tables::kFirstTrail]
                               : page.badPair))
                return false;
        } else if (!out.Put(page.singles[byte])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool GetCPInfo(unsigned int codePage, CodePageInfo& info) {
    const tables::Page* page = FindPage(codePage);
    if (page == nullptr) return false;
    info.maxCharSize = page->maxCharSize;
    info.defaultChar[0] = page->defaultChar;
    info.defaultChar[1] = 0;
    std::copy(std::begin(page->leadBytes), std::end(page->leadBytes), info.leadByte);
    return true;
}

bool IsDBCSLeadByteEx(unsigned int codePage, unsigned char byte) {
    const tables::Page* page = FindPage(codePage);
    return page != nullptr && page->decodeRows != nullptr &&
           page->decodeRows[byte] != tables::kNotLead;
}

int WideCharToMultiByte(unsigned int codePage, unsigned int flags, const char16_t* wide,
                        int wideLength, char* bytes, int bytesSize, const char* defaultChar,
                        int* usedDefaultChar) {
    if (flags != 0 || wide == nullptr || wideLength == 0 || wideLength < -1 || bytesSize < 0 ||
        (bytesSize > 0 && bytes == nullptr)) {
        return 0;
    }
    const tables::Page* page = FindPage(codePage);
    if (page == nullptr) return 0;
    const std::span<const char16_t> text = InputText(wide, wideLength);
    Output<char> out(bytesSize > 0 ? bytes : nullptr, bytesSize);
    if (page->number == kUtf8) {
        if (defaultChar != nullptr || usedDefaultChar != nullptr) return 0;
        return Utf16ToUtf8(text, out) ? out.Result() : 0;
    }
    bool usedDefault = false;
    const char substitute =
        defaultChar != nullptr ? *defaultChar : static_cast<char>(page->defaultChar);
    if (!ToBytes(*page, text, out, substitute, usedDefault)) return 0;
    if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault ? 1 : 0;
    return out.Result();
}

int MultiByteToWideChar(unsigned int codePage, unsigned int flags, const char* bytes,
                        int bytesLength, char16_t* wide, int wideSize) {
    if (flags != 0 || bytes == nullptr || bytesLength == 0 || bytesLength < -1 || wideSize < 0 ||
        (wideSize > 0 && wide == nullptr)) {
        return 0;
    }
    const tables::Page* page = FindPage(codePage);
    if (page == nullptr) return 0;
    const std::span<const char> chars = InputText(bytes, bytesLength);
    const std::span<const unsigned char> text(reinterpret_cast<const unsigned char*>(chars.data()),
                                              chars.size());
    Output<char16_t> out(wideSize > 0 ? wide : nullptr, wideSize);
    const bool converted =
        page->number == kUtf8 ? Utf8ToUtf16(text, out) : ToUnits(*page, text, out);
    return converted ? out.Result() : 0;
}

}  // namespace codepages
