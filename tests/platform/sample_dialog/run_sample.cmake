# SPDX-License-Identifier: MIT
# Runs the sample dialog program on the headless display with a script and checks its exit code
# and its output. -D PROGRAM=... -D DISPLAY=headless|none -D SCRIPT=... -D EXIT=<code>|crash
# -D OUTPUT=<regular expression> [-D ARGS=<arguments separated by |>]
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env WIN32_DISPLAY=${DISPLAY} "WIN32_HEADLESS_SCRIPT=${SCRIPT}"
            ${PROGRAM} ${ARGS}
    RESULT_VARIABLE code
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    TIMEOUT 60)
message(STATUS "exit: ${code}\nstdout: ${out}\nstderr: ${err}")
if(EXIT STREQUAL "crash")
    if(code EQUAL 0)
        message(FATAL_ERROR "expected the program to fail")
    endif()
elseif(NOT code EQUAL EXIT)
    message(FATAL_ERROR "exit code ${code}, expected ${EXIT}")
endif()
if(NOT "${out}${err}" MATCHES "${OUTPUT}")
    message(FATAL_ERROR "output does not match: ${OUTPUT}")
endif()
