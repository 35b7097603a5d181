#include "tests/support/TestFiles.h"
#include "framework/Handles.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

struct ProbeResult {
    DWORD exitCode = 0;
    std::string output;
};

// Runs the probe with its standard output in a file (never a pipe under Wine).
ProbeResult RunProbe(const wchar_t* mode)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring probe = path;
    probe.resize(probe.rfind(L'\\') + 1);
    probe += L"installer_crash_probe.exe";
    const std::wstring folder = MakeTestFolder(L"crash");
    const std::wstring outPath = folder + L"out.txt";

    ProbeResult result;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    UniqueFileHandle out(CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
    if (!out)
        return result;
    std::wstring commandLine = L"\"" + probe + L"\" " + mode;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out.Get();
    startup.hStdError = out.Get();
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(probe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info))
        return result;
    CloseHandle(info.hThread);
    UniqueKernelHandle process(info.hProcess);
    WaitForSingleObject(process.Get(), 30000);
    GetExitCodeProcess(process.Get(), &result.exitCode);
    out.Reset();
    result.output = ReadBytes(outPath);
    RemoveTree(folder);
    return result;
}

TEST(CrashHandlers, UnhandledExceptionPrintsFiveAndEndsQuietly)
{
    const ProbeResult r = RunProbe(L"fault");
    EXPECT_EQ(r.output, "5");
    EXPECT_EQ(r.exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

TEST(CrashHandlers, InvalidParameterIsPrintedAndTheCallReturns)
{
    const ProbeResult r = RunProbe(L"param");
    EXPECT_EQ(r.exitCode, 0u);
    // Standard output is in text mode: each "\n" arrives as "\r\n".
    const std::string printed = "in expression (null), function (null), file (null), line 0\r\n"
                                "in expression dest != 0, function wcscpy_s, file wcs.c, line 31\r\n";
    ASSERT_EQ(r.output.substr(0, printed.size()), printed);
    // The failing call returns EINVAL; whether the run time reports it to the handler first
    // depends on the run-time DLL.
    const std::string rest = r.output.substr(printed.size());
    EXPECT_TRUE(rest == "returned 22\r\n" ||
                rest == "in expression (null), function (null), file (null), line 0\r\nreturned 22\r\n")
        << rest;
}

} // namespace
