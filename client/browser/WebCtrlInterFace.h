#pragma once
#include <windows.h>
#include <ole2.h>
#include <mshtmhst.h>

class CJSDispatch;

// The client site a page-hosting window swaps in for the one the container gave its
// WebBrowser control, so that the window answers the document-host questions itself: no
// context menu, no 3-D border, no scroll bars, and its script bridge as window.external.
// Everything else is passed on to the container's own site (the inner site) when there is
// one. One object with two faces: IOleClientSite (primary) and IDocHostUIHandler.
class CWebCtrlInterFace : public IOleClientSite, public IDocHostUIHandler {
public:
    // Count 0; takes ownership of the script bridge (may be null: no window.external).
    explicit CWebCtrlInterFace(CJSDispatch* scriptObject = nullptr);

    // IUnknown (both faces)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* pt, IUnknown* commandTarget, IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                        IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID* group, DWORD commandId) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* target, IDropTarget** result) override;
    STDMETHODIMP GetExternal(IDispatch** dispatch) override;
    STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR urlIn, LPWSTR* urlOut) override;
    STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** result) override;

    // Stores the container's own site (one reference) and its document-host handler, if it
    // has one; null releases both.
    void SetInnerSite(IOleClientSite* site);

    // Wrappers alive in the process.
    static LONG Instances();

protected:
    // Only Release ends the wrapper; it deletes the script bridge with it.
    virtual ~CWebCtrlInterFace();

private:
    CJSDispatch* scriptObject;
    LONG refCount = 0;
    IOleClientSite* innerSite = nullptr;
    IDocHostUIHandler* innerUiHandler = nullptr;
    bool noScrollBars = true;
};
