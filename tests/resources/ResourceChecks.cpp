#include "tests/resources/ResourceChecks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

std::vector<BYTE> ResourceBytes(LPCWSTR type, LPCWSTR name)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, name, type);
    if (!resource)
        return {};
    HGLOBAL loaded = LoadResource(module, resource);
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes)
        return {};
    return std::vector<BYTE>(bytes, bytes + SizeofResource(module, resource));
}

bool ReadIconGroup(WORD id, std::vector<IconDirectoryEntry>& entries)
{
    // GRPICONDIR: reserved, type 1, count; then 14-byte entries (width, height, colours,
    // reserved, planes, bit count, bytes in resource, icon id).
    const std::vector<BYTE> group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(id));
    if (group.size() < 6)
        return false;
    WORD header[3];
    std::memcpy(header, group.data(), sizeof header);
    if (header[0] != 0 || header[1] != 1 || group.size() < 6 + 14u * header[2])
        return false;
    entries.clear();
    for (WORD i = 0; i < header[2]; ++i) {
        const BYTE* e = &group[6 + 14 * i];
        WORD bitCount;
        std::memcpy(&bitCount, e + 6, sizeof bitCount);
        entries.push_back({e[0] ? e[0] : 256, e[1] ? e[1] : 256, bitCount});
    }
    return true;
}

void ExpectSharedVersionBlockAndManifest()
{
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(self, &ignored);
    ASSERT_GT(size, 0u) << "no version block";
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(self, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(5, 3));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(705, 3));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(5, 3));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(705, 3));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0804);
    EXPECT_EQ(translation[1], 936);

    const struct {
        const wchar_t* key;
        const wchar_t* value;
    } strings[] = {
        {L"FileVersion", L"3, 5, 3, 705"},        {L"ProductVersion", L"3, 5, 3, 705"},
        {L"FileDescription", L"KorvaneDuskreign"}, {L"ProductName", L"KorvaneDuskreign"},
        {L"CompanyName", L"Halvergate"},          {L"Comments", L"\u5e94\u7528\u7a0b\u5e8f"}, // 应用程序
    };
    for (size_t row = 0; row < std::size(strings); ++row) {
        const std::wstring path = std::wstring(L"\\StringFileInfo\\080403a8\\") + strings[row].key;
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) << "row " << row;
        EXPECT_EQ(std::wstring(value), strings[row].value) << "row " << row;
    }

    const std::vector<BYTE> manifest = ResourceBytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    const std::string text(manifest.begin(), manifest.end());
    for (const char* needle : {"level=\"asInvoker\"", "uiAccess=\"false\"", "name=\"Microsoft.Windows.Common-Controls\"",
                               "version=\"6.0.0.0\"", "publicKeyToken=\"6595b64144ccf1df\""})
        EXPECT_NE(text.find(needle), std::string::npos) << needle;
}
