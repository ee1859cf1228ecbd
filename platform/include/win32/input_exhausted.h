// SPDX-License-Identifier: MIT
// The signal that a program waits for input that can never come.
#pragma once

#include <stdexcept>

namespace win32 {

// Thrown when the program waits for input that can never come: a headless script is exhausted,
// or there is no display at all.
class InputExhausted : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace win32
