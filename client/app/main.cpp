#include "client/app/VivoDuzuApp.h"

#include <windows.h>

namespace {
CVivoDuzuApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    theApp.InitInstance(CommandLineArguments(GetCommandLineW()).c_str());
    return theApp.Run();
}
