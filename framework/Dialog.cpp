#include "framework/Dialog.h"

bool Dialog::Create(UINT templateId, HWND parent)
{
    modal_ = false;
    HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                                   StaticDialogProc, reinterpret_cast<LPARAM>(this));
    // A dialog that destroyed itself in OnInitDialog may have deleted this object as well.
    if (!hwnd)
        return false;
    return Hwnd() == hwnd;
}

INT_PTR Dialog::DoModal(UINT templateId, HWND parent)
{
    modal_ = true;
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                           StaticDialogProc, reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result)
{
    if (Hwnd())
        ::EndDialog(Hwnd(), result);
}

bool Dialog::PreTranslateMessage(MSG* msg)
{
    return Hwnd() && IsDialogMessageW(Hwnd(), msg);
}

BOOL Dialog::OnInitDialog()
{
    return TRUE;
}

void Dialog::OnOK()
{
    EndDialog(IDOK);
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT Dialog::WindowProc(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        // Enter and Escape arrive as IDOK and IDCANCEL with notification 0 (BN_CLICKED).
        if (HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return 0;
            }
        }
        break;
    }
    return Default();
}

LRESULT Dialog::Default()
{
    handled_ = false;
    return 0;
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Dialog* self = static_cast<Dialog*>(FromHandle(hwnd));
    if (!self && msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        if (self)
            self->Bind(hwnd);
    }
    if (!self)
        return FALSE;

    self->EnterDispatch();
    const bool outer = self->handled_;
    self->handled_ = true;
    const LRESULT result = self->Route(msg, wParam, lParam);
    const bool handled = self->handled_;
    self->handled_ = outer;
    // From here on self may be gone.
    self->LeaveDispatch(msg == WM_NCDESTROY);

    if (msg == WM_NCDESTROY)
        return FALSE;
    if (!handled)
        return FALSE;
    // These messages return their answer from the dialog procedure itself.
    if (msg == WM_INITDIALOG || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC))
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
