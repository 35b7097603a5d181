#include "shared/MachineIdSources.h"

namespace {

std::wstring AsciiUpper(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

} // namespace

std::wstring ResolveMachineId(MachineIdSources& sources)
{
    std::wstring result = kUnsetMachineId;
    if (sources.StartSockets())
        sources.MacBySnmp(result);
    if (IsUnsetMachineId(result))
        sources.MacByNetbios(result);
    if (IsUnsetMachineId(result))
        PickAdapterMac(sources.ListAdapters(), result);
    if (IsUnsetMachineId(result) && sources.StartSockets())
        sources.MacBySnmp(result);
    if (IsUnsetMachineId(result))
        sources.MacByAdapterAddresses(result);
    return AsciiUpper(result);
}
