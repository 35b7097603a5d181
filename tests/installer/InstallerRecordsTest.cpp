#include "installer/RemtrackInfo.h"
#include "installer/Shortcuts.h"
#include "installer/SystemFolders.h"
#include "installer/UninstallRecords.h"

#include "DuskHosts.h"
#include "tests/support/RecordingSeam.h"
#include "tests/support/TestFiles.h"
#include "framework/Handles.h"
#include "framework/UiSeam.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

const std::wstring kPrograms = L"\\程序";

std::wstring StartMenuPrograms()
{
    return GetSpecialFolder(CSIDL_STARTMENU) + kPrograms;
}

void ExpectRecords(const RemtrackList& got, const RemtrackList& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].name, want[i].name) << "record " << i;
        EXPECT_EQ(got[i].type, want[i].type) << "record " << i;
    }
}

RemtrackList ExpectedShortcutRecords(const std::wstring& startMenu, const std::wstring& desktop)
{
    const std::wstring group = startMenu + L"\\程序\\Duskreign";
    const std::wstring title = group + L"\\Duskreign";
    return {
        {title + L"\\Duskreign.lnk", 3}, {title, 4}, {group, 4}, {desktop + L"\\Duskreign.lnk", 3},
        {title + L"\\卸载Duskreign.lnk", 3}, {title, 4}, {group, 4},
    };
}

using Shortcuts = ComTest;

TEST_F(Shortcuts, LinksAndRecordsInTheChineseProgramsFolder)
{
    const std::wstring startMenu = GetSpecialFolder(CSIDL_STARTMENU);
    const std::wstring desktop = GetSpecialFolder(CSIDL_DESKTOP);
    CreateDirectoryW(StartMenuPrograms().c_str(), nullptr);
    const std::wstring install = MakeTestFolder(L"links");

    RemtrackList records;
    CreateShortcuts(records, install);
    ExpectRecords(records, ExpectedShortcutRecords(startMenu, desktop));

    const std::wstring title = startMenu + L"\\程序\\Duskreign\\Duskreign\\";
    std::wstring workingFolder = L"unset";
    EXPECT_EQ(LinkTarget(title + L"Duskreign.lnk", &workingFolder), install + L"duskshell.exe");
    EXPECT_EQ(workingFolder, L"");
    EXPECT_EQ(LinkTarget(desktop + L"\\Duskreign.lnk"), install + L"duskshell.exe");
    EXPECT_EQ(LinkTarget(title + L"卸载Duskreign.lnk"), install + L"remtracks.exe");
    EXPECT_FALSE(PathExists(desktop + L"\\卸载Duskreign.lnk"));

    // A second run overwrites the same files and records the same list again.
    RemtrackList again;
    CreateShortcuts(again, install);
    ExpectRecords(again, records);

    RemoveTree(StartMenuPrograms());
    DeleteFileW((desktop + L"\\Duskreign.lnk").c_str());
    RemoveTree(install);
}

TEST_F(Shortcuts, WithoutProgramsFolderNoStartMenuLinksButAllRecords)
{
    RemoveTree(StartMenuPrograms());
    const std::wstring startMenu = GetSpecialFolder(CSIDL_STARTMENU);
    const std::wstring desktop = GetSpecialFolder(CSIDL_DESKTOP);
    const std::wstring install = MakeTestFolder(L"nolinks");

    RemtrackList records;
    CreateShortcuts(records, install);
    ExpectRecords(records, ExpectedShortcutRecords(startMenu, desktop));
    EXPECT_FALSE(PathExists(StartMenuPrograms()));
    EXPECT_EQ(LinkTarget(desktop + L"\\Duskreign.lnk"), install + L"duskshell.exe");

    DeleteFileW((desktop + L"\\Duskreign.lnk").c_str());
    RemoveTree(install);
}

TEST_F(Shortcuts, PinMakesLinkInInstallFolderAndAsksTheShell)
{
    const std::wstring install = MakeTestFolder(L"pin");
    RecordingSeam seam;
    RemtrackList records;
    PinToTaskbar(records, install);

    if (!IsVistaLineage()) {
        EXPECT_TRUE(records.empty());
        EXPECT_TRUE(seam.runs.empty());
        EXPECT_FALSE(PathExists(install + L"Duskreign.lnk"));
        RemoveTree(install);
        return;
    }
    ExpectRecords(records, {{L"Duskreign.lnk", 6}});
    ASSERT_EQ(seam.runs.size(), 1u);
    EXPECT_EQ(seam.runs[0].verb, L"taskbarpin");
    EXPECT_EQ(seam.runs[0].file, install + L"Duskreign.lnk");
    EXPECT_FALSE(seam.runs[0].hasParameters);
    EXPECT_FALSE(seam.runs[0].hasDirectory);
    EXPECT_EQ(seam.runs[0].show, SW_SHOWNORMAL);
    std::wstring workingFolder;
    EXPECT_EQ(LinkTarget(install + L"Duskreign.lnk", &workingFolder), install + L"duskshell.exe");
    EXPECT_EQ(workingFolder, install.substr(0, install.size() - 1));
    RemoveTree(install);
}

TEST_F(Shortcuts, LinkFileWorkingFolderIsTheTargetsFolder)
{
    const std::wstring folder = MakeTestFolder(L"linkfile");
    struct {
        std::wstring target, workingFolder;
    } cases[] = {
        {folder + L"sub\\prog.exe", folder + L"sub"},
        {L"C:\\prog.exe", L"C:"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::wstring link = folder + L"l" + std::to_wstring(i) + L".lnk";
        ASSERT_TRUE(CreateLinkFile(cases[i].target, link)) << "row " << i;
        std::wstring workingFolder;
        EXPECT_EQ(LinkTarget(link, &workingFolder), cases[i].target) << "row " << i;
        EXPECT_EQ(workingFolder, cases[i].workingFolder) << "row " << i;
    }
    EXPECT_FALSE(CreateLinkFile(folder + L"x.exe", folder + L"missing\\x.lnk"));
    RemoveTree(folder);
}

struct ValueCase {
    const wchar_t* name;
    std::wstring data;
};

TEST(UninstallEntry, SixTextValuesWithTerminatorInTheirSize)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKeyPath);
    const std::wstring install = L"C:\\users\\p&q\\AppData\\Roaming\\Vantory\\tavrokil\\";
    RemtrackList records;
    RegisterUninstall(records, install);
    ExpectRecords(records, {{L"tavrokil", 9}});

    UniqueRegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKeyPath, 0, KEY_READ, key.Put()), ERROR_SUCCESS);
    const ValueCase values[] = {
        {L"DisplayName", L"Duskreign"},
        {L"UninstallString", install + L"remtracks.exe"},
        {L"DisplayIcon", install + L"duskshell.exe"},
        {L"URLInfoAbout", std::wstring(L"http://") + DUSK_OFFICIAL_HOST + L"/"},
        {L"Publisher", L"Halvergate"},
        {L"PRODUCT_Version", L"1.1.5.1"},
    };
    for (size_t i = 0; i < std::size(values); ++i) {
        wchar_t buffer[512] = {};
        DWORD type = 0;
        DWORD bytes = sizeof(buffer);
        ASSERT_EQ(RegQueryValueExW(key.Get(), values[i].name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes),
                  ERROR_SUCCESS)
            << "row " << i;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << "row " << i;
        EXPECT_EQ(bytes, (values[i].data.size() + 1) * sizeof(wchar_t)) << "row " << i;
        EXPECT_EQ(std::wstring(buffer), values[i].data) << "row " << i;
    }
    DWORD count = 0;
    ASSERT_EQ(RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 6u);

    // A second run reopens the key and overwrites the values.
    RemtrackList again;
    RegisterUninstall(again, L"D:\\other\\");
    wchar_t buffer[512] = {};
    DWORD bytes = sizeof(buffer);
    ASSERT_EQ(RegQueryValueExW(key.Get(), L"UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(buffer), L"D:\\other\\remtracks.exe");
    key.Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKeyPath);
}

using RecordFile = ComTest;

TEST_F(RecordFile, OneLineOfElementsWithEscapedText)
{
    struct {
        RemtrackList records;
        std::string body;
    } cases[] = {
        {{{L"tavrokil", 9}}, "<remtrack><Node><Name>tavrokil</Name><Type>9</Type></Node></remtrack>"},
        {{}, "<remtrack/>"},
        {{{L"C:\\a&b<c>\\程序", 4}, {L"dr", 7}, {L"dr", 7}},
         "<remtrack><Node><Name>C:\\a&amp;b&lt;c&gt;\\\xE7\xA8\x8B\xE5\xBA\x8F</Name><Type>4</Type></Node>"
         "<Node><Name>dr</Name><Type>7</Type></Node><Node><Name>dr</Name><Type>7</Type></Node></remtrack>"},
        {{{L"q\"'", -1}}, "<remtrack><Node><Name>q\"'</Name><Type>-1</Type></Node></remtrack>"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::wstring install = MakeTestFolder(L"xml");
        ComPtr<IXMLDOMDocument2> document;
        WriteRemtrackXml(cases[i].records, install, document);
        EXPECT_FALSE(document) << "row " << i;
        std::string bytes = ReadBytes(install + L"remtrack\\remtrack.xml");
        // The writer ends the line; the document itself is one line without a declaration.
        while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r'))
            bytes.pop_back();
        EXPECT_EQ(bytes, cases[i].body) << "row " << i;
        RemoveTree(install);
    }
}

TEST_F(RecordFile, ReplacesAnOlderFileAndEndsTheLineOnce)
{
    const std::wstring install = MakeTestFolder(L"xmlagain");
    ComPtr<IXMLDOMDocument2> document;
    WriteRemtrackXml({{L"first-run-name-that-is-long", 3}, {L"x", 4}}, install, document);
    WriteRemtrackXml({{L"tavrokil", 10}}, install, document);
    const std::string bytes = ReadBytes(install + L"remtrack\\remtrack.xml");
    const std::string body = "<remtrack><Node><Name>tavrokil</Name><Type>10</Type></Node></remtrack>";
    ASSERT_GE(bytes.size(), body.size());
    EXPECT_EQ(bytes.substr(0, body.size()), body);
    const std::string tail = bytes.substr(body.size());
    EXPECT_TRUE(tail == "\r\n" || tail == "\n" || tail.empty()) << "tail of " << tail.size() << " bytes";
    RemoveTree(install);
}

TEST_F(RecordFile, MissingInstallFolderWritesNothing)
{
    const std::wstring folder = MakeTestFolder(L"xmlmissing");
    const std::wstring install = folder + L"not-there\\";
    ComPtr<IXMLDOMDocument2> document;
    WriteRemtrackXml({{L"tavrokil", 9}}, install, document);
    EXPECT_FALSE(document);
    EXPECT_FALSE(PathExists(install));
    RemoveTree(folder);
}

} // namespace
