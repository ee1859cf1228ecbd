// The POSIX WideCharToMultiByte and MultiByteToWideChar against Windows' behaviour, with the code
// pages named explicitly (CP_ACP itself is covered by the encoder suites).
#include "cipher/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Molvan::System::CodePage::AnsiCodePageForLocale;

constexpr unsigned int kUtf8 = 65001;

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

struct Mapping {
    std::string bytes;
    std::u16string text;
};

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
        EXPECT_EQ(WideCharToMultiByte(page, 0, u"", -1, nullptr, 0, nullptr, nullptr), 1) << page;
        EXPECT_EQ(WideCharToMultiByte(page, 0, u"abc", -1, nullptr, 0, nullptr, nullptr), 4)
            << page;
        EXPECT_EQ(WideCharToMultiByte(page, 0, u"abc", 2, nullptr, 0, nullptr, nullptr), 2) << page;
        EXPECT_EQ(MultiByteToWideChar(page, 0, "", -1, nullptr, 0), 1) << page;
        EXPECT_EQ(MultiByteToWideChar(page, 0, "abc", -1, nullptr, 0), 4) << page;
        EXPECT_EQ(MultiByteToWideChar(page, 0, "abc", 2, nullptr, 0), 2) << page;
        char16_t wide[8];
        EXPECT_EQ(MultiByteToWideChar(page, 0, "ab", -1, wide, 8), 3) << page;
        EXPECT_EQ(std::u16string(wide, 3), std::u16string(u"ab\0", 3)) << page;
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
TEST(CodePageContract, TooSmallBufferFailsWithinItsBounds) {
    const std::u16string text = u"a\u4E2D\u00E9\U0001F600\xD800z";
    for (const unsigned int page : {936u, 1252u, kUtf8}) {
        const int need =
            WideCharToMultiByte(page, 0, text.data(), -1, nullptr, 0, nullptr, nullptr);
        for (int size = 1; size <= need; ++size) {
            std::vector<char> bytes(static_cast<std::size_t>(need) + 4, '#');
            const int written =
                WideCharToMultiByte(page, 0, text.data(), -1, bytes.data(), size, nullptr, nullptr);
            EXPECT_EQ(written, size == need ? need : 0) << page << " " << size;
            for (std::size_t i = static_cast<std::size_t>(size); i < bytes.size(); ++i)
                ASSERT_EQ(bytes[i], '#');
        }
        const std::string encoded = ToBytes(page, text);
        const int wideNeed = MultiByteToWideChar(page, 0, encoded.data(), -1, nullptr, 0);
        for (int size = 1; size <= wideNeed; ++size) {
            std::vector<char16_t> wide(static_cast<std::size_t>(wideNeed) + 4, u'#');
            const int written = MultiByteToWideChar(page, 0, encoded.data(), -1, wide.data(), size);
            EXPECT_EQ(written, size == wideNeed ? wideNeed : 0) << page << " " << size;
            for (std::size_t i = static_cast<std::size_t>(size); i < wide.size(); ++i)
                ASSERT_EQ(wide[i], u'#');
        }
    }
}

// Windows 1252 maps the five bytes that the standard leaves undefined to the C1 controls.
TEST(CodePage1252, MapsBothWays) {
    const Mapping cases[] = {
        {"abc", u"abc"},
        {"caf\xE9", u"caf\u00E9"},
        {"\x80\x9F", u"\u20AC\u0178"},
        {"\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},
    };
    for (const Mapping& c : cases) {
        EXPECT_EQ(ToWide(1252, c.bytes), c.text) << c.bytes;
        EXPECT_EQ(ToBytes(1252, c.text), c.bytes) << c.bytes;
    }
}

TEST(CodePage1252, WritesTheDefaultCharacterPerUnitItLacks) {
    int used = 0;
    EXPECT_EQ(ToBytes(1252, u"a\u4E2Db", &used), "a?b");
    EXPECT_EQ(used, 1);
    EXPECT_EQ(ToBytes(1252, u"abc", &used), "abc");
    EXPECT_EQ(used, 0);
    // A surrogate pair is two units, so two default characters; a lone surrogate is one.
    EXPECT_EQ(ToBytes(1252, u"\U0001F600"), "??");
    EXPECT_EQ(ToBytes(1252, std::u16string(u"\xDC00x\xD800", 3)), "?x?");
    EXPECT_EQ(ToBytes(1252, u"\u0080"), "?");  // byte 0x80 is the euro sign, not U+0080
    EXPECT_EQ(ToBytes(1252, u"\u4E2D", nullptr, "*"), "*");
}

TEST(CodePage936, MapsBothWays) {
    const Mapping cases[] = {
        {"\xD6\xD0\xCE\xC4", u"\u4E2D\u6587"},
        {"A\xC3\xDC\xC2\xEB"
         "1",
         u"A\u5BC6\u7801"
         "1"},
        {"\x80", u"\u20AC"},
        {"\xFF", u"\uF8F5"},
        {"\xA8\xA6", u"\u00E9"},
        // Pairs that GBK leaves undefined map to the private use area, as on Windows.
        {"\xAA\xA1", u"\uE000"},
        {"\xF8\xA1", u"\uE234"},
        {"\xFE\xFE", u"\uE4C5"},
        {"\xA1\x40", u"\uE4C6"},
        {"\xA1\xA0", u"\uE525"},
        {"\xA7\xA0", u"\uE765"},
        {"\xA2\xAB", u"\uE766"},
        {"\xA2\xE3", u"\uE76C"},
        {"\xA8\xBC", u"\uE7C7"},
        {"\xA8\xBF", u"\uE7C8"},
        {"\xA9\x97", u"\uE7F4"},
        {"\xD7\xFA", u"\uE810"},
        {"\xFE\x50", u"\uE815"},
        {"\xFE\xA0", u"\uE864"},
    };
    for (const Mapping& c : cases) {
        EXPECT_EQ(ToWide(936, c.bytes), c.text) << c.bytes;
        EXPECT_EQ(ToBytes(936, c.text), c.bytes) << c.bytes;
    }
}

TEST(CodePage936, ReadsBrokenPairsAsQuestionMarks) {
    const Mapping cases[] = {
        {"a\xD6", u"a?"},      // a lead byte at the end
        {"\xD6\x30z", u"?z"},  // a lead byte takes the next byte with it
    };
    for (const Mapping& c : cases) EXPECT_EQ(ToWide(936, c.bytes), c.text) << c.bytes;
    // The terminator is never taken as a trail byte.
    char16_t wide[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\xD6", -1, wide, 4), 2);
    EXPECT_EQ(std::u16string(wide, 2), std::u16string(u"?\0", 2));
}

TEST(CodePage936, WritesTheDefaultCharacterPerUnitItLacks) {
    EXPECT_EQ(ToBytes(936, u"\u00E4\u0E01"), "??");
    EXPECT_EQ(ToBytes(936, u"\U0001F600"), "??");
    EXPECT_EQ(ToBytes(936, u"\u0081"), "?");
}

// Windows defines every byte of its single-byte pages (undefined ones as C1 controls or private
// use characters) and every lead and trail pair of 936, each to a character of its own.
TEST(CodePageAnsi, EveryByteOfTheSingleBytePagesRoundTrips) {
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
}

// glibc composes a letter with a following combining mark in these two pages; Windows does not.
TEST(CodePageAnsi, CombiningMarksStayApart) {
    EXPECT_EQ(ToWide(1258, "a\xD2"), u"a\u0309");
    EXPECT_EQ(ToWide(1255, "\xE5\xCC"), u"\u05D5\u05BC");
    EXPECT_EQ(ToBytes(1258, u"\u1EA3").size(), 1u);  // one unit, one byte: not "a" + mark
    EXPECT_EQ(ToBytes(1255, u"\uFB35"), "?");
}

TEST(CodePage936, EveryPairRoundTrips) {
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

// The Windows 10 results for malformed UTF-8, one U+FFFD per maximal ill-formed subsequence.
TEST(CodePageUtf8, ReplacesMalformedInput) {
    const Mapping cases[] = {
        {"\xC0", u"\uFFFD"},
        {"\xC0\xC0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xE0\xC0", u"\uFFFD\uFFFD"},
        {"\xE0\x20\xC0", u"\uFFFD \uFFFD"},
        {"\x82\xA0\x82\xA2", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xE6", u"\uFFFD"},
        {"\xF8\xA3\xA3\xA3\xA3", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xFF\xFE", u"\uFFFD\uFFFD"},
        {"\xE6\x97"
         "A",
         u"\uFFFD"
         "A"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xF0\x9F\x98", u"\uFFFD"},
    };
    for (const Mapping& c : cases) EXPECT_EQ(ToWide(kUtf8, c.bytes), c.text) << c.bytes;
}

TEST(CodePageUtf8, MapsBothWays) {
    const Mapping cases[] = {
        {"abc", u"abc"},
        {"\xC3\xA9", u"\u00E9"},
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", u"\u65E5\u672C\u8A9E"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Mapping& c : cases) {
        EXPECT_EQ(ToWide(kUtf8, c.bytes), c.text) << c.bytes;
        EXPECT_EQ(ToBytes(kUtf8, c.text), c.bytes) << c.bytes;
    }
}

TEST(CodePageUtf8, WritesLoneSurrogatesAsReplacementCharacters) {
    EXPECT_EQ(ToBytes(kUtf8, std::u16string(u"\xD800"
                                            "a",
                                            2)),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(ToBytes(kUtf8, std::u16string(u"\xDC00", 1)), "\xEF\xBF\xBD");
    EXPECT_EQ(ToBytes(kUtf8, std::u16string(u"a\xD83D", 2)), "a\xEF\xBF\xBD");
}

}  // namespace
