#include "tests/app/ClientTestEnvironment.h"

#include "client/app/SkinImage.h"

#include <gtest/gtest.h>
#include <ole2.h>


namespace {

// OLE and GDI+ as the application object starts them, once for the test process.
class ClientEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        OleInitialize(nullptr);
        ULONG_PTR token = 0;
        ASSERT_TRUE(StartGdiPlus(token));
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new ClientEnvironment);

} // namespace

std::wstring TestModuleDirectory()
{
    std::wstring directory;
    GetModuleDirectory(directory);
    return directory;
}
