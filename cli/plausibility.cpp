// SPDX-License-Identifier: MIT
#include "cli/plausibility.h"

#include <string>
#include <vector>

#include "cipher/code_page_text.h"

namespace cli {

namespace {

// The alphabets that make words; kOther is anything else (digits, punctuation, CJK, symbols).
enum class Script { kOther, kLatin, kGreek, kCyrillic, kHebrew, kArabic, kThai };
enum class Case { kNone, kUpper, kLower };

struct Character {
    double weight = 0;
    Script script = Script::kOther;  // set for letters of an alphabet
    Case letterCase = Case::kNone;
    bool mark = false;     // a combining mark, part of the letter before it
    bool leading = false;  // a Thai vowel written before the consonant it follows in speech
    bool ascii = false;
};

bool In(char16_t unit, char16_t first, char16_t last) { return unit >= first && unit <= last; }

// Upper and lower case alternate in most of Latin Extended-A: even code points are capitals in
// U+0100-0137 and U+014A-0177, odd ones in U+0139-0148 and U+0179-017E.
Case LatinExtendedACase(char16_t unit) {
    if (unit == 0x0138 || unit == 0x0149 || unit == 0x017F) return Case::kLower;
    if (unit == 0x0178) return Case::kUpper;
    const bool evenUpper = unit < 0x0138 || In(unit, 0x014A, 0x0177);
    return (unit % 2 == 0) == evenUpper ? Case::kUpper : Case::kLower;
}

// The two bytes of a character of a double-byte page, 0 when it has no such form.
unsigned int DoubleByteCode(char16_t unit, unsigned int page) {
    bool lossy = false;
    const std::string bytes = Molvan::System::CodePageText::FromWide(page, CString(1, unit), lossy);
    if (lossy || bytes.size() != 2) return 0;
    return static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
}

// Han ideographs and hangul syllables: the set the page's standard grades first.
double CjkWeight(char16_t unit, unsigned int page) {
    const unsigned int code = DoubleByteCode(unit, page);
    const bool hangul = In(unit, 0xAC00, 0xD7A3);
    bool common = false;
    switch (page) {
        case 936:
            common = code >= 0xB0A1 && code <= 0xD7FE;
            break;  // GB2312 level 1
        case 950:
            common = code >= 0xA440 && code <= 0xC67E;
            break;  // Big5, frequent
        case 932:
            common = code >= 0x889F && code <= 0x9872;
            break;  // JIS X 0208 level 1
        case 949:
            common = hangul && code >= 0xB0A1 && code <= 0xC8FE;
            break;  // KS X 1001
        default:
            break;
    }
    return common ? 1 : 0.5;
}

Character Letter(double weight, Script script, Case letterCase = Case::kNone) {
    return {weight, script, letterCase, false, false, false};
}

Character Symbol(double weight) { return {weight, Script::kOther}; }

Character Mark() { return {1, Script::kOther, Case::kNone, true}; }

Character Classify(char16_t unit, unsigned int page) {
    if (unit < 0x80) {
        Character c;
        c.ascii = true;
        c.weight = unit >= 0x20 && unit != 0x7F ? 1 : 0;
        if (In(unit, 'A', 'Z') || In(unit, 'a', 'z')) {
            c.script = Script::kLatin;
            c.letterCase = unit <= 'Z' ? Case::kUpper : Case::kLower;
        }
        return c;
    }
    // Latin-1: the common marks of Western text, then the letters (the Icelandic ones rarer).
    if (unit < 0xC0) {
        constexpr std::u16string_view common = u"\u00A1\u00A3\u00A7\u00AB\u00B0\u00B7\u00BB\u00BF";
        return Symbol(common.find(unit) != std::u16string_view::npos ? 0.5 : 0);
    }
    if (unit == 0xD7 || unit == 0xF7) return Symbol(0);
    if (unit < 0x100) {
        const bool rare = unit == 0xD0 || unit == 0xDE || unit == 0xF0 || unit == 0xFE;
        return Letter(rare ? 0.5 : 1, Script::kLatin, unit < 0xDF ? Case::kUpper : Case::kLower);
    }
    if (unit < 0x180) return Letter(1, Script::kLatin, LatinExtendedACase(unit));
    // Vietnamese horned O and U.
    if (unit == 0x01A0 || unit == 0x01AF) return Letter(1, Script::kLatin, Case::kUpper);
    if (unit == 0x01A1 || unit == 0x01B0) return Letter(1, Script::kLatin, Case::kLower);
    if (unit == 0x0192) return Symbol(0);  // the florin sign of 1252
    if (unit < 0x250) return Letter(0.5, Script::kLatin);
    if (In(unit, 0x0300, 0x036F)) return Mark();
    // Greek.
    if (unit == 0x0386 || In(unit, 0x0388, 0x038F) || In(unit, 0x0391, 0x03AB)) {
        return Letter(1, Script::kGreek, Case::kUpper);
    }
    if (unit == 0x0390 || In(unit, 0x03AC, 0x03CE)) {
        return Letter(1, Script::kGreek, Case::kLower);
    }
    // Cyrillic: Russian, Ukrainian and Belarusian letters are common, the other ones rarer.
    if (In(unit, 0x0400, 0x045F) || unit == 0x0490 || unit == 0x0491) {
        constexpr std::u16string_view common =
            u"\u0401\u0451\u0404\u0454\u0406\u0456\u0407"
            u"\u0457\u040E\u045E\u0490\u0491";
        const bool basic =
            In(unit, 0x0410, 0x044F) || common.find(unit) != std::u16string_view::npos;
        const bool upper = unit < 0x0430 || unit == 0x0490;
        return Letter(basic ? 1 : 0.5, Script::kCyrillic, upper ? Case::kUpper : Case::kLower);
    }
    // Hebrew: letters, points (marks), the Yiddish ligatures and punctuation.
    if (In(unit, 0x05D0, 0x05EA)) return Letter(1, Script::kHebrew);
    if (In(unit, 0x05B0, 0x05C7)) return Mark();
    if (In(unit, 0x05F0, 0x05F4)) return Symbol(0.5);
    // Arabic: the letters of Arabic, Persian and Urdu; harakat are marks.
    if (In(unit, 0x0621, 0x063A) || In(unit, 0x0641, 0x064A)) return Letter(1, Script::kArabic);
    if (In(unit, 0x064B, 0x0652)) return Mark();
    if (In(unit, 0x0660, 0x0669)) return Symbol(1);
    if (unit == 0x060C || unit == 0x061B || unit == 0x061F) return Symbol(0.5);
    if (In(unit, 0x0671, 0x06D3)) {
        constexpr std::u16string_view common =
            u"\u067E\u0686\u0698\u06AF\u06A9\u06CC\u0679\u0688\u0691\u06BA\u06BE\u06C1\u06D2";
        return Letter(common.find(unit) != std::u16string_view::npos ? 1 : 0.5, Script::kArabic);
    }
    // Thai: consonants; vowels written before them; the vowels and tone marks that follow a
    // consonant (the signs of Pali and Sanskrit rarer); its digits.
    if (In(unit, 0x0E01, 0x0E2E)) return Letter(1, Script::kThai);
    if (In(unit, 0x0E40, 0x0E44)) {
        Character c = Letter(1, Script::kThai);
        c.leading = true;
        return c;
    }
    if (In(unit, 0x0E30, 0x0E3A) || In(unit, 0x0E45, 0x0E4E)) {
        Character c = Mark();
        if (unit == 0x0E4D || unit == 0x0E4E || unit == 0x0E3A || unit == 0x0E45) c.weight = 0.5;
        return c;
    }
    if (In(unit, 0x0E50, 0x0E59)) return Symbol(1);
    // General punctuation: dashes, quotes, bullet, ellipsis; the euro sign.
    if (In(unit, 0x2013, 0x2014) || In(unit, 0x2018, 0x2019) || In(unit, 0x201C, 0x201D) ||
        unit == 0x2022 || unit == 0x2026 || unit == 0x20AC) {
        return Symbol(0.5);
    }
    // Chinese, Japanese, Korean.
    if (In(unit, 0x4E00, 0x9FFF) || In(unit, 0xAC00, 0xD7A3)) return Symbol(CjkWeight(unit, page));
    if (In(unit, 0x3041, 0x3096) || In(unit, 0x30A1, 0x30FA) || In(unit, 0x30FC, 0x30FE)) {
        return Symbol(1);  // kana
    }
    if (In(unit, 0x3400, 0x4DBF)) return Symbol(0.5);
    if (In(unit, 0x3000, 0x303F) || In(unit, 0xFF01, 0xFF5E) || unit == 0x30FB) return Symbol(0.5);
    if (In(unit, 0xFF61, 0xFF9F) || In(unit, 0x3131, 0x318E) || In(unit, 0xF900, 0xFAFF)) {
        return Symbol(0.25);  // half-width katakana, compatibility jamo and ideographs
    }
    return Symbol(0);
}

bool IsLetter(const Character& c) { return c.script != Script::kOther; }

}  // namespace

double Plausibility(const CString& text, unsigned int codePage) {
    std::vector<Character> chars;
    // The pages give no characters beyond the BMP; a surrogate is a symbol of weight 0.
    for (char16_t unit : text) {
        chars.push_back(Classify(unit, codePage));
        // A mark counts only on a letter (a Thai one on a consonant) or after another mark.
        if (chars.back().mark) {
            const Character* on = chars.size() > 1 ? &chars[chars.size() - 2] : nullptr;
            if (on == nullptr || on->leading || (!IsLetter(*on) && !on->mark)) {
                chars.back().weight = 0;
            }
        }
    }
    if (chars.empty()) return 0;

    // The letters one after another, marks skipped; a word is a run of letters.
    double sum = 0;
    const Character* before = nullptr;  // the letter before, in this word
    int capitals = 0;                   // capitals just before, in this word
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const Character& c = chars[i];
        double weight = c.weight;
        if (c.mark) {
            sum += weight;
            continue;
        }
        if (!IsLetter(c)) {
            before = nullptr;
            capitals = 0;
            sum += weight;
            continue;
        }
        const Character* after = nullptr;
        for (std::size_t j = i + 1; j < chars.size() && after == nullptr; ++j) {
            if (!chars[j].mark) after = IsLetter(chars[j]) ? &chars[j] : nullptr;
            if (!chars[j].mark && !IsLetter(chars[j])) break;
        }
        if (!c.ascii) {
            const auto foreign = [&c](const Character* n) {
                return n != nullptr && n->script != c.script;
            };
            const auto plain = [](const Character* n) { return n != nullptr && n->ascii; };
            if (foreign(before) || foreign(after)) weight = 0;
            if (c.script == Script::kLatin && !plain(before) && !plain(after)) weight /= 2;
            if (c.leading && (after == nullptr || after->leading)) weight = 0;
        }
        if ((c.letterCase == Case::kUpper && before != nullptr &&
             before->letterCase == Case::kLower) ||
            (c.letterCase == Case::kLower && capitals >= 2)) {
            weight = 0;
        }
        capitals = c.letterCase == Case::kUpper ? capitals + 1 : 0;
        before = &c;
        sum += weight;
    }
    return sum / static_cast<double>(chars.size());
}

}  // namespace cli
