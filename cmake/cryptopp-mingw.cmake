# SPDX-License-Identifier: MIT
# Crypto++ for the Windows build: a static library made from Debian's libcrypto++ source package
# (scripts/build-windows.sh unpacks it and passes its folder as CRYPTOPP_SOURCE_DIR) by the same
# cross compiler. Defines the target CryptoPP::CryptoPP that cipher/ links.
#
# Only what AES::Encryption and AES::Decryption need is built, each member for a reason:
#   rijndael, rdtables     the cipher and its lookup tables (the code without AES-NI)
#   cpu                    the run-time CPU detection that chooses AES-NI or the tables
#   cryptlib, algparam     the base classes of every cipher and the key's parameter objects
#   misc, allocate         xorbuf, the aligned allocator and the new-handler call
#   filters, queue, mqueue the default methods of cryptlib's BufferedTransformation need their
#                          definitions to link; nothing calls them, so --gc-sections drops them
#   fips140                the self-test status that cryptlib asks for
#   sse_simd               the SSE2 probe that cpu calls
# The library's dll.cpp, which would provide the template instances that algparam.h declares
# extern, is not built: it drags in the public-key code (integers, elliptic curves, number
# theory). cryptopp-instances.cpp provides those instances instead.
# A missing member shows up as an undefined reference when linking.
set(cryptopp_members
    algparam allocate cpu cryptlib filters fips140 misc mqueue queue rdtables rijndael)
# Members with SIMD code: each is compiled for the instructions it uses, and the library's own
# CPU detection decides at run time whether it is called (AES-NI or the table code).
set(cryptopp_simd_members rijndael_simd sse_simd)
set(cryptopp_flags_rijndael_simd -msse4.1 -maes)
set(cryptopp_flags_sse_simd -msse2)

set(cryptopp_sources "")
foreach(member IN LISTS cryptopp_members cryptopp_simd_members)
    list(APPEND cryptopp_sources ${CRYPTOPP_SOURCE_DIR}/${member}.cpp)
endforeach()
foreach(member IN LISTS cryptopp_simd_members)
    set_source_files_properties(${CRYPTOPP_SOURCE_DIR}/${member}.cpp PROPERTIES
                                COMPILE_OPTIONS "${cryptopp_flags_${member}}")
endforeach()

add_library(cryptopp_mingw STATIC ${cryptopp_sources}
            ${CMAKE_CURRENT_LIST_DIR}/cryptopp-instances.cpp)
# The library's own switch: algparam.h's inline code then no longer refers to Integer, so
# integer.cpp (and all it needs) stays out. Public, as it changes what the headers compile to.
target_compile_definitions(cryptopp_mingw PUBLIC CRYPTOPP_NO_ASSIGN_TO_INTEGER)
# The library's own makefile targets Windows XP on MinGW; the flag only selects the older
# CryptoAPI random source, which the cipher does not use.
target_compile_definitions(cryptopp_mingw PRIVATE _WIN32_WINNT=0x0501)
# Third-party code: its warnings are not ours to fix.
target_compile_options(cryptopp_mingw PRIVATE -w)

# Users include <cryptopp/...> or <crypto++/...>, as with Debian's headers.
set(cryptopp_include_dir ${CMAKE_BINARY_DIR}/cryptopp-include)
file(MAKE_DIRECTORY ${cryptopp_include_dir})
foreach(name cryptopp crypto++)
    file(CREATE_LINK ${CRYPTOPP_SOURCE_DIR} ${cryptopp_include_dir}/${name} SYMBOLIC)
endforeach()
target_include_directories(cryptopp_mingw SYSTEM PUBLIC ${cryptopp_include_dir})

add_library(CryptoPP::CryptoPP ALIAS cryptopp_mingw)
