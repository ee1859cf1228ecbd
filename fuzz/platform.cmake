# fuzz_resources: the resource readers on arbitrary bytes. Their sources are compiled into the
# target itself so that libFuzzer's coverage sees inside them.
set(resources_dir ${CMAKE_CURRENT_LIST_DIR}/../platform/resources)
file(GLOB resources_sources CONFIGURE_DEPENDS ${resources_dir}/*.cpp)
add_executable(fuzz_resources ${CMAKE_CURRENT_LIST_DIR}/resources_fuzz.cpp ${resources_sources})
target_include_directories(fuzz_resources PRIVATE ${resources_dir}/..)
target_compile_options(fuzz_resources PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_resources PRIVATE -fsanitize=fuzzer)
target_link_libraries(fuzz_resources PRIVATE credcipher_warnings)
