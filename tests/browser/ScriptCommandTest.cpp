#include "client/browser/ScriptCommand.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

TEST(ScriptCommand, NamesIgnoreCase)
{
    const struct {
        const wchar_t* name;
        long id;
    } cases[] = {
        {L"WD_JAPI", kDispIdWdJapi},  {L"wd_japi", kDispIdWdJapi},     {L"Wd_JaPi", kDispIdWdJapi},
        {L"API_close", kDispIdApiClose}, {L"API_CLOSE", kDispIdApiClose}, {L"WD_JAPI ", 0},
        {L"WDJAPI", 0},               {L"OpenGame", 0},               {L"", 0},
        {nullptr, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].id, LookupScriptName(cases[i].name)) << "row " << i;
}

TEST(ScriptCommand, ArgumentRolesByCount)
{
    const struct {
        unsigned count;
        unsigned command;
        bool hasParameter;
        unsigned parameter;
    } cases[] = {
        {1, 0, false, 0},
        {2, 1, true, 0}, // command written first, so stored last
        {3, 0, false, 0},
        {7, 0, false, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const ScriptArgRoles roles = WdJapiArgRoles(cases[i].count);
        EXPECT_EQ(cases[i].command, roles.command) << "row " << i;
        EXPECT_EQ(cases[i].hasParameter, roles.hasParameter) << "row " << i;
        if (roles.hasParameter) {
            EXPECT_EQ(cases[i].parameter, roles.parameter) << "row " << i;
        }
    }
}

TEST(ScriptCommand, KeywordsAreCaseSensitiveSubstringsInOrder)
{
    const struct {
        const wchar_t* command;
        ScriptCommand expected;
    } cases[] = {
        {L"getApiVersion", ScriptCommand::GetApiVersion},
        {L"OpenGame", ScriptCommand::OpenGame},
        {L"ShowBindBtn", ScriptCommand::ShowBindBtn},
        {L"CloseBindPage", ScriptCommand::CloseBindPage},
        {L"AccountBindSuccess", ScriptCommand::AccountBindSuccess},
        {L"AccountRegisterSuccess", ScriptCommand::AccountRegisterSuccess},
        {L"ShowIM", ScriptCommand::ShowIM},
        {L"DialogBoxTopInfo", ScriptCommand::DialogBoxTopInfo},
        {L"openPay", ScriptCommand::OpenPay},
        {L"closedBox", ScriptCommand::ClosedBox},
        {L"opengame", ScriptCommand::None},
        {L"OpenPay", ScriptCommand::None},
        {L"showim", ScriptCommand::None},
        {L"", ScriptCommand::None},
        {L"nothing here", ScriptCommand::None},
        {L"xxShowIMyy", ScriptCommand::ShowIM},
        {L"ShowBindBtnOpenGame", ScriptCommand::OpenGame},    // the earlier keyword wins
        {L"closedBoxgetApiVersion", ScriptCommand::GetApiVersion},
        {L"ShowIMDialogBoxTopInfo", ScriptCommand::ShowIM},
        {L"Open Game", ScriptCommand::None},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].expected, MatchScriptCommand(cases[i].command)) << "row " << i;
}

} // namespace
