#pragma once
#include <string>

// What the login frame takes from static.ini (section "dr").
struct FrameConfiguration {
    int bossKey = -1;          // -1: no boss key
    std::wstring bossKeyName;
    std::wstring uid;
    std::wstring suid;
};

// Reads `key` of section "dr" into a 260-character buffer (longer values are cut); "" when
// iniPath is empty.
std::wstring ReadIniString(const std::wstring& iniPath, const wchar_t* key, const wchar_t* defaultValue);

// Reads the boss key, uid and suid. On the first run after installation ("start" not 1) it
// derives uid and suid from the installer's file name in "filename" and writes "start" = 1,
// "filename" = suid and "uid" = uid back, which creates the file when it is missing.
FrameConfiguration LoadFrameConfiguration(const std::wstring& iniPath);
