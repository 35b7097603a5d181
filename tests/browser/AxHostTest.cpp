// The container and the wrapper with Wine's real WebBrowser control (no HTML engine: the
// control activates, fires BeforeNavigate2 and sends its request, but loads no document).
#include "framework/AxHost.h"

#include <exdisp.h>
#include <mshtmhst.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "client/browser/BrowserHost.h"
#include "client/browser/JSDispatch.h"
#include "client/browser/WebBrowser.h"
#include "client/browser/WebCtrlInterFace.h"
#include "framework/AxSite.h"
#include "framework/WebBrowserEventSink.h"
#include "tests/support/RecordingSeam.h"
#include "tests/browser/RecordingTarget.h"

namespace {

// A plain top-level window to hold the host, destroyed with the test.
class ParentWindow {
public:
    ParentWindow()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"ax-test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640, 480,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~ParentWindow() { DestroyWindow(hwnd_); }
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

// Pumps messages until the predicate holds or about ten seconds have passed.
template <class Pred>
bool PumpUntil(Pred pred)
{
    for (int i = 0; i < 1000 && !pred(); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpPendingMessages();
    }
    return pred();
}

HWND ControlWindow(HWND host)
{
    return FindWindowExW(host, nullptr, L"Shell Embedding", nullptr);
}

SIZE ClientSize(HWND hwnd)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

// Whether the expected entries occur in the log in this order (others may come between).
bool InOrder(const std::vector<std::string>& log, const std::vector<std::string>& expected, std::string& missing)
{
    auto at = log.begin();
    for (const std::string& e : expected) {
        at = std::find(at, log.end(), e);
        if (at == log.end()) {
            missing = e;
            return false;
        }
        ++at;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& log)
{
    std::string s;
    for (const auto& e : log)
        s += e + "; ";
    return s;
}

TEST(AxHost, ActivatesTheControlInPlaceOverItsWindow)
{
    ParentWindow parent;
    std::vector<std::string> log;
    AxSite::SetCallLog(&log);
    AxHost host;
    const bool created = host.CreateControl(CLSID_WebBrowser, L"", WS_CHILD | WS_VISIBLE, RECT{10, 20, 310, 220},
                                            parent.Get(), 174);
    AxSite::SetCallLog(nullptr);
    ASSERT_TRUE(created);
    EXPECT_EQ(174, GetDlgCtrlID(host.Hwnd()));
    EXPECT_EQ(parent.Get(), GetParent(host.Hwnd()));

    // What the control asks its site while it is sited and then activated in place.
    std::string missing;
    EXPECT_TRUE(InOrder(log, {"QI IOleClientSite", "QI IDocHostUIHandler", "QI IOleInPlaceSite", "CanInPlaceActivate",
                              "OnInPlaceActivate", "GetWindowContext", "ShowObject"},
                        missing))
        << "missing " << missing << " in " << Joined(log);

    HWND control = ControlWindow(host.Hwnd());
    ASSERT_NE(nullptr, control) << "the control's window lives in the host";
    EXPECT_EQ(300, ClientSize(control).cx);
    EXPECT_EQ(200, ClientSize(control).cy);
    MoveWindow(host.Hwnd(), 0, 0, 420, 260, TRUE);
    EXPECT_EQ(420, ClientSize(control).cx) << "resizing the host resizes the control";
    EXPECT_EQ(260, ClientSize(control).cy);

    ComPtr<IWebBrowser2> browser;
    ASSERT_TRUE(host.ControlUnknown());
    EXPECT_EQ(S_OK, host.ControlUnknown()->QueryInterface(IID_IWebBrowser2, browser.PutVoid()));
}

TEST(AxHost, TearsDownInReverseAndFreesItsSite)
{
    ParentWindow parent;
    const LONG sites = AxSite::Instances();
    {
        AxHost host;
        ASSERT_TRUE(host.CreateControl(CLSID_WebBrowser, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 200, 100},
                                       parent.Get(), 5));
        EXPECT_EQ(sites + 1, AxSite::Instances());
        ASSERT_TRUE(host.DestroyWindow());
        EXPECT_EQ(nullptr, host.ControlUnknown());
        EXPECT_FALSE(host.IsWindow());
    }
    EXPECT_EQ(sites, AxSite::Instances());

    // An object destroyed with its window still up takes the control down too.
    {
        AxHost host;
        ASSERT_TRUE(host.CreateControl(CLSID_WebBrowser, L"", WS_CHILD, RECT{0, 0, 50, 50}, parent.Get(), 6));
    }
    EXPECT_EQ(sites, AxSite::Instances());
}

TEST(AxHost, UnknownClassLeavesNothingBehind)
{
    ParentWindow parent;
    const LONG sites = AxSite::Instances();
    // A class id nobody registered.
    const CLSID nobody = {0x1b2e9f71, 0x55aa, 0x4c3d, {0x9e, 0x10, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}};
    AxHost host;
    EXPECT_FALSE(host.CreateControl(nobody, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 50}, parent.Get(), 7));
    EXPECT_FALSE(host.IsWindow());
    EXPECT_EQ(nullptr, GetWindow(parent.Get(), GW_CHILD));
    EXPECT_EQ(nullptr, host.ControlUnknown());
    EXPECT_EQ(sites, AxSite::Instances());
    EXPECT_FALSE(host.AdviseEvents(DIID_DWebBrowserEvents2, nullptr));
}

class NavigationEvents : public WebBrowserEvents {
public:
    std::vector<std::wstring> urls;
    UINT controlId = 0;
    void OnBeforeNavigate2(UINT id, IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                           VARIANT_BOOL* cancel) override
    {
        controlId = id;
        urls.push_back(url && url->vt == VT_BSTR && url->bstrVal ? url->bstrVal : L"?");
        *cancel = VARIANT_TRUE; // nothing leaves the machine
    }
};

TEST(AxHost, EventsReachTheSinkKeyedByControlId)
{
    ParentWindow parent;
    const LONG sinks = WebBrowserEventSink::Instances();
    NavigationEvents events;
    {
        CWebBrowser browser;
        ASSERT_TRUE(browser.Create(L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 200, 100}, parent.Get(), 172));
        auto sink = WebBrowserEventSink::Create(&events, 172);
        ASSERT_TRUE(browser.AdviseEvents(DIID_DWebBrowserEvents2, static_cast<IDispatch*>(sink.Get())));
        EXPECT_FALSE(browser.AdviseEvents(DIID_DWebBrowserEvents2, static_cast<IDispatch*>(sink.Get())))
            << "one sink per host";
        EXPECT_EQ(S_OK, SetBrowserSilent(browser.ControlUnknown()));
        ComPtr<IWebBrowser2> wb;
        ASSERT_EQ(S_OK, browser.ControlUnknown()->QueryInterface(IID_IWebBrowser2, wb.PutVoid()));
        VARIANT_BOOL silent = VARIANT_FALSE;
        EXPECT_EQ(S_OK, wb->get_Silent(&silent));
        EXPECT_EQ(VARIANT_TRUE, silent);

        EXPECT_EQ(S_OK, NavigateBrowser(browser.ControlUnknown(), L"http://127.0.0.1:9/nowhere?a=1&b=%20"));
        EXPECT_TRUE(PumpUntil([&] { return !events.urls.empty(); }));
        ASSERT_EQ(1u, events.urls.size());
        EXPECT_EQ(L"http://127.0.0.1:9/nowhere?a=1&b=%20", events.urls[0]);
        EXPECT_EQ(172u, events.controlId);
    }
    EXPECT_EQ(sinks, WebBrowserEventSink::Instances()) << "unadvised and released at teardown";
}

// A wrapper that records what the control asks it for.
class RecordingWrapper : public CWebCtrlInterFace {
public:
    using CWebCtrlInterFace::CWebCtrlInterFace;
    std::vector<std::string>* queries = nullptr;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (queries) {
            wchar_t text[40];
            StringFromGUID2(iid, text, 40);
            queries->push_back(IsEqualIID(iid, IID_IDocHostUIHandler) ? "IDocHostUIHandler"
                                                                       : std::string(text, text + wcslen(text)));
        }
        return CWebCtrlInterFace::QueryInterface(iid, out);
    }
};

TEST(BrowserHost, WrapperIsInstalledInFrontOfTheContainerSiteAndFreedOnce)
{
    ParentWindow parent;
    const LONG wrappers = CWebCtrlInterFace::Instances();
    const LONG bridges = CJSDispatch::Instances();
    const LONG sites = AxSite::Instances();
    RecordingTarget target;
    std::vector<std::string> queries;
    CWebCtrlInterFace* wrapper = new RecordingWrapper(new CJSDispatch(&target));
    static_cast<RecordingWrapper*>(wrapper)->queries = &queries;
    wrapper->AddRef();

    CWebBrowser browser;
    ASSERT_TRUE(browser.Create(L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 200, 100}, parent.Get(), 171));
    ComPtr<IOleObject> object;
    ASSERT_EQ(S_OK, browser.ControlUnknown()->QueryInterface(IID_IOleObject, object.PutVoid()));
    ComPtr<IOleClientSite> before;
    ASSERT_EQ(S_OK, object->GetClientSite(before.Put()));

    ASSERT_TRUE(InstallClientSite(browser.ControlUnknown(), wrapper));
    ComPtr<IOleClientSite> after;
    ASSERT_EQ(S_OK, object->GetClientSite(after.Put()));
    EXPECT_EQ(static_cast<IOleClientSite*>(wrapper), after.Get());
    EXPECT_NE(before.Get(), after.Get());
    EXPECT_NE(queries.end(), std::find(queries.begin(), queries.end(), "IDocHostUIHandler"))
        << "the control asks the new site for the document-host handler";

    // The container's site, now inner, answers what it answered before.
    std::vector<std::string> log;
    AxSite::SetCallLog(&log);
    EXPECT_EQ(S_OK, after->ShowObject());
    IOleContainer* container = reinterpret_cast<IOleContainer*>(1);
    EXPECT_EQ(E_NOINTERFACE, after->GetContainer(&container));
    AxSite::SetCallLog(nullptr);
    EXPECT_EQ((std::vector<std::string>{"ShowObject", "GetContainer"}), log);
    // ... and offers no handler, so the wrapper's fallbacks apply.
    ComPtr<IDocHostUIHandler> handler;
    ASSERT_EQ(S_OK, after->QueryInterface(IID_IDocHostUIHandler, handler.PutVoid()));
    DOCHOSTUIINFO info{};
    EXPECT_EQ(S_OK, handler->GetHostInfo(&info));
    EXPECT_EQ(0xCu, info.dwFlags);
    ComPtr<IDispatch> external;
    ASSERT_EQ(S_OK, handler->GetExternal(external.Put()));
    DISPID id = 0;
    LPOLESTR name = const_cast<LPOLESTR>(L"wd_japi");
    EXPECT_EQ(S_OK, external->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
    EXPECT_EQ(1000, id);

    // Keys reach the control's active object without upsetting anything.
    MSG key{browser.Hwnd(), WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    ForwardToBrowser(browser.ControlUnknown(), &key);
    ForwardToBrowser(nullptr, &key);

    handler.Reset();
    after.Reset();
    before.Reset();
    object.Reset();
    external.Reset(); // page script lets go of window.external
    static_cast<RecordingWrapper*>(wrapper)->queries = nullptr;
    TearDownHostedPage(wrapper, browser);
    EXPECT_EQ(nullptr, wrapper);
    EXPECT_FALSE(browser.IsWindow());
    EXPECT_EQ(wrappers, CWebCtrlInterFace::Instances());
    EXPECT_EQ(bridges, CJSDispatch::Instances());
    EXPECT_EQ(sites, AxSite::Instances());
}

TEST(BrowserHost, NothingIsInstalledWithoutControlOrWrapper)
{
    ParentWindow parent;
    EXPECT_FALSE(InstallClientSite(nullptr, nullptr));
    CWebBrowser browser;
    ASSERT_TRUE(browser.Create(L"", WS_CHILD, RECT{0, 0, 50, 50}, parent.Get(), 1));
    EXPECT_FALSE(InstallClientSite(browser.ControlUnknown(), nullptr));
    // The container's own site stays.
    ComPtr<IOleObject> object;
    ASSERT_EQ(S_OK, browser.ControlUnknown()->QueryInterface(IID_IOleObject, object.PutVoid()));
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(S_OK, object->GetClientSite(site.Put()));
    ComPtr<IDocHostUIHandler> handler;
    EXPECT_EQ(E_NOINTERFACE, site->QueryInterface(IID_IDocHostUIHandler, handler.PutVoid()));
}

// Records WM_CLOSE sent to a stand-in frame window.
LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, GetWindowLongPtrW(hwnd, GWLP_USERDATA) + 1);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST(BrowserHost, ConfirmExitClosesTheFrameOnlyOnOk)
{
    ParentWindow frame;
    SetWindowLongPtrW(frame.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc));
    for (int answer : {IDCANCEL, IDOK}) {
        RecordingSeam seam(answer);
        EXPECT_EQ(answer == IDOK, ConfirmExit(frame.Get()));
        ASSERT_EQ(1u, seam.boxes.size());
        EXPECT_EQ(nullptr, seam.boxes[0].owner);
        EXPECT_EQ(L"确定要退出吗？", seam.boxes[0].text);
        EXPECT_EQ(L"退出提示", seam.boxes[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION), seam.boxes[0].type);
    }
    EXPECT_EQ(1, GetWindowLongPtrW(frame.Get(), GWLP_USERDATA));
    SetWindowLongPtrW(frame.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
}

} // namespace
