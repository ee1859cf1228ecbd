// SPDX-License-Identifier: MIT
// The Windows ANSI code pages on glibc's iconv, completed with the mappings that Windows' tables
// have and glibc's lack, so that text converts as it does on Windows. Single-byte pages become
// a table at first use; double-byte pages go through iconv, one call per text.
#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <utility>

#include "cipher/codepage_posix.h"

namespace Molvan::System::CodePage {

namespace {

// Bytes first..last that glibc leaves undefined and Windows reads as consecutive units from
// `unit`: its end-user-defined characters, and in 1255 a later Hebrew point.
struct ExtraRange {
    unsigned char first;
    unsigned char last;
    char16_t unit;
};

// The lead bytes of a double-byte page, in up to two ranges; none for a single-byte page.
struct LeadBytes {
    unsigned char low1 = 0, high1 = 0, low2 = 0, high2 = 0;

    bool Any() const { return low1 != 0; }
    bool Contains(unsigned char byte) const {
        return (low1 != 0 && byte >= low1 && byte <= high1) ||
               (low2 != 0 && byte >= low2 && byte <= high2);
    }
};

struct AnsiPage {
    unsigned int number;
    const char* iconvName;
    LeadBytes leads{};
    // What an undefined byte or pair reads as: "?", but KATAKANA MIDDLE DOT in Japanese.
    char16_t defaultUnit = u'?';
    // Bytes 0x80 to 0x9F (bit n for 0x80 + n) that glibc leaves undefined and Windows reads as
    // the C1 control of the same value.
    std::uint32_t controlBytes = 0;
    std::span<const ExtraRange> extras{};
};

constexpr std::uint32_t Controls(std::initializer_list<unsigned int> bytes) {
    std::uint32_t mask = 0;
    for (unsigned int byte : bytes) mask |= 1u << (byte - 0x80);
    return mask;
}

constexpr std::uint32_t Controls(unsigned int first, unsigned int last) {
    std::uint32_t mask = 0;
    for (unsigned int byte = first; byte <= last; ++byte) mask |= 1u << (byte - 0x80);
    return mask;
}

constexpr std::array<ExtraRange, 2> kExtras874 = {{{0xDB, 0xDE, 0xF8C1}, {0xFC, 0xFF, 0xF8C5}}};
constexpr std::array<ExtraRange, 1> kExtras936 = {{{0xFF, 0xFF, 0xF8F5}}};
constexpr std::array<ExtraRange, 3> kExtras1253 = {
    {{0xAA, 0xAA, 0xF8F9}, {0xD2, 0xD2, 0xF8FA}, {0xFF, 0xFF, 0xF8FB}}};
constexpr std::array<ExtraRange, 4> kExtras1255 = {
    {{0xCA, 0xCA, 0x05BA}, {0xD9, 0xDF, 0xF88D}, {0xFB, 0xFC, 0xF894}, {0xFF, 0xFF, 0xF896}}};
constexpr std::array<ExtraRange, 2> kExtras1257 = {{{0xA1, 0xA1, 0xF8FC}, {0xA5, 0xA5, 0xF8FD}}};

constexpr std::array kPages = {
    AnsiPage{.number = 874,
             .iconvName = "CP874",
             .controlBytes = Controls(0x81, 0x84) | Controls(0x86, 0x90) | Controls(0x98, 0x9F),
             .extras = kExtras874},
    AnsiPage{.number = 932,
             .iconvName = "CP932",
             .leads = {0x81, 0x9F, 0xE0, 0xFC},
             .defaultUnit = u'\u30FB'},
    AnsiPage{.number = 936, .iconvName = "CP936", .leads = {0x81, 0xFE}, .extras = kExtras936},
    AnsiPage{.number = 949, .iconvName = "CP949", .leads = {0x81, 0xFE}},
    AnsiPage{.number = 950, .iconvName = "CP950", .leads = {0x81, 0xFE}},
    AnsiPage{.number = 1250,
             .iconvName = "CP1250",
             .controlBytes = Controls({0x81, 0x83, 0x88, 0x90, 0x98})},
    AnsiPage{.number = 1251, .iconvName = "CP1251", .controlBytes = Controls({0x98})},
    AnsiPage{.number = 1252,
             .iconvName = "CP1252",
             .controlBytes = Controls({0x81, 0x8D, 0x8F, 0x90, 0x9D})},
    AnsiPage{.number = 1253,
             .iconvName = "CP1253",
             .controlBytes = Controls({0x81, 0x88, 0x8A, 0x98, 0x9A}) | Controls(0x8C, 0x90) |
                             Controls(0x9C, 0x9F),
             .extras = kExtras1253},
    AnsiPage{.number = 1254,
             .iconvName = "CP1254",
             .controlBytes = Controls({0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E})},
    AnsiPage{
        .number = 1255,
        .iconvName = "CP1255",
        .controlBytes = Controls({0x81, 0x8A, 0x9A}) | Controls(0x8C, 0x90) | Controls(0x9C, 0x9F),
        .extras = kExtras1255},
    AnsiPage{.number = 1256, .iconvName = "CP1256"},
    AnsiPage{.number = 1257,
             .iconvName = "CP1257",
             .controlBytes = Controls({0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98, 0x9A, 0x9C, 0x9F}),
             .extras = kExtras1257},
    AnsiPage{.number = 1258,
             .iconvName = "CP1258",
             .controlBytes = Controls({0x81, 0x8A, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9D, 0x9E})},
};

const AnsiPage* FindPage(unsigned int number) {
    const auto found = std::find_if(kPages.begin(), kPages.end(), [number](const AnsiPage& page) {
        return page.number == number;
    });
    return found != kPages.end() ? &*found : nullptr;
}

struct Decoded {
    char16_t unit;
    std::size_t length;
};

// What Windows reads for the bytes at the start of rest, which glibc refused.
Decoded DecodeUndefined(const AnsiPage& page, std::span<const unsigned char> rest) {
    const unsigned char byte = rest[0];
    if (page.leads.Contains(byte)) {
        // A lead byte takes the next byte with it, whatever it is; a terminator is never taken.
        if (rest.size() < 2 || rest[1] == 0) return {page.defaultUnit, 1};
        if (page.number == 936) {
            if (const auto unit = Cp936PairToPrivateUse(byte, rest[1])) return {*unit, 2};
        }
        return {page.defaultUnit, 2};
    }
    if (byte >= 0x80 && byte <= 0x9F && (page.controlBytes >> (byte - 0x80) & 1u) != 0) {
        return {byte, 1};
    }
    for (const ExtraRange& extra : page.extras) {
        if (byte >= extra.first && byte <= extra.last) {
            return {static_cast<char16_t>(extra.unit + (byte - extra.first)), 1};
        }
    }
    return {page.defaultUnit, 1};
}

// The bytes (lead << 8 | trail for a pair) that Windows writes for a unit that glibc refused,
// in a double-byte page. (Single-byte pages convert by table.)
std::optional<std::uint16_t> EncodeUndefined(const AnsiPage& page, char16_t unit) {
    for (const ExtraRange& extra : page.extras) {
        const unsigned int count = extra.last - extra.first + 1u;
        if (unit >= extra.unit && unit < extra.unit + count) {
            return static_cast<std::uint16_t>(extra.first + (unit - extra.unit));
        }
    }
    if (page.number == 936) return Cp936PrivateUseToPair(unit);
    return std::nullopt;
}

const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);
constexpr const char* kUtf16Name =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

bool Failed(std::size_t result) { return result == static_cast<std::size_t>(-1); }

std::size_t IndexOf(const AnsiPage& page) {
    return static_cast<std::size_t>(&page - kPages.data());
}

// A single-byte page as Windows has it: each byte one unit, and back.
struct ByteTable {
    bool valid = false;
    std::array<char16_t, 256> units{};
    std::array<std::pair<char16_t, unsigned char>, 256> bytesByUnit{};  // sorted by unit
};

// Asks glibc for one byte at a time, so that its composition of a letter with a following
// combining mark (1255, 1258), which Windows does not do, never applies.
ByteTable BuildByteTable(const AnsiPage& page) {
    ByteTable table;
    const iconv_t descriptor = iconv_open(kUtf16Name, page.iconvName);
    if (descriptor == kClosed) return table;
    for (unsigned int value = 0; value < 256; ++value) {
        const unsigned char byte = static_cast<unsigned char>(value);
        std::array<char16_t, 4> units{};
        char* in = const_cast<char*>(reinterpret_cast<const char*>(&byte));
        std::size_t inLeft = 1;
        char* out = reinterpret_cast<char*>(units.data());
        std::size_t outLeft = sizeof units;
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        const bool converted = !Failed(iconv(descriptor, &in, &inLeft, &out, &outLeft)) &&
                               !Failed(iconv(descriptor, nullptr, nullptr, &out, &outLeft));
        const bool single = converted && outLeft == sizeof units - sizeof(char16_t);
        table.units[value] = single ? units[0] : DecodeUndefined(page, {&byte, 1}).unit;
        table.bytesByUnit[value] = {table.units[value], byte};
    }
    iconv_close(descriptor);
    std::sort(table.bytesByUnit.begin(), table.bytesByUnit.end());
    table.valid = true;
    return table;
}

const ByteTable* FindByteTable(const AnsiPage& page) {
    static std::array<std::once_flag, kPages.size()> built;
    static std::array<ByteTable, kPages.size()> tables;
    const std::size_t index = IndexOf(page);
    std::call_once(built[index], [&] { tables[index] = BuildByteTable(page); });
    return tables[index].valid ? &tables[index] : nullptr;
}

// iconv descriptors for the double-byte pages, opened on first use and kept per thread (a
// descriptor holds conversion state, so threads cannot share one). These pages and UTF-16LE/BE
// have no shift states: a conversion that reaches the end of its input leaves the descriptor as
// it found it, so a field takes one iconv call, with no reset before and no flush after. Only a
// refused sequence gets a reset, to drop any partial sequence the descriptor took in.
struct Descriptors {
    iconv_t toUtf16 = kClosed;
    iconv_t fromUtf16 = kClosed;

    Descriptors() = default;
    Descriptors(const Descriptors&) = delete;
    Descriptors& operator=(const Descriptors&) = delete;
    ~Descriptors() {
        if (toUtf16 != kClosed) iconv_close(toUtf16);
        if (fromUtf16 != kClosed) iconv_close(fromUtf16);
    }
};

thread_local std::array<Descriptors, kPages.size()> tDescriptors;

iconv_t Open(const AnsiPage& page, bool toUtf16) {
    Descriptors& descriptors = tDescriptors[IndexOf(page)];
    iconv_t& descriptor = toUtf16 ? descriptors.toUtf16 : descriptors.fromUtf16;
    if (descriptor == kClosed) {
        descriptor = toUtf16 ? iconv_open(kUtf16Name, page.iconvName)
                             : iconv_open(page.iconvName, kUtf16Name);
    }
    return descriptor;
}

// Runs iconv over the input from `done`, putting what it produces; on a byte sequence or unit
// that glibc refuses, stops there and sets `refused`. False when the output is full.
template <typename In, typename Unit>
bool Convert(iconv_t descriptor, std::span<const In> text, std::size_t& done, Output<Unit>& out,
             bool& refused) {
    std::array<Unit, 64> chunk;
    char* outPtr = reinterpret_cast<char*>(chunk.data());
    std::size_t outLeft = sizeof chunk;
    // iconv takes a non-const input pointer but only reads through it.
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data() + done));
    std::size_t inLeft = (text.size() - done) * sizeof(In);
    const std::size_t result = iconv(descriptor, &in, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    done = text.size() - inLeft / sizeof(In);
    for (std::size_t i = 0; i < (sizeof chunk - outLeft) / sizeof(Unit); ++i) {
        if (!out.Put(chunk[i])) return false;
    }
    refused = Failed(result) && error != E2BIG && done < text.size();
    return true;
}

bool DoubleByteToUtf16(const AnsiPage& page, std::span<const unsigned char> text,
                       Output<char16_t>& out) {
    iconv_t descriptor = kClosed;
    std::size_t done = 0;
    while (done < text.size()) {
        // Every page reads ASCII as itself; most fields are ASCII, so iconv is often not needed.
        if (text[done] < 0x80) {
            if (!out.Put(text[done])) return false;
            ++done;
            continue;
        }
        if (descriptor == kClosed && (descriptor = Open(page, true)) == kClosed) return false;
        bool refused = false;
        if (!Convert(descriptor, text, done, out, refused)) return false;
        if (refused) {
            const Decoded decoded = DecodeUndefined(page, text.subspan(done));
            if (!out.Put(decoded.unit)) return false;
            done += decoded.length;
            iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return true;
}

bool Utf16ToDoubleByte(const AnsiPage& page, std::span<const char16_t> text, Output<char>& out,
                       char defaultChar, bool& usedDefault) {
    iconv_t descriptor = kClosed;
    std::size_t done = 0;
    while (done < text.size()) {
        if (text[done] < 0x80) {
            if (!out.Put(static_cast<char>(text[done]))) return false;
            ++done;
            continue;
        }
        if (descriptor == kClosed && (descriptor = Open(page, false)) == kClosed) return false;
        bool refused = false;
        if (!Convert(descriptor, text, done, out, refused)) return false;
        if (refused) {
            // One unit at a time, as Windows converts: a surrogate pair the page lacks gives two
            // default characters, and so does a lone surrogate.
            if (const auto bytes = EncodeUndefined(page, text[done])) {
                if (*bytes > 0xFF && !out.Put(static_cast<char>(*bytes >> 8))) return false;
                if (!out.Put(static_cast<char>(*bytes & 0xFF))) return false;
            } else {
                if (!out.Put(defaultChar)) return false;
                usedDefault = true;
            }
            ++done;
            iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return true;
}

}  // namespace

bool AnsiToUtf16(unsigned int number, std::span<const unsigned char> text, Output<char16_t>& out) {
    const AnsiPage* page = FindPage(number);
    if (page == nullptr) return false;
    if (page->leads.Any()) return DoubleByteToUtf16(*page, text, out);
    const ByteTable* table = FindByteTable(*page);
    if (table == nullptr) return false;
    for (const unsigned char byte : text) {
        if (!out.Put(table->units[byte])) return false;
    }
    return true;
}

bool Utf16ToAnsi(unsigned int number, std::span<const char16_t> text, Output<char>& out,
                 char defaultChar, bool& usedDefault) {
    const AnsiPage* page = FindPage(number);
    if (page == nullptr) return false;
    if (page->leads.Any()) return Utf16ToDoubleByte(*page, text, out, defaultChar, usedDefault);
    const ByteTable* table = FindByteTable(*page);
    if (table == nullptr) return false;
    for (const char16_t unit : text) {
        // Every page writes ASCII as itself.
        if (unit < 0x80) {
            if (!out.Put(static_cast<char>(unit))) return false;
            continue;
        }
        const auto found = std::lower_bound(table->bytesByUnit.begin(), table->bytesByUnit.end(),
                                            std::pair<char16_t, unsigned char>{unit, 0});
        if (found != table->bytesByUnit.end() && found->first == unit) {
            if (!out.Put(static_cast<char>(found->second))) return false;
        } else {
            if (!out.Put(defaultChar)) return false;
            usedDefault = true;
        }
    }
    return true;
}

}  // namespace Molvan::System::CodePage
