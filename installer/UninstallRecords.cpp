#include "installer/UninstallRecords.h"

#include "DuskHosts.h"
#include "framework/Handles.h"
#include "installer/InstallerConstants.h"
#include "installer/SystemFolders.h"

#include <oleauto.h>

const wchar_t kUninstallKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tavrokil";

namespace {

// The version-independent DOM document class and its IXMLDOMDocument2 interface.
const CLSID kDomDocumentClass = {0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
const IID kDomDocument2Interface = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

struct BstrTraits {
    using Value = BSTR;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { SysFreeString(v); }
};
using UniqueBstr = UniqueHandle<BstrTraits>;

UniqueBstr MakeBstr(const std::wstring& text)
{
    return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& value)
{
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

void CreateDocument(ComPtr<IXMLDOMDocument2>& document)
{
    if (FAILED(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_INPROC_SERVER, kDomDocument2Interface,
                                document.PutVoid())) ||
        !document) {
        document.Reset();
        return;
    }
    if (SUCCEEDED(document->put_async(VARIANT_FALSE)) && SUCCEEDED(document->put_validateOnParse(VARIANT_FALSE)))
        document->put_resolveExternals(VARIANT_FALSE);
}

ComPtr<IXMLDOMNode> CreateElementNode(IXMLDOMDocument2* document, const wchar_t* name)
{
    VARIANT type;
    VariantInit(&type);
    V_VT(&type) = VT_I4;
    V_I4(&type) = NODE_ELEMENT;
    UniqueBstr nodeName = MakeBstr(name);
    UniqueBstr noNamespace = MakeBstr(L"");
    ComPtr<IXMLDOMNode> node;
    document->createNode(type, nodeName.Get(), noNamespace.Get(), node.Put());
    return node;
}

// A child element holding text, appended to parent; the element writer escapes the text.
void AppendTextElement(IXMLDOMDocument2* document, IXMLDOMNode* parent, const wchar_t* name,
                       const std::wstring& text)
{
    ComPtr<IXMLDOMNode> node = CreateElementNode(document, name);
    if (!node)
        return;
    UniqueBstr value = MakeBstr(text);
    node->put_text(value.Get());
    ComPtr<IXMLDOMNode> appended;
    parent->appendChild(node.Get(), appended.Put());
}

void BuildAndSave(const RemtrackList& records, IXMLDOMDocument2* document, const std::wstring& filePath)
{
    UniqueBstr rootName = MakeBstr(L"remtrack");
    ComPtr<IXMLDOMElement> root;
    if (FAILED(document->createElement(rootName.Get(), root.Put())) || !root)
        return;
    document->putref_documentElement(root.Get());

    for (const RemtrackInfo& record : records) {
        ComPtr<IXMLDOMNode> node = CreateElementNode(document, L"Node");
        if (!node)
            continue;
        ComPtr<IXMLDOMNode> kept;
        root->appendChild(node.Get(), kept.Put());
        if (!kept)
            continue;
        AppendTextElement(document, kept.Get(), L"Name", record.name);
        AppendTextElement(document, kept.Get(), L"Type", std::to_wstring(record.type));
    }

    UniqueBstr path = MakeBstr(filePath);
    VARIANT target;
    VariantInit(&target);
    V_VT(&target) = VT_BSTR;
    V_BSTR(&target) = path.Get();
    document->save(target);
}

} // namespace

void RegisterUninstall(RemtrackList& records, const std::wstring& installFolder)
{
    AddRemtrackRecord(records, kInstallName, kRemtrackUninstallKey);
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kUninstallKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
        return;
    SetText(key.Get(), L"DisplayName", kGameTitle);
    SetText(key.Get(), L"UninstallString", installFolder + kRemovalToolFileName);
    SetText(key.Get(), L"DisplayIcon", installFolder + kClientFileName);
    SetText(key.Get(), L"URLInfoAbout", std::wstring(L"http://") + DUSK_OFFICIAL_HOST + L"/");
    SetText(key.Get(), L"Publisher", L"Halvergate");
    SetText(key.Get(), L"PRODUCT_Version", L"1.1.5.1");
}

void WriteRemtrackXml(const RemtrackList& records, const std::wstring& installFolder,
                      ComPtr<IXMLDOMDocument2>& document)
{
    const HRESULT com = CoInitialize(nullptr);
    CreateDocument(document);

    const std::wstring folder = installFolder + L"remtrack";
    if (!PathExists(folder))
        CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring filePath = folder + L"\\remtrack.xml";

    if (!document)
        CreateDocument(document);
    if (document)
        BuildAndSave(records, document.Get(), filePath);

    // The document must go before COM does.
    document.Reset();
    if (SUCCEEDED(com))
        CoUninitialize();
}
