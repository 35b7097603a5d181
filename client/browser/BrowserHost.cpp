#include "client/browser/BrowserHost.h"

#include <exdisp.h>

#include "client/browser/WebCtrlInterFace.h"
#include "framework/ComPtr.h"
#include "framework/UiSeam.h"
#include "framework/Window.h"

namespace {

constexpr DISPID kDispIdSilent = 551;
constexpr DISPID kDispIdNavigate = 104;

HRESULT BrowserDispatch(IUnknown* control, ComPtr<IDispatch>& dispatch)
{
    if (!control)
        return E_POINTER;
    return control->QueryInterface(IID_IDispatch, dispatch.PutVoid());
}

} // namespace

bool InstallClientSite(IUnknown* control, CWebCtrlInterFace* wrapper)
{
    if (!control)
        return false;
    ComPtr<IWebBrowser2> browser;
    if (FAILED(control->QueryInterface(IID_IWebBrowser2, browser.PutVoid())) || !browser || !wrapper)
        return false;
    ComPtr<IOleObject> object;
    if (SUCCEEDED(browser.As(IID_IOleObject, object)) && object) {
        ComPtr<IOleClientSite> inner;
        if (object->GetClientSite(inner.Put()) == S_OK)
            wrapper->SetInnerSite(inner.Get());
        object->SetClientSite(static_cast<IOleClientSite*>(wrapper));
    }
    return true;
}

HRESULT SetBrowserSilent(IUnknown* control)
{
    ComPtr<IDispatch> dispatch;
    HRESULT hr = BrowserDispatch(control, dispatch);
    if (FAILED(hr))
        return hr;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return dispatch->Invoke(kDispIdSilent, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                            nullptr, nullptr);
}

HRESULT NavigateBrowser(IUnknown* control, const std::wstring& url)
{
    ComPtr<IDispatch> dispatch;
    HRESULT hr = BrowserDispatch(control, dispatch);
    if (FAILED(hr))
        return hr;
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
    if (!address.bstrVal)
        return E_OUTOFMEMORY;
    DISPPARAMS params{&address, nullptr, 1, 0};
    hr = dispatch->Invoke(kDispIdNavigate, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                          nullptr);
    VariantClear(&address);
    return hr;
}

void ForwardToBrowser(IUnknown* control, MSG* msg)
{
    if (!control)
        return;
    ComPtr<IWebBrowser2> browser;
    if (FAILED(control->QueryInterface(IID_IWebBrowser2, browser.PutVoid())) || !browser)
        return;
    ComPtr<IOleInPlaceActiveObject> active;
    if (SUCCEEDED(browser.As(IID_IOleInPlaceActiveObject, active)) && active)
        active->TranslateAccelerator(msg);
}

bool ConfirmExit(HWND loginFrame)
{
    const int answer =
        UiSeam::Current().ShowMessage(nullptr, L"确定要退出吗？", L"退出提示", MB_OKCANCEL | MB_ICONQUESTION);
    if (answer != IDOK)
        return false;
    if (loginFrame)
        SendMessageW(loginFrame, WM_CLOSE, 0, 0);
    return true;
}

void TearDownHostedPage(CWebCtrlInterFace*& wrapper, Window& control)
{
    if (wrapper) {
        wrapper->Release();
        wrapper = nullptr;
    }
    if (control.IsWindow())
        control.DestroyWindow();
}
