// SPDX-License-Identifier: MIT
// Conversions between the dialog's wide text (UTF-16), the ANSI code page, UTF-8 and a
// percent-encoded form. Buffers returned as pointers belong to the caller (delete[]).
#pragma once

#include <cstdint>
#include <string>

#include "cipher/wide_string.h"

namespace Molvan::System {

class Encoder {
public:
    Encoder() = default;
    virtual ~Encoder() = default;

    static void CStringToAnsi(const CString& text, std::string& out);
    static void AnsiToCString(const std::string& text, CString& out);

    static void CStringToUtf8(const CString& text, std::string& out);
    static char* CStringToUtf8Buffer(std::int32_t& size, const CString& text);
    static char* CStringToUtf8Counted(const CString& text);
    static void AnsiToUtf8(const std::string& text, std::string& out);
    static void AnsiToWString(const std::string& text, std::basic_string<WCHAR>& out);
    static WCHAR* Utf8ToWideBuffer(const std::string& text);
    static WCHAR* Utf8ToWideBuffer(const char* text);
    static void Utf8ToCString(const char* text, CString& out);
    static void Utf8ToCString(const std::string& text, CString& out);
    static void UrlEncode(const char* text, char*& out);
    static CString UrlEncode(CString text);
    static char HexDigit(const unsigned char& value);
};

}  // namespace Molvan::System
