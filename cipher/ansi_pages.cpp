// The Windows ANSI code pages on glibc's iconv, completed with the mappings that Windows' tables
// have and glibc's lack, so that text converts as it does on Windows. Single-byte pages become
// a table at first use; double-byte pages go through iconv on each call.
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

// A byte (or lead << 8 | trail) that glibc leaves undefined and Windows maps to unit.
struct ExtraMapping {
    std::uint16_t bytes;
    char16_t unit;
};

struct AnsiPage {
    unsigned int number;
    const char* iconvName;
    // Lead bytes of a double-byte page (two ranges; empty for a single-byte page).
    unsigned char leadLow1, leadHigh1, leadLow2, leadHigh2;
    // What an undefined byte or pair reads as.
    char16_t defaultUnit;
    // Bytes 0x80 to 0x9F (bit n for 0x80 + n) that glibc leaves undefined and Windows reads as
    // the C1 control of the same value.
    std::uint32_t controlBytes;
    std::span<const ExtraMapping> extras;

    bool IsLead(unsigned char byte) const {
        return (leadLow1 != 0 && byte >= leadLow1 && byte <= leadHigh1) ||
               (leadLow2 != 0 && byte >= leadLow2 && byte <= leadHigh2);
    }
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

// Bytes that Windows maps to its end-user-defined characters (or, in 1255, to a later letter).
constexpr std::array<ExtraMapping, 8> kExtras874 = {{{0xDB, 0xF8C1},
                                                     {0xDC, 0xF8C2},
                                                     {0xDD, 0xF8C3},
                                                     {0xDE, 0xF8C4},
                                                     {0xFC, 0xF8C5},
                                                     {0xFD, 0xF8C6},
                                                     {0xFE, 0xF8C7},
                                                     {0xFF, 0xF8C8}}};
constexpr std::array<ExtraMapping, 1> kExtras936 = {{{0xFF, 0xF8F5}}};
constexpr std::array<ExtraMapping, 3> kExtras1253 = {
    {{0xAA, 0xF8F9}, {0xD2, 0xF8FA}, {0xFF, 0xF8FB}}};
constexpr std::array<ExtraMapping, 11> kExtras1255 = {{{0xCA, 0x05BA},
                                                       {0xD9, 0xF88D},
                                                       {0xDA, 0xF88E},
                                                       {0xDB, 0xF88F},
                                                       {0xDC, 0xF890},
                                                       {0xDD, 0xF891},
                                                       {0xDE, 0xF892},
                                                       {0xDF, 0xF893},
                                                       {0xFB, 0xF894},
                                                       {0xFC, 0xF895},
                                                       {0xFF, 0xF896}}};
constexpr std::array<ExtraMapping, 2> kExtras1257 = {{{0xA1, 0xF8FC}, {0xA5, 0xF8FD}}};

constexpr std::array kPages = {
    AnsiPage{874, "CP874", 0, 0, 0, 0, u'?',
             Controls(0x81, 0x84) | Controls(0x86, 0x90) | Controls(0x98, 0x9F), kExtras874},
    // Japanese reads an undefined byte as KATAKANA MIDDLE DOT, the others as "?".
    AnsiPage{932, "CP932", 0x81, 0x9F, 0xE0, 0xFC, u'\u30FB', 0, {}},
    AnsiPage{936, "CP936", 0x81, 0xFE, 0, 0, u'?', 0, kExtras936},
    AnsiPage{949, "CP949", 0x81, 0xFE, 0, 0, u'?', 0, {}},
    AnsiPage{950, "CP950", 0x81, 0xFE, 0, 0, u'?', 0, {}},
    AnsiPage{1250, "CP1250", 0, 0, 0, 0, u'?', Controls({0x81, 0x83, 0x88, 0x90, 0x98}), {}},
    AnsiPage{1251, "CP1251", 0, 0, 0, 0, u'?', Controls({0x98}), {}},
    AnsiPage{1252, "CP1252", 0, 0, 0, 0, u'?', Controls({0x81, 0x8D, 0x8F, 0x90, 0x9D}), {}},
    AnsiPage{1253, "CP1253", 0, 0, 0, 0, u'?',
             Controls({0x81, 0x88, 0x8A}) | Controls(0x8C, 0x90) | Controls({0x98, 0x9A}) |
                 Controls(0x9C, 0x9F),
             kExtras1253},
    AnsiPage{
        1254, "CP1254", 0, 0, 0, 0, u'?', Controls({0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E}), {}},
    AnsiPage{
        1255, "CP1255", 0, 0, 0, 0, u'?',
        Controls({0x81, 0x8A}) | Controls(0x8C, 0x90) | Controls({0x9A}) | Controls(0x9C, 0x9F),
        kExtras1255},
    AnsiPage{1256, "CP1256", 0, 0, 0, 0, u'?', 0, {}},
    AnsiPage{1257, "CP1257", 0, 0, 0, 0, u'?',
             Controls({0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98, 0x9A, 0x9C, 0x9F}), kExtras1257},
    AnsiPage{1258,
             "CP1258",
             0,
             0,
             0,
             0,
             u'?',
             Controls({0x81, 0x8A, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9D, 0x9E}),
             {}},
};

const AnsiPage* FindPage(unsigned int number) {
    const auto found = std::find_if(kPages.begin(), kPages.end(), [number](const AnsiPage& page) {
        return page.number == number;
    });
    return found != kPages.end() ? &*found : nullptr;
}

// Code page 936 maps every lead and trail pair that GBK leaves undefined to the private use
// area: three user-defined blocks by formula, and the remaining gaps one after another from
// U+E766, in this order.
struct PairRange {
    std::uint16_t first;
    std::uint16_t last;
};

constexpr std::array kGbkGaps = {
    PairRange{0xA2AB, 0xA2B0}, PairRange{0xA2E3, 0xA2E4}, PairRange{0xA2EF, 0xA2F0},
    PairRange{0xA2FD, 0xA2FE}, PairRange{0xA4F4, 0xA4FE}, PairRange{0xA5F7, 0xA5FE},
    PairRange{0xA6B9, 0xA6C0}, PairRange{0xA6D9, 0xA6DF}, PairRange{0xA6EC, 0xA6ED},
    PairRange{0xA6F3, 0xA6F3}, PairRange{0xA6F6, 0xA6FE}, PairRange{0xA7C2, 0xA7D0},
    PairRange{0xA7F2, 0xA7FE}, PairRange{0xA896, 0xA8A0}, PairRange{0xA8BC, 0xA8BC},
    PairRange{0xA8BF, 0xA8BF}, PairRange{0xA8C1, 0xA8C4}, PairRange{0xA8EA, 0xA8FE},
    PairRange{0xA958, 0xA958}, PairRange{0xA95B, 0xA95B}, PairRange{0xA95D, 0xA95F},
    PairRange{0xA989, 0xA995}, PairRange{0xA997, 0xA9A3}, PairRange{0xA9F0, 0xA9FE},
    PairRange{0xD7FA, 0xD7FE}, PairRange{0xFE50, 0xFE7E}, PairRange{0xFE80, 0xFEA0},
};

constexpr char16_t kUserBlock1 = 0xE000;  // AAA1..AFFE
constexpr char16_t kUserBlock2 = 0xE234;  // F8A1..FEFE
constexpr char16_t kUserBlock3 = 0xE4C6;  // A140..A7A0
constexpr char16_t kGapsStart = 0xE766;
constexpr int kTrailsHigh = 94;  // A1..FE
constexpr int kTrailsLow = 96;   // 40..7E, 80..A0

bool IsGbkTrail(unsigned int trail) { return trail >= 0x40 && trail <= 0xFE && trail != 0x7F; }

std::optional<char16_t> Cp936PairToPrivateUse(unsigned int lead, unsigned int trail) {
    if (!IsGbkTrail(trail)) return std::nullopt;
    if (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1) {
        return static_cast<char16_t>(kUserBlock1 + (lead - 0xAA) * kTrailsHigh + (trail - 0xA1));
    }
    if (lead >= 0xF8 && lead <= 0xFE && trail >= 0xA1) {
        return static_cast<char16_t>(kUserBlock2 + (lead - 0xF8) * kTrailsHigh + (trail - 0xA1));
    }
    if (lead >= 0xA1 && lead <= 0xA7 && trail <= 0xA0) {
        const unsigned int index = trail < 0x7F ? trail - 0x40 : trail - 0x41;
        return static_cast<char16_t>(kUserBlock3 + (lead - 0xA1) * kTrailsLow + index);
    }
    const unsigned int pair = lead << 8 | trail;
    unsigned int offset = 0;
    for (const PairRange& gap : kGbkGaps) {
        if (pair >= gap.first && pair <= gap.last) {
            return static_cast<char16_t>(kGapsStart + offset + (pair - gap.first));
        }
        offset += gap.last - gap.first + 1;
    }
    return std::nullopt;
}

std::optional<std::uint16_t> Cp936PrivateUseToPair(char16_t unit) {
    if (unit >= kUserBlock1 && unit < kUserBlock2) {
        const unsigned int index = unit - kUserBlock1;
        return static_cast<std::uint16_t>((0xAA + index / kTrailsHigh) << 8 |
                                          (0xA1 + index % kTrailsHigh));
    }
    if (unit >= kUserBlock2 && unit < kUserBlock3) {
        const unsigned int index = unit - kUserBlock2;
        return static_cast<std::uint16_t>((0xF8 + index / kTrailsHigh) << 8 |
                                          (0xA1 + index % kTrailsHigh));
    }
    if (unit >= kUserBlock3 && unit < kGapsStart) {
        const unsigned int index = unit - kUserBlock3;
        const unsigned int column = index % kTrailsLow;
        const unsigned int trail = column < 0x3F ? 0x40 + column : 0x41 + column;
        return static_cast<std::uint16_t>((0xA1 + index / kTrailsLow) << 8 | trail);
    }
    unsigned int offset = kGapsStart;
    for (const PairRange& gap : kGbkGaps) {
        const unsigned int size = gap.last - gap.first + 1u;
        if (unit >= offset && unit < offset + size) {
            return static_cast<std::uint16_t>(gap.first + (unit - offset));
        }
        offset += size;
    }
    return std::nullopt;
}

struct Decoded {
    char16_t unit;
    std::size_t length;
};

// What Windows reads for the bytes at the start of rest, which glibc refused.
Decoded DecodeUndefined(const AnsiPage& page, std::span<const unsigned char> rest) {
    const unsigned char byte = rest[0];
    if (page.IsLead(byte)) {
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
    for (const ExtraMapping& extra : page.extras) {
        if (extra.bytes == byte) return {extra.unit, 1};
    }
    return {page.defaultUnit, 1};
}

// The bytes (lead << 8 | trail for a pair) that Windows writes for a unit that glibc refused.
std::optional<std::uint16_t> EncodeUndefined(const AnsiPage& page, char16_t unit) {
    if (unit >= 0x80 && unit <= 0x9F && (page.controlBytes >> (unit - 0x80) & 1u) != 0) return unit;
    for (const ExtraMapping& extra : page.extras) {
        if (extra.unit == unit) return extra.bytes;
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
// descriptor holds conversion state, so threads cannot share one).
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
    if (descriptor != kClosed) iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    return descriptor;
}

// Runs iconv over the input from `done` (or, with no input, flushes what it holds back),
// putting what it produces; on a byte sequence or unit that glibc refuses, stops there and
// returns false in `refused`.
template <typename In, typename Unit>
bool Convert(iconv_t descriptor, std::span<const In> text, std::size_t& done, Output<Unit>& out,
             bool& refused) {
    std::array<Unit, 64> chunk;
    char* outPtr = reinterpret_cast<char*>(chunk.data());
    std::size_t outLeft = sizeof chunk;
    std::size_t result = 0;
    int error = 0;
    if (done < text.size()) {
        // iconv takes a non-const input pointer but only reads through it.
        char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data() + done));
        std::size_t inLeft = (text.size() - done) * sizeof(In);
        result = iconv(descriptor, &in, &inLeft, &outPtr, &outLeft);
        error = errno;
        done = text.size() - inLeft / sizeof(In);
    } else {
        result = iconv(descriptor, nullptr, nullptr, &outPtr, &outLeft);
        error = errno;
    }
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
    bool refused = false;
    return descriptor == kClosed || Convert(descriptor, text, done, out, refused);
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
    bool refused = false;
    return descriptor == kClosed || Convert(descriptor, text, done, out, refused);
}

}  // namespace

bool AnsiToUtf16(unsigned int number, std::span<const unsigned char> text, Output<char16_t>& out) {
    const AnsiPage* page = FindPage(number);
    if (page == nullptr) return false;
    if (page->leadLow1 != 0) return DoubleByteToUtf16(*page, text, out);
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
    if (page->leadLow1 != 0) return Utf16ToDoubleByte(*page, text, out, defaultChar, usedDefault);
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
