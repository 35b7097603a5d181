#include "shared/UsageReportLine.h"

const wchar_t kReportSigningKey[] = L"Hn4vRb8Ye2Wu";

std::wstring StripReportUserPrefix(const std::wstring& userId)
{
    if (userId.compare(0, 2, L"zc") == 0)
        return userId.substr(2);
    return userId;
}

std::wstring FormatReportTime(int64_t seconds)
{
    const auto low = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(seconds)));
    return std::to_wstring(low);
}

std::wstring BuildReportLine(const std::wstring& gameCode, const std::wstring& userId,
                             const std::wstring& eventCode, const std::wstring& machineId,
                             const std::wstring& time)
{
    return gameCode + L"|" + userId + L"|" + eventCode + L"|159372|||||" + machineId + L"|" + time;
}

std::wstring BuildReportUrl(const std::wstring& base, const std::wstring& line,
                            const std::wstring& signature)
{
    return base + L"/receive/micoclient?log=" + line + L"|" + signature;
}
