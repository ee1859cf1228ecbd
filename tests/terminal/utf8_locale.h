// SPDX-License-Identifier: MIT
// The suites measure characters with wcwidth, which knows wide characters only in a UTF-8
// locale, as the terminal display sets one up.
#pragma once

#include <clocale>

inline const bool kUtf8Locale = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
