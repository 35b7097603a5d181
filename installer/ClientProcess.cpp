#include "installer/ClientProcess.h"

#include "framework/Handles.h"
#include "framework/Text.h"
#include "installer/InstallerConstants.h"

#include <windows.h>
#include <psapi.h>

namespace {
constexpr DWORD kMaxProcesses = 1024;
}

bool IsProgramRunning(const std::wstring& fileName)
{
    const std::wstring wanted = AsciiLower(fileName);
    DWORD ids[kMaxProcesses] = {};
    DWORD bytes = 0;
    if (!EnumProcesses(ids, sizeof(ids), &bytes))
        return false;
    const DWORD count = bytes / sizeof(DWORD);
    for (DWORD i = 1; i < count; ++i) {
        if (ids[i] == 0)
            continue;
        wchar_t moduleName[MAX_PATH] = L"<unknown>";
        UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]));
        if (process) {
            HMODULE module = nullptr;
            DWORD needed = 0;
            if (EnumProcessModules(process.Get(), &module, sizeof(module), &needed) && module)
                GetModuleBaseNameW(process.Get(), module, moduleName, MAX_PATH);
        }
        moduleName[MAX_PATH - 1] = L'\0';
        if (AsciiLower(moduleName) == wanted)
            return true;
    }
    return false;
}

bool IsClientRunning()
{
    return IsProgramRunning(kClientFileName);
}
