# SPDX-License-Identifier: MIT
# libFuzzer targets for the credential cipher. The sources of the cipher and of the code pages
# are compiled once more with coverage instrumentation (cipher_fuzzed, codepages_fuzzed), so that
# libFuzzer sees inside them; the code pages' generated tables are data and stay as they are.
foreach(library codepages cipher)
    get_target_property(library_dir ${library} SOURCE_DIR)
    get_target_property(library_sources ${library} SOURCES)
    set(fuzzed_sources)
    foreach(source IN LISTS library_sources)
        if(NOT IS_ABSOLUTE ${source})
            set(source ${library_dir}/${source})
        endif()
        list(APPEND fuzzed_sources ${source})
    endforeach()
    add_library(${library}_fuzzed STATIC ${fuzzed_sources})
    target_include_directories(${library}_fuzzed PUBLIC
                               $<TARGET_PROPERTY:${library},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_options(${library}_fuzzed PRIVATE -fsanitize=fuzzer-no-link)
    target_link_libraries(${library}_fuzzed PRIVATE credcipher_warnings)
endforeach()
target_link_libraries(codepages_fuzzed PUBLIC codepages_utf PRIVATE codepages_tables)
target_link_libraries(cipher_fuzzed PUBLIC codepages_fuzzed PRIVATE CryptoPP::CryptoPP)

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
