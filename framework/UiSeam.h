#pragma once
#include <windows.h>

// The platform calls that wait for a person or leave the program: ShowMessage is MessageBoxW,
// ShellRun is ShellExecuteW. Code calls them through UiSeam so that tests can answer them and
// record what was asked, without a person and without starting a browser.
class UiSeam {
public:
    virtual ~UiSeam() = default;
    virtual int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
    virtual HINSTANCE ShellRun(HWND owner, const wchar_t* verb, const wchar_t* file,
                               const wchar_t* parameters, const wchar_t* directory, int show);

    // The seam in force; the real platform unless a test installed its own.
    static UiSeam& Current();
    // Installs a seam (null restores the real one); returns the previous one.
    static UiSeam* Install(UiSeam* seam);
};
