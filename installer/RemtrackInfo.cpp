#include "installer/RemtrackInfo.h"

void AddRemtrackRecord(RemtrackList& records, const std::wstring& name, int type)
{
    if (name.empty())
        return;
    records.push_back(RemtrackInfo{name, type});
}
