#include "client/app/FrameConfiguration.h"

#include "client/app/FrameRules.h"
#include "shared/SplitInstallerName.h"

#include <windows.h>

namespace {

const wchar_t kSection[] = L"dr";

void WriteIniString(const std::wstring& iniPath, const wchar_t* key, const std::wstring& value)
{
    if (!iniPath.empty())
        WritePrivateProfileStringW(kSection, key, value.c_str(), iniPath.c_str());
}

} // namespace

std::wstring ReadIniString(const std::wstring& iniPath, const wchar_t* key, const wchar_t* defaultValue)
{
    if (iniPath.empty())
        return std::wstring();
    wchar_t buffer[260] = {};
    GetPrivateProfileStringW(kSection, key, defaultValue, buffer, 260, iniPath.c_str());
    return buffer;
}

FrameConfiguration LoadFrameConfiguration(const std::wstring& iniPath)
{
    FrameConfiguration config;
    const std::wstring hotkey = ReadIniString(iniPath, L"hotkey", L"121");
    config.bossKeyName = ReadIniString(iniPath, L"hotName", L"F10");
    config.bossKey = ParseHotkeyValue(hotkey);

    if (!iniPath.empty() && static_cast<int>(GetPrivateProfileIntW(kSection, L"start", -1, iniPath.c_str())) == 1) {
        config.suid = ReadIniString(iniPath, L"filename", L"");
        config.uid = ReadIniString(iniPath, L"uid", L"");
        return config;
    }

    std::wstring name = ReadIniString(iniPath, L"filename", L"");
    if (!name.empty())
        SplitInstallerName(name, config.uid);
    config.suid = name;
    WriteIniString(iniPath, L"start", std::to_wstring(1));
    WriteIniString(iniPath, L"filename", config.suid);
    WriteIniString(iniPath, L"uid", config.uid);
    return config;
}
