#include "installer/CrashHandlers.h"

#include "installer/InvalidParameterText.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS*)
{
    std::printf("%d", 5);
    std::fflush(stdout);
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnInvalidParameter(const wchar_t* expression, const wchar_t* function, const wchar_t* file,
                        unsigned line, uintptr_t)
{
    const std::string text = InvalidParameterText(expression, function, file, line);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

} // namespace

void InstallCrashHandlers()
{
    SetUnhandledExceptionFilter(OnUnhandledException);
    // The MinGW run time forwards this to msvcrt.dll where that has one, and keeps it for
    // its own checks otherwise.
    _set_invalid_parameter_handler(OnInvalidParameter);
}
