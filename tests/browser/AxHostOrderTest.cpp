// The container's creation and teardown order, against a stand-in control registered for this
// process only, which records every call the container makes on it.
#include "framework/AxHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/AxSite.h"

namespace {

const CLSID kFakeControl = {0x6d1c0a55, 0x2f41, 0x4e0b, {0x8a, 0x3c, 0x51, 0x7e, 0x90, 0x12, 0xab, 0xcd}};
const IID kFakeEvents = {0x6d1c0a56, 0x2f41, 0x4e0b, {0x8a, 0x3c, 0x51, 0x7e, 0x90, 0x12, 0xab, 0xcd}};

std::vector<std::string> g_calls;
HRESULT g_doVerbAnswer = S_OK;

class FakeControl : public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IConnectionPointContainer {
public:
    virtual ~FakeControl() = default;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject))
            *out = static_cast<IOleObject*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceObject) || IsEqualIID(iid, IID_IOleWindow))
            *out = static_cast<IOleInPlaceObject*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject))
            *out = static_cast<IOleInPlaceActiveObject*>(this);
        else if (IsEqualIID(iid, IID_IConnectionPointContainer))
            *out = static_cast<IConnectionPointContainer*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override
    {
        if (--refs_ > 0)
            return refs_;
        g_calls.push_back("freed");
        delete this;
        return 0;
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override
    {
        g_calls.push_back(site ? "SetClientSite(site)" : "SetClientSite(null)");
        if (site)
            site->AddRef();
        if (site_)
            site_->Release();
        site_ = site;
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override
    {
        *site = site_;
        if (site_)
            site_->AddRef();
        return site_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD option) override
    {
        g_calls.push_back(option == OLECLOSE_NOSAVE ? "Close(nosave)" : "Close(other)");
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override
    {
        g_calls.push_back("DoVerb(" + std::to_string(verb) + ")");
        if (FAILED(g_doVerbAnswer))
            return g_doVerbAnswer;
        IOleInPlaceSite* inPlace = nullptr;
        if (!site || FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
            return E_FAIL;
        HWND siteWindow = nullptr;
        inPlace->GetWindow(&siteWindow);
        if (siteWindow == parent && inPlace->CanInPlaceActivate() == S_OK) {
            inPlace->OnInPlaceActivate();
            // Registers as the active object with the frame the site names.
            IOleInPlaceFrame* frame = nullptr;
            IOleInPlaceUIWindow* doc = nullptr;
            RECT pos{}, clip{};
            OLEINPLACEFRAMEINFO info{};
            info.cb = sizeof info;
            if (SUCCEEDED(inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info))) {
                frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"fake");
                frame->Release();
                doc->Release();
            }
            window_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, rect->left, rect->top,
                                      rect->right - rect->left, rect->bottom - rect->top, parent, nullptr, nullptr,
                                      nullptr);
        }
        inPlace_ = inPlace;
        return window_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* hwnd) override
    {
        *hwnd = window_;
        return window_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override
    {
        g_calls.push_back("InPlaceDeactivate");
        if (window_)
            DestroyWindow(window_);
        window_ = nullptr;
        if (inPlace_) {
            inPlace_->OnInPlaceDeactivate();
            inPlace_->Release();
            inPlace_ = nullptr;
        }
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT) override
    {
        g_calls.push_back("SetObjectRects(" + std::to_string(pos->right - pos->left) + "x" +
                          std::to_string(pos->bottom - pos->top) + ")");
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override
    {
        g_calls.push_back("TranslateAccelerator(" + std::to_string(msg->message) + "," + std::to_string(msg->wParam) +
                          ")");
        return msg->wParam == 'A' ? S_OK : S_FALSE;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        *point = nullptr;
        if (!IsEqualIID(iid, kFakeEvents))
            return E_NOINTERFACE;
        point_.AddRef();
        *point = &point_;
        return S_OK;
    }

private:
    // The one connection point; lives inside the control and counts on it.
    class Point : public IConnectionPoint {
    public:
        explicit Point(FakeControl& owner) : owner_(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override
        {
            *out = nullptr;
            if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint))
                return E_NOINTERFACE;
            AddRef();
            *out = this;
            return S_OK;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }
        STDMETHODIMP GetConnectionInterface(IID*) override { return E_NOTIMPL; }
        STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
        STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override
        {
            g_calls.push_back("Advise");
            sink->AddRef();
            sink_ = sink;
            *cookie = 41;
            return S_OK;
        }
        STDMETHODIMP Unadvise(DWORD cookie) override
        {
            g_calls.push_back("Unadvise(" + std::to_string(cookie) + ")");
            if (sink_)
                sink_->Release();
            sink_ = nullptr;
            return S_OK;
        }
        STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    private:
        FakeControl& owner_;
        IUnknown* sink_ = nullptr;
    };

    LONG refs_ = 1;
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inPlace_ = nullptr;
    HWND window_ = nullptr;
    Point point_{*this};
};

class FakeFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* control = new FakeControl;
        const HRESULT hr = control->QueryInterface(iid, out);
        control->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

// A trivial object to advise.
class Sink : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void** out) override
    {
        *out = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    LONG refs = 1;
};

class AxHostOrder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoRegisterClassObject(kFakeControl, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                              &cookie_));
        parent_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                                  nullptr);
        g_calls.clear();
        g_doVerbAnswer = S_OK;
        sites_ = AxSite::Instances();
    }
    void TearDown() override
    {
        DestroyWindow(parent_);
        CoRevokeClassObject(cookie_);
    }
    FakeFactory factory_;
    DWORD cookie_ = 0;
    HWND parent_ = nullptr;
    LONG sites_ = 0;
};

TEST_F(AxHostOrder, CreatesStepByStepAndTearsDownInReverse)
{
    Sink sink;
    {
        AxHost host;
        ASSERT_TRUE(host.CreateControl(kFakeControl, L"", WS_CHILD | WS_VISIBLE, RECT{5, 5, 105, 55}, parent_, 9));
        EXPECT_TRUE(host.AdviseEvents(kFakeEvents, &sink));
        EXPECT_EQ(2, sink.refs);
        EXPECT_FALSE(host.AdviseEvents(IID_IDispatch, &sink)) << "no such connection point";
        MoveWindow(host.Hwnd(), 0, 0, 80, 40, TRUE);
        EXPECT_EQ((std::vector<std::string>{"SetClientSite(site)", "DoVerb(-5)", "Advise", "SetObjectRects(80x40)"}),
                  g_calls);
        g_calls.clear();
        host.DestroyWindow();
        EXPECT_EQ((std::vector<std::string>{"Unadvise(41)", "InPlaceDeactivate", "Close(nosave)",
                                            "SetClientSite(null)", "freed"}),
                  g_calls);
        EXPECT_EQ(1, sink.refs);
        EXPECT_EQ(sites_, AxSite::Instances());
        g_calls.clear();
    }
    EXPECT_TRUE(g_calls.empty()) << "the object's destruction does not tear down twice";
}

TEST_F(AxHostOrder, KeysReachTheActiveObjectTheControlRegistered)
{
    {
        AxHost host;
        ASSERT_TRUE(host.CreateControl(kFakeControl, L"", WS_CHILD, RECT{0, 0, 10, 10}, parent_, 9));
        g_calls.clear();
        MSG key{host.Hwnd(), WM_KEYDOWN, 'A', 0, 0, {0, 0}};
        EXPECT_EQ(S_OK, host.TranslateAccelerator(&key));
        key.wParam = VK_TAB;
        EXPECT_EQ(S_FALSE, host.TranslateAccelerator(&key));
        EXPECT_EQ((std::vector<std::string>{"TranslateAccelerator(256,65)", "TranslateAccelerator(256,9)"}), g_calls);
        g_calls.clear();
    }
    // The site let go of the active object: the control was freed, no cycle kept it.
    ASSERT_FALSE(g_calls.empty());
    EXPECT_EQ("freed", g_calls.back());
    AxHost none;
    MSG key{nullptr, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    EXPECT_EQ(S_FALSE, none.TranslateAccelerator(&key));
}

TEST_F(AxHostOrder, FailedActivationUnwindsEverything)
{
    g_doVerbAnswer = E_UNEXPECTED;
    AxHost host;
    EXPECT_FALSE(host.CreateControl(kFakeControl, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, parent_, 9));
    EXPECT_EQ((std::vector<std::string>{"SetClientSite(site)", "DoVerb(-5)", "InPlaceDeactivate", "Close(nosave)",
                                        "SetClientSite(null)", "freed"}),
              g_calls);
    EXPECT_FALSE(host.IsWindow());
    EXPECT_EQ(nullptr, GetWindow(parent_, GW_CHILD));
    EXPECT_EQ(sites_, AxSite::Instances());
}

TEST_F(AxHostOrder, SecondCreationOnTheSameHostIsRefused)
{
    AxHost host;
    ASSERT_TRUE(host.CreateControl(kFakeControl, L"", WS_CHILD, RECT{0, 0, 10, 10}, parent_, 9));
    EXPECT_FALSE(host.CreateControl(kFakeControl, L"", WS_CHILD, RECT{0, 0, 10, 10}, parent_, 9));
    EXPECT_EQ(sites_ + 1, AxSite::Instances());
}

} // namespace
