#include "shared/Md5HexDigest.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(Md5HexDigest, AnsiBytesOfTheText)
{
    // The Chinese rows are the code-page-936 bytes; elsewhere they would hash other bytes.
    ASSERT_EQ(GetACP(), 936u) << "these tests need ANSI code page 936 (run them through tools/test.sh)";
    const struct {
        const wchar_t* text;
        const wchar_t* digest;
    } cases[] = {
        {L"", L"d41d8cd98f00b204e9800998ecf8427e"},
        {L"abc", L"900150983cd24fb0d6963f7d28e17f72"},
        {L"中文", L"bcce109775e8e1972e9f5fcda3e12895"},          // D6 D0 CE C4
        {L"dr|测试|4", L"f47cf2c7b56d6397e1eab7f3c85ef69c"},
        {L"dr|77|4|159372|||||00-1A-2B-3C-4D-5E|1765460000Hn4vRb8Ye2Wu", L"9f3b6b249f84949a922d0f8049b73be7"},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Md5HexDigest(cases[i].text), cases[i].digest) << "row " << i;
}

TEST(Md5HexDigest, StopsAtAZeroCharacter)
{
    EXPECT_EQ(Md5HexDigest(std::wstring(L"abc\0def", 7)), L"900150983cd24fb0d6963f7d28e17f72");
}

} // namespace
