#include "framework/WebBrowserEventSink.h"

#include <exdisp.h>
#include <exdispid.h>

#include <initializer_list>
#include <new>

namespace {

LONG g_instances = 0;

// The argument block of one event, read in the order the event declares its parameters
// (the block itself stores them last first).
class EventArgs {
public:
    explicit EventArgs(const DISPPARAMS* params) : params_(params) {}

    // True when the block holds exactly the given types, in declaration order. On a mismatch
    // the failure code and the offending block index are left for the caller.
    bool Match(std::initializer_list<VARTYPE> types)
    {
        if (!params_ || params_->cArgs != types.size() || (params_->cArgs && !params_->rgvarg)) {
            error_ = DISP_E_BADPARAMCOUNT;
            return false;
        }
        UINT i = 0;
        for (VARTYPE t : types) {
            const VARIANT& v = At(i);
            // A null dispatch may come as VT_EMPTY.
            const bool ok = v.vt == t || (t == VT_DISPATCH && v.vt == VT_EMPTY) ||
                            (t == VT_I4 && v.vt == VT_UI4) || (t == VT_BSTR && v.vt == VT_EMPTY);
            if (!ok || ((t & VT_BYREF) && !v.byref)) {
                error_ = DISP_E_TYPEMISMATCH;
                badIndex_ = params_->cArgs - 1 - i;
                return false;
            }
            ++i;
        }
        return true;
    }
    const VARIANT& At(UINT i) const { return params_->rgvarg[params_->cArgs - 1 - i]; }
    IDispatch* Dispatch(UINT i) const { return At(i).vt == VT_DISPATCH ? At(i).pdispVal : nullptr; }
    const wchar_t* String(UINT i) const { return At(i).vt == VT_BSTR && At(i).bstrVal ? At(i).bstrVal : L""; }

    HRESULT error_ = S_OK;
    UINT badIndex_ = 0;

private:
    const DISPPARAMS* params_;
};

} // namespace

ComPtr<WebBrowserEventSink> WebBrowserEventSink::Create(WebBrowserEvents* handler, UINT controlId)
{
    return ComPtr<WebBrowserEventSink>::Attach(new (std::nothrow) WebBrowserEventSink(handler, controlId));
}

WebBrowserEventSink::WebBrowserEventSink(WebBrowserEvents* handler, UINT controlId)
    : handler_(handler), controlId_(controlId)
{
    InterlockedIncrement(&g_instances);
}

WebBrowserEventSink::~WebBrowserEventSink()
{
    InterlockedDecrement(&g_instances);
}

LONG WebBrowserEventSink::Instances()
{
    return g_instances;
}

STDMETHODIMP WebBrowserEventSink::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, DIID_DWebBrowserEvents2))
        return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) WebBrowserEventSink::AddRef()
{
    return InterlockedIncrement(&refCount_);
}

STDMETHODIMP_(ULONG) WebBrowserEventSink::Release()
{
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0)
        delete this;
    return count;
}

STDMETHODIMP WebBrowserEventSink::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP WebBrowserEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP WebBrowserEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP WebBrowserEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                         UINT* argError)
{
    EventArgs args(params);
    constexpr VARTYPE kVariantRef = VT_VARIANT | VT_BYREF;
    constexpr VARTYPE kBoolRef = VT_BOOL | VT_BYREF;
    bool matched = false;
    switch (id) {
    case DISPID_BEFORENAVIGATE2:
        matched = args.Match({VT_DISPATCH, kVariantRef, kVariantRef, kVariantRef, kVariantRef, kVariantRef, kBoolRef});
        if (matched && handler_)
            handler_->OnBeforeNavigate2(controlId_, args.Dispatch(0), args.At(1).pvarVal, args.At(2).pvarVal,
                                        args.At(3).pvarVal, args.At(4).pvarVal, args.At(5).pvarVal,
                                        args.At(6).pboolVal);
        break;
    case DISPID_NAVIGATECOMPLETE2:
        matched = args.Match({VT_DISPATCH, kVariantRef});
        if (matched && handler_)
            handler_->OnNavigateComplete2(controlId_, args.Dispatch(0), args.At(1).pvarVal);
        break;
    case DISPID_DOCUMENTCOMPLETE:
        matched = args.Match({VT_DISPATCH, kVariantRef});
        if (matched && handler_)
            handler_->OnDocumentComplete(controlId_, args.Dispatch(0), args.At(1).pvarVal);
        break;
    case DISPID_TITLECHANGE:
        matched = args.Match({VT_BSTR});
        if (matched && handler_)
            handler_->OnTitleChange(controlId_, args.String(0));
        break;
    case DISPID_NEWWINDOW3:
        matched = args.Match({VT_DISPATCH | VT_BYREF, kBoolRef, VT_I4, VT_BSTR, VT_BSTR});
        if (matched && handler_)
            handler_->OnNewWindow3(controlId_, args.At(0).ppdispVal, args.At(1).pboolVal,
                                   static_cast<DWORD>(args.At(2).lVal), args.String(3), args.String(4));
        break;
    case DISPID_WINDOWCLOSING:
        matched = args.Match({VT_BOOL, kBoolRef});
        if (matched && handler_)
            handler_->OnWindowClosing(controlId_, args.At(0).boolVal, args.At(1).pboolVal);
        break;
    default:
        // Events nobody here listens to.
        return S_OK;
    }
    if (matched)
        return S_OK;
    if (argError && args.error_ == DISP_E_TYPEMISMATCH)
        *argError = args.badIndex_;
    return args.error_;
}
