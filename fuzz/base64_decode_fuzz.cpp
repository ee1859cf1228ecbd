// SPDX-License-Identifier: MIT
// Base64::Decode on arbitrary text: never reads past the length, produces at most three bytes
// per four characters and counts what it produces; the bounded decode writes only into its
// 16-byte block and gives Decode's first bytes; Encode's output always decodes back.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "cipher/base64.h"

using Molvan::System::Base64;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const int length = static_cast<int>(size);

    // An exact-size copy, so that a read past the end is caught.
    auto text = std::make_unique<char[]>(size);
    if (size > 0) std::memcpy(text.get(), data, size);
    int count = 0;
    const std::string bytes = Base64::Decode(text.get(), length, count);
    if (count != static_cast<int>(bytes.size())) std::abort();
    if (bytes.size() > (size + 3) / 4 * 3) std::abort();

    // An exact-size block, so that a write past it is caught.
    constexpr int kBlock = 16;
    auto block = std::make_unique<unsigned char[]>(kBlock);
    const int written = Base64::DecodePrefix(text.get(), length, block.get(), kBlock);
    if (written != std::min<int>(kBlock, count) ||
        std::memcmp(block.get(), bytes.data(), static_cast<std::size_t>(written)) != 0) {
        std::abort();
    }

    int roundTripCount = 0;
    const std::string encoded = Base64::Encode(data, length);
    const std::string decoded =
        Base64::Decode(encoded.data(), static_cast<int>(encoded.size()), roundTripCount);
    if (decoded != std::string(reinterpret_cast<const char*>(data), size)) std::abort();
    return 0;
}
