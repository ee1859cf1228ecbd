// SPDX-License-Identifier: MIT
// Encoder and the whole road of a field under CP_ACP. Each suite needs its code page as the
// process's ANSI page: ctest runs Acp936.* with LC_ALL=zh_CN.UTF-8 and Acp1252.* with
// LC_ALL=en_US.UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "cipher/codepage.h"
#include "cipher/encoder.h"
#include "cipher/field_cipher.h"

namespace {

using Molvan::System::DecryptText;
using Molvan::System::Encoder;
using Molvan::System::EncryptText;

const std::string kKey = "7D3F09A2-4C6E-41fa-9E52-A0F47C1B3D86";

std::string ToAnsi(const CString& text) {
    std::string bytes;
    Encoder::CStringToAnsi(text, bytes);
    return bytes;
}

CString FromAnsi(const std::string& bytes) {
    CString text;
    Encoder::AnsiToCString(bytes, text);
    return text;
}

// What the dialog does: Encrypt shows the cipher text in a field; Decrypt reads it back.
CString ThroughTheFields(const CString& field) {
    const CString cipherField = FromAnsi(EncryptText(ToAnsi(field), kKey));
    return FromAnsi(DecryptText(ToAnsi(cipherField), kKey));
}

template <unsigned int kPage>
class AcpTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Molvan::System::GetACP(), kPage)
            << "run with a locale whose ANSI code page is " << kPage;
    }
};

using Acp936 = AcpTest<936>;
using Acp1252 = AcpTest<1252>;

struct Conversion {
    CString text;
    std::string bytes;
    CString back;
};

void ExpectConversions(std::initializer_list<Conversion> cases) {
    for (const Conversion& c : cases) {
        EXPECT_EQ(ToAnsi(c.text), c.bytes);
        EXPECT_EQ(FromAnsi(c.bytes), c.back);
    }
}

TEST_F(Acp936, ConvertsChineseAndWhatThePageLacks) {
    ExpectConversions({{u"\u4E2D\u6587abc", "\xD6\xD0\xCE\xC4\x61\x62\x63", u"\u4E2D\u6587abc"},
                       {u"\u20AC", "\x80", u"\u20AC"},
                       {u"\u00E4\U0001F600", "???", u"???"}});
    EXPECT_EQ(FromAnsi("ab\xD6"), u"ab?");
    std::string utf8;
    Encoder::AnsiToUtf8("\xD6\xD0z", utf8);
    EXPECT_EQ(utf8, "\xE4\xB8\xAD\x7A");
    std::basic_string<WCHAR> wide;
    Encoder::AnsiToWString("\xD6\xD0z", wide);
    EXPECT_EQ(wide, u"\u4E2Dz");
}

TEST_F(Acp936, FieldsSurviveTheRoad) {
    for (const CString field : {u"", u"admin", u"\u7BA1\u7406\u5458", u"\u5BC6\u7801123",
                                u"\u4E2D\u6587\u8D26\u53F7\u548C\u5BC6\u7801"}) {
        EXPECT_EQ(ThroughTheFields(field), field);
    }
    // Unchanged cipher text for the same ANSI bytes as on a Chinese Windows.
    EXPECT_EQ(FromAnsi(EncryptText(ToAnsi(u"\u5BC6\u7801"), kKey)),
              FromAnsi(EncryptText("\xC3\xDC\xC2\xEB", kKey)));
}

TEST_F(Acp936, CutInsideADoubleByteCharacter) {
    // 1 + 2 * 8 = 17 bytes: the 16-byte cut keeps only the lead byte of the last character.
    const CString field = u"a\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D\u4E03\u516B";
    EXPECT_EQ(ToAnsi(field).size(), 17u);
    EXPECT_EQ(ThroughTheFields(field), u"a\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D\u4E03?");
}

TEST_F(Acp1252, ConvertsWesternTextAndWhatThePageLacks) {
    ExpectConversions(
        {{u"Gr\u00FC\u00DFe \u20AC", "Gr\xFC\xDF\x65 \x80", u"Gr\u00FC\u00DFe \u20AC"},
         {u"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D",
          u"\u0081\u008D\u008F\u0090\u009D"},
         {u"\u4E2D\u6587", "??", u"??"}});
    std::string utf8;
    Encoder::AnsiToUtf8("caf\xE9", utf8);
    EXPECT_EQ(utf8, "caf\xC3\xA9");
}

TEST_F(Acp1252, FieldsSurviveTheRoad) {
    for (const CString field : {u"", u"admin", u"na\u00EFve\u20AC", u"0123456789ABCDEF"}) {
        EXPECT_EQ(ThroughTheFields(field), field);
    }
    EXPECT_EQ(ThroughTheFields(u"0123456789ABCDEFGHIJ"), u"0123456789ABCDEF");
    EXPECT_EQ(ThroughTheFields(u"\u4E2D\u6587"), u"??");
}

}  // namespace
