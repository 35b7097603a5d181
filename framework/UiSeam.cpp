#include "framework/UiSeam.h"

#include <shellapi.h>

namespace {
UiSeam g_platform;
UiSeam* g_current = &g_platform;
}

int UiSeam::ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return MessageBoxW(owner, text, caption, type);
}

HINSTANCE UiSeam::ShellRun(HWND owner, const wchar_t* verb, const wchar_t* file,
                           const wchar_t* parameters, const wchar_t* directory, int show)
{
    return ShellExecuteW(owner, verb, file, parameters, directory, show);
}

UiSeam& UiSeam::Current()
{
    return *g_current;
}

UiSeam* UiSeam::Install(UiSeam* seam)
{
    UiSeam* previous = g_current == &g_platform ? nullptr : g_current;
    g_current = seam ? seam : &g_platform;
    return previous;
}
