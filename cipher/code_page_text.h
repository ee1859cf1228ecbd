// SPDX-License-Identifier: MIT
// Text in a code page that the caller names, for callers that choose the page instead of taking
// the ANSI code page (Encoder's CString conversions always use CP_ACP). Same conversions, same
// rules: no failure for unmappable or malformed input.
#pragma once

#include <string>

#include "cipher/wide_string.h"

namespace Molvan::System::CodePageText {

inline constexpr unsigned int kUtf8 = 65001;

// The number of the page that CP_ACP stands for in this process (GetACP on Windows).
unsigned int AnsiCodePage();

// Whether this system converts text in page.
bool IsAvailable(unsigned int page);

// text in page, up to its first NUL, as Encoder::CStringToAnsi converts it for CP_ACP;
// lossy tells whether a character the page lacks became its default character ("?").
std::string FromWide(unsigned int page, const CString& text, bool& lossy);

// All of bytes (NULs included) as wide text.
CString ToWide(unsigned int page, const std::string& bytes);

}  // namespace Molvan::System::CodePageText
