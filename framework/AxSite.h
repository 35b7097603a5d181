#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "framework/ComPtr.h"

// The client site AxHost gives its control. One identity object owns the reference count and
// answers QueryInterface; small per-interface objects (client site, in-place site, in-place
// frame, control site, ambient properties) delegate their IUnknown to it. It offers no
// IDocHostUIHandler: a document host that wants its own answers installs a site of its own
// in front of this one and forwards what it does not answer.
class AxSite : public IUnknown {
public:
    // A new site for a control living in the host window; the caller owns the one reference.
    static ComPtr<AxSite> Create(HWND host);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // Cuts the site loose from the host window and drops the control's active object; calls
    // that come later get failures instead of a dead window.
    void Detach();

    // The in-place active object the control registered through SetActiveObject, or null.
    IOleInPlaceActiveObject* ActiveObject() const { return activeObject_.Get(); }

    // Recording of the calls controls make on sites (queried interfaces and site methods, in
    // order), for tests that check an activation sequence; null switches it off.
    static void SetCallLog(std::vector<std::string>* log);
    // Sites alive in the process.
    static LONG Instances();

private:
    explicit AxSite(HWND host);
    virtual ~AxSite();
    void Note(const char* call) const;

    // IUnknown of each face, delegating to the identity.
    template <class I>
    class Face : public I {
    public:
        explicit Face(AxSite& owner) : owner_(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return owner_.QueryInterface(iid, out); }
        STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }

    protected:
        AxSite& owner_;
    };

    class ClientSite : public Face<IOleClientSite> {
    public:
        using Face::Face;
        STDMETHODIMP SaveObject() override;
        STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
        STDMETHODIMP GetContainer(IOleContainer** container) override;
        STDMETHODIMP ShowObject() override;
        STDMETHODIMP OnShowWindow(BOOL show) override;
        STDMETHODIMP RequestNewObjectLayout() override;
    };

    class InPlaceSite : public Face<IOleInPlaceSite> {
    public:
        using Face::Face;
        STDMETHODIMP GetWindow(HWND* hwnd) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
        STDMETHODIMP CanInPlaceActivate() override;
        STDMETHODIMP OnInPlaceActivate() override;
        STDMETHODIMP OnUIActivate() override;
        STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos,
                                      RECT* clip, OLEINPLACEFRAMEINFO* info) override;
        STDMETHODIMP Scroll(SIZE extent) override;
        STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
        STDMETHODIMP OnInPlaceDeactivate() override;
        STDMETHODIMP DiscardUndoState() override;
        STDMETHODIMP DeactivateAndUndo() override;
        STDMETHODIMP OnPosRectChange(const RECT* pos) override;
    };

    class InPlaceFrame : public Face<IOleInPlaceFrame> {
    public:
        using Face::Face;
        STDMETHODIMP GetWindow(HWND* hwnd) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
        STDMETHODIMP GetBorder(RECT* border) override;
        STDMETHODIMP RequestBorderSpace(const BORDERWIDTHS* widths) override;
        STDMETHODIMP SetBorderSpace(const BORDERWIDTHS* widths) override;
        STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
        STDMETHODIMP InsertMenus(HMENU shared, OLEMENUGROUPWIDTHS* widths) override;
        STDMETHODIMP SetMenu(HMENU shared, HOLEMENU ole, HWND active) override;
        STDMETHODIMP RemoveMenus(HMENU shared) override;
        STDMETHODIMP SetStatusText(LPCOLESTR text) override;
        STDMETHODIMP EnableModeless(BOOL enable) override;
        STDMETHODIMP TranslateAccelerator(MSG* msg, WORD id) override;
    };

    class ControlSite : public Face<IOleControlSite> {
    public:
        using Face::Face;
        STDMETHODIMP OnControlInfoChanged() override;
        STDMETHODIMP LockInPlaceActive(BOOL lock) override;
        STDMETHODIMP GetExtendedControl(IDispatch** disp) override;
        STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
        STDMETHODIMP TranslateAccelerator(MSG* msg, DWORD modifiers) override;
        STDMETHODIMP OnFocus(BOOL gotFocus) override;
        STDMETHODIMP ShowPropertyFrame() override;
    };

    // Ambient properties: the control runs in user mode, not in a designer.
    class Ambient : public Face<IDispatch> {
    public:
        using Face::Face;
        STDMETHODIMP GetTypeInfoCount(UINT* count) override;
        STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
        STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
        STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* exception, UINT* argError) override;
    };

    LONG refCount_ = 1;
    HWND host_;
    ComPtr<IOleInPlaceActiveObject> activeObject_;
    ClientSite clientSite_{*this};
    InPlaceSite inPlaceSite_{*this};
    InPlaceFrame frame_{*this};
    ControlSite controlSite_{*this};
    Ambient ambient_{*this};
};
