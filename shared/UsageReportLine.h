#pragma once
#include <cstdint>
#include <string>

// The text rules of the usage report: the signed "|"-separated line and its request address.

// Appended to the line before it is hashed into the signature.
extern const wchar_t kReportSigningKey[];

// Removes a leading "zc" (exactly those two lower-case letters) from a user id.
std::wstring StripReportUserPrefix(const std::wstring& userId);

// Seconds since 1970 as the report prints them: the low 32 bits as a signed decimal number.
std::wstring FormatReportTime(int64_t seconds);

// "game|user|event|159372|||||machine|time"; the fields go in as they are, unescaped.
std::wstring BuildReportLine(const std::wstring& gameCode, const std::wstring& userId,
                             const std::wstring& eventCode, const std::wstring& machineId,
                             const std::wstring& time);

// base + "/receive/micoclient?log=" + line + "|" + signature, with no percent-encoding.
std::wstring BuildReportUrl(const std::wstring& base, const std::wstring& line,
                            const std::wstring& signature);
