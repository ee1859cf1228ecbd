# Crypto++ for the Windows build: a static library made from Debian's libcrypto++ source package
# (scripts/build-windows.sh unpacks it and passes its folder as CRYPTOPP_SOURCE_DIR) by the same
# cross compiler. Defines the target CryptoPP::CryptoPP that cipher/ links.
#
# Only the files that AES pulls in are built: the list below is the set of library members that
# the linker takes from the complete libcrypto++.a for a program using AES::Encryption and
# AES::Decryption (dll.cpp holds the template instances that the rest needs, and drags in the
# public-key code with it). A missing member shows up as an undefined reference when linking.
set(CRYPTOPP_SOURCE_DIR "" CACHE PATH "Unpacked source of Debian's libcrypto++ package")
if(NOT EXISTS "${CRYPTOPP_SOURCE_DIR}/rijndael.cpp")
    message(FATAL_ERROR "CRYPTOPP_SOURCE_DIR must name the unpacked Crypto++ source "
                        "(scripts/build-windows.sh provides it)")
endif()

set(cryptopp_members
    algparam allocate asn basecode cpu cryptlib dll ec2n ecp filters fips140 gf2n gfpcrypt hex
    hmac hrtimer integer iterhash misc modes mqueue nbtheory oaep osrng pubkey queue randpool
    rdtables rijndael rng sha)
# Members with SIMD code: each is compiled for the instructions it uses, and the library's own
# CPU detection decides at run time whether it is called (AES-NI or the table code).
set(cryptopp_simd_members rijndael_simd sha_simd gf2n_simd sse_simd)
set(cryptopp_flags_rijndael_simd -msse4.1 -maes)
set(cryptopp_flags_sha_simd -msse4.2 -msha)
set(cryptopp_flags_gf2n_simd -mpclmul)
set(cryptopp_flags_sse_simd -msse2)

set(cryptopp_sources "")
foreach(member IN LISTS cryptopp_members cryptopp_simd_members)
    list(APPEND cryptopp_sources ${CRYPTOPP_SOURCE_DIR}/${member}.cpp)
endforeach()
foreach(member IN LISTS cryptopp_simd_members)
    set_source_files_properties(${CRYPTOPP_SOURCE_DIR}/${member}.cpp PROPERTIES
                                COMPILE_OPTIONS "${cryptopp_flags_${member}}")
endforeach()

add_library(cryptopp_mingw STATIC ${cryptopp_sources})
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
