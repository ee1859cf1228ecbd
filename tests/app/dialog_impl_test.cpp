// SPDX-License-Identifier: MIT
// The dialog base: binding a window to its object, the results it hands back to the dialog
// manager, and letting go of the window.
#include <windows.h>

#include <gtest/gtest.h>

#include <new>

#include "app/dialog_impl.h"
#include "app/res/resource.h"
#include "support/headless_test.h"

namespace {

namespace headless = win32::headless;

bool g_failNothrowNew = false;

constexpr WORD kReturnsResult = 100;
constexpr WORD kDestroysItself = 101;
constexpr UINT kPrivateMessage = WM_APP + 1;  // WM_USER + n are dialog messages

template <int Template>
class Probe : public CDialogImpl<Probe<Template>> {
public:
    enum { IDD = Template };

    BOOL ProcessWindowMessage(HWND, UINT uMsg, WPARAM wParam, LPARAM, LRESULT& lResult,
                              DWORD dwMsgMapID) override {
        if (dwMsgMapID != 0) return FALSE;
        if (uMsg == WM_INITDIALOG) handleAtInit = this->m_hWnd;
        if (uMsg == WM_COMMAND && LOWORD(wParam) == kDestroysItself) {
            DestroyWindow(this->m_hWnd);
            handleAfterDestroy = this->m_hWnd;
        }
        const bool handled = uMsg == WM_INITDIALOG || uMsg == WM_CTLCOLORDLG ||
                             uMsg == kPrivateMessage ||
                             (uMsg == WM_COMMAND && LOWORD(wParam) >= kReturnsResult);
        lResult = uMsg == WM_INITDIALOG ? 0x1234 : uMsg == WM_CTLCOLORDLG ? 0x4242 : 0x5678;
        return handled ? TRUE : FALSE;
    }
    void OnFinalMessage(HWND hWnd) override {
        ++finalCalls;
        finalHandle = hWnd;
    }

    HWND handleAtInit = nullptr;
    HWND handleAfterDestroy = nullptr;
    HWND finalHandle = nullptr;
    int finalCalls = 0;
};

using AboutProbe = Probe<IDD_ABOUTBOX>;

using DialogImplTest = test::HeadlessTest;

TEST_F(DialogImplTest, ResultsGoWhereTheDialogManagerReadsThem) {
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        INT_PTR returned;
        LONG_PTR messageResult;  // DWLP_MSGRESULT afterwards
    };
    constexpr LONG_PTR kUntouched = 0x5EED;
    const Case cases[] = {
        {"WM_INITDIALOG: returned directly", WM_INITDIALOG, 0, 0x1234, kUntouched},
        {"WM_CTLCOLORDLG: returned directly", WM_CTLCOLORDLG, 0, 0x4242, kUntouched},
        {"handled command: TRUE, result stored", WM_COMMAND, kReturnsResult, TRUE, 0x5678},
        {"other handled message: TRUE, result stored", kPrivateMessage, 0, TRUE, 0x5678},
        {"unhandled command: FALSE", WM_COMMAND, 55, FALSE, kUntouched},
        {"unhandled message: FALSE", WM_APP + 9, 0, FALSE, kUntouched},
    };
    AboutProbe probe;
    HWND hWnd = probe.Create(nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(probe.m_hWnd, hWnd);
    EXPECT_EQ(probe.handleAtInit, hWnd) << "bound before WM_INITDIALOG reaches the map";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, kUntouched);
        EXPECT_EQ(CDialogImplBaseT::DialogProc(hWnd, c.message, c.wParam, 0), c.returned);
        EXPECT_EQ(GetWindowLongPtrW(hWnd, DWLP_MSGRESULT), c.messageResult);
    }
    EXPECT_EQ(SendMessageW(hWnd, WM_COMMAND, kReturnsResult, 0), 0x5678) << "what a sender gets";
}

TEST_F(DialogImplTest, ADestroyedWindowIsReleasedOnceAndNotBeforeItsHandlerReturns) {
    for (const bool fromInside : {true, false}) {
        SCOPED_TRACE(fromInside ? "inside a handler" : "from outside");
        AboutProbe probe;
        HWND hWnd = probe.Create(nullptr);
        ASSERT_NE(hWnd, nullptr);
        if (fromInside) {
            SendMessageW(hWnd, WM_COMMAND, kDestroysItself, 0);
            EXPECT_EQ(probe.handleAfterDestroy, hWnd) << "still bound inside the handler";
        } else {
            DestroyWindow(hWnd);
        }
        EXPECT_FALSE(IsWindow(hWnd));
        EXPECT_EQ(probe.m_hWnd, nullptr);
        EXPECT_EQ(probe.finalCalls, 1);
        EXPECT_EQ(probe.finalHandle, hWnd);
    }
}

TEST_F(DialogImplTest, AMissingTemplateFailsAndLeavesNothingBehind) {
    HWND unrelated = CreateWindowExW(0, u"STATIC", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    {
        Probe<999> missing;
        EXPECT_EQ(missing.Create(nullptr), nullptr);
        EXPECT_EQ(missing.RunModal(nullptr), -1);
        EXPECT_EQ(missing.m_hWnd, nullptr);
    }
    // No record of the failed dialog waits for a window any more.
    EXPECT_EQ(CDialogImplBaseT::StartDialogProc(unrelated, WM_INITDIALOG, 0, 0), FALSE);
    AboutProbe probe;
    EXPECT_EQ(probe.Create(nullptr), probe.m_hWnd);
    EXPECT_NE(probe.m_hWnd, nullptr);
}

TEST_F(DialogImplTest, WithoutMemoryForTheBindingNothingIsCreated) {
    AboutProbe probe;
    g_failNothrowNew = true;
    SetLastError(0);
    EXPECT_EQ(probe.Create(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY));
    SetLastError(0);
    EXPECT_EQ(probe.RunModal(nullptr), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY));
    g_failNothrowNew = false;
    EXPECT_EQ(probe.finalCalls, 0);
    // With memory back, the same object works.
    EXPECT_NE(probe.Create(nullptr), nullptr);
}

TEST_F(DialogImplTest, AWindowThatOutlivesItsObjectNoLongerReachesIt) {
    HWND hWnd = nullptr;
    {
        AboutProbe probe;
        hWnd = probe.Create(nullptr);
        ASSERT_NE(hWnd, nullptr);
    }
    EXPECT_EQ(CDialogImplBaseT::DialogProc(hWnd, WM_COMMAND, kReturnsResult, 0), FALSE);
    EXPECT_EQ(SendMessageW(hWnd, kPrivateMessage, 0, 0), 0);
    DestroyWindow(hWnd);
}

}  // namespace

// The binding is the only allocation the dialog base makes without throwing; failing it on
// demand shows the out-of-memory path. Everything else keeps the ordinary allocator.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_failNothrowNew) return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}
