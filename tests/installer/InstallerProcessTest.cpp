#include "installer/ClientProcess.h"

#include "tests/support/TestFiles.h"
#include "framework/Handles.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::wstring SleeperPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.rfind(L'\\') + 1);
    return folder + L"installer_sleeper.exe";
}

// Starts a copy of the sleeper under fileName in its own folder.
class RunningCopy {
public:
    RunningCopy(const std::wstring& folder, const std::wstring& fileName) : path_(folder + fileName)
    {
        if (!CopyFileW(SleeperPath().c_str(), path_.c_str(), FALSE))
            return;
        std::wstring commandLine = L"\"" + path_ + L"\" 60";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!CreateProcessW(path_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                            &startup, &info))
            return;
        CloseHandle(info.hThread);
        process_.Reset(info.hProcess);
    }
    ~RunningCopy()
    {
        if (process_) {
            TerminateProcess(process_.Get(), 0);
            WaitForSingleObject(process_.Get(), 10000);
        }
        process_.Reset();
        DeleteFileW(path_.c_str());
    }
    bool Started() const { return process_.Valid(); }

private:
    std::wstring path_;
    UniqueKernelHandle process_;
};

// A freshly started process needs a moment before its modules can be listed.
bool EventuallyRunning(const std::wstring& fileName)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (fileName.empty() ? IsClientRunning() : IsProgramRunning(fileName))
            return true;
        Sleep(100);
    }
    return false;
}

TEST(ClientProcess, ClientFoundUnderItsNameInAnyCaseAndFolder)
{
    const wchar_t* names[] = {L"duskshell.exe", L"DUSKSHELL.EXE", L"DuskShell.Exe"};
    for (size_t i = 0; i < std::size(names); ++i) {
        const std::wstring folder = MakeTestFolder(L"client");
        {
            RunningCopy copy(folder, names[i]);
            ASSERT_TRUE(copy.Started()) << "row " << i;
            EXPECT_TRUE(EventuallyRunning(L"")) << "row " << i;
        }
        RemoveTree(folder);
    }
}

TEST(ClientProcess, OnlyTheWholeFileNameMatches)
{
    const std::wstring folder = MakeTestFolder(L"probe");
    RunningCopy copy(folder, L"dusk_probe_q7.exe");
    ASSERT_TRUE(copy.Started());
    ASSERT_TRUE(EventuallyRunning(L"dusk_probe_q7.exe"));
    EXPECT_TRUE(IsProgramRunning(L"DUSK_PROBE_Q7.EXE"));
    const wchar_t* others[] = {L"dusk_probe_q7", L"dusk_probe_q7.exe.exe", L"usk_probe_q7.exe",
                               L"dusk_probe_q8.exe", L"<unknown>", L""};
    for (size_t i = 0; i < std::size(others); ++i)
        EXPECT_FALSE(IsProgramRunning(others[i])) << "row " << i;
}

} // namespace
