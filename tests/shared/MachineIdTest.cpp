#include "shared/MachineId.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

// True for "XX-XX-XX-XX-XX-XX" with upper-case hex digits.
bool IsMacForm(const std::wstring& id)
{
    if (id.size() != 17)
        return false;
    for (size_t i = 0; i < id.size(); ++i) {
        const wchar_t c = id[i];
        if (i % 3 == 2 ? c != L'-' : !((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F')))
            return false;
    }
    return true;
}

TEST(MachineId, RealRoutineGivesAnAddressForm)
{
    unsigned char scratch[600];
    std::wstring id = L"stale";
    GetMachineId(id, scratch);
    EXPECT_TRUE(id.empty() || IsMacForm(id)) << "got \"" << std::string(id.begin(), id.end()) << "\"";
    // The same machine answers the same on a second call.
    std::wstring again;
    GetMachineId(again, scratch);
    EXPECT_EQ(again, id);
}

TEST(MachineId, AdapterListRecords)
{
    for (const stNetPcInfo& a : ListAdapters()) {
        if (a.macAddress.size() == 17) {
            EXPECT_TRUE(IsMacForm(a.macAddress));
        }
        EXPECT_FALSE(a.typeName.empty());
        EXPECT_FALSE(a.comboIndex.empty());
    }
}

} // namespace
