#pragma once
#include <cstdarg>
#include <string>

// UTF-16 text helpers. std::wstring is the client's string type.

// Removes trailing, then leading characters of the wide white-space class.
std::wstring TrimWhite(const std::wstring& text);

// printf-style formatting into a string of whatever length the result needs.
std::wstring FormatText(const wchar_t* format, ...);
std::wstring FormatTextV(const wchar_t* format, va_list args);

// Conversions between UTF-16 and byte strings. Code pages are Windows code page numbers
// (CP_UTF8 is 65001, CP_ACP 0); the platform-free build knows UTF-8 only.
std::wstring Utf8ToWide(const std::string& bytes);
std::string WideToUtf8(const std::wstring& text);

// Lower-cases A-Z only, as the C library's towlower does in the default "C" locale.
std::wstring AsciiLower(std::wstring text);
