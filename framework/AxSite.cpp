#include "framework/AxSite.h"

#include <docobj.h>
#include <mshtmhst.h>
#include <olectl.h>
#include <servprov.h>

#include <cstring>
#include <new>

namespace {

std::vector<std::string>* g_callLog = nullptr;
LONG g_instances = 0;

// Names of the interfaces controls commonly ask a site for, for the call log.
const char* InterfaceName(REFIID iid)
{
    static const struct {
        const IID* iid;
        const char* name;
    } known[] = {
        {&IID_IUnknown, "IUnknown"},
        {&IID_IDispatch, "IDispatch"},
        {&IID_IOleClientSite, "IOleClientSite"},
        {&IID_IOleInPlaceSite, "IOleInPlaceSite"},
        {&IID_IOleInPlaceSiteEx, "IOleInPlaceSiteEx"},
        {&IID_IOleInPlaceSiteWindowless, "IOleInPlaceSiteWindowless"},
        {&IID_IOleInPlaceFrame, "IOleInPlaceFrame"},
        {&IID_IOleInPlaceUIWindow, "IOleInPlaceUIWindow"},
        {&IID_IOleWindow, "IOleWindow"},
        {&IID_IOleControlSite, "IOleControlSite"},
        {&IID_IOleCommandTarget, "IOleCommandTarget"},
        {&IID_IServiceProvider, "IServiceProvider"},
        {&IID_IOleContainer, "IOleContainer"},
        {&IID_IDocHostUIHandler, "IDocHostUIHandler"},
    };
    for (const auto& k : known) {
        if (IsEqualIID(iid, *k.iid))
            return k.name;
    }
    return nullptr;
}

void ClearOut(void* out)
{
    if (out)
        *static_cast<void**>(out) = nullptr;
}

} // namespace

ComPtr<AxSite> AxSite::Create(HWND host)
{
    return ComPtr<AxSite>::Attach(new (std::nothrow) AxSite(host));
}

AxSite::AxSite(HWND host) : host_(host)
{
    InterlockedIncrement(&g_instances);
}

AxSite::~AxSite()
{
    InterlockedDecrement(&g_instances);
}

void AxSite::SetCallLog(std::vector<std::string>* log)
{
    g_callLog = log;
}

LONG AxSite::Instances()
{
    return g_instances;
}

void AxSite::Note(const char* call) const
{
    if (g_callLog)
        g_callLog->push_back(call);
}

void AxSite::Detach()
{
    host_ = nullptr;
    activeObject_.Reset();
}

STDMETHODIMP AxSite::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (g_callLog) {
        const char* name = InterfaceName(iid);
        wchar_t text[40] = L"";
        if (!name)
            StringFromGUID2(iid, text, 40);
        g_callLog->push_back(std::string("QI ") + (name ? name : std::string(text, text + wcslen(text))));
    }
    if (IsEqualIID(iid, IID_IUnknown))
        *out = static_cast<IUnknown*>(this);
    else if (IsEqualIID(iid, IID_IOleClientSite))
        *out = static_cast<IOleClientSite*>(&clientSite_);
    else if (IsEqualIID(iid, IID_IOleInPlaceSite) || IsEqualIID(iid, IID_IOleWindow))
        *out = static_cast<IOleInPlaceSite*>(&inPlaceSite_);
    else if (IsEqualIID(iid, IID_IOleInPlaceFrame) || IsEqualIID(iid, IID_IOleInPlaceUIWindow))
        *out = static_cast<IOleInPlaceFrame*>(&frame_);
    else if (IsEqualIID(iid, IID_IOleControlSite))
        *out = static_cast<IOleControlSite*>(&controlSite_);
    else if (IsEqualIID(iid, IID_IDispatch))
        *out = static_cast<IDispatch*>(&ambient_);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) AxSite::AddRef()
{
    return InterlockedIncrement(&refCount_);
}

STDMETHODIMP_(ULONG) AxSite::Release()
{
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0)
        delete this;
    return count;
}

// IOleClientSite: nothing to save or name; the control lives in no container document.

STDMETHODIMP AxSite::ClientSite::SaveObject()
{
    owner_.Note("SaveObject");
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::ClientSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    owner_.Note("GetMoniker");
    ClearOut(moniker);
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::ClientSite::GetContainer(IOleContainer** container)
{
    owner_.Note("GetContainer");
    ClearOut(container);
    return E_NOINTERFACE;
}

STDMETHODIMP AxSite::ClientSite::ShowObject()
{
    owner_.Note("ShowObject");
    return S_OK;
}

STDMETHODIMP AxSite::ClientSite::OnShowWindow(BOOL)
{
    owner_.Note("OnShowWindow");
    return S_OK;
}

STDMETHODIMP AxSite::ClientSite::RequestNewObjectLayout()
{
    owner_.Note("RequestNewObjectLayout");
    return E_NOTIMPL;
}

// IOleInPlaceSite: the control is active over the whole client area of the host window.

STDMETHODIMP AxSite::InPlaceSite::GetWindow(HWND* hwnd)
{
    owner_.Note("GetWindow");
    if (!hwnd)
        return E_POINTER;
    *hwnd = owner_.host_;
    return owner_.host_ ? S_OK : E_FAIL;
}

STDMETHODIMP AxSite::InPlaceSite::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::InPlaceSite::CanInPlaceActivate()
{
    owner_.Note("CanInPlaceActivate");
    return owner_.host_ ? S_OK : S_FALSE;
}

STDMETHODIMP AxSite::InPlaceSite::OnInPlaceActivate()
{
    owner_.Note("OnInPlaceActivate");
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceSite::OnUIActivate()
{
    owner_.Note("OnUIActivate");
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos,
                                                   RECT* clip, OLEINPLACEFRAMEINFO* info)
{
    owner_.Note("GetWindowContext");
    ClearOut(frame);
    ClearOut(doc);
    if (!frame || !doc || !pos || !clip || !info)
        return E_POINTER;
    if (!owner_.host_)
        return E_FAIL;
    owner_.frame_.AddRef();
    *frame = &owner_.frame_;
    // The frame is also the document window: there is no separate document level.
    owner_.frame_.AddRef();
    *doc = &owner_.frame_;
    GetClientRect(owner_.host_, pos);
    *clip = *pos;
    info->cb = sizeof(OLEINPLACEFRAMEINFO);
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(owner_.host_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceSite::Scroll(SIZE)
{
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::InPlaceSite::OnUIDeactivate(BOOL)
{
    owner_.Note("OnUIDeactivate");
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceSite::OnInPlaceDeactivate()
{
    owner_.Note("OnInPlaceDeactivate");
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceSite::DiscardUndoState()
{
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::InPlaceSite::DeactivateAndUndo()
{
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::InPlaceSite::OnPosRectChange(const RECT*)
{
    owner_.Note("OnPosRectChange");
    return S_OK;
}

// IOleInPlaceFrame: no menus, tool space or status line to share with the control.

STDMETHODIMP AxSite::InPlaceFrame::GetWindow(HWND* hwnd)
{
    if (!hwnd)
        return E_POINTER;
    *hwnd = owner_.host_ ? GetAncestor(owner_.host_, GA_ROOT) : nullptr;
    return *hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP AxSite::InPlaceFrame::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::InPlaceFrame::GetBorder(RECT*)
{
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP AxSite::InPlaceFrame::RequestBorderSpace(const BORDERWIDTHS*)
{
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP AxSite::InPlaceFrame::SetBorderSpace(const BORDERWIDTHS*)
{
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    owner_.Note("SetActiveObject");
    // A detached site keeps nothing: holding the object would keep the control alive.
    owner_.activeObject_ = owner_.host_ ? ComPtr<IOleInPlaceActiveObject>::Share(object) : nullptr;
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceFrame::InsertMenus(HMENU, OLEMENUGROUPWIDTHS*)
{
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::InPlaceFrame::SetMenu(HMENU, HOLEMENU, HWND)
{
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceFrame::RemoveMenus(HMENU)
{
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::InPlaceFrame::SetStatusText(LPCOLESTR)
{
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceFrame::EnableModeless(BOOL)
{
    return S_OK;
}

STDMETHODIMP AxSite::InPlaceFrame::TranslateAccelerator(MSG*, WORD)
{
    return S_FALSE;
}

// IOleControlSite

STDMETHODIMP AxSite::ControlSite::OnControlInfoChanged()
{
    return S_OK;
}

STDMETHODIMP AxSite::ControlSite::LockInPlaceActive(BOOL)
{
    return S_OK;
}

STDMETHODIMP AxSite::ControlSite::GetExtendedControl(IDispatch** disp)
{
    ClearOut(disp);
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::ControlSite::TransformCoords(POINTL*, POINTF*, DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::ControlSite::TranslateAccelerator(MSG*, DWORD)
{
    return S_FALSE;
}

STDMETHODIMP AxSite::ControlSite::OnFocus(BOOL)
{
    return S_OK;
}

STDMETHODIMP AxSite::ControlSite::ShowPropertyFrame()
{
    return E_NOTIMPL;
}

// Ambient properties

STDMETHODIMP AxSite::Ambient::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP AxSite::Ambient::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    ClearOut(info);
    return E_NOTIMPL;
}

STDMETHODIMP AxSite::Ambient::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP AxSite::Ambient::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*)
{
    if (!(flags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        owner_.Note("Ambient UserMode");
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (!result)
        return E_POINTER;
    VariantInit(result);
    result->vt = VT_BOOL;
    result->boolVal = VARIANT_TRUE;
    return S_OK;
}
