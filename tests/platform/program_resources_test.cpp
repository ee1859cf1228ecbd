// SPDX-License-Identifier: MIT
// The program's resources as Win32 calls reach them: FindResourceW and friends, LoadImageW of an
// icon group, and dialogs made from RT_DIALOG templates (the resource suites' own test.rc).
#include <windows.h>

#include <gtest/gtest.h>

#include "resources/resource_image.h"
#include "resources_test_data.h"
#include "support/headless_test.h"

namespace {

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class ProgramResourcesTest : public test::HeadlessTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(win32::resources::SetProgramResources(TestResources()));
    }

    const HMODULE program = GetModuleHandleW(nullptr);
};

TEST_F(ProgramResourcesTest, FindLoadLockAndSize) {
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(100), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(100), RT_DIALOG), found)
        << "NULL is the program itself";
    DWORD size = SizeofResource(program, found);
    EXPECT_GT(size, sizeof(DLGTEMPLATE));
    auto* bytes = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(program, found)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes->cx, 187);
    EXPECT_EQ(bytes->style & DS_SETFONT, static_cast<DWORD>(DS_SETFONT));
    // Names without regard to case, and "#n" for an ordinal.
    EXPECT_NE(FindResourceW(program, u"mixedcase", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(program, u"#100", RT_DIALOG), found);
    // The language asked for first; the neutral one when it is missing.
    HRSRC neutral = FindResourceExW(program, RT_RCDATA, MAKEINTRESOURCEW(300),
                                    MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    EXPECT_EQ(SizeofResource(program, neutral), 7u);
    EXPECT_NE(FindResourceExW(program, RT_RCDATA, MAKEINTRESOURCEW(300), MAKELANGID(0x07, 1)),
              neutral);
}

TEST_F(ProgramResourcesTest, MissingResourcesAndBadHandles) {
    SetLastError(0);
    EXPECT_EQ(FindResourceW(program, MAKEINTRESOURCEW(999), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(FindResourceW(reinterpret_cast<HMODULE>(0x1000), MAKEINTRESOURCEW(100), RT_DIALOG),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    int dummy = 0;
    HRSRC bogus = reinterpret_cast<HRSRC>(&dummy);
    EXPECT_EQ(LoadResource(program, bogus), nullptr);
    EXPECT_EQ(SizeofResource(program, bogus), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(ProgramResourcesTest, LoadImageOfAnIconGroup) {
    HANDLE big = LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                            GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR);
    HANDLE small =
        LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR);
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_NE(big, small);
    EXPECT_NE(LoadImageW(program, u"NamedIcon", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE), nullptr);
    // Shared loads of the same icon and size give the same handle.
    HANDLE shared = LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_SHARED);
    EXPECT_EQ(LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_SHARED), shared);
    EXPECT_EQ(LoadIconW(program, MAKEINTRESOURCEW(1)), LoadIconW(program, MAKEINTRESOURCEW(1)));
    // Failures: no such group, no module (NULL means the system's icons), no bitmaps.
    SetLastError(0);
    EXPECT_EQ(LoadImageW(program, MAKEINTRESOURCEW(2), IMAGE_ICON, 32, 32, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadImageW(nullptr, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0), nullptr);
    EXPECT_EQ(LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, 0), nullptr);
    // An icon that was not shared can be destroyed once; its handle is stale afterwards.
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(big)));
    EXPECT_FALSE(DestroyIcon(static_cast<HICON>(big)));
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(shared)));
    EXPECT_EQ(LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_SHARED), shared);
}

TEST_F(ProgramResourcesTest, DialogsFromTemplatesWithTheirOwnClasses) {
    // Template 100 names its own dialog class and a custom control class.
    WNDCLASSEXW dialogClass{};
    dialogClass.cbSize = sizeof dialogClass;
    dialogClass.lpfnWndProc = DefDlgProcW;
    dialogClass.cbWndExtra = DLGWINDOWEXTRA;
    dialogClass.lpszClassName = u"TestDialogClass";
    ASSERT_NE(RegisterClassExW(&dialogClass), 0);
    SetLastError(0);
    EXPECT_EQ(CreateDialogParamW(program, MAKEINTRESOURCEW(100), nullptr, Quiet, 0), nullptr)
        << "CustomControl is not registered yet";
    WNDCLASSEXW controlClass{};
    controlClass.cbSize = sizeof controlClass;
    controlClass.lpfnWndProc = DefWindowProcW;
    controlClass.lpszClassName = u"CustomControl";
    ASSERT_NE(RegisterClassExW(&controlClass), 0);

    HWND dialog = CreateDialogParamW(program, MAKEINTRESOURCEW(100), nullptr, Quiet, 0);
    ASSERT_NE(dialog, nullptr);
    WCHAR text[32];
    GetClassNameW(dialog, text, 32);
    EXPECT_EQ(std::u16string(text), u"TestDialogClass");
    GetWindowTextW(dialog, text, 32);
    EXPECT_EQ(std::u16string(text), u"About");
    EXPECT_NE(SendMessageW(dialog, WM_GETFONT, 0, 0), 0);
    // The icon static's text is the icon's ordinal: it shows icon 1 and has no text.
    HWND icon = GetDlgItem(dialog, 0xFFFF);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
    EXPECT_EQ(GetWindowTextLengthW(icon), 0);
    EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(1, DC_HASDEFID));
    // Templates with no such name, and a modal run of one that exists.
    EXPECT_EQ(DialogBoxParamW(program, MAKEINTRESOURCEW(77), nullptr, Quiet, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    win32::headless::Run([] { EndDialog(GetActiveWindow(), 42); });
    EXPECT_EQ(DialogBoxParamW(program, MAKEINTRESOURCEW(101), dialog, Quiet, 0), 42);
}

}  // namespace
