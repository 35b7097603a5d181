#include "installer/InstallerNames.h"

#include "shared/SplitInstallerName.h"

std::wstring FileNamePart(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ChannelCode(const std::wstring& installerFileName)
{
    std::wstring rest = installerFileName;
    std::wstring uid;
    SplitInstallerName(rest, uid);
    return uid;
}

std::wstring PathBelow(const std::wstring& folder, const std::wstring& rest)
{
    return folder.empty() ? std::wstring() : folder + L"\\" + rest;
}
