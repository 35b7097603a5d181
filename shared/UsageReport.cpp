#include "shared/UsageReport.h"

#include "shared/HttpClient.h"
#include "shared/MachineId.h"
#include "shared/Md5HexDigest.h"
#include "shared/UsageReportLine.h"

#include "DuskHosts.h"

#include <ctime>

void SendUsageReport(std::wstring userId, std::wstring gameCode, std::wstring eventCode)
{
    SendUsageReportTo(std::wstring(L"http://") + DUSK_LOG_HOST, std::move(userId), std::move(gameCode),
                      std::move(eventCode));
}

void SendUsageReportTo(const std::wstring& base, std::wstring userId, std::wstring gameCode,
                       std::wstring eventCode)
{
    const std::wstring user = StripReportUserPrefix(userId);
    unsigned char scratch[600];
    std::wstring machineId;
    GetMachineId(machineId, scratch);
    const std::wstring line =
        BuildReportLine(gameCode, user, eventCode, machineId, FormatReportTime(static_cast<int64_t>(std::time(nullptr))));
    const std::wstring signature = Md5HexDigest(line + kReportSigningKey);
    CHttpClient client;
    std::wstring body;
    client.HttpGet(BuildReportUrl(base, line, signature), body);
}
