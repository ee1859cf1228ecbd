// SPDX-License-Identifier: MIT
// The main dialog: the account and password typed into the upper fields are enciphered
// (Encrypt) or deciphered (Decrypt) into the lower fields. OK and Cancel end the program with
// their ids as the exit code.
#pragma once

#include <windows.h>

#include <string>

#include "app/dialog_impl.h"
#include "app/message_filter.h"
#include "app/message_map.h"
#include "app/res/resource.h"
#include "app/update_ui.h"
#include "app/window.h"
#include "cipher/field_key.h"

class CMainDlg : public CDialogImpl<CMainDlg>,
                 public CUpdateUI<CMainDlg>,
                 public CMessageFilter,
                 public CIdleHandler {
public:
    enum { IDD = IDD_MAINDLG };

    // The text the AES key is taken from (its first 16 characters).
    static constexpr const char* kKeyString = Molvan::System::kFieldKey;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnIdle() override;

    static const UIMapEntry* GetUpdateUIMap();

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                              DWORD dwMsgMapID) override;

    LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnAppAbout(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT OnOK(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT OnCancel(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT OnEncrypt(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT OnDecrypt(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);

    void CloseDialog(int nVal);

    CWindow m_editAccountIn;
    CWindow m_editPasswordIn;
    CWindow m_editAccountOut;
    CWindow m_editPasswordOut;
    std::string m_strKey;

private:
    using Entry = MessageMapEntry<CMainDlg>;
    static const Entry kMessageMap[7];

    using FieldCipher = std::string (*)(const std::string& text, const std::string& key);
    // Runs both upper fields through cipher and writes the results into the lower fields.
    void TransformFields(FieldCipher cipher);
};
