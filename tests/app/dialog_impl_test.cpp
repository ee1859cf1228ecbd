// The dialog base: binding a window to its object, the results it hands back to the dialog
// manager, and letting go of the window.
#include <windows.h>

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "app/about_dlg.h"
#include "app/dialog_impl.h"
#include "app/res/resource.h"
#include "win32/headless.h"

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

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM, LRESULT& lResult,
                              DWORD dwMsgMapID) override {
        if (dwMsgMapID != 0) return FALSE;
        switch (uMsg) {
            case WM_INITDIALOG:
                handleAtInit = this->m_hWnd;
                windowAtInit = hWnd;
                lResult = 0x1234;
                return TRUE;
            case WM_CTLCOLORDLG:
                lResult = 0x4242;
                return TRUE;
            case kPrivateMessage:
                lResult = 0x77;
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wParam) == kReturnsResult) {
                    lResult = 0x5678;
                    return TRUE;
                }
                if (LOWORD(wParam) == kDestroysItself) {
                    DestroyWindow(this->m_hWnd);
                    handleAfterDestroy = this->m_hWnd;
                    lResult = 0;
                    return TRUE;
                }
                return FALSE;
            default:
                return FALSE;
        }
    }
    void OnFinalMessage(HWND hWnd) override {
        ++finalCalls;
        finalHandle = hWnd;
    }

    HWND handleAtInit = nullptr;
    HWND windowAtInit = nullptr;
    HWND handleAfterDestroy = nullptr;
    HWND finalHandle = nullptr;
    int finalCalls = 0;
};

using AboutProbe = Probe<IDD_ABOUTBOX>;
using MissingProbe = Probe<999>;  // no such template

class DialogImplTest : public testing::Test {
protected:
    void SetUp() override { headless::Start(); }
    void TearDown() override { headless::Stop(); }
};

TEST_F(DialogImplTest, TheFirstMessageBindsTheWindowToItsObject) {
    AboutProbe probe;
    EXPECT_EQ(probe.m_hWnd, nullptr);
    HWND hWnd = probe.Create(nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(probe.m_hWnd, hWnd);
    EXPECT_EQ(probe.handleAtInit, hWnd) << "bound before WM_INITDIALOG reaches the map";
    EXPECT_EQ(probe.windowAtInit, hWnd);
    DestroyWindow(hWnd);
}

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
        {"other handled message: TRUE, result stored", kPrivateMessage, 0, TRUE, 0x77},
        {"unhandled command: FALSE", WM_COMMAND, 555, FALSE, kUntouched},
        {"unhandled message: FALSE", WM_APP + 9, 0, FALSE, kUntouched},
    };
    AboutProbe probe;
    HWND hWnd = probe.Create(nullptr);
    ASSERT_NE(hWnd, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, kUntouched);
        EXPECT_EQ(CDialogImplBaseT::DialogProc(hWnd, c.message, c.wParam, 0), c.returned);
        EXPECT_EQ(GetWindowLongPtrW(hWnd, DWLP_MSGRESULT), c.messageResult);
    }
    // Through the dialog manager, a sender gets the stored result.
    EXPECT_EQ(SendMessageW(hWnd, WM_COMMAND, kReturnsResult, 0), 0x5678);
    DestroyWindow(hWnd);
}

TEST_F(DialogImplTest, AWindowDestroyedInsideAHandlerIsReleasedWhenTheHandlerReturns) {
    AboutProbe probe;
    HWND hWnd = probe.Create(nullptr);
    ASSERT_NE(hWnd, nullptr);
    SendMessageW(hWnd, WM_COMMAND, kDestroysItself, 0);
    EXPECT_EQ(probe.handleAfterDestroy, hWnd) << "still bound inside the handler";
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(probe.m_hWnd, nullptr);
    EXPECT_EQ(probe.finalCalls, 1);
    EXPECT_EQ(probe.finalHandle, hWnd);
}

TEST_F(DialogImplTest, AWindowDestroyedFromOutsideIsReleasedAtOnce) {
    AboutProbe probe;
    HWND hWnd = probe.Create(nullptr);
    ASSERT_NE(hWnd, nullptr);
    DestroyWindow(hWnd);
    EXPECT_EQ(probe.m_hWnd, nullptr);
    EXPECT_EQ(probe.finalCalls, 1);
    EXPECT_EQ(probe.finalHandle, hWnd);
}

TEST_F(DialogImplTest, RunModalReturnsWhatEndDialogWasGiven) {
    struct Case {
        UINT key;
        INT_PTR result;
    };
    for (const Case c : {Case{VK_RETURN, IDOK}, Case{VK_ESCAPE, IDCANCEL}, Case{VK_SPACE, IDOK}}) {
        SCOPED_TRACE(c.key);
        headless::Start();
        headless::PressKey(c.key);
        CAboutDlg about;
        EXPECT_EQ(about.RunModal(nullptr), c.result);
        EXPECT_EQ(about.m_hWnd, nullptr);
    }
}

TEST_F(DialogImplTest, AMissingTemplateFailsAndLeavesNothingBehind) {
    HWND unrelated = CreateWindowExW(0, u"STATIC", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    {
        MissingProbe missing;
        EXPECT_EQ(missing.Create(nullptr), nullptr);
        EXPECT_EQ(missing.m_hWnd, nullptr);
        EXPECT_EQ(missing.RunModal(nullptr), -1);
    }
    // No record of the failed dialog waits for a window any more.
    EXPECT_EQ(CDialogImplBaseT::StartDialogProc(unrelated, WM_INITDIALOG, 0, 0), FALSE);

    AboutProbe probe;
    HWND hWnd = probe.Create(nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(probe.m_hWnd, hWnd);
    DestroyWindow(hWnd);
    DestroyWindow(unrelated);
}

TEST_F(DialogImplTest, WithoutMemoryForTheBindingNothingIsCreated) {
    AboutProbe probe;
    SetLastError(0);
    g_failNothrowNew = true;
    const HWND created = probe.Create(nullptr);
    const DWORD createError = GetLastError();
    const INT_PTR modal = probe.RunModal(nullptr);
    const DWORD modalError = GetLastError();
    g_failNothrowNew = false;

    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(createError, static_cast<DWORD>(ERROR_OUTOFMEMORY));
    EXPECT_EQ(modal, -1);
    EXPECT_EQ(modalError, static_cast<DWORD>(ERROR_OUTOFMEMORY));
    EXPECT_EQ(probe.finalCalls, 0);

    // With memory back, the same object works.
    HWND hWnd = probe.Create(nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(probe.m_hWnd, hWnd);
    DestroyWindow(hWnd);
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

TEST_F(DialogImplTest, ResourcesComeFromTheProgramImage) {
    EXPECT_EQ(g_moduleInstance.GetResourceInstance(), GetModuleHandleW(nullptr));
    EXPECT_EQ(g_moduleInstance.GetModuleInstance(), GetModuleHandleW(nullptr));
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
