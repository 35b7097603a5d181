#include "tests/support/TestFiles.h"

#include "framework/ComPtr.h"
#include "framework/Handles.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

std::wstring MakeTestFolder(const wchar_t* tag)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    const std::wstring folder = std::wstring(temp) + L"dusk-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(++counter);
    RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

std::string ReadBytes(const std::wstring& path)
{
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void RemoveTree(const std::wstring& folder)
{
    std::wstring base = folder;
    if (!base.empty() && base.back() == L'\\')
        base.pop_back();
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((base + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = base + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find.Get(), &data));
    }
    RemoveDirectoryW(base.c_str());
}

std::wstring LinkTarget(const std::wstring& linkPath, std::wstring* workingFolder)
{
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())))
        return std::wstring();
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(IID_IPersistFile, file)) || FAILED(file->Load(linkPath.c_str(), STGM_READ)))
        return std::wstring();
    wchar_t target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return std::wstring();
    if (workingFolder) {
        wchar_t folder[MAX_PATH] = {};
        link->GetWorkingDirectory(folder, MAX_PATH);
        *workingFolder = folder;
    }
    return target;
}
