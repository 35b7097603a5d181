#include "shared/MachineId.h"
#include "shared/MachineIdSources.h"

#include "framework/Handles.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <nb30.h>
#include <snmp.h>

#include <cstring>
#include <memory>

namespace {

const DWORD kStatusBufferSize = 600;

std::wstring AnsiToWide(const char* text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1)
        return std::wstring();
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &out[0], n);
    out.resize(n - 1);
    return out;
}

// The MIB-II agent stays loaded for the rest of the process, as its bindings may point into it.
HMODULE MibAgent()
{
    static HMODULE module = LoadLibraryW(L"inetmib1.dll");
    return module;
}

template <class Function>
Function Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A variable binding whose name and value belong to the SNMP library.
class OwnedVarBind {
public:
    explicit OwnedVarBind(const UINT* ids, UINT count)
    {
        std::memset(&vb_, 0, sizeof vb_);
        AsnObjectIdentifier oid{count, const_cast<UINT*>(ids)};
        SnmpUtilOidCpy(&vb_.name, &oid);
    }
    OwnedVarBind(const OwnedVarBind&) = delete;
    OwnedVarBind& operator=(const OwnedVarBind&) = delete;
    ~OwnedVarBind() { SnmpUtilVarBindFree(&vb_); }
    SnmpVarBind& Get() { return vb_; }

private:
    SnmpVarBind vb_;
};

std::vector<uint32_t> OidComponents(const AsnObjectIdentifier& oid)
{
    if (!oid.ids)
        return {};
    return std::vector<uint32_t>(oid.ids, oid.ids + oid.idLength);
}

void MacBySnmp(std::wstring& result)
{
    HMODULE agent = MibAgent();
    if (!agent)
        return;
    auto init = Export<PFNSNMPEXTENSIONINIT>(agent, "SnmpExtensionInit");
    auto query = Export<PFNSNMPEXTENSIONQUERY>(agent, "SnmpExtensionQuery");
    if (!init || !query)
        return;
    HANDLE trapEvent = nullptr;
    AsnObjectIdentifier view{0, nullptr};
    if (!init(GetTickCount(), &trapEvent, &view))
        return;

    static const UINT ifNumber[8] = {1, 3, 6, 1, 2, 1, 2, 1};
    static const UINT ifType[10] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 3};
    static const UINT ifPhysAddress[10] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 6};

    long count = 0;
    {
        OwnedVarBind number(ifNumber, 8);
        SnmpVarBindList list{&number.Get(), 1};
        AsnInteger32 status = 0, index = 0;
        if (!query(SNMP_PDU_GETNEXT, &list, &status, &index) || status != SNMP_ERRORSTATUS_NOERROR)
            return;
        if (number.Get().value.asnType != ASN_INTEGER)
            return;
        count = number.Get().value.asnValue.number;
    }

    OwnedVarBind type(ifType, 10);
    OwnedVarBind address(ifPhysAddress, 10);
    SnmpVarBind binds[2];
    auto next = [&](SnmpIfRow& row) {
        binds[0] = type.Get();
        binds[1] = address.Get();
        SnmpVarBindList list{binds, 2};
        AsnInteger32 status = 0, index = 0;
        row.ok = query(SNMP_PDU_GETNEXT, &list, &status, &index) && status == SNMP_ERRORSTATUS_NOERROR;
        // The agent replaces names and values in place; keep what it wrote, so that both
        // bindings are freed once and the next request continues from here.
        type.Get() = binds[0];
        address.Get() = binds[1];
        if (!row.ok)
            return true;
        row.typeName = OidComponents(binds[0].name);
        if (binds[0].value.asnType == ASN_INTEGER)
            row.typeValue = binds[0].value.asnValue.number;
        row.addressName = OidComponents(binds[1].name);
        const AsnOctetString& bytes = binds[1].value.asnValue.address;
        if ((binds[1].value.asnType == ASN_OCTETSTRING || binds[1].value.asnType == ASN_IPADDRESS) && bytes.stream)
            row.address.assign(bytes.stream, bytes.stream + bytes.length);
        return true;
    };
    MacFromSnmpRows(count, next, result);
}

void MacByNetbios(std::wstring& result, unsigned char* scratch)
{
    LANA_ENUM lanas;
    std::memset(&lanas, 0, sizeof lanas);
    NCB ncb;
    std::memset(&ncb, 0, sizeof ncb);
    ncb.ncb_command = NCBENUM;
    ncb.ncb_buffer = reinterpret_cast<UCHAR*>(&lanas);
    ncb.ncb_length = sizeof lanas;
    if (Netbios(&ncb) != NRC_GOODRET)
        return;
    const size_t listed = lanas.length < sizeof lanas.lana ? lanas.length : sizeof lanas.lana;
    const std::vector<uint8_t> adapters(lanas.lana, lanas.lana + listed);

    auto reset = [&](uint8_t lana) {
        std::memset(&ncb, 0, sizeof ncb);
        ncb.ncb_command = NCBRESET;
        ncb.ncb_lana_num = lana;
        return Netbios(&ncb) == NRC_GOODRET;
    };
    auto status = [&](uint8_t lana, std::vector<uint8_t>& answer) {
        std::memset(&ncb, 0, sizeof ncb);
        ncb.ncb_command = NCBASTAT;
        ncb.ncb_lana_num = lana;
        ncb.ncb_callname[0] = '*';
        ncb.ncb_buffer = scratch;
        ncb.ncb_length = kStatusBufferSize;
        if (Netbios(&ncb) != NRC_GOODRET)
            return false;
        answer.assign(scratch, scratch + 6);
        return true;
    };
    MacFromNetbios(adapters, reset, status, result);
}

void MacByAdapterAddresses(std::wstring& result)
{
    ULONG size = sizeof(IP_ADAPTER_ADDRESSES);
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]());
    if (!buffer)
        return;
    ULONG rc = GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    if (rc == ERROR_BUFFER_OVERFLOW) {
        buffer.reset(new (std::nothrow) unsigned char[size]());
        if (!buffer)
            return;
        rc = GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    if (rc != NO_ERROR)
        return;
    std::vector<std::vector<uint8_t>> physical;
    for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()); a; a = a->Next) {
        const ULONG length = a->PhysicalAddressLength < MAX_ADAPTER_ADDRESS_LENGTH ? a->PhysicalAddressLength
                                                                                 : MAX_ADAPTER_ADDRESS_LENGTH;
        physical.emplace_back(a->PhysicalAddress, a->PhysicalAddress + length);
    }
    MacFromAdapterAddresses(physical, result);
}

class SystemSources : public MachineIdSources {
public:
    explicit SystemSources(unsigned char* scratch) : scratch_(scratch) {}
    bool StartSockets() override
    {
        // Never shut down: other parts of the process may rely on it afterwards.
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 0), &data) == 0;
    }
    void MacBySnmp(std::wstring& result) override { ::MacBySnmp(result); }
    void MacByNetbios(std::wstring& result) override { ::MacByNetbios(result, scratch_); }
    std::vector<stNetPcInfo> ListAdapters() override { return ::ListAdapters(); }
    void MacByAdapterAddresses(std::wstring& result) override { ::MacByAdapterAddresses(result); }

private:
    unsigned char* scratch_;
};

} // namespace

std::vector<stNetPcInfo> ListAdapters()
{
    std::vector<stNetPcInfo> adapters;
    ULONG size = sizeof(IP_ADAPTER_INFO);
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]());
    if (!buffer)
        return adapters;
    ULONG rc = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()), &size);
    if (rc == ERROR_BUFFER_OVERFLOW) {
        buffer.reset(new (std::nothrow) unsigned char[size]());
        if (!buffer)
            return adapters;
        rc = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()), &size);
    }
    if (rc != NO_ERROR)
        return adapters;
    for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()); a; a = a->Next) {
        AdapterRecord record;
        record.ipAddress = AnsiToWide(a->IpAddressList.IpAddress.String);
        record.ipMask = AnsiToWide(a->IpAddressList.IpMask.String);
        record.gateway = AnsiToWide(a->GatewayList.IpAddress.String);
        record.description = AnsiToWide(a->Description);
        record.adapterName = AnsiToWide(a->AdapterName);
        const UINT length = a->AddressLength < MAX_ADAPTER_ADDRESS_LENGTH ? a->AddressLength : MAX_ADAPTER_ADDRESS_LENGTH;
        record.address.assign(a->Address, a->Address + length);
        record.comboIndex = a->ComboIndex;
        record.type = a->Type;
        adapters.push_back(MakeNetPcInfo(record));
    }
    return adapters;
}

void GetMachineId(std::wstring& out, unsigned char* scratch)
{
    SystemSources sources(scratch);
    out = ResolveMachineId(sources);
}
