#pragma once
#include <string>

// Decoding rules of the script bridge that need no window: which script names exist, which
// element of a call's argument array is the command and which the parameter, and which
// operation a command word selects.

constexpr long kDispIdWdJapi = 1000;
constexpr long kDispIdApiClose = 1001;

// The dispatch id of a script name ("WD_JAPI", "API_close", compared ignoring case), or 0
// for any other name (null included).
long LookupScriptName(const wchar_t* name);

// Where WD_JAPI finds its strings in an argument array of count elements, stored last
// argument first. Two arguments: command = element 1 (the first the script wrote), parameter
// = element 0. Any other count: command = element 0, no parameter. count must be at least 1.
struct ScriptArgRoles {
    unsigned command;
    bool hasParameter;
    unsigned parameter;
};
ScriptArgRoles WdJapiArgRoles(unsigned count);

// The operation a WD_JAPI command selects. The keywords are tried in this order as
// case-sensitive substrings of the command; the first that occurs wins.
enum class ScriptCommand {
    None,
    GetApiVersion,          // "getApiVersion"
    OpenGame,               // "OpenGame"
    ShowBindBtn,            // "ShowBindBtn"
    CloseBindPage,          // "CloseBindPage"
    AccountBindSuccess,     // "AccountBindSuccess"
    AccountRegisterSuccess, // "AccountRegisterSuccess"
    ShowIM,                 // "ShowIM"
    DialogBoxTopInfo,       // "DialogBoxTopInfo"
    OpenPay,                // "openPay"
    ClosedBox,              // "closedBox"
};
ScriptCommand MatchScriptCommand(const std::wstring& command);
