# SPDX-License-Identifier: MIT
# libFuzzer targets for the credential cipher. The cipher's sources are compiled once more with
# coverage instrumentation (cipher_fuzzed), so that libFuzzer sees inside them.
get_target_property(cipher_dir cipher SOURCE_DIR)
get_target_property(cipher_sources cipher SOURCES)
set(cipher_fuzzed_sources)
foreach(source IN LISTS cipher_sources)
    if(NOT IS_ABSOLUTE ${source})
        set(source ${cipher_dir}/${source})
    endif()
    list(APPEND cipher_fuzzed_sources ${source})
endforeach()
add_library(cipher_fuzzed STATIC ${cipher_fuzzed_sources})
target_include_directories(cipher_fuzzed PUBLIC ${cipher_dir}/..)
target_compile_options(cipher_fuzzed PRIVATE -fsanitize=fuzzer-no-link)
target_link_libraries(cipher_fuzzed PRIVATE CryptoPP::CryptoPP credcipher_warnings)

# Target name and source: fuzz_base64_decode, fuzz_decrypt_text, fuzz_codepage.
foreach(target_and_source base64_decode:base64_decode_fuzz decrypt_text:field_cipher_fuzz
                          codepage:codepage_fuzz)
    string(REPLACE ":" ";" pair ${target_and_source})
    list(GET pair 0 name)
    list(GET pair 1 source)
    add_executable(fuzz_${name} ${CMAKE_CURRENT_LIST_DIR}/${source}.cpp)
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE cipher_fuzzed credcipher_warnings)
    set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endforeach()
