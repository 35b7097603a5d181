#pragma once
#include "framework/ComPtr.h"
#include "installer/RemtrackInfo.h"

#include <windows.h>
#include <msxml2.h>

#include <string>

// The installer's application object: one per process, no window. Every run unpacks the client
// into the per-user install folder, rewrites static.ini, the shortcuts, the uninstall entry and
// remtrack.xml, reports the run and starts the client unless it already runs.
class CGameInstallApp {
public:
    CGameInstallApp() = default;
    CGameInstallApp(const CGameInstallApp&) = delete;
    CGameInstallApp& operator=(const CGameInstallApp&) = delete;

    // Installs the crash handlers, starts OLE and runs the install flow. Always TRUE.
    BOOL InitInstance();

    // The install flow; no step's outcome stops the ones after it.
    void RunInstallFlow();

    // static.ini's keys of section "dr", in the order the client's first start expects them
    // written; filename is the installer's own file name.
    static void WriteConfiguration(const std::wstring& configPath, const std::wstring& installerFileName);

    // %APPDATA%\Vantory\tavrokil\, creating the two folders when missing; "" when the
    // application-data folder cannot be resolved.
    static std::wstring PrepareInstallFolder();

    const RemtrackList& Records() const { return records_; }

private:
    RemtrackList records_;
    ComPtr<IXMLDOMDocument2> document_;
};
