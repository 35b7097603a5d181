// Stand-in for a support library the payload carries for the outside components: it loads,
// exports one version query, and does nothing else.
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, void*)
{
    return TRUE;
}

__declspec(dllexport) int __cdecl standin_version()
{
    return 1;
}

} // extern "C"
