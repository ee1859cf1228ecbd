// SPDX-License-Identifier: MIT
#include "cli/run.h"

namespace cli {

// At most 79 columns a line, so that it fits a terminal of 80.
std::string HelpText(const std::string& encodingNote) {
    return R"(Usage: credcipher-cli encrypt [OPTION]... [TEXT]...
       credcipher-cli decrypt [OPTION]... [CIPHER]...

Enciphers or deciphers fields exactly as credcipher's Encrypt and Decrypt
buttons do: each argument is one field, one result per line. With no field
arguments each line of standard input is a field (LF or CR LF ends a line),
and a result is written for each line as it is read. At a terminal the fields
are asked for and not shown.

Arguments can be seen by other users of the machine (ps) and stay in the
shell's history: give passwords on standard input or at the prompt.

Options:
  -c, --code-page=CP     the code page the cipher text is made in: a number
                         (936, 1252, 65001) or a name (gbk, big5, shift_jis,
                         cp1252, windows-1252, latin1 and iso-8859-1 as 1252,
                         utf-8, ascii as 20127, gb18030 as 54936); default: the
                         ANSI code page of the locale, as credcipher uses
  -c all                 decrypt only: each common ANSI code page (874, 932,
                         936, 949, 950, 1250 to 1258) where the bytes are
                         text, the most plausible text first, one line
                         "PAGES<TAB>TEXT" per distinct text (pages giving the
                         same text share it); an empty line ends each field
  -z, --zero-terminated  fields and results end in NUL, not a line end
      --strict           a field the format would change is an error: an
                         empty result in its place
  -q, --quiet            no warnings
  -h, --help             this text
      --version          the version
  --                     the arguments after it are fields, even "-x"

Warnings (on standard error, one line per field and kind; errors with
--strict): a text longer than 16 bytes in the code page is cut to 16 bytes;
characters the code page lacks become "?"; a cipher text that is not one
block of canonical Base64 (24 characters ending in "==") is read leniently;
deciphered bytes that are not text in the code page; a line break (LF or CR)
in a text (deciphered, it is written as \x0A or \x0D unless -z is given);
input bytes that are not valid in their encoding.

When standard output is a terminal, control characters in deciphered text are
shown as \xHH (and "\" as "\\"); otherwise the text is written as it is.
)" + encodingNote +
           R"(
Exit status: 0 every field has its result; 1 --strict refused a field (all
other fields are still processed); 2 bad command line or unknown code page;
3 standard input or output failed. When the reader of standard output goes
away, SIGPIPE ends the program (status 141 in a shell; 3 if it is ignored).

This format is obfuscation, not protection: the key is built into every copy
of credcipher, with no salt and no IV, and the text is at most 16 bytes.
Anyone with the program can read every cipher text. It keeps credentials from
casual eyes, and no more.
)";
}

}  // namespace cli
