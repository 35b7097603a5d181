#include "client/browser/JSDispatch.h"

#include "client/browser/IJSDispatch.h"
#include "client/browser/ScriptCommand.h"

namespace {

LONG g_instances = 0;

// The text of a string argument, by value or by reference; false for anything else.
bool ArgumentText(const VARIANT& v, std::wstring& text)
{
    if (v.vt == VT_BSTR) {
        text = v.bstrVal ? v.bstrVal : L"";
        return true;
    }
    if (v.vt == (VT_BSTR | VT_BYREF) && v.pbstrVal) {
        text = *v.pbstrVal ? *v.pbstrVal : L"";
        return true;
    }
    return false;
}

} // namespace

CJSDispatch::CJSDispatch(IJSDispatch* target) : target(target)
{
    InterlockedIncrement(&g_instances);
}

CJSDispatch::~CJSDispatch()
{
    InterlockedDecrement(&g_instances);
}

LONG CJSDispatch::Instances()
{
    return g_instances;
}

STDMETHODIMP CJSDispatch::QueryInterface(REFIID iid, void** out)
{
    if (!out || IsBadWritePtr(out, sizeof(void*)))
        return E_INVALIDARG;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch))
        return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CJSDispatch::AddRef()
{
    return InterlockedIncrement(&refCount);
}

STDMETHODIMP_(ULONG) CJSDispatch::Release()
{
    return InterlockedDecrement(&refCount);
}

STDMETHODIMP CJSDispatch::GetTypeInfoCount(UINT*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CJSDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

STDMETHODIMP CJSDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || count == 0 || !ids)
        return E_NOTIMPL;
    const long id = LookupScriptName(names[0]);
    if (id == 0)
        return E_NOTIMPL;
    ids[0] = id;
    return S_OK;
}

STDMETHODIMP CJSDispatch::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                 UINT* argError)
{
    if (id == kDispIdApiClose) {
        target->ApiClose();
        return S_OK;
    }
    if (id != kDispIdWdJapi)
        return E_NOTIMPL;

    if (!params || params->cArgs == 0 || !params->rgvarg)
        return DISP_E_BADPARAMCOUNT;
    const ScriptArgRoles roles = WdJapiArgRoles(params->cArgs);
    std::wstring command;
    std::wstring parameter;
    if (!ArgumentText(params->rgvarg[roles.command], command)) {
        if (argError)
            *argError = roles.command;
        return DISP_E_TYPEMISMATCH;
    }
    if (roles.hasParameter && !ArgumentText(params->rgvarg[roles.parameter], parameter)) {
        if (argError)
            *argError = roles.parameter;
        return DISP_E_TYPEMISMATCH;
    }
    RunCommand(command, parameter, result);
    return S_OK;
}

void CJSDispatch::RunCommand(const std::wstring& command, const std::wstring& parameter, VARIANT* result)
{
    switch (MatchScriptCommand(command)) {
    case ScriptCommand::GetApiVersion:
        if (result) {
            VariantInit(result);
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(L"1");
        }
        break;
    case ScriptCommand::OpenGame:
        target->OpenGame(parameter);
        break;
    case ScriptCommand::ShowBindBtn:
        target->ShowBindBtn();
        break;
    case ScriptCommand::CloseBindPage:
        target->CloseBindPage(parameter);
        break;
    case ScriptCommand::AccountBindSuccess:
        target->AccountBindSuccess(parameter);
        break;
    case ScriptCommand::AccountRegisterSuccess:
        target->AccountRegisterSuccess(parameter);
        break;
    case ScriptCommand::ShowIM:
        target->ShowIM(parameter);
        break;
    case ScriptCommand::DialogBoxTopInfo:
        target->DialogBoxTopInfo(parameter);
        break;
    case ScriptCommand::OpenPay:
        target->OpenPay(parameter);
        break;
    case ScriptCommand::ClosedBox:
        target->ClosedBox();
        break;
    case ScriptCommand::None:
        break;
    }
}
