// SPDX-License-Identifier: MIT
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/win_main.h"

#include "app/app_module.h"
#include "app/main_dlg.h"
#include "app/message_loop.h"

int RunMainDialog(LPWSTR /*lpCmdLine*/, int nCmdShow) {
    CMessageLoop loop;
    g_appModule.AddMessageLoop(&loop);

    CMainDlg dialog;
    if (dialog.Create(nullptr, 0) == nullptr) {
        // The loop dies with this frame: no entry may keep pointing at it.
        g_appModule.RemoveMessageLoop();
        return 0;
    }
    ShowWindow(dialog.m_hWnd, nCmdShow);

    const int code = loop.Run();
    g_appModule.RemoveMessageLoop();
    return code;
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPWSTR lpCmdLine,
                    int nCmdShow) {
    CoInitialize(nullptr);
    DefWindowProcW(nullptr, 0, 0, 0);

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    g_appModule.Initialize(nullptr, hInstance, nullptr);
    const int code = RunMainDialog(lpCmdLine, nCmdShow);
    g_appModule.Terminate();
    CoUninitialize();
    return code;
}
