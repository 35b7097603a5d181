#pragma once
#include <string>

// Builds, signs and sends one usage report to the build's usage-log host, on the calling
// thread. The answer is ignored and nothing is retried.
void SendUsageReport(std::wstring userId, std::wstring gameCode, std::wstring eventCode);

// The same report to another endpoint: base is "http://host[:port]".
void SendUsageReportTo(const std::wstring& base, std::wstring userId, std::wstring gameCode,
                       std::wstring eventCode);
