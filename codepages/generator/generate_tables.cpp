// SPDX-License-Identifier: MIT
// Makes the code pages' tables (codepages/tables.h) from the recording of Windows' conversions:
//   generate_tables OUTPUT.cpp RECORDING.txt...
// Each UTF-16 unit's bytes come from its "w" line; each byte alone from its "m" line; a lead
// byte and the byte after it from their "p" line. The tables hold what the recording shows: a
// lead byte followed by 0 stands alone (no "p" line), followed by any other byte makes one unit,
// the same unit for every second byte outside 40..FE. Blocks and rows that repeat are stored
// once. Fails on anything in a recording that these tables cannot express.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kNoBytes = 0xFFFF;
constexpr std::uint16_t kNotLead = 0xFFFF;
constexpr unsigned int kUtf8 = 65001;
constexpr unsigned int kFirstTrail = 0x40;
constexpr unsigned int kLastTrail = 0xFE;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    std::cerr << "generate_tables: " << where << ": " << what << "\n";
    std::exit(1);
}

std::vector<unsigned int> HexGroups(const std::string& hex, std::size_t digits,
                                    const std::string& where) {
    if (hex == "-") return {};
    if (hex.size() % digits != 0) Fail(where, "bad hexadecimal " + hex);
    std::vector<unsigned int> values;
    for (std::size_t i = 0; i < hex.size(); i += digits)
        values.push_back(static_cast<unsigned int>(std::stoul(hex.substr(i, digits), nullptr, 16)));
    return values;
}

// "F" or "F-L".
void ParseRange(const std::string& text, unsigned int& first, unsigned int& last) {
    const std::size_t dash = text.find('-');
    first = static_cast<unsigned int>(std::stoul(text.substr(0, dash), nullptr, 16));
    last = dash == std::string::npos
               ? first
               : static_cast<unsigned int>(std::stoul(text.substr(dash + 1), nullptr, 16));
}

struct Page {
    unsigned int number = 0;
    unsigned int maxCharSize = 0;
    unsigned int defaultChar = 0;
    std::vector<unsigned int> leadBytes;  // first, last, ...
    std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(0x10000, kNoBytes);
    std::vector<char16_t> singles = std::vector<char16_t>(256, 0);
    std::map<unsigned int, char16_t> pairs;  // lead << 8 | trail
    std::vector<bool> seenUnit = std::vector<bool>(0x10000, false);
    std::vector<bool> seenByte = std::vector<bool>(256, false);

    bool IsLead(unsigned int byte) const {
        for (std::size_t i = 0; i + 1 < leadBytes.size(); i += 2)
            if (byte >= leadBytes[i] && byte <= leadBytes[i + 1]) return true;
        return false;
    }
};

Page Read(const std::string& path) {
    std::ifstream in(path);
    if (!in) Fail(path, "cannot read");
    Page page;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string where = path + ":" + std::to_string(number);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string tag, key, value, mark;
        fields >> tag >> key >> value >> mark;
        if (tag == "page") {
            page.number = static_cast<unsigned int>(std::stoul(key));
        } else if (tag == "info") {
            // info max=M default=D leads=L
            page.maxCharSize = static_cast<unsigned int>(std::stoul(key.substr(4)));
            page.defaultChar = static_cast<unsigned int>(std::stoul(value.substr(8), nullptr, 16));
            const std::string leads = mark.substr(6);
            for (std::size_t start = 0; leads != "-" && start < leads.size(); start += 6) {
                unsigned int first = 0, last = 0;
                ParseRange(leads.substr(start, 5), first, last);
                page.leadBytes.push_back(first);
                page.leadBytes.push_back(last);
            }
        } else if (tag == "w") {
            unsigned int first = 0, last = 0;
            ParseRange(key, first, last);
            const std::vector<unsigned int> bytes = HexGroups(value, 2, where);
            const bool usedDefault = mark == "?";
            if (page.number == kUtf8) continue;
            if (bytes.empty() || bytes.size() > 2) Fail(where, "not one or two bytes");
            const unsigned int start = bytes.size() == 1 ? bytes[0] : bytes[0] << 8 | bytes[1];
            if (usedDefault && (bytes.size() != 1 || start != page.defaultChar))
                Fail(where, "a default that is not the page's default character");
            for (unsigned int unit = first; unit <= last; ++unit) {
                const unsigned int encoded = usedDefault ? kNoBytes : start + (unit - first);
                if (!usedDefault &&
                    (encoded >= kNoBytes || (bytes.size() == 2) != (encoded > 0xFF)))
                    Fail(where, "bytes out of range");
                page.encode[unit] = static_cast<std::uint16_t>(encoded);
                page.seenUnit[unit] = true;
            }
        } else if (tag == "m" || tag == "p") {
            unsigned int first = 0, last = 0;
            ParseRange(key, first, last);
            const std::vector<unsigned int> units = HexGroups(value, 4, where);
            if (page.number == kUtf8) continue;
            if (units.size() != 1) Fail(where, "not one unit");
            for (unsigned int input = first; input <= last; ++input) {
                const unsigned int unit = units[0] + (input - first);
                if (unit > 0xFFFF) Fail(where, "unit out of range");
                if (tag == "m") {
                    page.singles[input] = static_cast<char16_t>(unit);
                    page.seenByte[input] = true;
                } else if (page.IsLead(input >> 8)) {
                    page.pairs[input] = static_cast<char16_t>(unit);
                } else {
                    Fail(where, "two bytes that make one unit without a lead byte");
                }
            }
        } else if (tag == "s") {
            if (page.number != kUtf8) Fail(where, "a surrogate pair converted as one");
        } else if (tag != "tw" && tag != "tm" && tag != "rw" && tag != "rm" && tag != "rt" &&
                   tag != "u" && tag != "ud") {
            Fail(where, "unknown line");
        }
    }
    if (page.number == 0 || page.maxCharSize == 0) Fail(path, "no page or info line");
    if (page.number != kUtf8) {
        for (unsigned int unit = 0; unit < 0x10000; ++unit)
            if (!page.seenUnit[unit]) Fail(path, "a unit without its bytes");
        for (unsigned int byte = 0; byte < 256; ++byte)
            if (!page.seenByte[byte]) Fail(path, "a byte without its unit");
        // The conversions take ASCII as it is without the tables.
        for (unsigned int ascii = 0; ascii < 0x80; ++ascii) {
            if (page.encode[ascii] != ascii || page.singles[ascii] != ascii || page.IsLead(ascii))
                Fail(path, "ASCII that is not itself");
        }
    }
    return page;
}

// Stores each distinct array once.
template <typename Value>
class Pool {
public:
    std::uint16_t Add(const std::vector<Value>& values) {
        const auto [found, added] = index_.emplace(values, static_cast<std::uint16_t>(all_.size()));
        if (added) all_.push_back(values);
        return found->second;
    }
    const std::vector<std::vector<Value>>& All() const { return all_; }

private:
    std::map<std::vector<Value>, std::uint16_t> index_;
    std::vector<std::vector<Value>> all_;
};

template <typename Value>
void WriteValues(std::ostream& out, const std::vector<Value>& values, const char* indent) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "0x%X,", static_cast<unsigned int>(values[i]));
        out << (i % 12 == 0 ? indent : " ") << text << (i % 12 == 11 ? "\n" : "");
    }
    if (values.size() % 12 != 0) out << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: generate_tables OUTPUT.cpp RECORDING.txt...\n";
        return 2;
    }
    Pool<std::uint16_t> blocks;
    Pool<char16_t> rows;
    std::ostringstream pages;
    std::ostringstream arrays;
    std::string sources;
    for (int i = 2; i < argc; ++i) {
        const Page page = Read(argv[i]);
        const std::string name = "k" + std::to_string(page.number);
        sources += std::string(sources.empty() ? "" : ", ") + std::to_string(page.number);
        std::string singles = "nullptr", encode = "nullptr", decode = "nullptr";
        std::optional<char16_t> badPair;
        if (page.number != kUtf8) {
            std::vector<std::uint16_t> encodeBlocks(256), decodeRows(256, kNotLead);
            for (unsigned int high = 0; high < 256; ++high) {
                encodeBlocks[high] = blocks.Add(std::vector<std::uint16_t>(
                    page.encode.begin() + high * 256, page.encode.begin() + high * 256 + 256));
                if (!page.IsLead(high)) continue;
                std::vector<char16_t> row;
                for (unsigned int second = 1; second < 256; ++second) {
                    const auto found = page.pairs.find(high << 8 | second);
                    if (found == page.pairs.end())
                        Fail(argv[i], "a lead byte that does not take the byte after it");
                    if (second >= kFirstTrail && second <= kLastTrail) {
                        row.push_back(found->second);
                    } else if (!badPair) {
                        badPair = found->second;
                    } else if (found->second != *badPair) {
                        Fail(argv[i], "second bytes outside 40..FE that read differently");
                    }
                }
                if (page.pairs.count(high << 8)) Fail(argv[i], "a lead byte that takes a 0");
                decodeRows[high] = rows.Add(row);
            }
            arrays << "constexpr char16_t " << name << "Singles[256] = {\n";
            WriteValues(arrays, page.singles, "    ");
            arrays << "};\nconstexpr std::uint16_t " << name << "EncodeBlocks[256] = {\n";
            WriteValues(arrays, encodeBlocks, "    ");
            arrays << "};\nconstexpr std::uint16_t " << name << "DecodeRows[256] = {\n";
            WriteValues(arrays, decodeRows, "    ");
            arrays << "};\n";
            singles = name + "Singles";
            encode = name + "EncodeBlocks";
            decode = name + "DecodeRows";
        }
        pages << "    {" << page.number << ", " << page.maxCharSize << ", 0x" << std::hex
              << page.defaultChar << std::dec << ", {";
        for (unsigned int lead : page.leadBytes)
            pages << "0x" << std::hex << lead << std::dec << ", ";
        pages << "}, 0x" << std::hex << static_cast<unsigned int>(badPair.value_or(0)) << std::dec
              << ", " << singles << ", " << encode << ", " << decode << "},\n";
    }

    std::ofstream out(argv[1]);
    out << "// Generated by codepages/generator/generate_tables.cpp from "
           "codepages/recording/cp*.txt\n"
           "// (Windows' own conversions, recorded under Wine by codepages/recorder). Do not "
           "edit:\n"
           "// scripts/record-codepages.sh records anew, and the build makes this file again.\n"
           "// Pages: "
        << sources << ". " << blocks.All().size() << " encoding blocks, " << rows.All().size()
        << " decoding rows.\n"
           "#include \"codepages/tables.h\"\n\n#include <iterator>\n\nnamespace codepages::tables "
           "{\n\n";
    out << "const Block kEncodeBlocks[] = {\n";
    for (const auto& block : blocks.All()) {
        out << "    {\n";
        WriteValues(out, block, "        ");
        out << "    },\n";
    }
    out << "};\n\nconst Row kDecodeRows[] = {\n";
    for (const auto& row : rows.All()) {
        out << "    {\n";
        WriteValues(out, row, "        ");
        out << "    },\n";
    }
    out << "};\n\nnamespace {\n\n" << arrays.str() << "\n}  // namespace\n\n";
    out << "const Page kPages[] = {\n"
        << pages.str() << "};\n\n"
        << "const std::size_t kPageCount = std::size(kPages);\n\n}  // namespace "
           "codepages::tables\n";
    return out ? 0 : 1;
}
