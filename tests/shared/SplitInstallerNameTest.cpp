#include "shared/SplitInstallerName.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const wchar_t* name;
    const wchar_t* uid;
    const wchar_t* suid;
};

const SplitCase kSplitCases[] = {
    {L"77_5.exe", L"77", L"5"},
    {L"abc.exe", L"abc", L""},
    {L"a_b_c.exe", L"a", L"b_c"},
    {L"x.y_z.exe", L"x.y", L"z"},
    {L"_9.exe", L"", L"9"},
    {L"plainname", L"plainname", L""},
    {L"zc17_setup.exe", L"zc17", L"setup"},
    {L"77_.exe", L"77", L""},
    {L"no_dot", L"no", L"dot"},
    {L".exe", L"", L""},
};

TEST(SplitInstallerName, TableOfNames)
{
    for (size_t i = 0; i < std::size(kSplitCases); ++i) {
        std::wstring name = kSplitCases[i].name;
        std::wstring uid = L"stale";
        SplitInstallerName(name, uid);
        EXPECT_EQ(uid, kSplitCases[i].uid) << "row " << i;
        EXPECT_EQ(name, kSplitCases[i].suid) << "row " << i;
    }
}

} // namespace
