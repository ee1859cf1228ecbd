# SPDX-License-Identifier: MIT
# Loaded after CMake's own rules for Windows-GNU (CMAKE_USER_MAKE_RULES_OVERRIDE), once per
# language. A GUI program's entry is the Unicode wWinMain: -municode makes the runtime call it.
# Console programs keep their plain main, so the flag goes only where CMake adds -mwindows.
foreach(lang C CXX)
    if(CMAKE_${lang}_CREATE_WIN32_EXE MATCHES "-mwindows"
       AND NOT CMAKE_${lang}_CREATE_WIN32_EXE MATCHES "-municode")
        string(APPEND CMAKE_${lang}_CREATE_WIN32_EXE " -municode")
    endif()
endforeach()

# The optimised build optimises for size (see the toolchain file), in place of CMake's -O3.
foreach(lang C CXX)
    string(REPLACE "-O3" "-Os" CMAKE_${lang}_FLAGS_RELEASE_INIT "${CMAKE_${lang}_FLAGS_RELEASE_INIT}")
endforeach()
