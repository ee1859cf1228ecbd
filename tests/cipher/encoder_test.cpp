// SPDX-License-Identifier: MIT
// Encoder operations that do not depend on the ANSI code page (UTF-8, percent-encoding, and
// ASCII, which every ANSI page maps to itself).
#include "cipher/encoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Molvan::System::Encoder;
using namespace std::string_literals;

TEST(Encoder, ConversionsStopAtTheFirstNulAndReplaceOut) {
    std::string bytes = "old";
    Encoder::CStringToAnsi(u"", bytes);
    EXPECT_EQ(bytes, "");
    Encoder::CStringToAnsi(u"ab\0cd"s, bytes);
    EXPECT_EQ(bytes, "ab");
    Encoder::CStringToUtf8(u"\u00E9\u4E2D\0x"s, bytes);
    EXPECT_EQ(bytes, "\xC3\xA9\xE4\xB8\xAD");
    Encoder::AnsiToUtf8("", bytes);
    EXPECT_EQ(bytes, "");

    CString text = u"old";
    Encoder::AnsiToCString("", text);
    EXPECT_EQ(text, u"");
    for (const std::string& ansi : {"\0ab"s, "ab\0cd"s}) {
        text = u"old";
        Encoder::AnsiToCString(ansi, text);
        EXPECT_EQ(text, CString(u"ab").substr(0, ansi.find('\0')));
    }
    Encoder::Utf8ToCString(static_cast<const char*>(nullptr), text);
    EXPECT_EQ(text, u"");
    Encoder::Utf8ToCString("\xF0\x9F\x98\x80z\0y"s, text);
    EXPECT_EQ(text, u"\U0001F600z");

    std::basic_string<WCHAR> wide = u"old";
    Encoder::AnsiToWString("", wide);
    EXPECT_EQ(wide, u"");
}

TEST(Encoder, Utf8Buffers) {
    const struct {
        CString text;
        std::string buffer;  // ends in two zeros
    } cases[] = {{u"", "\0\0"s}, {u"\u00E9", "\xC3\xA9\0\0"s}, {u"a\0b"s, "a\0\0"s}};
    for (const auto& c : cases) {
        std::int32_t size = -1;
        const std::unique_ptr<char[]> buffer(Encoder::CStringToUtf8Buffer(size, c.text));
        ASSERT_EQ(size, static_cast<std::int32_t>(c.buffer.size()));
        EXPECT_EQ(std::string(buffer.get(), static_cast<std::size_t>(size)), c.buffer);
    }
    // The counted form converts NUL characters too.
    const std::unique_ptr<char[]> counted(Encoder::CStringToUtf8Counted(u"\u00E9\0b"s));
    EXPECT_EQ(std::string(counted.get(), 5), "\xC3\xA9\0b\0"s);

    EXPECT_EQ(Encoder::Utf8ToWideBuffer(static_cast<const char*>(nullptr)), nullptr);
    const std::unique_ptr<WCHAR[]> empty(Encoder::Utf8ToWideBuffer(std::string()));
    EXPECT_EQ(empty[0], u'\0');
    const std::unique_ptr<WCHAR[]> wide(Encoder::Utf8ToWideBuffer("\xE4\xB8\xAD\xFF"));
    EXPECT_EQ(CString(wide.get()), u"\u4E2D\uFFFD");
    // A sequence cut by the end takes the terminator along in Windows' conversion; the buffer
    // is terminated all the same.
    const std::unique_ptr<WCHAR[]> cut(Encoder::Utf8ToWideBuffer("a\xE4\xB8"));
    EXPECT_EQ(CString(cut.get()), u"a\uFFFD");
}

TEST(Encoder, UrlEncode) {
    const struct {
        std::string bytes;
        std::string encoded;
    } cases[] = {
        {"", ""},
        {"AZaz09", "AZaz09"},
        {"a b\t\n\v\f\r", "a+b+++++"},
        {"-._~*+%", "%2D%2E%5F%7E%2A%2B%25"},
        {"\xE4\xFF\x80\x7F\x01\x96\xC3\x3B", "%E4%FF%80%7F%01%96%C3%3B"},
    };
    for (const auto& c : cases) {
        char* out = nullptr;
        Encoder::UrlEncode(c.bytes.c_str(), out);
        const std::unique_ptr<char[]> owned(out);
        EXPECT_EQ(std::string(out), c.encoded) << c.bytes;
    }
    // The wide form encodes the UTF-8 bytes up to the first NUL.
    EXPECT_EQ(Encoder::UrlEncode(u""), u"");
    EXPECT_EQ(Encoder::UrlEncode(u"a b-\u00E9\u4E2D\0b"s), u"a+b%2D%C3%A9%E4%B8%AD");
}

}  // namespace
