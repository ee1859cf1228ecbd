# embed_app_resources(<target>): compiles app/res/app.rc and embeds the resources in <target>
# the way add_win32_executable does for the program, so that a test program finds the dialog
# templates and the icon in its own image.
function(embed_app_resources target)
    set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}.res)
    set(embedded ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
    set(embed_script ${PROJECT_SOURCE_DIR}/platform/cmake/Win32Executable.cmake)
    win32_compile_resources(${res} RC ${PROJECT_SOURCE_DIR}/app/res/app.rc)
    add_custom_command(
        OUTPUT ${embedded}
        COMMAND ${CMAKE_COMMAND} -D RES=${res} -D OUTPUT=${embedded} -P ${embed_script}
        DEPENDS ${res} ${embed_script}
        COMMENT "Embedding the program's resources in ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE ${embedded})
endfunction()
