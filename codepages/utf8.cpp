// SPDX-License-Identifier: MIT
// CP_UTF8's conversions, counted into a bounded output, on the project's one codec.
#include "codepages/output.h"
#include "codepages/utf.h"

namespace codepages {

namespace {

template <typename Unit, std::size_t size>
bool PutAll(const Unit (&units)[size], int count, Output<Unit>& out) {
    for (int i = 0; i < count; ++i) {
        if (!out.Put(units[i])) return false;
    }
    return true;
}

}  // namespace

bool Utf16ToUtf8(std::span<const char16_t> text, Output<char>& out) {
    const std::u16string_view units(text.data(), text.size());
    for (std::size_t i = 0; i < units.size();) {
        const utf::Decoded decoded = utf::DecodeUtf16(units.substr(i));
        char bytes[4];
        if (!PutAll(bytes, utf::EncodeUtf8(decoded.code, bytes), out)) return false;
        i += decoded.length;
    }
    return true;
}

bool Utf8ToUtf16(std::span<const unsigned char> text, Output<char16_t>& out) {
    const std::string_view bytes(reinterpret_cast<const char*>(text.data()), text.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const utf::Decoded decoded = utf::DecodeUtf8(bytes.substr(i));
        char16_t units[2];
        if (!PutAll(units, utf::EncodeUtf16(decoded.code, units), out)) return false;
        i += decoded.length;
    }
    return true;
}

}  // namespace codepages
