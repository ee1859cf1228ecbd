# SPDX-License-Identifier: MIT
# fuzz_resources: the resource readers on arbitrary bytes. Their sources are compiled into the
# target itself so that libFuzzer's coverage sees inside them.
set(resources_dir ${CMAKE_CURRENT_LIST_DIR}/../platform/resources)
file(GLOB resources_sources CONFIGURE_DEPENDS ${resources_dir}/*.cpp)
add_executable(fuzz_resources ${CMAKE_CURRENT_LIST_DIR}/resources_fuzz.cpp ${resources_sources})
target_include_directories(fuzz_resources PRIVATE ${resources_dir}/..)
target_compile_options(fuzz_resources PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_resources PRIVATE -fsanitize=fuzzer)
target_link_libraries(fuzz_resources PRIVATE credcipher_warnings)

# fuzz_input_decoder: the terminal's UTF-8 input decoding on arbitrary bytes, where the build has
# the terminal display.
if(TARGET platform_terminal)
    add_executable(fuzz_input_decoder ${CMAKE_CURRENT_LIST_DIR}/input_decoder_fuzz.cpp
        ${CMAKE_CURRENT_LIST_DIR}/../platform/terminal/input_decoder.cpp)
    target_include_directories(fuzz_input_decoder PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..
        ${CMAKE_CURRENT_LIST_DIR}/../platform
        ${CMAKE_CURRENT_LIST_DIR}/../platform/include)
    target_compile_options(fuzz_input_decoder PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_input_decoder PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_input_decoder PRIVATE credcipher_warnings)
endif()
