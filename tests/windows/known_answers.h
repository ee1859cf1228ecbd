// SPDX-License-Identifier: MIT
// Cipher texts of dialog fields, worked out apart from the program: the field's bytes in the
// ANSI code page (as Windows' conversions under Wine give them), zero-padded or cut to one 16-byte
// block, enciphered with
//   openssl enc -aes-128-ecb -nopad -K <hex of "7D3F09A2-4C6E-41">
// and written in Base64.
#pragma once

#include <vector>

namespace ui {

struct FieldPair {
    const char* name;
    const wchar_t* account;
    const wchar_t* password;
    const wchar_t* accountCipher;
    const wchar_t* passwordCipher;
    // What Decrypt gives back for the cipher texts; nullptr where the cut left half a
    // double-byte character, which this suite does not judge.
    const wchar_t* accountBack;
    const wchar_t* passwordBack;
};

inline const FieldPair kAscii = {
    "ascii",  L"alice",  L"s3cret!", L"cXKlGa5MQXDcK1Dph3gdiQ==", L"hwgJOyWj64BFYZEiEAKOEQ==",
    L"alice", L"s3cret!"};

// 张三 is D5C5 C8FD in GBK, 密码123 is C3DC C2EB 313233.
inline const FieldPair kChinese = {"chinese",
                                   L"\u5f20\u4e09",
                                   L"\u5bc6\u7801123",
                                   L"bCQm6P5z5CiQU9rGFAKeGg==",
                                   L"RVcGeSFc1qmvX/TaL144Vg==",
                                   L"\u5f20\u4e09",
                                   L"\u5bc6\u7801123"};

// Under code page 1252 (Western).
inline const std::vector<FieldPair> kWesternPairs = {
    kAscii,
    {"empty fields", L"", L"", L"NGUwj+ODyAVBOoUAJSDNYw==", L"NGUwj+ODyAVBOoUAJSDNYw==", L"", L""},
    {"cut to 16 bytes", L"abcdefghijklmnopqrst", L"0123456789abcdef", L"k5hIwd4ibveEiPdIl66szw==",
     L"99xPR6eld/1daFRfn8Bnrg==", L"abcdefghijklmnop", L"0123456789abcdef"},
    {"letters of 1252", L"caf\u00e9", L"na\u00efve", L"CwsjeRbK74upcuQWK8B8pA==",
     L"iotsKCFFDDauuctZv4wtUw==", L"caf\u00e9", L"na\u00efve"},
    // Windows' best fit: 1252 has no a with macron, and writes "a" for it (¥ is A5).
    {"best fit", L"\u00a5", L"\u0101", L"RYp0dX7QAJ4GQkT6KM5WTA==", L"xTOuk19nW1bRTwOJhcs3oA==",
     L"\u00a5", L"a"},
    // 1252 has no Chinese: each character becomes "?".
    {"letters 1252 lacks", L"\u5f20\u4e09", L"\u5bc6\u7801", L"appsRXPlsVWxpc0spCu+AQ==",
     L"appsRXPlsVWxpc0spCu+AQ==", L"??", L"??"},
};

// Under code page 936 (GBK, simplified Chinese).
inline const std::vector<FieldPair> kChinesePairs = {
    kAscii,
    {"empty fields", L"", L"", L"NGUwj+ODyAVBOoUAJSDNYw==", L"NGUwj+ODyAVBOoUAJSDNYw==", L"", L""},
    kChinese,
    // Windows' best fit: 936 writes the fullwidth yen sign (A3A4) for ¥; ā is A8A1.
    {"best fit", L"\u00a5", L"\u0101", L"xAmNjQhM+Ozvo0UIi2/eKg==", L"DO0uFmz2SMrBf/xBP0nsQQ==",
     L"\uffe5", L"\u0101"},
    // 一二三四五六七八九 is 18 bytes: the cut keeps eight characters. With a leading "a" it
    // falls inside the eighth character, whose first byte (B0) is enciphered alone.
    {"cut to 16 bytes", L"\u4e00\u4e8c\u4e09\u56db\u4e94\u516d\u4e03\u516b\u4e5d",
     L"a\u4e00\u4e8c\u4e09\u56db\u4e94\u516d\u4e03\u516b", L"RBlJoSZZ+Qg4MC6tZd2FoA==",
     L"72FS8EvS1z9xDeBN+kDKkA==", L"\u4e00\u4e8c\u4e09\u56db\u4e94\u516d\u4e03\u516b", nullptr},
};

}  // namespace ui
