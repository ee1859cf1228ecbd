// SPDX-License-Identifier: MIT
#include "controls_test_support.h"
#include "resources/resource_image.h"
#include "resources_test_data.h"
#include "view/window_view.h"

namespace {

class StaticTest : public ControlsTest {
protected:
    HWND CreateStatic(const char16_t* text, DWORD style, HINSTANCE instance = nullptr) {
        return CreateWindowExW(0, u"Static", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 27, 40,
                               parent, reinterpret_cast<HMENU>(INT_PTR{-1}), instance, nullptr);
    }
    static HICON Icon(HWND control) {
        return reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
    }
};

// A label lets clicks through to its parent unless it has SS_NOTIFY.
TEST_F(StaticTest, OnlyNotifyLabelsTakeClicks) {
    EXPECT_EQ(SendMessageW(CreateStatic(u"帐号：", SS_LEFT), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    HWND label = CreateStatic(u"link", SS_LEFT | SS_NOTIFY);
    EXPECT_EQ(SendMessageW(label, WM_NCHITTEST, 0, 0), HTCLIENT);
    Click({15, 15});
    ASSERT_EQ(TakeNotifications().size(), 1u);
}

TEST_F(StaticTest, IconFromTheCreatingModule) {
    ASSERT_TRUE(win32::resources::SetProgramResources(TestResources()));
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const char16_t templateForm[] = {0xFFFF, 1, 0};  // how a dialog template names icon 1
    for (const char16_t* name : {static_cast<const char16_t*>(MAKEINTRESOURCEW(1)),
                                 static_cast<const char16_t*>(templateForm), u"#1", u"NamedIcon"}) {
        HWND icon = CreateStatic(name, SS_ICON, instance);
        ASSERT_NE(icon, nullptr);
        EXPECT_NE(Icon(icon), nullptr);
        EXPECT_EQ(GetWindowTextLengthW(icon), 0);
        RECT rect;
        GetClientRect(icon, &rect);
        EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXICON));
        EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYICON));
        DestroyWindow(icon);
    }

    // A missing icon leaves the control empty but created.
    HWND missing = CreateStatic(MAKEINTRESOURCEW(999), SS_ICON, instance);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(Icon(missing), nullptr);

    HWND icon = CreateStatic(MAKEINTRESOURCEW(1), SS_ICON, instance);
    const HICON first = Icon(icon);
    const HICON other = Icon(CreateStatic(u"NamedIcon", SS_ICON, instance));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(
                  SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(other), 0)),
              first);
    EXPECT_EQ(Icon(icon), other);
    win32::resources::SetProgramResources({});
}

// The system's icons (a module handle of NULL) are shared: destroying one keeps it.
TEST_F(StaticTest, SystemIconsAreSharedHandles) {
    const HICON application = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    ASSERT_NE(application, nullptr);
    EXPECT_TRUE(DestroyIcon(application));
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)), application);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(32519)), nullptr);  // past IDI_SHIELD
}

// GetDIBits numbers lines from the bottom row unless the caller asks for rows top down.
TEST_F(StaticTest, BitmapShowsAndReadsBackInDibRowOrder) {
    const std::uint32_t rows[] = {0x44332211, 0x88776655};  // top, then bottom
    const HBITMAP bitmap = CreateBitmap(1, 2, 1, 32, rows);
    ASSERT_NE(bitmap, nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const HDC dc = CreateCompatibleDC(nullptr);
    std::uint32_t bits[2] = {};
    EXPECT_EQ(GetDIBits(dc, bitmap, 0, 2, bits, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(bits[0], rows[1]);
    EXPECT_EQ(GetDIBits(dc, bitmap, 1, 5, bits, &info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(bits[0], rows[0]);
    info.bmiHeader.biHeight = -2;
    EXPECT_EQ(GetDIBits(dc, bitmap, 0, 2, bits, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(bits[0], rows[0]);
    DeleteDC(dc);

    // The control takes the bitmap's size, and the view its pixels, opaque.
    HWND control = CreateStatic(u"", SS_BITMAP);
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    RECT client;
    GetClientRect(control, &client);
    EXPECT_EQ(client.right, 1);
    EXPECT_EQ(client.bottom, 2);
    const auto views = win32::ViewsOfScreen();
    const win32::WindowView* view = win32::FindView(views, control);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->icon, nullptr);
    EXPECT_EQ(view->icon->argb, (std::vector<std::uint32_t>{0xFF332211, 0xFF776655}));

    DestroyWindow(control);  // an image set by the caller stays the caller's
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
}

}  // namespace
