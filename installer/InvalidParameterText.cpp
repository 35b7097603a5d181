#include "installer/InvalidParameterText.h"

#include "framework/Text.h"

namespace {
std::string Printable(const wchar_t* text)
{
    return text ? WideToUtf8(text) : std::string("(null)");
}
}

std::string InvalidParameterText(const wchar_t* expression, const wchar_t* function,
                                 const wchar_t* file, unsigned line)
{
    // "%d" of the line number: the value as a signed 32-bit number.
    return "in expression " + Printable(expression) + ", function " + Printable(function) +
           ", file " + Printable(file) + ", line " + std::to_string(static_cast<int>(line)) + "\n";
}
