#include "shared/MachineIdRules.h"
#include "shared/MachineIdSources.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

const std::vector<uint32_t> kType = {1, 3, 6, 1, 2, 1, 2, 2, 1, 3, 1};
const std::vector<uint32_t> kAddress = {1, 3, 6, 1, 2, 1, 2, 2, 1, 6, 1};
const std::vector<uint8_t> kMac = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};

SnmpIfRow Row(std::vector<uint8_t> address, long type = 6, std::vector<uint32_t> typeName = kType,
              std::vector<uint32_t> addressName = kAddress, bool ok = true)
{
    SnmpIfRow row;
    row.ok = ok;
    row.typeName = std::move(typeName);
    row.typeValue = type;
    row.addressName = std::move(addressName);
    row.address = std::move(address);
    return row;
}

// Runs the walk over fixed rows; returns the result and how many rows were asked for.
std::pair<std::wstring, size_t> Walk(long count, std::vector<SnmpIfRow> rows)
{
    std::wstring result = kUnsetMachineId;
    size_t asked = 0;
    MacFromSnmpRows(count, [&](SnmpIfRow& row) {
        if (asked >= rows.size())
            return false;
        row = rows[asked++];
        return true;
    }, result);
    return {result, asked};
}

TEST(MachineIdRules, SnmpWalk)
{
    const std::vector<uint8_t> zero(6, 0);
    const std::vector<uint8_t> dest = {'D', 'E', 'S', 'T', 0, 9};
    const std::vector<uint8_t> other = {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    const struct {
        long count;
        std::vector<SnmpIfRow> rows;
        const wchar_t* result;
        size_t asked;
    } cases[] = {
        {2, {Row(zero), Row(kMac)}, L"00-1A-2B-3C-4D-5E", 2},             // all-zero first interface
        {3, {Row(dest), Row(other), Row(kMac)}, L"AA-BB-CC-DD-EE-FF", 2},  // dial-up adapter skipped
        {1, {Row(zero), Row(kMac)}, kUnsetMachineId, 1},                   // at most ifNumber rows
        {0, {Row(kMac)}, kUnsetMachineId, 0},
        {2, {Row(kMac, 24), Row(other)}, L"AA-BB-CC-DD-EE-FF", 2},         // loopback type
        {2, {Row(kMac, 6, {1, 3, 6, 1, 2, 1, 2, 2, 1, 4, 1}), Row(other)}, L"AA-BB-CC-DD-EE-FF", 2},
        {2, {Row(kMac, 6, kType, {1, 3, 6, 1, 2, 1, 2, 2, 1, 7, 1}), Row(other)}, L"AA-BB-CC-DD-EE-FF", 2},
        {2, {Row(kMac, 6, kType, {1, 3, 6, 1}), Row(other)}, L"AA-BB-CC-DD-EE-FF", 2},  // short name
        {2, {Row({}), Row(other)}, L"AA-BB-CC-DD-EE-FF", 2},               // no data
        {2, {Row({1, 2, 3}), Row(other)}, L"AA-BB-CC-DD-EE-FF", 2},        // too short to read six bytes
        {2, {Row(kMac, 6, kType, kAddress, false), Row(other)}, L"AA-BB-CC-DD-EE-FF", 2},  // failed request
        {5, {Row(zero)}, kUnsetMachineId, 1},                              // agent has nothing more
        {1, {Row({0, 0, 0, 0, 0, 0, 7, 7})}, kUnsetMachineId, 1},          // only the first six count
        {1, {Row({1, 2, 3, 4, 5, 6, 7, 8})}, L"01-02-03-04-05-06", 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto [result, asked] = Walk(cases[i].count, cases[i].rows);
        EXPECT_EQ(result, cases[i].result) << "row " << i;
        EXPECT_EQ(asked, cases[i].asked) << "row " << i;
    }
}

TEST(MachineIdRules, Netbios)
{
    const struct {
        std::vector<uint8_t> adapters;
        bool resetOk;
        bool statusOk;
        const wchar_t* result;
        int statusCalls;
    } cases[] = {
        {{3}, true, true, L"00-1A-2B-3C-4D-5E", 1},
        {{0, 1}, true, true, L"", 0},                    // several adapters empty the result
        {{}, true, true, kUnsetMachineId, 0},
        {{3}, false, true, kUnsetMachineId, 0},          // reset failed: next adapter (none)
        {{3}, true, false, kUnsetMachineId, 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::wstring result = kUnsetMachineId;
        int statusCalls = 0;
        MacFromNetbios(cases[i].adapters, [&](uint8_t) { return cases[i].resetOk; },
                       [&](uint8_t lana, std::vector<uint8_t>& answer) {
                           ++statusCalls;
                           EXPECT_EQ(lana, cases[i].adapters[0]) << "row " << i;
                           answer = kMac;
                           answer.resize(600, 0x77);
                           return cases[i].statusOk;
                       },
                       result);
        EXPECT_EQ(result, cases[i].result) << "row " << i;
        EXPECT_EQ(statusCalls, cases[i].statusCalls) << "row " << i;
    }
}

stNetPcInfo Adapter(const wchar_t* description, std::vector<uint8_t> address)
{
    AdapterRecord record;
    record.description = description;
    record.address = std::move(address);
    record.type = 6;
    return MakeNetPcInfo(record);
}

TEST(MachineIdRules, AdapterListChoice)
{
    const struct {
        std::vector<stNetPcInfo> adapters;
        bool found;
        const wchar_t* result;
    } cases[] = {
        {{Adapter(L"VMware Virtual Ethernet Adapter for VMnet8", {1, 1, 1, 1, 1, 1}), Adapter(L"Realtek PCIe GbE", kMac)},
         true, L"00-1A-2B-3C-4D-5E"},
        {{Adapter(L"vmware adapter", kMac), Adapter(L"Realtek", {1, 1, 1, 1, 1, 1})}, true, L"00-1A-2B-3C-4D-5E"},
        {{Adapter(L"Intel", {}), Adapter(L"Realtek", kMac)}, true, L"00-1A-2B-3C-4D-5E"},
        {{Adapter(L"Wireless", {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x6f, 0x70})}, true, L"00-1A-2B-3C-4D-5E-6F-70"},
        {{Adapter(L"Firewire", {0xab})}, true, L"AB"},
        {{Adapter(L"My VMware NIC", kMac)}, false, L"before"},
        {{}, false, L"before"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::wstring result = L"before";
        EXPECT_EQ(PickAdapterMac(cases[i].adapters, result), cases[i].found) << "row " << i;
        EXPECT_EQ(result, cases[i].result) << "row " << i;
    }
    EXPECT_EQ(Adapter(L"x", {0, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x6f, 0x70}).macAddress.size(), 23u);
}

TEST(MachineIdRules, NetPcInfoRecord)
{
    AdapterRecord record;
    record.ipAddress = L"192.168.1.20";
    record.ipMask = L"255.255.255.0";
    record.gateway = L"192.168.1.1";
    record.description = L"Realtek 网卡";
    record.adapterName = L"{4D36E972-E325-11CE-BFC1-08002BE10318}";
    record.address = {0x0a, 0xff, 0, 1, 2, 3};
    record.comboIndex = 4294967295u;
    record.type = 71;
    const stNetPcInfo info = MakeNetPcInfo(record);
    EXPECT_EQ(info.ipAddress, L"192.168.1.20");
    EXPECT_EQ(info.macAddress, L"0A-FF-00-01-02-03");
    EXPECT_EQ(info.ipMask, L"255.255.255.0");
    EXPECT_EQ(info.gateway, L"192.168.1.1");
    EXPECT_EQ(info.description, L"Realtek 网卡");
    EXPECT_EQ(info.comboIndex, L"-1");
    EXPECT_EQ(info.adapterName, L"{4D36E972-E325-11CE-BFC1-08002BE10318}");
    EXPECT_EQ(info.typeName, L"未知类型 71");

    const struct {
        uint32_t type;
        const wchar_t* name;
    } names[] = {{1, L"其它"}, {6, L"以太网"}, {9, L"令牌环"}, {15, L"FDDI"}, {23, L"PPP"},
                 {24, L"回路"}, {28, L"Slip"}, {0, L"未知类型 0"}, {2147483647u, L"未知类型 2147483647"}};
    for (size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(AdapterTypeName(names[i].type), names[i].name) << "row " << i;
}

TEST(MachineIdRules, AdapterAddresses)
{
    std::wstring result = kUnsetMachineId;
    EXPECT_FALSE(MacFromAdapterAddresses({{}, {1, 2, 3, 4, 5, 6, 7, 8}}, result));
    EXPECT_EQ(result, kUnsetMachineId);
    EXPECT_TRUE(MacFromAdapterAddresses({{}, {1, 2, 3, 4, 5, 6, 7, 8}, kMac, {9, 9, 9, 9, 9, 9}}, result));
    EXPECT_EQ(result, L"00-1A-2B-3C-4D-5E");
}

// Scripted sources that record the order in which they were asked.
class FakeSources : public MachineIdSources {
public:
    bool sockets = true;
    std::deque<std::wstring> snmp;       // one answer per SNMP call ("" = finds nothing)
    const wchar_t* netbios = nullptr;    // null = finds nothing
    std::vector<stNetPcInfo> adapters;
    const wchar_t* addresses = nullptr;
    std::wstring calls;

    bool StartSockets() override
    {
        calls += L"W";
        return sockets;
    }
    void MacBySnmp(std::wstring& result) override
    {
        calls += L"S";
        if (!snmp.empty()) {
            if (!snmp.front().empty())
                result = snmp.front();
            snmp.pop_front();
        }
    }
    void MacByNetbios(std::wstring& result) override
    {
        calls += L"N";
        if (netbios)
            result = netbios;
    }
    std::vector<stNetPcInfo> ListAdapters() override
    {
        calls += L"L";
        return adapters;
    }
    void MacByAdapterAddresses(std::wstring& result) override
    {
        calls += L"A";
        if (addresses)
            result = addresses;
    }
};

TEST(MachineIdRules, SourceOrder)
{
    {
        FakeSources s;
        s.snmp = {L"00-1a-2b-3c-4d-5e"};
        EXPECT_EQ(ResolveMachineId(s), L"00-1A-2B-3C-4D-5E");
        EXPECT_EQ(s.calls, L"WS");
    }
    {
        // No SNMP, two NetBIOS adapters: the adapter list decides.
        FakeSources s;
        s.netbios = L"";
        s.adapters = {Adapter(L"VMware", {1, 1, 1, 1, 1, 1}), Adapter(L"Intel", kMac)};
        EXPECT_EQ(ResolveMachineId(s), L"00-1A-2B-3C-4D-5E");
        EXPECT_EQ(s.calls, L"WSNL");
    }
    {
        // SNMP answers only the second time round.
        FakeSources s;
        s.snmp = {L"", L"AA-BB-CC-DD-EE-FF"};
        EXPECT_EQ(ResolveMachineId(s), L"AA-BB-CC-DD-EE-FF");
        EXPECT_EQ(s.calls, L"WSNLWS");
    }
    {
        FakeSources s;
        s.sockets = false;
        s.addresses = L"0a-0b-0c-0d-0e-0f";
        EXPECT_EQ(ResolveMachineId(s), L"0A-0B-0C-0D-0E-0F");
        EXPECT_EQ(s.calls, L"WNLWA");
    }
    {
        // Everything fails.
        FakeSources s;
        EXPECT_EQ(ResolveMachineId(s), L"00-00-00-00-00-00");
        EXPECT_EQ(s.calls, L"WSNLWSA");
    }
    {
        // NetBIOS saw several adapters and nothing later found one: the result stays empty.
        FakeSources s;
        s.netbios = L"";
        EXPECT_EQ(ResolveMachineId(s), L"");
        EXPECT_EQ(s.calls, L"WSNLWSA");
    }
}

} // namespace
