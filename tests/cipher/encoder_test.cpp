// Encoder operations that do not depend on the ANSI code page (UTF-8, percent-encoding, and
// ASCII, which every ANSI page maps to itself).
#include "cipher/encoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Molvan::System::Encoder;

TEST(Encoder, AnsiConversionsStopAtTheFirstNulAndReplaceOut) {
    std::string bytes = "old";
    Encoder::CStringToAnsi(u"", bytes);
    EXPECT_EQ(bytes, "");
    Encoder::CStringToAnsi(CString(u"ab\0cd", 5), bytes);
    EXPECT_EQ(bytes, "ab");

    CString text = u"old";
    Encoder::AnsiToCString("", text);
    EXPECT_EQ(text, u"");
    text = u"old";
    Encoder::AnsiToCString(std::string("\0ab", 3), text);
    EXPECT_EQ(text, u"");
    Encoder::AnsiToCString(std::string("ab\0cd", 5), text);
    EXPECT_EQ(text, u"ab");

    std::basic_string<WCHAR> wide = u"old";
    Encoder::AnsiToWString("", wide);
    EXPECT_EQ(wide, u"");
    Encoder::AnsiToUtf8("", bytes);
    EXPECT_EQ(bytes, "");
}

TEST(Encoder, CStringToUtf8) {
    std::string bytes = "old";
    Encoder::CStringToUtf8(CString(u"\u00E9\u4E2D\0x", 4), bytes);
    EXPECT_EQ(bytes, "\xC3\xA9\xE4\xB8\xAD");
}

TEST(Encoder, CStringToUtf8BufferEndsInTwoZeros) {
    const struct {
        CString text;
        std::string buffer;
    } cases[] = {
        {u"", std::string(2, '\0')},
        {u"\u00E9", std::string("\xC3\xA9\0\0", 4)},
        {CString(u"a\0b", 3), std::string("a\0\0", 3)},
    };
    for (const auto& c : cases) {
        std::int32_t size = -1;
        const std::unique_ptr<char[]> buffer(Encoder::CStringToUtf8Buffer(size, c.text));
        ASSERT_EQ(size, static_cast<std::int32_t>(c.buffer.size()));
        EXPECT_EQ(std::string(buffer.get(), static_cast<std::size_t>(size)), c.buffer);
    }
}

TEST(Encoder, CStringToUtf8CountedConvertsNulCharacters) {
    const std::unique_ptr<char[]> empty(Encoder::CStringToUtf8Counted(u""));
    EXPECT_EQ(empty[0], '\0');
    const std::unique_ptr<char[]> text(Encoder::CStringToUtf8Counted(CString(u"\u00E9\0b", 3)));
    EXPECT_EQ(std::string(text.get(), 5), std::string("\xC3\xA9\0b\0", 5));
}

TEST(Encoder, Utf8ToWide) {
    EXPECT_EQ(Encoder::Utf8ToWideBuffer(static_cast<const char*>(nullptr)), nullptr);
    const std::unique_ptr<WCHAR[]> empty(Encoder::Utf8ToWideBuffer(std::string()));
    EXPECT_EQ(empty[0], u'\0');
    const std::unique_ptr<WCHAR[]> text(Encoder::Utf8ToWideBuffer("\xE4\xB8\xAD\xFF"));
    EXPECT_EQ(CString(text.get()), u"\u4E2D\uFFFD");

    CString out = u"old";
    Encoder::Utf8ToCString(static_cast<const char*>(nullptr), out);
    EXPECT_EQ(out, u"");
    out = u"old";
    Encoder::Utf8ToCString(std::string(), out);
    EXPECT_EQ(out, u"");
    Encoder::Utf8ToCString(std::string("\xF0\x9F\x98\x80z\0y", 7), out);
    EXPECT_EQ(out, u"\U0001F600z");
}

TEST(Encoder, HexDigit) {
    const std::string digits = "0123456789ABCDEF";
    for (unsigned char value = 0; value < 16; ++value)
        EXPECT_EQ(Encoder::HexDigit(value), digits[value]);
}

TEST(Encoder, UrlEncodeBytes) {
    const struct {
        std::string bytes;
        std::string encoded;
    } cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"AZaz09", "AZaz09"},
        {"a b", "a+b"},
        {"\t\n\v\f\r", "+++++"},
        {"-._~*+%", "%2D%2E%5F%7E%2A%2B%25"},
        {"\xE4\xFF\x80\x7F\x01", "%E4%FF%80%7F%01"},
    };
    for (const auto& c : cases) {
        char* out = nullptr;
        Encoder::UrlEncode(c.bytes.c_str(), out);
        const std::unique_ptr<char[]> owned(out);
        EXPECT_EQ(std::string(out), c.encoded) << c.bytes;
    }
}

TEST(Encoder, UrlEncodeWideEncodesTheUtf8Form) {
    EXPECT_EQ(Encoder::UrlEncode(u""), u"");
    EXPECT_EQ(Encoder::UrlEncode(u"a b-\u00E9"), u"a+b%2D%C3%A9");
    EXPECT_EQ(Encoder::UrlEncode(u"\u4E2D"), u"%E4%B8%AD");
    EXPECT_EQ(Encoder::UrlEncode(CString(u"a\0b", 3)), u"a");
}

}  // namespace
