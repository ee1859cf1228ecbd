# SPDX-License-Identifier: MIT
# credcipher_header_folder(<target>): makes the folder of the calling CMakeLists.txt the public
# header folder of <target>, included by its name ("cipher/encoder.h"), and nothing beside it.
# The include path is a folder of the build tree that holds one link, named like the folder, to
# the folder itself; so a user of <target> cannot reach the rest of the repository through it.
include_guard(GLOBAL)

function(credcipher_header_folder target)
    get_filename_component(name "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
    set(folder "${PROJECT_BINARY_DIR}/include/${target}")
    file(MAKE_DIRECTORY "${folder}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${folder}/${name}" SYMBOLIC)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE "$<BUILD_INTERFACE:${folder}>")
    else()
        target_include_directories(${target} PUBLIC "$<BUILD_INTERFACE:${folder}>")
    endif()
endfunction()
