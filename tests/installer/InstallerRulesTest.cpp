#include "installer/InstallerNames.h"
#include "installer/InvalidParameterText.h"
#include "installer/RemtrackInfo.h"
#include "installer/VersionRules.h"

#include <gtest/gtest.h>

namespace {

struct VersionCase {
    unsigned long platform, major, minor;
    bool windows7, vistaLineage;
};

// platform 2 is NT, 1 the 9x line.
const VersionCase kVersionCases[] = {
    {2, 6, 1, true, true},    // Windows 7
    {2, 6, 0, false, true},   // Vista
    {2, 6, 2, false, true},   // Windows 8
    {2, 6, 3, false, true},   // Windows 8.1
    {2, 6, 4, false, false},  // 10 technical preview
    {2, 10, 0, false, true},  // Windows 10 as its manifest-aware programs see it
    {2, 5, 1, false, false},  // XP
    {2, 5, 2, false, false},  // Server 2003
    {1, 6, 1, false, true},   // 6.1 off the NT platform: not Windows 7, still the lineage rule
    {2, 7, 1, false, true},
};

TEST(InstallerVersionRules, TableOfSystems)
{
    for (size_t i = 0; i < std::size(kVersionCases); ++i) {
        const VersionCase& c = kVersionCases[i];
        EXPECT_EQ(IsWindows7Version(c.platform, c.major, c.minor), c.windows7) << "row " << i;
        EXPECT_EQ(IsVistaLineageVersion(c.major, c.minor), c.vistaLineage) << "row " << i;
    }
}

struct NameCase {
    const wchar_t* modulePath;
    const wchar_t* fileName;
    const wchar_t* channel;
};

const NameCase kNameCases[] = {
    {L"C:\\Downloads\\zc17_setup.exe", L"zc17_setup.exe", L"zc17"},
    {L"C:\\setup.exe", L"setup.exe", L"setup"},
    {L"C:\\a\\b\\plain", L"plain", L"plain"},
    {L"_9.exe", L"_9.exe", L""},
    {L"C:\\x.y_z.exe", L"x.y_z.exe", L"x.y"},
    {L"C:\\dir.v2\\77_5.exe", L"77_5.exe", L"77"},
    {L"C:\\trailing\\", L"", L""},
    {L"D:\\渠道_安装.exe", L"渠道_安装.exe", L"渠道"},
};

TEST(InstallerNames, FileNameAndChannelCode)
{
    for (size_t i = 0; i < std::size(kNameCases); ++i) {
        const std::wstring name = FileNamePart(kNameCases[i].modulePath);
        EXPECT_EQ(name, kNameCases[i].fileName) << "row " << i;
        EXPECT_EQ(ChannelCode(name), kNameCases[i].channel) << "row " << i;
    }
}

TEST(InstallerNames, NothingIsBuiltOnAnUnresolvedFolder)
{
    EXPECT_EQ(PathBelow(L"C:\\users\\p\\AppData\\Roaming", L"Vantory"), L"C:\\users\\p\\AppData\\Roaming\\Vantory");
    EXPECT_EQ(PathBelow(L"", L"Vantory"), L"");
    EXPECT_EQ(PathBelow(L"", L"Duskreign.lnk"), L"");
}

TEST(RemtrackRecords, EmptyNamesAreNotRecordedAndOrderIsKept)
{
    RemtrackList records;
    AddRemtrackRecord(records, L"tavrokil", kRemtrackUninstallKey);
    AddRemtrackRecord(records, L"", kRemtrackChannel);
    AddRemtrackRecord(records, L"dr", kRemtrackGameCode);
    AddRemtrackRecord(records, L"dr", kRemtrackGameCode);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, L"tavrokil");
    EXPECT_EQ(records[0].type, 9);
    EXPECT_EQ(records[1].type, 7);
    EXPECT_EQ(records[2].name, L"dr");
}

TEST(InvalidParameterText, PrintsNullTextsSafely)
{
    EXPECT_EQ(InvalidParameterText(nullptr, nullptr, nullptr, 0),
              "in expression (null), function (null), file (null), line 0\n");
    EXPECT_EQ(InvalidParameterText(L"buf != 0", L"strcpy_s", L"str.c", 42),
              "in expression buf != 0, function strcpy_s, file str.c, line 42\n");
    EXPECT_EQ(InvalidParameterText(L"\u7A0B", nullptr, L"f", 0xFFFFFFFFu),
              "in expression \xE7\xA8\x8B, function (null), file f, line -1\n");
}

} // namespace
