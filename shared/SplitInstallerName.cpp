#include "shared/SplitInstallerName.h"

void SplitInstallerName(std::wstring& name, std::wstring& uid)
{
    const size_t dot = name.rfind(L'.');
    const std::wstring base = dot == std::wstring::npos ? name : name.substr(0, dot);
    const size_t bar = base.find(L'_');
    if (bar == std::wstring::npos) {
        uid = base;
        name.clear();
        return;
    }
    uid = base.substr(0, bar);
    name = base.substr(bar + 1);
}
