// SPDX-License-Identifier: MIT
// The contract of the POSIX WideCharToMultiByte and MultiByteToWideChar, and a few conversions
// spelled out, with the code pages named explicitly (CP_ACP itself is covered by the encoder
// suites; every conversion of every page by the recording's comparison).
#include "codepages/codepages.h"

#include "codepages/utf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace codepages;
using namespace std::string_literals;

// Converts exactly the given units (no terminator), in two passes as a caller would.
std::u16string ToWide(unsigned int page, const std::string& bytes) {
    const int size =
        MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string text(static_cast<std::size_t>(size), u'\0');
    EXPECT_EQ(MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  text.data(), size),
              size);
    return text;
}

std::string ToBytes(unsigned int page, const std::u16string& text, int* usedDefault = nullptr,
                    const char* defaultChar = nullptr) {
    const int size = WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, defaultChar, usedDefault);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    EXPECT_EQ(WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                  size, defaultChar, usedDefault),
              size);
    return bytes;
}

TEST(AnsiCodePageForLocale, FollowsWindowsByLanguageAndTerritory) {
    const struct {
        const char* locale;
        unsigned int page;
    } cases[] = {
        {"zh_CN.UTF-8", 936}, {"zh_SG.GBK", 936},    {"zh_TW.Big5", 950},  {"zh_HK.UTF-8", 950},
        {"ja_JP.eucJP", 932}, {"ko_KR", 949},        {"th_TH", 874},       {"cs_CZ.UTF-8", 1250},
        {"pl_PL", 1250},      {"sr_RS@latin", 1250}, {"sr_RS", 1251},      {"ru_RU.KOI8-R", 1251},
        {"uk_UA", 1251},      {"en_US.UTF-8", 1252}, {"de_DE@euro", 1252}, {"fr_CA", 1252},
        {"el_GR", 1253},      {"tr_TR", 1254},       {"az_AZ", 1254},      {"he_IL", 1255},
        {"ar_EG", 1256},      {"fa_IR", 1256},       {"lt_LT", 1257},      {"vi_VN", 1258},
        {"C", 1252},          {"POSIX", 1252},       {"C.UTF-8", 1252},    {"", 1252},
        {"xx_YY", 1252},      {"ZH_cn", 936},
    };
    for (const auto& c : cases) EXPECT_EQ(AnsiCodePageForLocale(c.locale), c.page) << c.locale;
}

TEST(CodePageContract, TerminatorIsReadAndCountedForLengthMinusOne) {
    for (const unsigned int page : {936u, 1252u, kUtf8}) {
        EXPECT_EQ(WideCharToMultiByte(page, 0, u"abc", -1, nullptr, 0, nullptr, nullptr), 4);
        EXPECT_EQ(WideCharToMultiByte(page, 0, u"abc", 2, nullptr, 0, nullptr, nullptr), 2);
        EXPECT_EQ(MultiByteToWideChar(page, 0, "abc", -1, nullptr, 0), 4) << page;
        char16_t wide[8];
        EXPECT_EQ(MultiByteToWideChar(page, 0, "ab", -1, wide, 8), 3) << page;
        EXPECT_EQ(std::u16string(wide, 3), u"ab\0"s) << page;
    }
}

TEST(CodePageContract, BadArgumentsFail) {
    char bytes[8];
    char16_t wide[8];
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", 0, bytes, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", -2, bytes, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, nullptr, 3, bytes, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", 3, bytes, -1, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", 3, nullptr, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0x400, u"abc", 3, bytes, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(12345, 0, u"abc", 3, bytes, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(kUtf8, 0, u"abc", 3, bytes, 8, "?", nullptr), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 0, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", -2, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, nullptr, 3, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 8, "abc", 3, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(12345, 0, "abc", 3, wide, 8), 0);
}

// Every output size short of the need fails and writes nothing past the size it was given; the
// size query equals what a big enough buffer receives.
template <typename Unit, typename Convert>
void ExpectBoundedOutput(unsigned int page, Convert convert) {
    const int need = convert(static_cast<Unit*>(nullptr), 0);
    for (int size = 1; size <= need; ++size) {
        std::vector<Unit> out(static_cast<std::size_t>(need) + 4, Unit('#'));
        EXPECT_EQ(convert(out.data(), size), size == need ? need : 0) << page << " " << size;
        for (std::size_t i = static_cast<std::size_t>(size); i < out.size(); ++i)
            ASSERT_EQ(out[i], Unit('#'));
    }
}

TEST(CodePageContract, TooSmallBufferFailsWithinItsBounds) {
    const std::u16string text = u"a\u4E2D\u00E9\U0001F600\xD800z";
    for (const unsigned int page : {936u, 1252u, kUtf8}) {
        ExpectBoundedOutput<char>(page, [&](char* out, int size) {
            return WideCharToMultiByte(page, 0, text.data(), -1, out, size, nullptr, nullptr);
        });
        const std::string encoded = ToBytes(page, text);
        ExpectBoundedOutput<char16_t>(page, [&](char16_t* out, int size) {
            return MultiByteToWideChar(page, 0, encoded.data(), -1, out, size);
        });
    }
}

// Windows 1252 maps the five bytes that the standard leaves undefined to the C1 controls; 936
// maps the pairs that GBK leaves undefined to the private use area.
TEST(CodePage, MapsBothWays) {
    const struct {
        unsigned int page;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {1252, "caf\xE9", u"caf\u00E9"},
        {1252, "\x80\x9F", u"\u20AC\u0178"},
        {1252, "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},
        {936, "\xD6\xD0\xCE\xC4", u"\u4E2D\u6587"},
        {936,
         "A\xC3\xDC\xC2\xEB"
         "1",
         u"A\u5BC6\u7801"
         "1"},
        {936, "\x80", u"\u20AC"},
        {936, "\xFF", u"\uF8F5"},
        {936, "\xA8\xA6", u"\u00E9"},
        {936, "\xAA\xA1", u"\uE000"},
        {936, "\xF8\xA1", u"\uE234"},
        {936, "\xA1\x40", u"\uE4C6"},
        {936, "\xA2\xAB", u"\uE766"},
        {936, "\xA8\xBC", u"\uE7C7"},
        {936, "\xFE\xA0", u"\uE864"},
        // No composition of a letter and a following combining mark, unlike glibc.
        {1258, "a\xD2", u"a\u0309"},
        {1255, "\xE5\xCC", u"\u05D5\u05BC"},
        {kUtf8, "\xC3\xA9", u"\u00E9"},
        {kUtf8, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", u"\u65E5\u672C\u8A9E"},
        {kUtf8, "\xF0\x9F\x98\x80", u"\U0001F600"},
        {kUtf8, "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {kUtf8, "a\0b"s, u"a\0b"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToWide(c.page, c.bytes), c.text) << c.page << " " << c.bytes;
        EXPECT_EQ(ToBytes(c.page, c.text), c.bytes) << c.page << " " << c.bytes;
    }
}

// Each UTF-16 unit a page lacks becomes one default character (so a surrogate pair becomes two);
// UTF-8 writes U+FFFD for a lone surrogate.
TEST(CodePage, WritesTheDefaultCharacterPerUnitItLacks) {
    const struct {
        unsigned int page;
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {1252, u"a\u4E2Db", "a?b"},
        {1252, u"\U0001F600", "??"},
        {1252, u"\xDC00x\xD800"s, "?x?"},
        {1252, u"\u0080", "?"},  // byte 0x80 is the euro sign, not U+0080
        {1258, u"\u1EA3", "?"},  // not "a" + mark
        {1255, u"\uFB35", "?"},
        {936, u"\u00E4\u0E01", "??"},
        {936, u"\u0081", "?"},
        {kUtf8, u"\xD800\x61"s, "\xEF\xBF\xBD\x61"},
        {kUtf8, u"a\xD83D"s, "a\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) EXPECT_EQ(ToBytes(c.page, c.text), c.bytes) << c.page;
    int used = 0;
    EXPECT_EQ(ToBytes(1252, u"a\u4E2Db", &used), "a?b");
    EXPECT_EQ(used, 1);
    EXPECT_EQ(ToBytes(1252, u"abc", &used), "abc");
    EXPECT_EQ(used, 0);
    EXPECT_EQ(ToBytes(1252, u"\u4E2D", nullptr, "*"), "*");
}

// Malformed input: in 936 a lead byte takes the next byte with it and one at the end is "?". In
// UTF-8 the recording of Wine's conversions is the reference (it is what the Windows program
// gives under Wine): a sequence cut by the end of the input takes the rest of it, and a lead with
// a second byte that makes an overlong form, a surrogate or a code point past U+10FFFF takes that
// byte too. The Unicode "maximal subpart" rule would give one U+FFFD more in those cases.
TEST(CodePage, ReadsMalformedInput) {
    const struct {
        unsigned int page;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {936, "a\xD6", u"a?"},
        {936, "\xD6\x30z", u"?z"},
        {kUtf8, "\xC0", u"\uFFFD"},
        {kUtf8, "\xC0\xC0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {kUtf8, "\xE0\xC0", u"\uFFFD"},
        {kUtf8, "\xE0\x20\xC0", u"\uFFFD \uFFFD"},
        {kUtf8, "\x82\xA0\x82\xA2", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {kUtf8, "\xE6", u"\uFFFD"},
        {kUtf8, "\xF8\xA3\xA3\xA3\xA3", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {kUtf8, "\xFF\xFE", u"\uFFFD\uFFFD"},
        {kUtf8,
         "\xE6\x97"
         "A",
         u"\uFFFD"
         "A"},
        {kUtf8, "\xED\xA0\x80", u"\uFFFD\uFFFD"},            // an encoded surrogate
        {kUtf8, "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {kUtf8, "\xF0\x9F\x98", u"\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(ToWide(c.page, c.bytes), c.text) << c.page << c.bytes;
    // The terminator is never taken as a trail byte.
    char16_t wide[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\xD6", -1, wide, 4), 2);
    EXPECT_EQ(std::u16string(wide, 2), u"?\0"s);
}

// Windows defines every byte of its single-byte pages (undefined ones as C1 controls or private
// use characters) and every lead and trail pair of 936, each to a character of its own.
TEST(CodePage, EveryByteAndEveryPairOf936RoundTrips) {
    for (const unsigned int page :
         {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
        for (int value = 0; value < 256; ++value) {
            const std::string byte(1, static_cast<char>(value));
            const std::u16string text = ToWide(page, byte);
            ASSERT_EQ(text.size(), 1u) << page << " " << value;
            EXPECT_TRUE(text != u"?" || value == '?') << page << " " << value;
            EXPECT_EQ(ToBytes(page, text), byte) << page << " " << value;
        }
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string text = ToWide(936, pair);
            ASSERT_EQ(text.size(), 1u) << lead << " " << trail;
            ASSERT_NE(text, u"?") << lead << " " << trail;
            ASSERT_EQ(ToBytes(936, text), pair) << lead << " " << trail;
        }
    }
}

// Every byte string of 1 and 2 bytes, and of 3 bytes over the bytes that stand for the ranges
// UTF-8 treats alike (the recording holds what Windows makes of each of these), and of 4 where
// the first 3 leave a stream waiting for more: elsewhere the fourth byte starts afresh.
template <typename Check>
void ForEachUtf8Input(Check check) {
    static constexpr unsigned char kBytes[] = {
        0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0,
        0xE1, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xF7, 0xF8, 0xFF};
    std::string bytes;
    for (int a = 0; a < 256; ++a) {
        check(bytes = {static_cast<char>(a)});
        for (int b = 0; b < 256; ++b) check(bytes = {static_cast<char>(a), static_cast<char>(b)});
    }
    for (unsigned char a : kBytes) {
        for (unsigned char b : kBytes) {
            for (unsigned char c : kBytes) {
                check(bytes = {char(a), char(b), char(c)});
                codepages::utf::Utf8Stream stream;
                std::u32string points;
                for (unsigned char byte : {a, b, c}) stream.Push(byte, points);
                const std::size_t decoded = points.size();
                stream.Finish(points);
                if (points.size() == decoded) continue;
                for (unsigned char d : kBytes) check(bytes = {char(a), char(b), char(c), char(d)});
            }
        }
    }
}

// A terminal's input arrives a byte at a time and has no end: the stream must give what
// MultiByteToWideChar gives for the same bytes when more follow, and, when they end, once the
// stream is finished, what it gives for them alone (unless they end in a broken sequence, whose
// rest Windows swallows at the end of the input but a stream delivers at once).
TEST(Utf8Stream, DecodesAsMultiByteToWideChar) {
    ForEachUtf8Input([](const std::string& bytes) {
        codepages::utf::Utf8Stream stream;
        std::u32string points;
        for (char byte : bytes) stream.Push(static_cast<unsigned char>(byte), points);
        codepages::utf::Utf8Stream continued = stream;
        std::u32string more = points;
        for (char byte : "xyz"s) continued.Push(static_cast<unsigned char>(byte), more);
        stream.Finish(points);
        std::u16string text, moreText;
        for (char32_t point : points) codepages::utf::AppendUtf16(text, point);
        for (char32_t point : more) codepages::utf::AppendUtf16(moreText, point);
        const std::u16string alone = ToWide(kUtf8, bytes);
        const std::u16string followed = ToWide(kUtf8, bytes + "xyz");
        ASSERT_EQ(moreText, followed) << testing::PrintToString(bytes);
        if (followed == alone + u"xyz") {
            ASSERT_EQ(text, alone) << testing::PrintToString(bytes);
        }
    });
}

// Well-formed is what comes back unchanged through Windows' conversions both ways.
TEST(Utf8, WellFormedIsWhatRoundTrips) {
    ForEachUtf8Input([](const std::string& bytes) {
        ASSERT_EQ(codepages::utf::IsWellFormedUtf8(bytes),
                  ToBytes(kUtf8, ToWide(kUtf8, bytes)) == bytes)
            << testing::PrintToString(bytes);
    });
}

}  // namespace
