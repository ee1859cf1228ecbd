// SPDX-License-Identifier: MIT
// credcipher-cli's fields from arbitrary input: lines as the reader splits them (with a small
// line limit's worth of input), each enciphered and deciphered in a code page the first byte
// picks. Encrypt always gives one canonical block, which deciphers without a lenient warning.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cipher/code_page_text.h"
#include "cli/field.h"
#include "cli/line_reader.h"
#include "cli/options.h"

namespace {

constexpr unsigned int kPages[] = {874,  932,  936,  949,  950,  1250, 1251, 1252,
                                   1253, 1254, 1255, 1256, 1257, 1258, 65001};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 4096) return 0;
    const unsigned int page = kPages[data[0] % std::size(kPages)];
    const char* next = reinterpret_cast<const char*>(data) + 1;
    std::size_t left = size - 1;
    // Input arrives in reads of 1 to 7 bytes, so that lines and CR LF cross the reads' edges.
    cli::LineReader<char> reader(
        [&](char* buffer, std::size_t capacity) {
            const std::size_t count = std::min({left, capacity, left % 7 + 1});
            std::memcpy(buffer, next, count);
            next += count;
            left -= count;
            return count;
        },
        [] {});
    std::string line;
    bool tooLong = false;
    while (reader.Next(line, tooLong)) {
        if (line.size() > cli::kMaxLineBytes || line.find('\n') != std::string::npos) std::abort();
        const CString field = Molvan::System::CodePageText::ToWide(page, line);
        const cli::FieldResult encrypted = cli::EncryptField(field, page);
        if (!cli::IsCanonicalCipherText(encrypted.cipherText)) std::abort();
        const cli::FieldResult decrypted = cli::DecryptField(encrypted.cipherText, {page});
        if (decrypted.plain.size() != 1) std::abort();
        for (const cli::Problem& problem : decrypted.problems) {
            if (problem.loss == cli::Loss::kLenient) std::abort();
        }
        cli::DecryptField(field,
                          {std::begin(cli::kCommonAnsiPages), std::end(cli::kCommonAnsiPages)});
    }
    return 0;
}
