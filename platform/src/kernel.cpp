// SPDX-License-Identifier: MIT
// KERNEL32 basics: module handle, thread and process ids, last error, MulDiv and friends.
#include <dlfcn.h>
#include <unistd.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace {

thread_local DWORD last_error = ERROR_SUCCESS;

// Lives in the program image (the platform is linked statically), so its mapping is the image.
const char image_anchor = 0;

}  // namespace

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    if (lpModuleName != nullptr) {
        // Only the program image exists; there are no DLLs to name.
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    static const HMODULE base = [] {
        Dl_info info{};
        if (dladdr(&image_anchor, &info) != 0 && info.dli_fbase != nullptr) {
            return static_cast<HMODULE>(info.dli_fbase);
        }
        return reinterpret_cast<HMODULE>(const_cast<char*>(&image_anchor));
    }();
    return base;
}

DWORD WINAPI GetCurrentThreadId() { return static_cast<DWORD>(gettid()); }

DWORD WINAPI GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

// The pseudo handle of the current process, as on Windows.
HANDLE WINAPI GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)); }

DWORD WINAPI GetTickCount() {
    using namespace std::chrono;
    return static_cast<DWORD>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

void WINAPI SetLastError(DWORD dwErrCode) { last_error = dwErrCode; }

DWORD WINAPI GetLastError() { return last_error; }

BOOL WINAPI FlushInstructionCache(HANDLE, LPCVOID lpBaseAddress, SIZE_T dwSize) {
    if (lpBaseAddress != nullptr && dwSize != 0) {
        char* begin = static_cast<char*>(const_cast<void*>(lpBaseAddress));
        __builtin___clear_cache(begin, begin + dwSize);
    }
    return TRUE;
}

// Rounds half away from zero; -1 for a zero denominator or a result that does not fit.
int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) return -1;
    std::int64_t product = static_cast<std::int64_t>(nNumber) * nNumerator;
    bool negative = (product < 0) != (nDenominator < 0);
    std::uint64_t magnitude =
        product < 0 ? static_cast<std::uint64_t>(-product) : static_cast<std::uint64_t>(product);
    std::uint64_t divisor = nDenominator < 0
                                ? static_cast<std::uint64_t>(-(std::int64_t)nDenominator)
                                : static_cast<std::uint64_t>(nDenominator);
    std::uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > static_cast<std::uint64_t>(INT32_MAX) + (negative ? 1 : 0)) return -1;
    return negative ? static_cast<int>(-static_cast<std::int64_t>(quotient))
                    : static_cast<int>(quotient);
}

int WINAPI lstrlenW(LPCWSTR lpString) {
    if (lpString == nullptr) return 0;
    int length = 0;
    while (lpString[length] != 0) ++length;
    return length;
}
