// SPDX-License-Identifier: MIT
// credcipher-cli's fields from arbitrary input: lines (or NUL-terminated records, as the second
// byte picks) as the reader splits them, each enciphered and deciphered in a code page the first
// byte picks. Encrypt always gives one canonical block, which deciphers without a lenient
// warning; deciphered in every page, each page gives one reading at most. The shortcuts for
// ASCII fields give what the general road gives, or nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cipher/code_page_text.h"
#include "cli/field.h"
#include "cli/line_reader.h"
#include "cli/options.h"

namespace {

constexpr unsigned int kPages[] = {874,  932,  936,  949,  950,  1250, 1251, 1252,
                                   1253, 1254, 1255, 1256, 1257, 1258, 65001};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > 4096) return 0;
    const unsigned int page = kPages[data[0] % std::size(kPages)];
    const bool zeroTerminated = data[1] % 2 == 1;
    const char* next = reinterpret_cast<const char*>(data) + 2;
    std::size_t left = size - 2;
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
    if (zeroTerminated) reader.SetZeroTerminated();
    const char ending = zeroTerminated ? '\0' : '\n';
    const std::vector<unsigned int> all(std::begin(cli::kCommonAnsiPages),
                                        std::end(cli::kCommonAnsiPages));
    cli::FieldCipher cipher;
    std::string line;
    bool tooLong = false;
    while (reader.Next(line, tooLong)) {
        if (line.size() > cli::kMaxLineBytes || line.find(ending) != std::string::npos)
            std::abort();
        const CString field = Molvan::System::CodePageText::ToWide(page, line);
        if (const std::string* quick = cipher.EncryptAscii(line)) {
            const std::string copy = *quick;
            const cli::FieldResult& general =
                cipher.Encrypt(CString(line.begin(), line.end()), page);
            if (!general.problems.empty() ||
                general.cipherText != CString(copy.begin(), copy.end())) {
                std::abort();
            }
        }
        if (const std::string* quick = cipher.DecryptToAscii(line)) {
            const std::string copy = *quick;
            const cli::FieldResult& general =
                cipher.Decrypt(CString(line.begin(), line.end()), page);
            if (!general.problems.empty() ||
                general.plain[0].text != CString(copy.begin(), copy.end())) {
                std::abort();
            }
        }
        const CString cipherText = cipher.Encrypt(field, page).cipherText;
        if (!cli::IsCanonicalCipherText(cipherText)) std::abort();
        const cli::FieldResult& decrypted = cipher.Decrypt(cipherText, page);
        if (decrypted.plain.size() != 1) std::abort();
        for (const cli::Problem& problem : decrypted.problems) {
            if (problem.loss == cli::Loss::kLenient) std::abort();
        }
        std::size_t readings = 0;
        for (const cli::PlainText& plain : cipher.DecryptInEach(field, all).plain) {
            readings += plain.codePages.size();
        }
        if (readings > all.size()) std::abort();
    }
    return 0;
}
