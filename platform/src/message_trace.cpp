// SPDX-License-Identifier: MIT
#include "src/message_trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "src/message_names.h"
#include "src/utf.h"
#include "src/window.h"

namespace win32 {

namespace {

// WIN32_TRACE is a comma-separated list of what to trace; "messages" is all there is so far.
bool TracingMessages() {
    static const bool tracing = [] {
        const char* what = std::getenv("WIN32_TRACE");
        if (what == nullptr) return false;
        for (const char* part = what; *part != '\0';) {
            const std::size_t length = std::strcspn(part, ",");
            if (length == 8 && std::strncmp(part, "messages", 8) == 0) return true;
            part += length;
            if (*part == ',') ++part;
        }
        return false;
    }();
    return tracing;
}

}  // namespace

void TraceMessage(TraceKind kind, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!TracingMessages()) return;
    static const char* const kKinds[] = {"sent", "posted", "dispatched"};
    std::string window = "(thread)";
    if (hwnd != nullptr) {
        const Window* target = FindWindow(hwnd);
        char handle[32];
        std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(hwnd));
        window = target == nullptr
                     ? std::string(handle) + " (no window)"
                     : std::string(handle) + " " + Utf16ToUtf8(target->windowClass->name) +
                           " id=" + std::to_string(static_cast<long long>(target->id));
    }
    std::fprintf(stderr, "trace:msg: %-10s %s %s wp=%#llx lp=%#llx\n",
                 kKinds[static_cast<int>(kind)], window.c_str(), MessageName(message).c_str(),
                 static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
}

}  // namespace win32
