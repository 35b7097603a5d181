#include "installer/Shortcuts.h"

#include "framework/ComPtr.h"
#include "framework/UiSeam.h"
#include "installer/InstallerConstants.h"
#include "installer/InstallerNames.h"
#include "installer/SystemFolders.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

const wchar_t kProgramsFolder[] = L"程序\\";

ComPtr<IShellLinkW> CreateShellLink(HRESULT& hr)
{
    ComPtr<IShellLinkW> link;
    hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
    return link;
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// CoInitialize for one call, undone only when it succeeded.
class ComScope {
public:
    ComScope() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope()
    {
        if (ok_)
            CoUninitialize();
    }

private:
    bool ok_;
};

bool SaveLinkFile(const std::wstring& target, const std::wstring& linkPath)
{
    HRESULT hr = S_OK;
    ComPtr<IShellLinkW> link = CreateShellLink(hr);
    if (FAILED(hr) || !link)
        return false;
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(FolderOf(target).c_str());
    link->SetArguments(L"");
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(IID_IPersistFile, file)) || !file)
        return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

} // namespace

bool CreateProgramShortcut(RemtrackList& records, const std::wstring& target,
                           const std::wstring& shortcutName, bool alsoOnDesktop)
{
    HRESULT hr = S_OK;
    ComPtr<IShellLinkW> link = CreateShellLink(hr);
    if (hr != S_OK || !link)
        return false;
    ComPtr<IPersistFile> file;
    if (link.As(IID_IPersistFile, file) != S_OK || !file)
        return false;

    const std::wstring title = kGameTitle;
    link->SetPath(target.c_str());

    // An unresolvable special folder gives empty paths: that part is left out (and not
    // recorded) rather than made in the root of the current drive.
    // CreateDirectoryW makes only the last folder: "程序" itself must already exist.
    const std::wstring groupFolder = PathBelow(GetSpecialFolder(CSIDL_STARTMENU), kProgramsFolder + title);
    if (!groupFolder.empty()) {
        if (!PathExists(groupFolder))
            CreateDirectoryW(groupFolder.c_str(), nullptr);
        const std::wstring titleFolder = groupFolder + L"\\" + title;
        CreateDirectoryW(titleFolder.c_str(), nullptr);
        const std::wstring startMenuLink = titleFolder + L"\\" + shortcutName;
        file->Save(startMenuLink.c_str(), TRUE);
        AddRemtrackRecord(records, startMenuLink, kRemtrackFile);
        AddRemtrackRecord(records, titleFolder, kRemtrackFolder);
        AddRemtrackRecord(records, groupFolder, kRemtrackFolder);
    }

    if (alsoOnDesktop) {
        const std::wstring desktopLink = PathBelow(GetSpecialFolder(CSIDL_DESKTOP), shortcutName);
        if (!desktopLink.empty()) {
            file->Save(desktopLink.c_str(), TRUE);
            AddRemtrackRecord(records, desktopLink, kRemtrackFile);
        }
    }
    return true;
}

void CreateShortcuts(RemtrackList& records, const std::wstring& installFolder)
{
    const std::wstring title = kGameTitle;
    CreateProgramShortcut(records, installFolder + kClientFileName, title + L".lnk", true);
    CreateProgramShortcut(records, installFolder + kRemovalToolFileName, L"卸载" + title + L".lnk", false);
}

bool CreateLinkFile(const std::wstring& target, const std::wstring& linkPath)
{
    ComScope com;
    return SaveLinkFile(target, linkPath);
}

void PinToTaskbar(RemtrackList& records, const std::wstring& installFolder)
{
    const std::wstring clientPath = installFolder + kClientFileName;
    if (!IsVistaLineage())
        return;
    const std::wstring linkName = std::wstring(kGameTitle) + L".lnk";
    const std::wstring linkPath = installFolder + linkName;
    CreateLinkFile(clientPath, linkPath);
    UiSeam::Current().ShellRun(nullptr, L"taskbarpin", linkPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    AddRemtrackRecord(records, linkName, kRemtrackPinnedLink);
}
