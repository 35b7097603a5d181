#pragma once
#include <string>

// The line the installer prints when the run-time library reports an invalid parameter:
// "in expression %s, function %s, file %s, line %d\n". Release run times pass null for the
// three texts, which print as "(null)".
std::string InvalidParameterText(const wchar_t* expression, const wchar_t* function,
                                 const wchar_t* file, unsigned line);
