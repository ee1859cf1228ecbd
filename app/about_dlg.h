// SPDX-License-Identifier: MIT
// The About box: the program's name, version and icon, closed by OK, Enter, Escape or its
// close box.
#pragma once

#include <windows.h>

#include "app/dialog_impl.h"
#include "app/message_map.h"
#include "app/res/resource.h"

class CAboutDlg : public CDialogImpl<CAboutDlg> {
public:
    enum { IDD = IDD_ABOUTBOX };

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                              DWORD dwMsgMapID) override;

    LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnCloseCmd(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);

private:
    using Entry = MessageMapEntry<CAboutDlg>;
    static const Entry kMessageMap[3];
};
