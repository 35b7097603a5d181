#include "installer/SystemFolders.h"

#include "installer/VersionRules.h"

#include <windows.h>
#include <shlobj.h>

namespace {

bool QueryVersion(OSVERSIONINFOW& info)
{
    info = OSVERSIONINFOW{};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW); // 276
    return GetVersionExW(&info) != FALSE;
}

} // namespace

std::wstring GetSpecialFolder(int csidl)
{
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list)
        return std::wstring();
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list, buffer))
        buffer[0] = L'\0';
    CoTaskMemFree(list);
    return buffer;
}

bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsWindows7()
{
    OSVERSIONINFOW info;
    if (!QueryVersion(info))
        return false;
    return IsWindows7Version(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

bool IsVistaLineage()
{
    OSVERSIONINFOW info;
    if (!QueryVersion(info))
        return false;
    return IsVistaLineageVersion(info.dwMajorVersion, info.dwMinorVersion);
}
