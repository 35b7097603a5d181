#include "framework/AxHost.h"

#include "framework/AxSite.h"

namespace {

const wchar_t kHostClass[] = L"DuskAxHost";

void RegisterHostClass()
{
    WNDCLASSW wc{};
    if (GetClassInfoW(GetModuleHandleW(nullptr), kHostClass, &wc))
        return;
    wc.lpfnWndProc = Window::StaticWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);
}

} // namespace

AxHost::AxHost() = default;

AxHost::~AxHost()
{
    // The base destructor destroys a live window without routing WM_DESTROY here.
    TearDown();
}

bool AxHost::CreateControl(const CLSID& clsid, const wchar_t* windowName, DWORD style, const RECT& rect,
                           HWND parent, UINT controlId)
{
    if (Hwnd() || control_)
        return false;
    RegisterHostClass();
    if (!CreateEx(0, kHostClass, windowName ? windowName : L"", style | WS_CLIPCHILDREN, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId))))
        return false;
    controlId_ = controlId;

    site_ = AxSite::Create(Hwnd());
    ComPtr<IOleClientSite> clientSite;
    bool ok = site_ && SUCCEEDED(site_->QueryInterface(IID_IOleClientSite, clientSite.PutVoid()));
    ok = ok && SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control_.PutVoid()));
    ok = ok && SUCCEEDED(control_.As(IID_IOleObject, oleObject_));
    ok = ok && SUCCEEDED(oleObject_->SetClientSite(clientSite.Get()));
    RECT client{};
    GetClientRect(Hwnd(), &client);
    ok = ok && SUCCEEDED(oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite.Get(), 0, Hwnd(), &client));
    if (!ok) {
        TearDown();
        DestroyWindow();
        return false;
    }
    return true;
}

bool AxHost::AdviseEvents(const IID& eventsIid, IUnknown* sink)
{
    if (!control_ || !sink || eventPoint_)
        return false;
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(control_.As(IID_IConnectionPointContainer, container)))
        return false;
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(eventsIid, point.Put())) || !point)
        return false;
    DWORD cookie = 0;
    if (FAILED(point->Advise(sink, &cookie)))
        return false;
    eventPoint_ = point;
    eventCookie_ = cookie;
    return true;
}

HRESULT AxHost::TranslateAccelerator(MSG* msg)
{
    ComPtr<IOleInPlaceActiveObject> active;
    if (site_ && site_->ActiveObject())
        active = ComPtr<IOleInPlaceActiveObject>::Share(site_->ActiveObject());
    else if (!control_ || FAILED(control_.As(IID_IOleInPlaceActiveObject, active)) || !active)
        return S_FALSE;
    return active->TranslateAccelerator(msg);
}

void AxHost::FitControl()
{
    if (!control_)
        return;
    ComPtr<IOleInPlaceObject> inPlace;
    if (FAILED(control_.As(IID_IOleInPlaceObject, inPlace)) || !inPlace)
        return;
    RECT client{};
    GetClientRect(Hwnd(), &client);
    inPlace->SetObjectRects(&client, &client);
}

void AxHost::TearDown()
{
    if (eventPoint_) {
        eventPoint_->Unadvise(eventCookie_);
        eventPoint_.Reset();
        eventCookie_ = 0;
    }
    if (control_) {
        ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(control_.As(IID_IOleInPlaceObject, inPlace)) && inPlace)
            inPlace->InPlaceDeactivate();
    }
    if (oleObject_) {
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
        oleObject_.Reset();
    }
    control_.Reset();
    if (site_) {
        site_->Detach();
        site_.Reset();
    }
}

LRESULT AxHost::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SIZE:
        FitControl();
        return 0;
    case WM_SETFOCUS:
        if (site_ && site_->ActiveObject()) {
            HWND inner = nullptr;
            if (SUCCEEDED(site_->ActiveObject()->GetWindow(&inner)) && inner)
                SetFocus(inner);
        }
        return 0;
    case WM_DESTROY:
        TearDown();
        break;
    }
    return Window::WindowProc(msg, wParam, lParam);
}
