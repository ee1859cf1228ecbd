// SPDX-License-Identifier: MIT
// Prints the cipher text of "alice". Compiles only where linking the cipher brings its own
// headers and the code pages' and nothing else of the repository.
#include <cstdio>

#include "cipher/field_cipher.h"
#include "cipher/field_key.h"

#if __has_include("cli/run.h") || __has_include("app/main_dlg.h") || __has_include("src/window.h")
#error "the cipher's include path reaches the rest of the repository"
#endif
#if __has_include("resources/resource_image.h") || __has_include(<windows.h>)
#error "the cipher's include path reaches the platform"
#endif

int main() { std::puts(Molvan::System::EncryptText("alice", Molvan::System::kFieldKey).c_str()); }
