// The tool's cipher text computed the standard way, without the tool: AES-128 (OpenSSL) of the
// text's first 16 bytes, zero-padded, under the first 16 bytes of the key string, in Base64.
#pragma once

#include <string>

namespace e2e {

// bytes: the field's text in the ANSI code page.
std::u16string ReferenceCipherText(const std::string& bytes);

}  // namespace e2e
