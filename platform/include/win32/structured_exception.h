// SPDX-License-Identifier: MIT
// What RaiseException throws: a C++ exception carrying the exception code, its flags and its
// arguments, so that callers and tests can observe a structured exception.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace win32 {

class StructuredException : public std::exception {
public:
    StructuredException(std::uint32_t code, std::uint32_t flags,
                        std::vector<std::uintptr_t> arguments);

    std::uint32_t code() const noexcept { return code_; }
    std::uint32_t flags() const noexcept { return flags_; }
    const std::vector<std::uintptr_t>& arguments() const noexcept { return arguments_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::uint32_t code_;
    std::uint32_t flags_;
    std::vector<std::uintptr_t> arguments_;
    std::string message_;
};

}  // namespace win32
