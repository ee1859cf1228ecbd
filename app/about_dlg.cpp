// SPDX-License-Identifier: MIT
#include <windows.h>

#include "app/about_dlg.h"

const CAboutDlg::Entry CAboutDlg::kMessageMap[3] = {
    Entry::Message(WM_INITDIALOG, &CAboutDlg::OnInitDialog),
    Entry::Command(IDOK, &CAboutDlg::OnCloseCmd),
    Entry::Command(IDCANCEL, &CAboutDlg::OnCloseCmd),
};

BOOL CAboutDlg::ProcessWindowMessage(HWND /*hWnd*/, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                     LRESULT& lResult, DWORD dwMsgMapID) {
    if (dwMsgMapID != 0) return FALSE;
    return DispatchToMessageMap(*this, kMessageMap, uMsg, wParam, lParam, lResult);
}

LRESULT CAboutDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    // A pop-up's parent is its owner: the main dialog.
    CenterOverWindow(GetParent(m_hWnd));
    return TRUE;
}

LRESULT CAboutDlg::OnCloseCmd(WORD, WORD wID, HWND, BOOL&) {
    EndDialog(m_hWnd, wID);
    return 0;
}
