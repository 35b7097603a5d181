#include "client/app/FrameConfiguration.h"
#include "tests/app/ClientTestEnvironment.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

class FrameConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override { ini = MakeTestFolder(L"ini") + L"static.ini"; }
    void TearDown() override { DeleteFileW(ini.c_str()); }

    void Write(const wchar_t* key, const wchar_t* value) { WritePrivateProfileStringW(L"dr", key, value, ini.c_str()); }
    std::wstring Read(const wchar_t* key) { return ReadIniString(ini, key, L"<none>"); }

    std::wstring ini;
};

TEST_F(FrameConfigurationTest, FirstRunSplitsTheInstallerNameAndWritesItBack)
{
    const struct {
        const wchar_t* filename;
        const wchar_t* uid;
        const wchar_t* suid;
    } rows[] = {
        {L"77_5.exe", L"77", L"5"},  {L"abc.exe", L"abc", L""},   {L"a_b_c.exe", L"a", L"b_c"},
        {L"x.y_z.exe", L"x.y", L"z"}, {L"_9.exe", L"", L"9"},     {L"loose", L"loose", L""},
        {L"", L"", L""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        DeleteFileW(ini.c_str());
        Write(L"start", L"0");
        Write(L"filename", rows[i].filename);
        Write(L"uid", L"");
        const FrameConfiguration c = LoadFrameConfiguration(ini);
        EXPECT_EQ(c.uid, rows[i].uid) << "row " << i;
        EXPECT_EQ(c.suid, rows[i].suid) << "row " << i;
        EXPECT_EQ(Read(L"start"), L"1") << "row " << i;
        EXPECT_EQ(Read(L"filename"), rows[i].suid) << "row " << i;
        EXPECT_EQ(Read(L"uid"), rows[i].uid) << "row " << i;
    }
}

TEST_F(FrameConfigurationTest, AfterTheFirstRunValuesAreTakenAsTheyStandAndNothingIsWritten)
{
    Write(L"start", L"1");
    Write(L"filename", L"77_5.exe");
    Write(L"uid", L"zc9");
    const std::string before = ReadBytes(ini);
    const FrameConfiguration c = LoadFrameConfiguration(ini);
    EXPECT_EQ(c.uid, L"zc9");
    EXPECT_EQ(c.suid, L"77_5.exe");
    EXPECT_EQ(ReadBytes(ini), before);
}

TEST_F(FrameConfigurationTest, StartOtherThanOneIsAFirstRun)
{
    for (const wchar_t* start : {L"0", L"2", L"-1", L"x", L""}) {
        Write(L"start", start);
        Write(L"filename", L"12_ab.exe");
        const FrameConfiguration c = LoadFrameConfiguration(ini);
        EXPECT_EQ(c.uid, L"12") << start;
        EXPECT_EQ(Read(L"start"), L"1") << start;
    }
}

TEST_F(FrameConfigurationTest, MissingFileGetsDefaultsAndIsCreatedWithThreeKeys)
{
    const FrameConfiguration c = LoadFrameConfiguration(ini);
    EXPECT_EQ(c.bossKey, 121);
    EXPECT_EQ(c.bossKeyName, L"F10");
    EXPECT_EQ(c.uid, L"");
    EXPECT_EQ(c.suid, L"");
    wchar_t keys[512] = {};
    const DWORD n = GetPrivateProfileStringW(L"dr", nullptr, L"", keys, 512, ini.c_str());
    std::wstring list(keys, n);
    EXPECT_EQ(list, std::wstring(L"start\0filename\0uid\0", 19));
    EXPECT_EQ(Read(L"start"), L"1");
}

TEST_F(FrameConfigurationTest, BossKeyFromHotkeyAndHotName)
{
    const struct {
        const wchar_t* hotkey;
        int bossKey;
    } rows[] = {{L"", -1}, {L"F10", 0}, {L"196729", (3 << 16) | 0x79}, {L"  66", 66}};
    for (size_t i = 0; i < std::size(rows); ++i) {
        Write(L"hotkey", rows[i].hotkey);
        Write(L"hotName", L"Ctrl+Shift+F10");
        const FrameConfiguration c = LoadFrameConfiguration(ini);
        EXPECT_EQ(c.bossKey, rows[i].bossKey) << "row " << i;
        EXPECT_EQ(c.bossKeyName, L"Ctrl+Shift+F10") << "row " << i;
    }
}

TEST_F(FrameConfigurationTest, ValuesAreCutAt259Characters)
{
    const std::wstring longName(400, L'u');
    Write(L"start", L"1");
    Write(L"uid", longName.c_str());
    EXPECT_EQ(LoadFrameConfiguration(ini).uid, std::wstring(259, L'u'));
}

TEST_F(FrameConfigurationTest, ChineseFileNameSurvivesTheRoundTrip)
{
    // The profile functions write the ANSI code page: on a Chinese system 936.
    ASSERT_EQ(GetACP(), 936u);
    Write(L"filename", L"玩家_渠道.exe");
    const FrameConfiguration c = LoadFrameConfiguration(ini);
    EXPECT_EQ(c.uid, L"玩家");
    EXPECT_EQ(c.suid, L"渠道");
    EXPECT_EQ(Read(L"filename"), L"渠道");
}

TEST(FrameConfiguration, EmptyIniPathReadsNothingAndWritesNothing)
{
    EXPECT_EQ(ReadIniString(L"", L"hotkey", L"121"), L"");
    const FrameConfiguration c = LoadFrameConfiguration(L"");
    EXPECT_EQ(c.bossKey, -1);
    EXPECT_EQ(c.bossKeyName, L"");
    EXPECT_EQ(c.uid, L"");
}

} // namespace
