#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include "framework/ComPtr.h"
#include "framework/Window.h"

class AxSite;

// A child window (class "DuskAxHost") that creates one ActiveX control by class id and keeps
// it in-place active over its client area, with AxSite as the control's client site.
//
// Creation: host window, CoCreateInstance, SetClientSite(site), DoVerb(INPLACEACTIVATE); any
// failing step undoes the ones before it. Destruction of the host window (or of this object)
// tears down in reverse: unadvise, InPlaceDeactivate, Close, SetClientSite(null), release.
class AxHost : public Window {
public:
    AxHost();
    ~AxHost() override;

    // Creates the host window as a child of parent with the control id, and the control in
    // it. False when any step failed; then no window and no control remain.
    bool CreateControl(const CLSID& clsid, const wchar_t* windowName, DWORD style, const RECT& rect,
                       HWND parent, UINT controlId);

    // Connects an event sink to the control's connection point for eventsIid; it is
    // disconnected when the control is torn down. False when the control offers no such point.
    bool AdviseEvents(const IID& eventsIid, IUnknown* sink);

    // The control's IUnknown, or null before creation and after teardown. Not AddRef'ed.
    IUnknown* ControlUnknown() const { return control_.Get(); }

    // The control's id as given to CreateControl.
    UINT ControlId() const { return controlId_; }

    // Offers a keyboard message to the control's active object; S_OK when it took it.
    HRESULT TranslateAccelerator(MSG* msg);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void TearDown();
    void FitControl();

    ComPtr<AxSite> site_;
    ComPtr<IUnknown> control_;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IConnectionPoint> eventPoint_;
    DWORD eventCookie_ = 0;
    UINT controlId_ = 0;
};
