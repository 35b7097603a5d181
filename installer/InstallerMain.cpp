// dusksetup: a silent installer without a window and without command-line options.
#include "installer/CGameInstallApp.h"

#include <windows.h>

namespace {
CGameInstallApp g_installApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    g_installApp.InitInstance();
    return 0;
}
