// SPDX-License-Identifier: MIT
// codepages/' WideCharToMultiByte and MultiByteToWideChar on arbitrary input, for CP_ACP, the
// double-byte pages, 1252, 1255 and UTF-8, both directions, by length or terminated, with assorted
// output sizes. Checks the contract: the size query equals what a buffer of that size receives, a
// shorter buffer fails, nothing is written past the size given (exact-size heap buffers), and the
// terminator ends a terminated conversion. Round trips that must hold: every 1252 byte, and UTF-16
// through UTF-8 (lone surrogates aside).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "codepages/codepages.h"

namespace {

using codepages::MultiByteToWideChar;
using codepages::WideCharToMultiByte;

constexpr unsigned int kPages[] = {0, 932, 936, 949, 950, 1252, 1255, 65001};

template <typename Unit>
std::vector<Unit> Units(const std::uint8_t* data, std::size_t size) {
    std::vector<Unit> units(size / sizeof(Unit));
    for (std::size_t i = 0; i < units.size(); ++i) {
        Unit unit = 0;
        for (std::size_t b = 0; b < sizeof(Unit); ++b)
            unit = static_cast<Unit>(unit | data[i * sizeof(Unit) + b] << (8 * b));
        units[i] = unit;
    }
    return units;
}

// Converts input (terminated: length -1) and checks the contract; returns the full result.
template <typename In, typename Out, typename Convert>
std::vector<Out> Check(std::vector<In> input, bool terminated, std::uint8_t shortSize,
                       Convert convert) {
    int length = static_cast<int>(input.size());
    if (terminated) {
        input.push_back(In{});
        length = -1;
    }
    const int need = convert(input.data(), length, nullptr, 0);
    if (length == 0) {
        if (need != 0) std::abort();
        return {};
    }
    if (need <= 0) std::abort();
    auto output = std::make_unique<Out[]>(static_cast<std::size_t>(need));
    if (convert(input.data(), length, output.get(), need) != need) std::abort();
    // The terminator ends a terminated conversion, unless UTF-8 input ends inside a sequence,
    // which takes the terminator along (one U+FFFD for both).
    const bool ended = output[static_cast<std::size_t>(need) - 1] == Out{};
    if (terminated && !ended && !(std::is_same_v<Out, char16_t> && output[need - 1] == 0xFFFD))
        std::abort();
    const int smaller = shortSize % need;
    if (smaller > 0) {
        auto small = std::make_unique<Out[]>(static_cast<std::size_t>(smaller));
        if (convert(input.data(), length, small.get(), smaller) != 0) std::abort();
    }
    std::vector<Out> result(output.get(), output.get() + need);
    if (terminated && ended) result.pop_back();
    return result;
}

std::vector<char16_t> ToWide(unsigned int page, std::vector<char> bytes, bool terminated,
                             std::uint8_t shortSize) {
    return Check<char, char16_t>(std::move(bytes), terminated, shortSize,
                                 [page](const char* in, int length, char16_t* out, int size) {
                                     return MultiByteToWideChar(page, 0, in, length, out, size);
                                 });
}

std::vector<char> ToBytes(unsigned int page, std::vector<char16_t> text, bool terminated,
                          std::uint8_t shortSize) {
    return Check<char16_t, char>(std::move(text), terminated, shortSize,
                                 [page](const char16_t* in, int length, char* out, int size) {
                                     return WideCharToMultiByte(page, 0, in, length, out, size,
                                                                nullptr, nullptr);
                                 });
}

// The text with its lone surrogates replaced, as a UTF-8 round trip gives it back.
std::vector<char16_t> WithoutLoneSurrogates(std::vector<char16_t> text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            text[i] = 0xFFFD;
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > 4096) return 0;
    const unsigned int page = kPages[data[0] & 7];
    const bool toWide = (data[0] & 8) != 0;
    const bool terminated = (data[0] & 16) != 0;
    const std::uint8_t shortSize = data[1];
    data += 2;
    size -= 2;

    if (toWide) {
        std::vector<char> bytes = Units<char>(data, size);
        if (terminated) bytes.erase(std::find(bytes.begin(), bytes.end(), '\0'), bytes.end());
        const std::vector<char16_t> text = ToWide(page, bytes, terminated, shortSize);
        if (page == 1252 && ToBytes(1252, text, false, 0) != bytes) std::abort();
    } else {
        std::vector<char16_t> text = Units<char16_t>(data, size);
        if (terminated) text.erase(std::find(text.begin(), text.end(), u'\0'), text.end());
        const std::vector<char> bytes = ToBytes(page, text, terminated, shortSize);
        if (page == 65001 && ToWide(65001, bytes, false, 0) != WithoutLoneSurrogates(text))
            std::abort();
    }
    return 0;
}
