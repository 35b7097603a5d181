#pragma once
#include <windows.h>

#include <string>

class CMainWnd;

// The client's application object: starts OLE and GDI+, creates the login frame (hidden with
// the command line "-hh") and runs the message loop until the frame is destroyed.
class CVivoDuzuApp {
public:
    // Always succeeds; failures of OLE or GDI+ start-up are ignored.
    bool InitInstance(const wchar_t* commandLine);
    int Run();

    CMainWnd* MainWnd() const { return mainWnd_; }

private:
    std::wstring commandLine_;
    ULONG_PTR gdiplusToken_ = 0;
    CMainWnd* mainWnd_ = nullptr;
};

// The text after the program name in a process command line, as the C run time splits it.
std::wstring CommandLineArguments(const wchar_t* fullCommandLine);
