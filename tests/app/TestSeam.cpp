#include "tests/app/TestSeam.h"

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

std::wstring MakeTempFolder(const wchar_t* prefix)
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    for (unsigned n = GetTickCount();; ++n) {
        std::wstring folder = std::wstring(base) + prefix + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(n);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder + L"\\";
    }
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}
