// SPDX-License-Identifier: MIT
// The test interface that Wine's conformance tests are written against, implemented to count:
// every check prints one record on standard output, as it happens, so that a crash loses
// nothing that ran before it. The runner (run.py) adds the records up per check line and per
// test function. Records:
//   check <file>:<line> pass|fail [todo] [: message]
//   skip <file>:<line> : message
// A check inside todo_wine is marked todo: under Wine a todo check records what Windows does and
// Wine does not yet, so the runner leaves it out there; on our own layer it counts as any other.
// broken() is false: it marks what some old Windows did, never what we must do.
// Plain C as well as C++: Windows builds compile the tests as C, our own layer as C++.
#ifndef WINETEST_TEST_H
#define WINETEST_TEST_H

#ifndef _WIN32
#include "wine_compat.h"
// A member named `class`, a C++ keyword, in a structure of dialog.c.
#define class class_
#define min(a, b) (((a) < (b)) ? (a) : (b))
#define max(a, b) (((a) > (b)) ? (a) : (b))
#endif
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

extern int winetest_interactive;
extern int winetest_debug;
extern const char* winetest_platform;  // "wine" under Wine, else "windows"

void winetest_set_location(const char* file, int line);
int winetest_ok(int condition, const char* format, ...);
void winetest_trace(const char* format, ...);
void winetest_skip(const char* format, ...);
void winetest_start_todo(int is_todo);
int winetest_loop_todo(void);
void winetest_end_todo(void);
void winetest_push_context(const char* format, ...);
void winetest_pop_context(void);

const char* wine_dbgstr_wn(const WCHAR* text, int length);
const char* wine_dbgstr_an(const char* text, int length);
const char* wine_dbgstr_rect(const RECT* rect);
const char* wine_dbgstr_point(const POINT* point);
#define wine_dbgstr_w(text) wine_dbgstr_wn((text), -1)
#define wine_dbgstr_a(text) wine_dbgstr_an((text), -1)
#define debugstr_an wine_dbgstr_an
#define debugstr_wn wine_dbgstr_wn

// The generated driver: the test functions in their order, and the file's start function with
// each call gated on winetest_selected.
extern const char* const winetest_functions[];
void winetest_run_start(void);
int winetest_selected(const char* function);

#ifdef __cplusplus
}
#endif

#define ok_(file, line) (winetest_set_location(file, line), 0) ? 0 : winetest_ok
#define trace_(file, line) (winetest_set_location(file, line), 0) ? (void)0 : winetest_trace
#define skip_(file, line) (winetest_set_location(file, line), 0) ? (void)0 : winetest_skip
#define ok ok_(__FILE__, __LINE__)
#define trace trace_(__FILE__, __LINE__)
#define skip skip_(__FILE__, __LINE__)
#define win_skip skip_(__FILE__, __LINE__)

#define todo_if(is_todo) \
    for (winetest_start_todo(is_todo); winetest_loop_todo(); winetest_end_todo())
#define todo_wine todo_if(1)
#define todo_wine_if(is_todo) todo_if(is_todo)
#define broken(condition) 0

#ifndef ARRAY_SIZE
#define ARRAY_SIZE(a) (sizeof(a) / sizeof((a)[0]))
#endif

// The start function of a test file; the generated driver runs its test functions one by one.
#define START_TEST(name) void winetest_start_##name(void)

#endif
