#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The decisions of the machine identity over what the system answered, kept apart from the
// system queries so that they can be checked with made-up answers.

// The start value, which also means "no address found".
extern const wchar_t kUnsetMachineId[];

// "00-00-00-00-00-00" or empty.
bool IsUnsetMachineId(const std::wstring& id);

// Six bytes as "%02X-%02X-%02X-%02X-%02X-%02X".
std::wstring FormatMac6(const uint8_t* bytes);

// One adapter of the system's adapter list, its texts already in UTF-16.
struct stNetPcInfo {
    std::wstring ipAddress;
    std::wstring macAddress;
    std::wstring ipMask;
    std::wstring gateway;
    std::wstring description;
    std::wstring comboIndex;
    std::wstring adapterName;
    std::wstring typeName;
};

// What the adapter list reports about one adapter.
struct AdapterRecord {
    std::wstring ipAddress, ipMask, gateway, description, adapterName;
    std::vector<uint8_t> address;
    uint32_t comboIndex = 0;
    uint32_t type = 0;
};

std::wstring AdapterTypeName(uint32_t type);
stNetPcInfo MakeNetPcInfo(const AdapterRecord& record);

// The first adapter with an address whose description does not contain "VMware"
// (case-sensitive); false when there is none.
bool PickAdapterMac(const std::vector<stNetPcInfo>& adapters, std::wstring& result);

// One answer of the SNMP GETNEXT walk over ifType and ifPhysAddress.
struct SnmpIfRow {
    bool ok = false;             // the request succeeded
    std::vector<uint32_t> typeName;
    long typeValue = 0;
    std::vector<uint32_t> addressName;
    std::vector<uint8_t> address;
};

// Walks at most `count` rows from `next` (false: no more rows can be asked) and writes the
// first Ethernet interface with a usable address; true when one was found.
bool MacFromSnmpRows(long count, const std::function<bool(SnmpIfRow&)>& next, std::wstring& result);

// NetBIOS: the adapter numbers listed by NCBENUM, then a reset and an adapter-status query
// per adapter. Several adapters empty the result; a status answer gives its first six bytes.
void MacFromNetbios(const std::vector<uint8_t>& adapters, const std::function<bool(uint8_t)>& reset,
                    const std::function<bool(uint8_t, std::vector<uint8_t>&)>& status, std::wstring& result);

// The first adapter whose physical address has six bytes.
bool MacFromAdapterAddresses(const std::vector<std::vector<uint8_t>>& physical, std::wstring& result);
