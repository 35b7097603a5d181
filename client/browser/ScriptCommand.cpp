#include "client/browser/ScriptCommand.h"

#include "framework/Text.h"

long LookupScriptName(const wchar_t* name)
{
    if (!name)
        return 0;
    const std::wstring lower = AsciiLower(name);
    if (lower == L"wd_japi")
        return kDispIdWdJapi;
    if (lower == L"api_close")
        return kDispIdApiClose;
    return 0;
}

ScriptArgRoles WdJapiArgRoles(unsigned count)
{
    if (count == 2)
        return {1, true, 0};
    return {0, false, 0};
}

ScriptCommand MatchScriptCommand(const std::wstring& command)
{
    static const struct {
        const wchar_t* keyword;
        ScriptCommand command;
    } order[] = {
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
    };
    for (const auto& entry : order) {
        if (command.find(entry.keyword) != std::wstring::npos)
            return entry.command;
    }
    return ScriptCommand::None;
}
