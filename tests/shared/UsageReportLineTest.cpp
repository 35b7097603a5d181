#include "shared/UsageReportLine.h"

#include <gtest/gtest.h>

namespace {

TEST(UsageReportLine, UserPrefix)
{
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"zc77", L"77"}, {L"ZC77", L"ZC77"}, {L"Zc77", L"Zc77"}, {L"z", L"z"}, {L"zc", L""},
        {L"", L""}, {L"zczc1", L"zc1"}, {L"77zc", L"77zc"}, {L"c77", L"c77"},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(StripReportUserPrefix(cases[i].in), cases[i].out) << "row " << i;
}

TEST(UsageReportLine, TimeIsLow32BitsSigned)
{
    const struct {
        int64_t seconds;
        const wchar_t* text;
    } cases[] = {
        {0, L"0"},
        {1765460000, L"1765460000"},
        {2147483647, L"2147483647"},
        {2147483648LL, L"-2147483648"},      // 2038-01-19 03:14:08 UTC
        {4294967296LL + 5, L"5"},
        {-1, L"-1"},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(FormatReportTime(cases[i].seconds), cases[i].text) << "row " << i;
}

TEST(UsageReportLine, LineAndUrl)
{
    const std::wstring line = BuildReportLine(L"dr", L"77", L"4", L"00-1A-2B-3C-4D-5E", L"1765460000");
    EXPECT_EQ(line, L"dr|77|4|159372|||||00-1A-2B-3C-4D-5E|1765460000");
    EXPECT_EQ(BuildReportUrl(L"http://127.0.0.1:18473", line, L"0123456789abcdef0123456789abcdef"),
              L"http://127.0.0.1:18473/receive/micoclient?log=dr|77|4|159372|||||00-1A-2B-3C-4D-5E|1765460000"
              L"|0123456789abcdef0123456789abcdef");
    // Nothing is escaped: a "|" in the user id shifts the later fields.
    EXPECT_EQ(BuildReportLine(L"dr", L"7|7", L"1", L"", L"9"), L"dr|7|7|1|159372||||||9");
}

} // namespace
