// SPDX-License-Identifier: MIT
// How plausible a text is as what a person typed into a field on a machine with a given ANSI
// code page: the mean weight of its characters, from 0 to 1. ASCII weighs 1. A letter of one of
// the page's scripts weighs 1 when it is common in that script's languages and 1/2 when rarer;
// for Chinese, Japanese and Korean the common ones are those their standards grade first
// (GB2312 level 1, Big5's frequent characters, JIS X 0208 level 1, KS X 1001's hangul), and
// half-width katakana weigh 1/4. A letter weighs 0 next to a letter of another alphabet in the
// same word, or against its word's case (a capital after a small letter, a small letter after
// two capitals); an accented Latin letter with no unaccented Latin letter beside it weighs 1/2.
// Punctuation and symbols beyond ASCII weigh 1/2 (the common ones) or 0.
#pragma once

#include "cipher/wide_string.h"

namespace cli {

double Plausibility(const CString& text, unsigned int codePage);

}  // namespace cli
