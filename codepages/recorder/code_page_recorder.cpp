// SPDX-License-Identifier: MIT
// Prints every conversion of one code page that WideCharToMultiByte and MultiByteToWideChar make
// with flags 0: each UTF-16 unit alone, each byte alone, each pair of bytes, surrogate pairs,
// the terminator of length -1, and random longer strings. Built for Windows and run under Wine
// (scripts/record-codepages.sh), its output is the recording that codepages/ is generated from;
// built on POSIX against our own KERNEL32, its output must equal that recording.
//
//   code_page_recorder PAGE     (874, 932, 936, 949, 950, 1250 to 1258 or 65001)
//
// Lines (numbers in hexadecimal; bytes and UTF-16 units written as 2 and 4 digits each):
//   info max=M default=D leads=L  GetCPInfo: MaxCharSize, DefaultChar, LeadByte ranges
//   w U[-V] BYTES [?]   UTF-16 unit U alone (to V: the bytes count up by one per unit, or
//                       stay the same where "?" says that the default character was used)
//   s H L BYTES         the units H L, where that is not the bytes of H and then of L
//   m B[-C] UNITS       byte B alone (to C: the last unit counts up by one per byte)
//   p XY[-ZW] UNITS     the bytes X Y, where that is not the units of X and then of Y
//   tw U BYTES          unit U and its terminator, length -1, where that is not U's bytes + 00
//   tm B UNITS          byte B and its terminator, length -1, where not B's units + 0000
//   rw UNITS BYTES      a random string, by its length
//   rm BYTES UNITS      a random string, by its length
//   rt IN OUT           that string by length -1, where that is not the same plus the terminator
//   u BYTES UNITS       65001 only: a sequence of 3 or 4 bytes, each standing for a range of
//                       bytes that UTF-8 treats alike, where that is not the units of two shorter
//                       parts of it, one after the other
//   ud N DIGEST         65001 only: the number of those sequences, and a digest of all their units
//   error TEXT          a size query that did not give what the conversion wrote
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr UINT kUtf8 = 65001;

UINT page = 0;

using Bytes = std::vector<unsigned char>;
using Units = std::vector<std::uint16_t>;

std::string Hex(const Bytes& bytes) {
    std::string text;
    char digits[3];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text.empty() ? "-" : text;
}

std::string Hex(const Units& units) {
    std::string text;
    char digits[5];
    for (std::uint16_t unit : units) {
        std::snprintf(digits, sizeof digits, "%04X", unit);
        text += digits;
    }
    return text.empty() ? "-" : text;
}

void Error(const std::string& what) { std::printf("error %s\n", what.c_str()); }

// The bytes of text[0..length) (length -1: through its terminator), by a size query and then a
// conversion into a buffer of that size, as the Encoder converts.
Bytes ToBytes(const Units& text, int length, bool* usedDefault = nullptr) {
    std::vector<WCHAR> wide(text.begin(), text.end());
    BOOL used = FALSE;
    BOOL* usedOut = page == kUtf8 ? nullptr : &used;
    const int size =
        WideCharToMultiByte(page, 0, wide.data(), length, nullptr, 0, nullptr, usedOut);
    Bytes bytes(static_cast<std::size_t>(size > 0 ? size : 0) + 1);
    const int written =
        WideCharToMultiByte(page, 0, wide.data(), length, reinterpret_cast<char*>(bytes.data()),
                            size, nullptr, usedOut);
    if (written != size) Error("w " + Hex(text));
    bytes.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    if (usedDefault != nullptr) *usedDefault = used != FALSE;
    return bytes;
}

Units ToUnits(const Bytes& bytes, int length) {
    const char* text = reinterpret_cast<const char*>(bytes.data());
    const int size = MultiByteToWideChar(page, 0, text, length, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<std::size_t>(size > 0 ? size : 0) + 1);
    const int written = MultiByteToWideChar(page, 0, text, length, wide.data(), size);
    if (written != size) Error("m " + Hex(bytes));
    return Units(wide.begin(), wide.begin() + (written > 0 ? written : 0));
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Units Concat(Units a, const Units& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The bytes as a number, plus one, in as many bytes; empty when that does not fit.
Bytes Next(Bytes bytes) {
    for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte) {
        if (++*byte != 0) return bytes;
    }
    return {};
}

Units Next(Units units) {
    if (!units.empty()) ++units.back();
    return units;
}

// Collects consecutive inputs whose outputs count up by one (or, marked, stay the same) into
// one line: "tag first[-last] output[ mark]".
template <typename Output>
class Runs {
public:
    Runs(const char* tag, int keyDigits) : tag_(tag), keyDigits_(keyDigits) {}
    ~Runs() { Flush(); }

    void Add(unsigned key, const Output& output, bool marked = false) {
        if (open_ && key == last_ + 1 && marked == marked_ && output == expected_) {
            last_ = key;
            if (!marked) expected_ = Next(expected_);
            return;
        }
        Flush();
        open_ = true;
        start_ = last_ = key;
        first_ = output;
        expected_ = marked ? output : Next(output);
        marked_ = marked;
    }

private:
    void Flush() {
        if (!open_) return;
        std::printf("%s %0*X", tag_, keyDigits_, start_);
        if (last_ != start_) std::printf("-%0*X", keyDigits_, last_);
        std::printf(" %s%s\n", Hex(first_).c_str(), marked_ ? " ?" : "");
        open_ = false;
    }

    const char* tag_;
    int keyDigits_;
    bool open_ = false;
    unsigned start_ = 0, last_ = 0;
    Output first_{}, expected_{};
    bool marked_ = false;
};

// A fixed sequence (the same on every system), so that recordings can be compared.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    unsigned Below(unsigned bound) { return Next() % bound; }
    unsigned Between(unsigned low, unsigned high) { return low + Below(high - low + 1); }

private:
    std::uint32_t state_;
};

std::uint16_t RandomUnit(Random& random) {
    switch (random.Below(10)) {
        case 0:
        case 1:
        case 2:
            return static_cast<std::uint16_t>(random.Between(0x20, 0x7E));
        case 3:
            return static_cast<std::uint16_t>(random.Between(0x80, 0x2FF));
        case 4:
            return static_cast<std::uint16_t>(random.Between(0x2000, 0x33FF));
        case 5:
            return static_cast<std::uint16_t>(random.Between(0x4E00, 0x9FFF));
        case 6:
            return static_cast<std::uint16_t>(random.Between(0xAC00, 0xD7A3));
        case 7:
            return static_cast<std::uint16_t>(random.Between(0xD800, 0xDFFF));
        case 8:
            return static_cast<std::uint16_t>(random.Between(0xE000, 0xFFFF));
        default:
            return static_cast<std::uint16_t>(random.Between(1, 0xFFFF));
    }
}

unsigned char RandomByte(Random& random) {
    switch (random.Below(8)) {
        case 0:
        case 1:
            return static_cast<unsigned char>(random.Between(0x20, 0x7F));
        case 2:
            return static_cast<unsigned char>(random.Between(0x00, 0x3F));
        case 3:
        case 4:
            return static_cast<unsigned char>(random.Between(0x80, 0xFF));
        case 5:
            return static_cast<unsigned char>(random.Between(0x80, 0xBF));
        default:
            return static_cast<unsigned char>(random.Between(0x40, 0xFE));
    }
}

void RecordInfo() {
    CPINFO info{};
    if (!GetCPInfo(page, &info)) {
        Error("GetCPInfo");
        return;
    }
    std::string leads;
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        char range[8];
        std::snprintf(range, sizeof range, "%s%02X-%02X", leads.empty() ? "" : ",",
                      info.LeadByte[i], info.LeadByte[i + 1]);
        leads += range;
    }
    std::printf(
        "info max=%u default=%s leads=%s\n", info.MaxCharSize,
        Hex(Bytes(info.DefaultChar, info.DefaultChar + (info.DefaultChar[1] ? 2 : 1))).c_str(),
        leads.empty() ? "-" : leads.c_str());
    // IsDBCSLeadByteEx must name the same bytes.
    for (unsigned byte = 0; byte < 256; ++byte) {
        bool inRange = false;
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
            inRange |= byte >= info.LeadByte[i] && byte <= info.LeadByte[i + 1];
        if ((IsDBCSLeadByteEx(page, static_cast<BYTE>(byte)) != FALSE) != inRange)
            std::printf("error IsDBCSLeadByteEx %02X\n", byte);
    }
}

void RecordUnits(std::vector<Bytes>& unitBytes) {
    Runs<Bytes> runs("w", 4);
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        bool used = false;
        unitBytes[unit] = ToBytes({static_cast<std::uint16_t>(unit)}, 1, &used);
        runs.Add(unit, unitBytes[unit], used);
    }
}

void RecordSurrogatePairs(const std::vector<Bytes>& unitBytes) {
    auto pair = [&](unsigned high, unsigned low) {
        const Units text = {static_cast<std::uint16_t>(high), static_cast<std::uint16_t>(low)};
        const Bytes bytes = ToBytes(text, 2);
        if (bytes != Concat(unitBytes[high], unitBytes[low]))
            std::printf("s %04X %04X %s\n", high, low, Hex(bytes).c_str());
    };
    for (unsigned high = 0xD800; high <= 0xDBFF; ++high) {
        pair(high, 0xDC00);
        pair(high, 0xDFFF);
    }
    for (unsigned low = 0xDC00; low <= 0xDFFF; ++low) {
        pair(0xD800, low);
        pair(0xDBFF, low);
    }
    pair(0xDC00, 0xD800);  // the wrong order
    pair(0xD800, 0xD800);
}

void RecordBytes(std::vector<Units>& byteUnits) {
    Runs<Units> runs("m", 2);
    for (unsigned byte = 0; byte < 256; ++byte) {
        byteUnits[byte] = ToUnits({static_cast<unsigned char>(byte)}, 1);
        runs.Add(byte, byteUnits[byte]);
    }
}

void RecordPairs(const std::vector<Units>& byteUnits) {
    Runs<Units> runs("p", 4);
    for (unsigned first = 0; first < 256; ++first) {
        for (unsigned second = 0; second < 256; ++second) {
            const Units units =
                ToUnits({static_cast<unsigned char>(first), static_cast<unsigned char>(second)}, 2);
            if (units != Concat(byteUnits[first], byteUnits[second]))
                runs.Add(first << 8 | second, units);
        }
    }
}

void RecordTerminators(const std::vector<Bytes>& unitBytes, const std::vector<Units>& byteUnits) {
    for (unsigned unit = 1; unit <= 0xFFFF; ++unit) {
        const Bytes bytes = ToBytes({static_cast<std::uint16_t>(unit), 0}, -1);
        if (bytes != Concat(unitBytes[unit], {0}))
            std::printf("tw %04X %s\n", unit, Hex(bytes).c_str());
    }
    for (unsigned byte = 1; byte < 256; ++byte) {
        const Units units = ToUnits({static_cast<unsigned char>(byte), 0}, -1);
        if (units != Concat(byteUnits[byte], {0}))
            std::printf("tm %02X %s\n", byte, Hex(units).c_str());
    }
}

// Every sequence of 3 and 4 bytes over the first and last byte of each range that UTF-8's rules
// tell apart (ASCII, the continuation bytes by the second-byte limits of E0, ED, F0 and F4, the
// lead bytes by their lengths and those limits, the bytes that start nothing). Printed are the
// sequences whose units are not those of two shorter parts, one after the other; a digest of
// every sequence's units covers the others.
void RecordUtf8Sequences() {
    static constexpr unsigned char kBytes[] = {
        0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0,
        0xE1, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xF7, 0xF8, 0xFF};
    constexpr std::size_t kCount = sizeof kBytes;
    // The units of each sequence of up to 3 bytes, converted once: by length, then by the
    // places of its bytes in kBytes read as a number.
    std::vector<Units> shorter[4];
    for (std::size_t length = 1, total = kCount; length < 4; ++length, total *= kCount) {
        for (std::size_t number = 0; number < total; ++number) {
            Bytes bytes(length);
            for (std::size_t i = length, rest = number; i-- > 0; rest /= kCount)
                bytes[i] = kBytes[rest % kCount];
            shorter[length].push_back(ToUnits(bytes, static_cast<int>(length)));
        }
    }
    std::uint64_t digest = 14695981039346656037u;  // FNV-1a
    unsigned count = 0;
    auto record = [&](const std::vector<std::size_t>& places) {
        const std::size_t n = places.size();
        Bytes bytes;
        for (std::size_t place : places) bytes.push_back(kBytes[place]);
        auto part = [&](std::size_t from, std::size_t to) -> const Units& {
            std::size_t number = 0;
            for (std::size_t i = from; i < to; ++i) number = number * kCount + places[i];
            return shorter[to - from][number];
        };
        const Units whole = n < 4 ? part(0, n) : ToUnits(bytes, static_cast<int>(n));
        for (std::uint16_t unit : Concat(whole, {0xFFFF}))
            digest = (digest ^ unit) * 1099511628211u;
        ++count;
        bool split = false;
        for (std::size_t k = 1; k < n && !split; ++k)
            split = whole == Concat(part(0, k), part(k, n));
        if (!split) std::printf("u %s %s\n", Hex(bytes).c_str(), Hex(whole).c_str());
    };
    for (std::size_t a = 0; a < kCount; ++a) {
        for (std::size_t b = 0; b < kCount; ++b) {
            for (std::size_t c = 0; c < kCount; ++c) {
                record({a, b, c});
                for (std::size_t d = 0; d < kCount; ++d) record({a, b, c, d});
            }
        }
    }
    std::printf("ud %u %016llX\n", count, static_cast<unsigned long long>(digest));
}

template <typename In, typename Convert>
void RecordRandom(const char* tag, In (*pick)(Random&), Random& random, Convert convert) {
    for (int i = 0; i < 400; ++i) {
        std::vector<In> text(random.Between(1, 32));
        for (In& element : text) element = pick(random);
        const auto output = convert(text, static_cast<int>(text.size()));
        std::printf("%s %s %s\n", tag, Hex(text).c_str(), Hex(output).c_str());
        // The same text, terminated, by length -1 (unless it holds a terminator already).
        bool terminated = false;
        for (In element : text) terminated |= element == 0;
        if (terminated) continue;
        text.push_back(0);
        const auto whole = convert(text, -1);
        if (whole != Concat(output, {0}))
            std::printf("rt %s %s\n", Hex(text).c_str(), Hex(whole).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || (page = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10))) == 0) {
        std::fprintf(stderr, "usage: code_page_recorder PAGE\n");
        return 2;
    }
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // Unix line ends, as the recording has them
#endif
    std::printf(
        "# Code page %u as WideCharToMultiByte and MultiByteToWideChar convert it with\n"
        "# flags 0: recorded by codepages/recorder under Wine. Regenerate with\n"
        "# scripts/record-codepages.sh; the format is described in the recorder.\n"
        "page %u\n",
        page, page);
    RecordInfo();
    std::vector<Bytes> unitBytes(0x10000);
    std::vector<Units> byteUnits(256);
    RecordUnits(unitBytes);
    RecordSurrogatePairs(unitBytes);
    RecordBytes(byteUnits);
    RecordPairs(byteUnits);
    RecordTerminators(unitBytes, byteUnits);
    if (page == kUtf8) RecordUtf8Sequences();
    Random random(page * 2654435761u);
    RecordRandom<std::uint16_t>("rw", RandomUnit, random, [](const Units& text, int length) {
        return ToBytes(text, length);
    });
    RecordRandom<unsigned char>("rm", RandomByte, random, [](const Bytes& text, int length) {
        return ToUnits(text, length);
    });
    return 0;
}
