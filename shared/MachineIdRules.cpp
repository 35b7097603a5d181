#include "shared/MachineIdRules.h"

#include "framework/Text.h"

#include <algorithm>

const wchar_t kUnsetMachineId[] = L"00-00-00-00-00-00";

namespace {

const uint32_t kIfType[10] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 3};
const uint32_t kIfPhysAddress[10] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 6};
const long kEthernetCsmacd = 6;

bool StartsWith(const std::vector<uint32_t>& oid, const uint32_t (&prefix)[10])
{
    return oid.size() >= 10 && std::equal(prefix, prefix + 10, oid.begin());
}

bool UsableSnmpRow(const SnmpIfRow& row)
{
    if (!row.ok || !StartsWith(row.typeName, kIfType) || row.typeValue != kEthernetCsmacd)
        return false;
    if (!StartsWith(row.addressName, kIfPhysAddress) || row.address.size() < 6)
        return false;
    // Dial-up adapters carry "DEST\0" in place of an address.
    static const uint8_t dest[5] = {'D', 'E', 'S', 'T', 0};
    if (std::equal(dest, dest + 5, row.address.begin()))
        return false;
    return !std::all_of(row.address.begin(), row.address.begin() + 6, [](uint8_t b) { return b == 0; });
}

} // namespace

bool IsUnsetMachineId(const std::wstring& id)
{
    return id.empty() || id == kUnsetMachineId;
}

std::wstring FormatMac6(const uint8_t* b)
{
    return FormatText(L"%02X-%02X-%02X-%02X-%02X-%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
}

std::wstring AdapterTypeName(uint32_t type)
{
    switch (type) {
    case 1: return L"其它";
    case 6: return L"以太网";
    case 9: return L"令牌环";
    case 15: return L"FDDI";
    case 23: return L"PPP";
    case 24: return L"回路";
    case 28: return L"Slip";
    default: return FormatText(L"未知类型 %ld", static_cast<long>(type));
    }
}

stNetPcInfo MakeNetPcInfo(const AdapterRecord& record)
{
    stNetPcInfo info;
    info.ipAddress = record.ipAddress;
    for (size_t i = 0; i < record.address.size(); ++i) {
        if (i > 0)
            info.macAddress += L"-";
        info.macAddress += FormatText(L"%.2X", record.address[i]);
    }
    info.ipMask = record.ipMask;
    info.gateway = record.gateway;
    info.description = record.description;
    info.comboIndex = FormatText(L"%d", static_cast<int>(record.comboIndex));
    info.adapterName = record.adapterName;
    info.typeName = AdapterTypeName(record.type);
    return info;
}

bool PickAdapterMac(const std::vector<stNetPcInfo>& adapters, std::wstring& result)
{
    for (const stNetPcInfo& a : adapters) {
        if (a.macAddress.empty() || a.description.find(L"VMware") != std::wstring::npos)
            continue;
        result = a.macAddress;
        return true;
    }
    return false;
}

bool MacFromSnmpRows(long count, const std::function<bool(SnmpIfRow&)>& next, std::wstring& result)
{
    for (long i = 0; i < count; ++i) {
        SnmpIfRow row;
        if (!next(row))
            return false;
        if (!UsableSnmpRow(row))
            continue;
        result = FormatMac6(row.address.data());
        return true;
    }
    return false;
}

void MacFromNetbios(const std::vector<uint8_t>& adapters, const std::function<bool(uint8_t)>& reset,
                    const std::function<bool(uint8_t, std::vector<uint8_t>&)>& status, std::wstring& result)
{
    if (adapters.size() > 1) {
        result.clear();
        return;
    }
    for (uint8_t lana : adapters) {
        if (!reset(lana))
            continue;
        std::vector<uint8_t> answer;
        if (!status(lana, answer) || answer.size() < 6)
            return;
        result = FormatMac6(answer.data());
    }
}

bool MacFromAdapterAddresses(const std::vector<std::vector<uint8_t>>& physical, std::wstring& result)
{
    for (const auto& address : physical) {
        if (address.size() != 6)
            continue;
        result = FormatMac6(address.data());
        return true;
    }
    return false;
}
