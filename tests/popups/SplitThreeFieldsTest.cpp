#include "client/popups/SplitThreeFields.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

TEST(SplitThreeFields, TableOfTexts)
{
    const struct {
        const wchar_t* text;
        bool split;
        const wchar_t* f1;
        const wchar_t* f2;
        const wchar_t* f3;
    } cases[] = {
        {L"one|two|three", true, L"one", L"two", L"three"},
        {L"one|three", true, L"one", L"", L"three"},
        {L"one|two|three|four", true, L"one", L"two", L"three|four"},
        {L"one||three", true, L"one", L"", L"three"},
        {L"|", true, L"", L"", L""},
        {L"||", true, L"", L"", L""},
        {L"u|", true, L"u", L"", L""},
        {L"|s", true, L"", L"", L"s"},
        {L"http://g/?a=1|x|服务器一", true, L"http://g/?a=1", L"x", L"服务器一"},
        // No bar: the outputs keep what they held.
        {L"", false, L"keep1", L"keep2", L"keep3"},
        {L"http://g/only", false, L"keep1", L"keep2", L"keep3"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::wstring f1 = L"keep1", f2 = L"keep2", f3 = L"keep3";
        EXPECT_EQ(cases[i].split, SplitThreeFields(cases[i].text, f1, f2, f3)) << "row " << i;
        EXPECT_EQ(cases[i].f1, f1) << "row " << i;
        EXPECT_EQ(cases[i].f2, f2) << "row " << i;
        EXPECT_EQ(cases[i].f3, f3) << "row " << i;
    }
}

} // namespace
