#include "installer/SystemFolders.h"

#include "tests/support/TestFiles.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

TEST(SystemFolders, SpecialFoldersResolveWithoutTrailingBackslash)
{
    const int ids[] = {CSIDL_APPDATA, CSIDL_STARTMENU, CSIDL_DESKTOP};
    for (size_t i = 0; i < std::size(ids); ++i) {
        wchar_t expected[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, ids[i], nullptr, 0, expected))) << "row " << i;
        const std::wstring folder = GetSpecialFolder(ids[i]);
        EXPECT_EQ(folder, expected) << "row " << i;
        ASSERT_FALSE(folder.empty()) << "row " << i;
        EXPECT_NE(folder.back(), L'\\') << "row " << i;
    }
}

TEST(SystemFolders, UnknownSpecialFolderGivesEmptyPath)
{
    EXPECT_EQ(GetSpecialFolder(0x7F), L"");
}

TEST(SystemFolders, PathExistsForFilesAndFoldersAlike)
{
    const std::wstring folder = MakeTestFolder(L"exists");
    ASSERT_TRUE(WriteBytes(folder + L"duskshell.exe", "MZ"));
    struct {
        std::wstring path;
        bool exists;
    } cases[] = {
        {folder, true},
        {folder.substr(0, folder.size() - 1), true},
        {folder + L"duskshell.exe", true},
        {folder + L"missing.exe", false},
        {folder + L"missing\\duskshell.exe", false},
        {L"", false},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(PathExists(cases[i].path), cases[i].exists) << "row " << i;
    RemoveTree(folder);
}

TEST(SystemFolders, VersionTestsFollowTheReportedVersion)
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExW(&info));
    const bool seven = info.dwPlatformId == 2 && info.dwMajorVersion == 6 && info.dwMinorVersion == 1;
    EXPECT_EQ(IsWindows7(), seven);
    EXPECT_EQ(IsVistaLineage(), info.dwMajorVersion > 5 && info.dwMinorVersion < 4);
    // A Windows 7 system is always of the Vista lineage.
    if (IsWindows7()) {
        EXPECT_TRUE(IsVistaLineage());
    }
}

} // namespace
