// SPDX-License-Identifier: MIT
// The counting test interface of include/wine/test.h and the program's entry: the one argument
// names the test function to run (the driver generated from the Wine test file gates its start
// function's calls on it); --list prints the test functions. Plain C as well as C++.
#include "wine/test.h"

int winetest_interactive = 0;
int winetest_debug = 1;
const char* winetest_platform = "windows";

static const char* selected_function = "";
static const char* current_file = "";
static int current_line = 0;
static int todo_level = 0;
static int todo_pending = 0;
static char context[256];

int winetest_selected(const char* function) { return strcmp(function, selected_function) == 0; }

static const char* BaseName(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    return name;
}

void winetest_set_location(const char* file, int line) {
    current_file = BaseName(file);
    current_line = line;
}

// The tests' formats are Windows' (long is 32 bits, %I is pointer-sized, %I64 is 64 bits);
// on POSIX they are translated to the C library's before formatting.
static void Format(char* out, size_t size, const char* format, va_list args) {
#ifdef _WIN32
    vsnprintf(out, size, format, args);
#else
    char translated[1024];
    size_t n = 0;
    for (const char* p = format; *p && n + 4 < sizeof translated; ++p) {
        translated[n++] = *p;
        if (*p != '%') continue;
        while (p[1] && strchr("-+ #0123456789.*", p[1])) translated[n++] = *++p;
        if (p[1] == 'I' && p[2] == '6' && p[3] == '4') {
            translated[n++] = 'l';
            translated[n++] = 'l';
            p += 3;
        } else if (p[1] == 'I') {
            translated[n++] = 'z';
            ++p;
        } else if (p[1] == 'l' && p[2] && strchr("diuxX", p[2])) {
            ++p;  // a Windows long is an int here
        }
    }
    translated[n] = '\0';
    vsnprintf(out, size, translated, args);
#endif
    size_t length = strlen(out);
    while (length > 0 && (out[length - 1] == '\n' || out[length - 1] == '\r')) out[--length] = '\0';
}

int winetest_ok(int condition, const char* format, ...) {
    char message[1024] = "";
    if (!condition) {
        va_list args;
        va_start(args, format);
        Format(message, sizeof message, format, args);
        va_end(args);
    }
    printf("check %s:%d %s%s", current_file, current_line, condition ? "pass" : "fail",
           todo_level > 0 ? " todo" : "");
    if (!condition) printf(" : %s%s", context, message);
    printf("\n");
    fflush(stdout);
    return condition;
}

void winetest_trace(const char* format, ...) { (void)format; }

void winetest_skip(const char* format, ...) {
    char message[1024];
    va_list args;
    va_start(args, format);
    Format(message, sizeof message, format, args);
    va_end(args);
    printf("skip %s:%d : %s\n", current_file, current_line, message);
    fflush(stdout);
}

void winetest_start_todo(int is_todo) { todo_pending = is_todo != 0; }

int winetest_loop_todo(void) {
    if (todo_pending < 0) return 0;
    todo_level += todo_pending;
    todo_pending = todo_pending ? -2 : -1;
    return 1;
}

void winetest_end_todo(void) {
    if (todo_pending == -2) --todo_level;
    todo_pending = -1;
}

void winetest_push_context(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Format(context, sizeof context - 2, format, args);
    va_end(args);
    strcat(context, ": ");
}

void winetest_pop_context(void) { context[0] = '\0'; }

// Debug strings live in a ring of buffers, as long as a test message needs them.
static char* DebugBuffer(void) {
    static char buffers[8][512];
    static int next = 0;
    next = (next + 1) % 8;
    return buffers[next];
}

// Wide or ANSI text quoted, with what is not printable ASCII as escapes; an ordinal as "#n".
static const char* DebugText(const void* text, int length, int wide) {
    if (!text) return "(null)";
    char* out = DebugBuffer();
    if ((ULONG_PTR)text >> 16 == 0) {
        snprintf(out, 512, "#%04x", (unsigned)(ULONG_PTR)text);
        return out;
    }
    size_t n = 0;
    if (wide) out[n++] = 'L';
    out[n++] = '"';
    for (int i = 0; (length < 0 || i < length) && n + 8 < 512; ++i) {
        unsigned c = wide ? (unsigned)((const WCHAR*)text)[i] : ((const unsigned char*)text)[i];
        if (length < 0 && c == 0) break;
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
            out[n++] = (char)c;
        } else {
            n += (size_t)snprintf(out + n, 512 - n, wide ? "\\x%04x" : "\\x%02x", c);
        }
    }
    out[n++] = '"';
    out[n] = '\0';
    return out;
}

const char* wine_dbgstr_wn(const WCHAR* text, int length) { return DebugText(text, length, 1); }

const char* wine_dbgstr_an(const char* text, int length) { return DebugText(text, length, 0); }

const char* wine_dbgstr_rect(const RECT* rect) {
    if (!rect) return "(null)";
    char* out = DebugBuffer();
    snprintf(out, 512, "(%d,%d)-(%d,%d)", (int)rect->left, (int)rect->top, (int)rect->right,
             (int)rect->bottom);
    return out;
}

const char* wine_dbgstr_point(const POINT* point) {
    if (!point) return "(null)";
    char* out = DebugBuffer();
    snprintf(out, 512, "(%d,%d)", (int)point->x, (int)point->y);
    return out;
}

static int RunningUnderWine(void) {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != NULL;
#else
    return 0;
#endif
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show) {
    (void)instance;
    (void)previous;
    (void)show;
    static char argument[128];
    size_t n = 0;
    while (*command_line == ' ') ++command_line;
    while (command_line[n] && command_line[n] != ' ' && n + 1 < sizeof argument) {
        argument[n] = (char)command_line[n];
        ++n;
    }
    argument[n] = '\0';
    if (RunningUnderWine()) winetest_platform = "wine";
    if (strcmp(argument, "--list") == 0) {
        for (int i = 0; winetest_functions[i]; ++i) printf("%s\n", winetest_functions[i]);
        return 0;
    }
    selected_function = argument;
    winetest_run_start();
    printf("done\n");
    fflush(stdout);
    return 0;
}
