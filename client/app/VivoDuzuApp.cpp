#include "client/app/VivoDuzuApp.h"

#include "client/app/FrameRules.h"
#include "client/app/MainWnd.h"
#include "client/app/SkinImage.h"
#include "framework/Text.h"

#include <ole2.h>

bool CVivoDuzuApp::InitInstance(const wchar_t* commandLine)
{
    // Hosting the WebBrowser control needs OLE on this thread.
    OleInitialize(nullptr);
    StartGdiPlus(gdiplusToken_);

    commandLine_ = TrimWhite(commandLine ? commandLine : L"");
    const int mode = IsHiddenStartCommand(commandLine_) ? 1 : 0;
    mainWnd_ = new CMainWnd(mode);
    mainWnd_->SetQuitOnDestroy(true);
    if (mainWnd_->IsWindow()) {
        ShowWindow(mainWnd_->Hwnd(), mode == 1 ? SW_HIDE : SW_SHOW);
        UpdateWindow(mainWnd_->Hwnd());
    }
    return true;
}

int CVivoDuzuApp::Run()
{
    // The frame lives until the process ends, as do the windows it owns.
    if (!mainWnd_ || !mainWnd_->IsWindow())
        return 0;
    return RunMessageLoop();
}

std::wstring CommandLineArguments(const wchar_t* fullCommandLine)
{
    const wchar_t* p = fullCommandLine ? fullCommandLine : L"";
    // The program name ends at the closing quote, or at the first blank when not quoted.
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p == L'"')
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}
