// Stand-in for the outside removal tool. It lives in the install folder, reads
// remtrack\remtrack.xml there and removes what the installer recorded, conservatively:
//   3  a file          deleted, only below the install folder, the start menu or the desktop
//   4  a folder        removed only when empty, only below the start menu or the install folder
//   6  pinned link     the named link file in the install folder
//   9  uninstall key   HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<name>
//   10 install folder  every file and sub-folder of the install folder when its name matches;
//                      the tool's own file stays (it is running)
//   5, 7, 8            names only; nothing to remove
// Exit code: 0 when everything listed was removed, 1 when the record file is missing or not
// well-formed (nothing is touched then), 2 when some removal failed.
#include <windows.h>
#include <msxml2.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

const CLSID kDomDocumentClass = {0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
const IID kDomDocumentInterface = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const wchar_t kUninstallRoot[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Record {
    std::wstring name;
    int type;
};

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

std::wstring SpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, path)))
        return std::wstring();
    return std::wstring(path) + L"\\";
}

// A plain name: no separators, no drive, not "." or "..".
bool IsPlainName(const std::wstring& name)
{
    return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring::npos;
}

// A full path strictly below root (which ends with a backslash), without "." or ".." parts.
bool IsBelow(const std::wstring& path, const std::wstring& root)
{
    if (root.size() < 2 || path.size() <= root.size())
        return false;
    if (Lower(path.substr(0, root.size())) != Lower(root))
        return false;
    if (path.find(L'/') != std::wstring::npos)
        return false;
    const std::wstring rest = L"\\" + path.substr(root.size()) + L"\\";
    return rest.find(L"\\..\\") == std::wstring::npos && rest.find(L"\\.\\") == std::wstring::npos &&
           rest.find(L"\\\\") == std::wstring::npos;
}

std::wstring NodeText(IXMLDOMNode* parent, const wchar_t* name)
{
    BSTR query = SysAllocString(name);
    IXMLDOMNode* child = nullptr;
    std::wstring text;
    if (SUCCEEDED(parent->selectSingleNode(query, &child)) && child) {
        BSTR value = nullptr;
        if (SUCCEEDED(child->get_text(&value)) && value)
            text.assign(value, SysStringLen(value));
        SysFreeString(value);
        child->Release();
    }
    SysFreeString(query);
    return text;
}

// Reads the records; false when the file cannot be loaded or has no "remtrack" root.
bool LoadRecords(const std::wstring& path, std::vector<Record>& records)
{
    IXMLDOMDocument2* document = nullptr;
    if (FAILED(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_INPROC_SERVER, kDomDocumentInterface,
                                reinterpret_cast<void**>(&document))) ||
        !document)
        return false;
    document->put_async(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    VARIANT source;
    VariantInit(&source);
    V_VT(&source) = VT_BSTR;
    V_BSTR(&source) = SysAllocString(path.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    bool ok = SUCCEEDED(document->load(source, &loaded)) && loaded == VARIANT_TRUE;
    VariantClear(&source);

    IXMLDOMElement* root = nullptr;
    if (ok && SUCCEEDED(document->get_documentElement(&root)) && root) {
        BSTR tag = nullptr;
        ok = SUCCEEDED(root->get_tagName(&tag)) && tag && std::wstring(tag) == L"remtrack";
        SysFreeString(tag);
        IXMLDOMNodeList* nodes = nullptr;
        BSTR query = SysAllocString(L"Node");
        if (ok && SUCCEEDED(root->selectNodes(query, &nodes)) && nodes) {
            IXMLDOMNode* node = nullptr;
            while (nodes->nextNode(&node) == S_OK && node) {
                const std::wstring type = NodeText(node, L"Type");
                records.push_back(Record{NodeText(node, L"Name"), _wtoi(type.c_str())});
                node->Release();
                node = nullptr;
            }
            nodes->Release();
        }
        SysFreeString(query);
        root->Release();
    } else {
        ok = false;
    }
    document->Release();
    return ok;
}

// Empties folder (ending with a backslash), keeping keep; true when everything else went.
bool EmptyFolder(const std::wstring& folder, const std::wstring& keep)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return true;
    bool ok = true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = EmptyFolder(path + L"\\", keep) && RemoveDirectoryW(path.c_str()) && ok;
        } else if (Lower(path) != Lower(keep)) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ok = DeleteFileW(path.c_str()) && ok;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ok;
}

int Remove(const std::vector<Record>& records, const std::wstring& self, const std::wstring& installFolder)
{
    const std::wstring startMenu = SpecialFolder(CSIDL_STARTMENU);
    const std::wstring desktop = SpecialFolder(CSIDL_DESKTOP);
    std::wstring folderName = installFolder.substr(0, installFolder.size() - 1);
    folderName = folderName.substr(folderName.rfind(L'\\') + 1);
    bool ok = true;

    // Files first, then folders (in list order: the deeper folder is listed first), then names.
    for (const Record& r : records) {
        if (r.type == 3 && (IsBelow(r.name, installFolder) || IsBelow(r.name, startMenu) || IsBelow(r.name, desktop)))
            ok = (DeleteFileW(r.name.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) && ok;
        else if (r.type == 6 && IsPlainName(r.name))
            ok = (DeleteFileW((installFolder + r.name).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) && ok;
    }
    for (const Record& r : records) {
        if (r.type == 4 && (IsBelow(r.name, installFolder) || IsBelow(r.name, startMenu)))
            RemoveDirectoryW(r.name.c_str()); // only empty folders go; others stay by design
    }
    for (const Record& r : records) {
        if (r.type == 9 && IsPlainName(r.name)) {
            const LSTATUS status = RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(kUninstallRoot) + r.name).c_str());
            ok = (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) && ok;
        } else if (r.type == 10 && IsPlainName(r.name) && Lower(r.name) == Lower(folderName)) {
            ok = EmptyFolder(installFolder, self) && ok;
        }
    }
    return ok ? 0 : 2;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    const std::wstring self(path, n);
    const std::wstring installFolder = self.substr(0, self.rfind(L'\\') + 1);

    if (FAILED(CoInitialize(nullptr)))
        return 1;
    std::vector<Record> records;
    int result = 1;
    if (LoadRecords(installFolder + L"remtrack\\remtrack.xml", records))
        result = Remove(records, self, installFolder);
    CoUninitialize();
    return result;
}
