#pragma once
#include <string>

// MD5 of the text's bytes in the system's ANSI code page, as 32 lower-case hex digits.
std::wstring Md5HexDigest(const std::wstring& text);
