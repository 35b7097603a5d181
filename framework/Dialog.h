#pragma once
#include "framework/Window.h"

// A dialog from a template in the program's resources, modeless (Create) or modal (DoModal).
// Messages reach WindowProc as for any framework window; a handler's Default() tells the
// dialog manager that the message was not handled, so it applies its own default.
class Dialog : public Window {
public:
    // Modeless: creates the dialog window from the template; false when creation failed.
    bool Create(UINT templateId, HWND parent);
    // Modal: runs the dialog until EndDialog; returns its result, or -1 when it could not start.
    INT_PTR DoModal(UINT templateId, HWND parent);
    void EndDialog(INT_PTR result);

    // Gives the dialog manager its keyboard navigation (IsDialogMessage).
    bool PreTranslateMessage(MSG* msg) override;

protected:
    // WM_INITDIALOG; true lets the system set the focus.
    virtual BOOL OnInitDialog();
    // IDOK and IDCANCEL commands (Enter and Escape). Both end a modal dialog.
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT Default() override;

    bool IsModal() const { return modal_; }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    bool modal_ = false;
    bool handled_ = false;
};
