// UTF-8 <-> UTF-16 for the platform's own needs (command line, headless text). Malformed input
// becomes U+FFFD; nothing fails.
#pragma once

#include <string>
#include <string_view>

namespace win32 {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace win32
