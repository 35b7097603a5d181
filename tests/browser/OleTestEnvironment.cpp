// OLE for the whole test program, on the main thread, as the client sets it up.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

namespace {

class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

const auto* const g_ole = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

} // namespace
