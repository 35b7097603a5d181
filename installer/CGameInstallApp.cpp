#include "installer/CGameInstallApp.h"

#include "framework/UiSeam.h"
#include "installer/ClientProcess.h"
#include "installer/CrashHandlers.h"
#include "installer/InstallerConstants.h"
#include "installer/InstallerNames.h"
#include "installer/Shortcuts.h"
#include "installer/SystemFolders.h"
#include "installer/UninstallRecords.h"
#include "installer/payload/PayloadExtraction.h"
#include "shared/UsageReport.h"

#include <ole2.h>
#include <shlobj.h>

namespace {

// The module path as the flow reads it: a 256-character buffer.
std::wstring OwnModulePath()
{
    wchar_t buffer[256] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buffer, 256);
    return std::wstring(buffer, n < 256 ? n : 255);
}

} // namespace

BOOL CGameInstallApp::InitInstance()
{
    InstallCrashHandlers();
    // OLE for this thread; a failure leaves the COM steps to fail on their own.
    const HRESULT ole = OleInitialize(nullptr);
    RunInstallFlow();
    if (SUCCEEDED(ole))
        OleUninitialize();
    return TRUE;
}

std::wstring CGameInstallApp::PrepareInstallFolder()
{
    std::wstring folder = PathBelow(GetSpecialFolder(CSIDL_APPDATA), kVendorFolder);
    if (folder.empty())
        return folder;
    if (!PathExists(folder))
        CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\";
    folder += kInstallName;
    if (!PathExists(folder))
        CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

void CGameInstallApp::WriteConfiguration(const std::wstring& configPath, const std::wstring& installerFileName)
{
    static const struct {
        const wchar_t* key;
        const wchar_t* value;
    } kFixedKeys[] = {
        {L"key", L""}, {L"uid", L""}, {L"start", L"0"}, {L"gid", L"353"}, {L"Install", L""},
        {L"DName", L""}, {L"hotkey", L"121"}, {L"hotName", L"F10"},
    };
    for (const auto& entry : kFixedKeys)
        WritePrivateProfileStringW(kGameCode, entry.key, entry.value, configPath.c_str());
    WritePrivateProfileStringW(kGameCode, L"filename", installerFileName.c_str(), configPath.c_str());
}

void CGameInstallApp::RunInstallFlow()
{
    const std::wstring installFolder = PrepareInstallFolder();
    // Without the application-data folder there is no install folder; nothing is written or
    // reported rather than a tree in the root of the current drive.
    if (installFolder.empty())
        return;
    const std::wstring clientPath = installFolder + kClientFileName;
    const bool freshInstall = !PathExists(clientPath);

    const std::wstring archivePath = installFolder + L"AllExe.zip";
    ExtractPayload(archivePath, installFolder);
    DeleteFileW(archivePath.c_str());

    if (IsWindows7())
        PinToTaskbar(records_, installFolder);
    CreateShortcuts(records_, installFolder);
    RegisterUninstall(records_, installFolder);
    AddRemtrackRecord(records_, clientPath, kRemtrackFile);

    const std::wstring installerFileName = FileNamePart(OwnModulePath());
    const std::wstring configPath = installFolder + L"static.ini";
    WriteConfiguration(configPath, installerFileName);

    const std::wstring channel = ChannelCode(installerFileName);
    SendUsageReport(channel, kGameCode, L"1");

    if (!IsClientRunning())
        UiSeam::Current().ShellRun(nullptr, L"open", clientPath.c_str(), nullptr, installFolder.c_str(), SW_SHOW);

    AddRemtrackRecord(records_, configPath, kRemtrackFile);
    AddRemtrackRecord(records_, installFolder + L"remtrack", kRemtrackFolder);
    AddRemtrackRecord(records_, kGameTitle, kRemtrackTitle);
    AddRemtrackRecord(records_, kGameCode, kRemtrackGameCode);
    AddRemtrackRecord(records_, channel, kRemtrackChannel);
    AddRemtrackRecord(records_, kInstallName, kRemtrackInstallDir);

    WriteRemtrackXml(records_, installFolder, document_);
    document_.Reset();

    SendUsageReport(channel, kGameCode, L"2");
    if (freshInstall)
        SendUsageReport(channel, kGameCode, L"3");
}
