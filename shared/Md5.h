#pragma once
#include <string>

// MD5 (RFC 1321) of a byte string, as 32 lower-case hexadecimal digits.
std::string Md5Hex(const std::string& bytes);
