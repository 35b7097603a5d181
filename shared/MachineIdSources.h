#pragma once
#include "shared/MachineIdRules.h"

#include <string>
#include <vector>

// The sources of the machine identity, asked in the order of ResolveMachineId.
class MachineIdSources {
public:
    virtual ~MachineIdSources() = default;
    virtual bool StartSockets() = 0;
    virtual void MacBySnmp(std::wstring& result) = 0;
    virtual void MacByNetbios(std::wstring& result) = 0;
    virtual std::vector<stNetPcInfo> ListAdapters() = 0;
    virtual void MacByAdapterAddresses(std::wstring& result) = 0;
};

// SNMP, NetBIOS, the adapter list, SNMP again, the adapter addresses; each only while the
// result is still unset. The answer is upper case.
std::wstring ResolveMachineId(MachineIdSources& sources);
