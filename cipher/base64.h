// SPDX-License-Identifier: MIT
// Base64 with the tool's own rules: a line break after every 76 characters of full groups when
// encoding (or none, on request), and lenient, table-driven decoding that never rejects its
// input.
#pragma once

#include <string>

namespace Molvan::System {

class Base64 {
public:
    virtual ~Base64() = default;

    // Encodes length bytes (none when length <= 0).
    static std::string Encode(const unsigned char* data, int length);

    // Encodes like Encode but in one line, for peers that take Base64 without line breaks (the
    // terminal's clipboard sequence).
    static std::string EncodeUnbroken(const unsigned char* data, int length);

    // Decodes the first length characters of text; adds one to outCount per byte produced.
    static std::string Decode(const char* text, int length, int& outCount);

    // Decodes like Decode but writes at most capacity bytes to out and stops reading there;
    // returns how many it wrote (Decode's first ones).
    static int DecodePrefix(const char* text, int length, unsigned char* out, int capacity);
};

}  // namespace Molvan::System
