#pragma once
#include "shared/MachineIdRules.h"

#include <string>
#include <vector>

// The address of one network adapter as "00-1A-2B-3C-4D-5E", from the first of the system's
// sources that knows one; "00-00-00-00-00-00" (or empty, see MacFromNetbios) when none does.
// scratch receives the NetBIOS adapter status and must hold at least 600 bytes.
void GetMachineId(std::wstring& out, unsigned char* scratch);

// The system's adapter list (GetAdaptersInfo), in its order.
std::vector<stNetPcInfo> ListAdapters();
