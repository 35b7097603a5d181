#include "installer/CGameInstallApp.h"
#include "installer/SystemFolders.h"

#include "tests/support/TestFiles.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

const char kFreshConfig[] =
    "[dr]\r\nkey=\r\nuid=\r\nstart=0\r\ngid=353\r\nInstall=\r\nDName=\r\nhotkey=121\r\nhotName=F10\r\n"
    "filename=zc17_setup.exe\r\n";

TEST(InstallerConfiguration, KeysInTheirOrderOnAFreshFile)
{
    const std::wstring folder = MakeTestFolder(L"ini");
    CGameInstallApp::WriteConfiguration(folder + L"static.ini", L"zc17_setup.exe");
    EXPECT_EQ(ReadBytes(folder + L"static.ini"), kFreshConfig);
    RemoveTree(folder);
}

TEST(InstallerConfiguration, RewriteResetsOurKeysAndKeepsOthers)
{
    const std::wstring folder = MakeTestFolder(L"ini2");
    const std::wstring path = folder + L"static.ini";
    ASSERT_TRUE(WriteBytes(path, "[dr]\r\nstart=1\r\nuid=77\r\nhotkey=196729\r\nhotName=Shift+F10\r\nmine=kept\r\n"
                                 "filename=5\r\n[other]\r\nx=y\r\n"));
    CGameInstallApp::WriteConfiguration(path, L"_9.exe");
    struct {
        const wchar_t *section, *key, *value;
    } cases[] = {
        {L"dr", L"start", L"0"},       {L"dr", L"uid", L""},          {L"dr", L"hotkey", L"121"},
        {L"dr", L"hotName", L"F10"},   {L"dr", L"filename", L"_9.exe"}, {L"dr", L"mine", L"kept"},
        {L"dr", L"gid", L"353"},       {L"other", L"x", L"y"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        wchar_t buffer[260] = {};
        GetPrivateProfileStringW(cases[i].section, cases[i].key, L"<missing>", buffer, 260, path.c_str());
        EXPECT_STREQ(buffer, cases[i].value) << "row " << i;
    }
    // Empty values stay as keys with nothing after "=".
    EXPECT_NE(ReadBytes(path).find("\r\nkey=\r\n"), std::string::npos);
    RemoveTree(folder);
}

TEST(InstallerFolder, CreatesBothLevelsUnderApplicationData)
{
    const std::wstring vendor = GetSpecialFolder(CSIDL_APPDATA) + L"\\Vantory";
    RemoveTree(vendor);
    const std::wstring folder = CGameInstallApp::PrepareInstallFolder();
    EXPECT_EQ(folder, vendor + L"\\tavrokil\\");
    EXPECT_TRUE(PathExists(folder));
    // An existing folder is simply reused.
    EXPECT_EQ(CGameInstallApp::PrepareInstallFolder(), folder);
    RemoveTree(vendor);
}

} // namespace
