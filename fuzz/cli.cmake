# SPDX-License-Identifier: MIT
# libFuzzer target for credcipher-cli's field handling (with the cipher built for fuzzing).
add_executable(fuzz_cli_fields ${CMAKE_CURRENT_LIST_DIR}/cli_fields_fuzz.cpp
                               ${PROJECT_SOURCE_DIR}/cli/field.cpp
                               ${PROJECT_SOURCE_DIR}/cli/plausibility.cpp)
target_include_directories(fuzz_cli_fields PRIVATE
                           $<TARGET_PROPERTY:cli_lib,INTERFACE_INCLUDE_DIRECTORIES>)
target_compile_options(fuzz_cli_fields PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_cli_fields PRIVATE -fsanitize=fuzzer)
target_link_libraries(fuzz_cli_fields PRIVATE cipher_fuzzed credcipher_warnings)
