// SPDX-License-Identifier: MIT
#include <windows.h>

#include "app/main_dlg.h"

#include "app/about_dlg.h"
#include "app/app_module.h"
#include "app/message_loop.h"
#include "cipher/encoder.h"
#include "cipher/field_cipher.h"
#include "cipher/wide_string.h"

namespace {

CString ReadWindowText(HWND hWnd) {
    const int length = GetWindowTextLengthW(hWnd);
    if (length <= 0) return CString();
    CString text(static_cast<std::size_t>(length) + 1, WCHAR{0});
    const int copied = GetWindowTextW(hWnd, text.data(), length + 1);
    text.resize(copied > 0 && copied <= length ? static_cast<std::size_t>(copied) : 0);
    return text;
}

HICON LoadMainIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(
        g_moduleInstance.GetResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
        GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

}  // namespace

const CMainDlg::Entry CMainDlg::kMessageMap[7] = {
    Entry::Message(WM_INITDIALOG, &CMainDlg::OnInitDialog),
    Entry::Message(WM_DESTROY, &CMainDlg::OnDestroy),
    Entry::Command(ID_APP_ABOUT, &CMainDlg::OnAppAbout),
    Entry::Command(IDOK, &CMainDlg::OnOK),
    Entry::Command(IDCANCEL, &CMainDlg::OnCancel),
    Entry::Command(IDC_ENCRYPT, &CMainDlg::OnEncrypt),
    Entry::Command(IDC_DECRYPT, &CMainDlg::OnDecrypt),
};

const CUpdateUIBase::UIMapEntry* CMainDlg::GetUpdateUIMap() {
    static const UIMapEntry map[] = {{kMapEnd, 0}};
    return map;
}

BOOL CMainDlg::ProcessWindowMessage(HWND /*hWnd*/, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                    LRESULT& lResult, DWORD dwMsgMapID) {
    if (dwMsgMapID != 0) return FALSE;
    return DispatchToMessageMap(*this, kMessageMap, uMsg, wParam, lParam, lResult);
}

BOOL CMainDlg::PreTranslateMessage(MSG* pMsg) { return IsDialogMessageW(m_hWnd, pMsg); }

BOOL CMainDlg::OnIdle() { return FALSE; }

LRESULT CMainDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    m_strKey = kKeyString;

    m_editAccountIn.Attach(GetDlgItem(m_hWnd, IDC_ACCOUNT_IN));
    m_editPasswordIn.Attach(GetDlgItem(m_hWnd, IDC_PASSWORD_IN));
    m_editAccountOut.Attach(GetDlgItem(m_hWnd, IDC_ACCOUNT_OUT));
    m_editPasswordOut.Attach(GetDlgItem(m_hWnd, IDC_PASSWORD_OUT));

    CenterOverWindow();

    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadMainIcon(SM_CXICON, SM_CYICON)));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadMainIcon(SM_CXSMICON, SM_CYSMICON)));

    if (CMessageLoop* loop = g_appModule.GetMessageLoop(GetCurrentThreadId())) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }

    UIAddChildWindowContainer(m_hWnd);
    return TRUE;  // the dialog manager focuses the first tab stop, OK
}

LRESULT CMainDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    if (CMessageLoop* loop = g_appModule.GetMessageLoop(GetCurrentThreadId())) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    return 0;
}

LRESULT CMainDlg::OnAppAbout(WORD, WORD, HWND, BOOL&) {
    CAboutDlg about;
    about.RunModal(GetActiveWindow(), 0);
    return 0;
}

LRESULT CMainDlg::OnOK(WORD, WORD wID, HWND, BOOL&) {
    CloseDialog(wID);
    return 0;
}

LRESULT CMainDlg::OnCancel(WORD, WORD wID, HWND, BOOL&) {
    CloseDialog(wID);
    return 0;
}

LRESULT CMainDlg::OnEncrypt(WORD, WORD, HWND, BOOL&) {
    TransformFields(&Molvan::System::EncryptText);
    return 0;
}

LRESULT CMainDlg::OnDecrypt(WORD, WORD, HWND, BOOL&) {
    TransformFields(&Molvan::System::DecryptText);
    return 0;
}

void CMainDlg::TransformFields(FieldCipher cipher) {
    using Molvan::System::Encoder;

    CString account = ReadWindowText(m_editAccountIn);
    CString password = ReadWindowText(m_editPasswordIn);

    std::string accountBytes;
    std::string passwordBytes;
    Encoder::CStringToAnsi(account, accountBytes);
    Encoder::CStringToAnsi(password, passwordBytes);

    const std::string accountResult = cipher(accountBytes, m_strKey);
    const std::string passwordResult = cipher(passwordBytes, m_strKey);

    Encoder::AnsiToCString(accountResult, account);
    Encoder::AnsiToCString(passwordResult, password);

    SetWindowTextW(m_editAccountOut, account.c_str());
    SetWindowTextW(m_editPasswordOut, password.c_str());
}

void CMainDlg::CloseDialog(int nVal) {
    DestroyWindow(m_hWnd);
    PostQuitMessage(nVal);
}
