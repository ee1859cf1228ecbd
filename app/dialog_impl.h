// SPDX-License-Identifier: MIT
// The dialog base: creates a dialog window from the class's template, modeless (Create) or
// modal (RunModal), binds the window to its object on the first message, hands every message
// to the class's message map and lets go of the window once it is destroyed.
#pragma once

#include <windows.h>

#include "app/module_instance.h"
#include "app/window.h"
#include "app/window_creation_list.h"

class CDialogImplBaseT : public CWindowImplRoot {
public:
    CDialogImplBaseT() = default;
    ~CDialogImplBaseT() override;

    // The procedure that a bound dialog window runs.
    virtual DLGPROC GetDialogProc() { return DialogProc; }
    // Called with the old handle once the object has let go of its destroyed window.
    virtual void OnFinalMessage(HWND /*hWnd*/) {}

    // Centres the window over center or, when that is null, over its parent (a child window),
    // its visible owner, or the work area of its monitor; keeps it inside that monitor's work
    // area. Returns the result of the move, FALSE when the monitor is unknown.
    BOOL CenterOverWindow(HWND center = nullptr);

    static INT_PTR CALLBACK StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

protected:
    // What the window keeps in DWLP_USER to find its object.
    struct Binding {
        CDialogImplBaseT* dialog;
    };

    // Allocates the binding and lists the object for its window's first message; FALSE (last
    // error ERROR_OUTOFMEMORY) when the binding cannot be allocated.
    BOOL BeginCreation();
    // Unlists the object if the window never reached it (creation failed early).
    void EndCreation();

private:
    INT_PTR HandleMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    Binding* m_binding = nullptr;
    CWindowCreationList::Record m_creationRecord;
};

// T names its template with a member IDD.
template <class T>
class CDialogImpl : public CDialogImplBaseT {
public:
    // Creates the modeless dialog; nullptr on failure.
    HWND Create(HWND hWndParent, LPARAM dwInitParam = 0) {
        if (!BeginCreation()) return nullptr;
        HWND hWnd =
            CreateDialogParamW(g_moduleInstance.GetResourceInstance(), MAKEINTRESOURCEW(T::IDD),
                               hWndParent, StartDialogProc, dwInitParam);
        EndCreation();
        return hWnd;
    }

    // Runs the modal dialog; returns the EndDialog value, -1 when the binding cannot be
    // allocated, or the platform's failure value.
    INT_PTR RunModal(HWND hWndParent, LPARAM dwInitParam = 0) {
        if (!BeginCreation()) return -1;
        const INT_PTR result =
            DialogBoxParamW(g_moduleInstance.GetResourceInstance(), MAKEINTRESOURCEW(T::IDD),
                            hWndParent, StartDialogProc, dwInitParam);
        EndCreation();
        return result;
    }
};
