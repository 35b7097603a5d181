#include "client/browser/WebCtrlInterFace.h"

#include "client/browser/JSDispatch.h"

namespace {

LONG g_instances = 0;

bool Writable(void* out)
{
    return out && !IsBadWritePtr(out, sizeof(void*));
}

// Stores null through an out pointer the caller may have passed unwritable or null.
template <class T>
void ClearOut(T** out)
{
    if (Writable(out))
        *out = nullptr;
}

} // namespace

CWebCtrlInterFace::CWebCtrlInterFace(CJSDispatch* scriptObject) : scriptObject(scriptObject)
{
    InterlockedIncrement(&g_instances);
}

CWebCtrlInterFace::~CWebCtrlInterFace()
{
    SetInnerSite(nullptr);
    // The bridge lives exactly as long as the wrapper, whatever page script still holds.
    delete scriptObject;
    scriptObject = nullptr;
    InterlockedDecrement(&g_instances);
}

LONG CWebCtrlInterFace::Instances()
{
    return g_instances;
}

STDMETHODIMP CWebCtrlInterFace::QueryInterface(REFIID iid, void** out)
{
    if (!Writable(out))
        return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IDocHostUIHandler))
        *out = static_cast<IDocHostUIHandler*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CWebCtrlInterFace::AddRef()
{
    return InterlockedIncrement(&refCount);
}

STDMETHODIMP_(ULONG) CWebCtrlInterFace::Release()
{
    const LONG count = InterlockedDecrement(&refCount);
    if (count == 0)
        delete this;
    return count;
}

void CWebCtrlInterFace::SetInnerSite(IOleClientSite* site)
{
    if (innerUiHandler) {
        innerUiHandler->Release();
        innerUiHandler = nullptr;
    }
    if (innerSite) {
        innerSite->Release();
        innerSite = nullptr;
    }
    if (!site)
        return;
    site->AddRef();
    innerSite = site;
    IDocHostUIHandler* handler = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler))))
        innerUiHandler = handler;
}

// IOleClientSite

STDMETHODIMP CWebCtrlInterFace::SaveObject()
{
    return innerSite ? innerSite->SaveObject() : E_FAIL;
}

STDMETHODIMP CWebCtrlInterFace::GetMoniker(DWORD assign, DWORD which, IMoniker** moniker)
{
    if (innerSite)
        return innerSite->GetMoniker(assign, which, moniker);
    ClearOut(moniker);
    return E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::GetContainer(IOleContainer** container)
{
    if (innerSite)
        return innerSite->GetContainer(container);
    ClearOut(container);
    return E_NOINTERFACE;
}

STDMETHODIMP CWebCtrlInterFace::ShowObject()
{
    return innerSite ? innerSite->ShowObject() : S_OK;
}

STDMETHODIMP CWebCtrlInterFace::OnShowWindow(BOOL show)
{
    return innerSite ? innerSite->OnShowWindow(show) : S_OK;
}

STDMETHODIMP CWebCtrlInterFace::RequestNewObjectLayout()
{
    return innerSite ? innerSite->RequestNewObjectLayout() : E_NOTIMPL;
}

// IDocHostUIHandler

STDMETHODIMP CWebCtrlInterFace::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    // S_OK tells the document the host has shown the menu: hosted pages never show one.
    return S_OK;
}

STDMETHODIMP CWebCtrlInterFace::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (innerUiHandler)
        return innerUiHandler->GetHostInfo(info);
    if (!info)
        return E_POINTER;
    info->cbSize = 20;
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | (noScrollBars ? DOCHOSTUIFLAG_SCROLL_NO : 0);
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

STDMETHODIMP CWebCtrlInterFace::ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                                       IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc)
{
    return innerUiHandler ? innerUiHandler->ShowUI(id, active, commandTarget, frame, doc) : S_FALSE;
}

STDMETHODIMP CWebCtrlInterFace::HideUI()
{
    return innerUiHandler ? innerUiHandler->HideUI() : E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::UpdateUI()
{
    return innerUiHandler ? innerUiHandler->UpdateUI() : E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::EnableModeless(BOOL enable)
{
    return innerUiHandler ? innerUiHandler->EnableModeless(enable) : E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::OnDocWindowActivate(BOOL activate)
{
    return innerUiHandler ? innerUiHandler->OnDocWindowActivate(activate) : E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::OnFrameWindowActivate(BOOL activate)
{
    return innerUiHandler ? innerUiHandler->OnFrameWindowActivate(activate) : E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow)
{
    return innerUiHandler ? innerUiHandler->ResizeBorder(border, window, frameWindow) : E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::TranslateAccelerator(LPMSG msg, const GUID* group, DWORD commandId)
{
    // E_NOTIMPL: the document handles the key itself.
    return innerUiHandler ? innerUiHandler->TranslateAccelerator(msg, group, commandId) : E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::GetOptionKeyPath(LPOLESTR* key, DWORD reserved)
{
    if (innerUiHandler)
        return innerUiHandler->GetOptionKeyPath(key, reserved);
    ClearOut(key);
    return E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::GetDropTarget(IDropTarget* target, IDropTarget** result)
{
    if (innerUiHandler) {
        const HRESULT hr = innerUiHandler->GetDropTarget(target, result);
        return hr == S_FALSE ? E_FAIL : hr;
    }
    ClearOut(result);
    return E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::GetExternal(IDispatch** dispatch)
{
    if (scriptObject) {
        if (!Writable(dispatch))
            return E_POINTER;
        scriptObject->AddRef();
        *dispatch = scriptObject;
        return S_OK;
    }
    if (innerUiHandler)
        return innerUiHandler->GetExternal(dispatch);
    ClearOut(dispatch);
    return E_NOTIMPL;
}

STDMETHODIMP CWebCtrlInterFace::TranslateUrl(DWORD translate, LPWSTR urlIn, LPWSTR* urlOut)
{
    if (innerUiHandler)
        return innerUiHandler->TranslateUrl(translate, urlIn, urlOut);
    ClearOut(urlOut);
    return S_FALSE;
}

STDMETHODIMP CWebCtrlInterFace::FilterDataObject(IDataObject* object, IDataObject** result)
{
    if (innerUiHandler)
        return innerUiHandler->FilterDataObject(object, result);
    ClearOut(result);
    return S_FALSE;
}
