#include "client/browser/WebCtrlInterFace.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "client/browser/JSDispatch.h"
#include "tests/browser/RecordingTarget.h"

namespace {

// The container's own site as the wrapper sees it: records which method reached it and answers
// every call with the same code, so a forwarded result can be told from a fallback.
class FakeInnerSite : public IOleClientSite, public IDocHostUIHandler {
public:
    explicit FakeInnerSite(bool offersHandler) : offersHandler_(offersHandler) {}
    std::vector<std::string> calls;
    HRESULT answer = static_cast<HRESULT>(0x80040777);
    LONG refs = 1;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (offersHandler_ && IsEqualIID(iid, IID_IDocHostUIHandler))
            *out = static_cast<IDocHostUIHandler*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }

    STDMETHODIMP SaveObject() override { return Note("SaveObject"); }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return Note("GetMoniker"); }
    STDMETHODIMP GetContainer(IOleContainer**) override { return Note("GetContainer"); }
    STDMETHODIMP ShowObject() override { return Note("ShowObject"); }
    STDMETHODIMP OnShowWindow(BOOL) override { return Note("OnShowWindow"); }
    STDMETHODIMP RequestNewObjectLayout() override { return Note("RequestNewObjectLayout"); }

    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return Note("ShowContextMenu"); }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO*) override { return Note("GetHostInfo"); }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override { return Note("ShowUI"); }
    STDMETHODIMP HideUI() override { return Note("HideUI"); }
    STDMETHODIMP UpdateUI() override { return Note("UpdateUI"); }
    STDMETHODIMP EnableModeless(BOOL) override { return Note("EnableModeless"); }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return Note("OnDocWindowActivate"); }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return Note("OnFrameWindowActivate"); }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return Note("ResizeBorder"); }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return Note("TranslateAccelerator"); }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR*, DWORD) override { return Note("GetOptionKeyPath"); }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget**) override { return Note("GetDropTarget"); }
    STDMETHODIMP GetExternal(IDispatch**) override { return Note("GetExternal"); }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return Note("TranslateUrl"); }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject**) override { return Note("FilterDataObject"); }

private:
    HRESULT Note(const char* name)
    {
        calls.push_back(name);
        return answer;
    }
    bool offersHandler_;
};

// A fresh wrapper holding one reference, released at the end of the scope.
struct Wrapper {
    explicit Wrapper(CJSDispatch* script = nullptr) : site(new CWebCtrlInterFace(script)) { site->AddRef(); }
    ~Wrapper() { site->Release(); }
    CWebCtrlInterFace* operator->() const { return site; }
    CWebCtrlInterFace* site;
};

// Not in the import libraries.
const IID kDocHostUIHandler2 = {0x3050f6d0, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};

void* const kSentinel = reinterpret_cast<void*>(0x1234);

// One operation of the wrapper with its out pointer (if any) preset to kSentinel.
struct Operation {
    const char* name;
    std::function<HRESULT(CWebCtrlInterFace&, void**)> call;
    HRESULT fallback;
    bool clearsOut;
};

std::vector<Operation> Operations()
{
    return {
        {"SaveObject", [](CWebCtrlInterFace& w, void**) { return w.SaveObject(); }, E_FAIL, false},
        {"GetMoniker", [](CWebCtrlInterFace& w, void** o) { return w.GetMoniker(0, 0, reinterpret_cast<IMoniker**>(o)); }, E_NOTIMPL, true},
        {"GetContainer", [](CWebCtrlInterFace& w, void** o) { return w.GetContainer(reinterpret_cast<IOleContainer**>(o)); }, E_NOINTERFACE, true},
        {"ShowObject", [](CWebCtrlInterFace& w, void**) { return w.ShowObject(); }, S_OK, false},
        {"OnShowWindow", [](CWebCtrlInterFace& w, void**) { return w.OnShowWindow(TRUE); }, S_OK, false},
        {"RequestNewObjectLayout", [](CWebCtrlInterFace& w, void**) { return w.RequestNewObjectLayout(); }, E_NOTIMPL, false},
        {"ShowUI", [](CWebCtrlInterFace& w, void**) { return w.ShowUI(0, nullptr, nullptr, nullptr, nullptr); }, S_FALSE, false},
        {"HideUI", [](CWebCtrlInterFace& w, void**) { return w.HideUI(); }, E_NOTIMPL, false},
        {"UpdateUI", [](CWebCtrlInterFace& w, void**) { return w.UpdateUI(); }, E_NOTIMPL, false},
        {"EnableModeless", [](CWebCtrlInterFace& w, void**) { return w.EnableModeless(TRUE); }, E_NOTIMPL, false},
        {"OnDocWindowActivate", [](CWebCtrlInterFace& w, void**) { return w.OnDocWindowActivate(TRUE); }, E_NOTIMPL, false},
        {"OnFrameWindowActivate", [](CWebCtrlInterFace& w, void**) { return w.OnFrameWindowActivate(TRUE); }, E_NOTIMPL, false},
        {"ResizeBorder", [](CWebCtrlInterFace& w, void**) { return w.ResizeBorder(nullptr, nullptr, TRUE); }, E_NOTIMPL, false},
        {"TranslateAccelerator", [](CWebCtrlInterFace& w, void**) { MSG m{}; return w.TranslateAccelerator(&m, nullptr, 0); }, E_NOTIMPL, false},
        {"GetOptionKeyPath", [](CWebCtrlInterFace& w, void** o) { return w.GetOptionKeyPath(reinterpret_cast<LPOLESTR*>(o), 0); }, E_NOTIMPL, true},
        {"GetDropTarget", [](CWebCtrlInterFace& w, void** o) { return w.GetDropTarget(nullptr, reinterpret_cast<IDropTarget**>(o)); }, E_NOTIMPL, true},
        {"GetExternal", [](CWebCtrlInterFace& w, void** o) { return w.GetExternal(reinterpret_cast<IDispatch**>(o)); }, E_NOTIMPL, true},
        {"TranslateUrl", [](CWebCtrlInterFace& w, void** o) { return w.TranslateUrl(0, const_cast<LPWSTR>(L"http://a/"), reinterpret_cast<LPWSTR*>(o)); }, S_FALSE, true},
        {"FilterDataObject", [](CWebCtrlInterFace& w, void** o) { return w.FilterDataObject(nullptr, reinterpret_cast<IDataObject**>(o)); }, S_FALSE, true},
    };
}

TEST(WebCtrlInterFace, OffersOnlyItsThreeInterfaces)
{
    Wrapper w;
    IOleClientSite* primary = w.site;
    IDocHostUIHandler* second = w.site;
    const struct {
        const IID* iid;
        void* expected;
    } cases[] = {
        {&IID_IUnknown, primary},           {&IID_IOleClientSite, primary}, {&IID_IDocHostUIHandler, second},
        {&IID_IOleInPlaceSite, nullptr},    {&IID_IOleCommandTarget, nullptr},
        {&kDocHostUIHandler2, nullptr}, {&IID_IDispatch, nullptr},     {&IID_IServiceProvider, nullptr},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        for (int face = 0; face < 2; ++face) {
            void* out = kSentinel;
            const HRESULT hr = face == 0 ? primary->QueryInterface(*cases[i].iid, &out)
                                         : second->QueryInterface(*cases[i].iid, &out);
            EXPECT_EQ(cases[i].expected ? S_OK : E_NOINTERFACE, hr) << "row " << i << " face " << face;
            EXPECT_EQ(cases[i].expected, out) << "row " << i << " face " << face;
            if (out)
                static_cast<IUnknown*>(out)->Release();
        }
    }
    // Both faces count on the one object.
    EXPECT_EQ(2u, second->AddRef());
    EXPECT_EQ(1u, primary->Release());
}

TEST(WebCtrlInterFace, UnwritableOutPointerIsRefused)
{
    Wrapper w;
    EXPECT_EQ(E_INVALIDARG, w->QueryInterface(IID_IUnknown, nullptr));
    void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(E_INVALIDARG, w->QueryInterface(IID_IUnknown, static_cast<void**>(page)));
    // Fallbacks that clear an out pointer leave an unwritable one alone.
    EXPECT_EQ(E_NOTIMPL, w->GetMoniker(0, 0, static_cast<IMoniker**>(page)));
    VirtualFree(page, 0, MEM_RELEASE);
}

TEST(WebCtrlInterFace, FallbacksWithoutAnInnerSite)
{
    const auto operations = Operations();
    for (size_t i = 0; i < operations.size(); ++i) {
        Wrapper w;
        void* out = kSentinel;
        EXPECT_EQ(operations[i].fallback, operations[i].call(*w.site, &out)) << operations[i].name;
        EXPECT_EQ(operations[i].clearsOut ? nullptr : kSentinel, out) << operations[i].name;
    }
    Wrapper w;
    EXPECT_EQ(S_OK, w->ShowContextMenu(0, nullptr, nullptr, nullptr));
}

TEST(WebCtrlInterFace, HostInfoFallbackHidesBorderAndScrollBars)
{
    Wrapper w;
    DOCHOSTUIINFO info{};
    info.cbSize = 999;
    info.dwFlags = 0xFFFF0000;
    info.dwDoubleClick = 7;
    info.pchHostCss = const_cast<OLECHAR*>(L"css");
    info.pchHostNS = const_cast<OLECHAR*>(L"ns");
    ASSERT_EQ(S_OK, w->GetHostInfo(&info));
    EXPECT_EQ(20u, info.cbSize);
    EXPECT_EQ(0xCu, info.dwFlags);
    EXPECT_EQ(0u, info.dwDoubleClick);
    EXPECT_STREQ(L"css", info.pchHostCss);
    EXPECT_STREQ(L"ns", info.pchHostNS);
    EXPECT_EQ(E_POINTER, w->GetHostInfo(nullptr));
}

TEST(WebCtrlInterFace, ForwardsEveryOperationToTheInnerSite)
{
    FakeInnerSite inner(true);
    const auto operations = Operations();
    for (size_t i = 0; i < operations.size(); ++i) {
        Wrapper w;
        w->SetInnerSite(&inner);
        inner.calls.clear();
        void* out = kSentinel;
        EXPECT_EQ(inner.answer, operations[i].call(*w.site, &out)) << operations[i].name;
        ASSERT_EQ(1u, inner.calls.size()) << operations[i].name;
        EXPECT_EQ(operations[i].name, inner.calls[0]);
        EXPECT_EQ(kSentinel, out) << operations[i].name << ": the inner site's answer stands";
    }
    Wrapper w;
    w->SetInnerSite(&inner);
    inner.calls.clear();
    DOCHOSTUIINFO info{};
    EXPECT_EQ(inner.answer, w->GetHostInfo(&info));
    EXPECT_EQ(0u, info.cbSize);
    // The context menu is never the inner site's business.
    EXPECT_EQ(S_OK, w->ShowContextMenu(0, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::vector<std::string>{"GetHostInfo"}, inner.calls);
    // A drop target refused with S_FALSE reaches the document as a failure.
    inner.answer = S_FALSE;
    EXPECT_EQ(E_FAIL, w->GetDropTarget(nullptr, nullptr));
    EXPECT_EQ(S_FALSE, w->TranslateUrl(0, nullptr, nullptr));
}

TEST(WebCtrlInterFace, InnerSiteWithoutHandlerGetsOnlyTheSiteCalls)
{
    FakeInnerSite inner(false);
    Wrapper w;
    w->SetInnerSite(&inner);
    inner.calls.clear();
    EXPECT_EQ(inner.answer, w->ShowObject());
    DOCHOSTUIINFO info{};
    EXPECT_EQ(S_OK, w->GetHostInfo(&info));
    EXPECT_EQ(0xCu, info.dwFlags);
    IDispatch* external = static_cast<IDispatch*>(kSentinel);
    EXPECT_EQ(E_NOTIMPL, w->GetExternal(&external));
    EXPECT_EQ(nullptr, external);
    EXPECT_EQ(std::vector<std::string>{"ShowObject"}, inner.calls);
}

TEST(WebCtrlInterFace, InnerSiteReferencesAreHeldOnceAndDropped)
{
    FakeInnerSite inner(true);
    {
        Wrapper w;
        w->SetInnerSite(&inner);
        EXPECT_EQ(3, inner.refs) << "one for the site, one for its handler";
        w->SetInnerSite(&inner);
        EXPECT_EQ(3, inner.refs) << "a second site replaces the first";
        w->SetInnerSite(nullptr);
        EXPECT_EQ(1, inner.refs);
        EXPECT_EQ(E_FAIL, w->SaveObject());
        w->SetInnerSite(&inner);
    }
    EXPECT_EQ(1, inner.refs) << "destruction releases both";
}

TEST(WebCtrlInterFace, ExternalIsTheScriptBridgeBeforeTheInnerHandler)
{
    RecordingTarget target;
    auto* bridge = new CJSDispatch(&target);
    FakeInnerSite inner(true);
    Wrapper w(bridge);
    w->SetInnerSite(&inner);
    inner.calls.clear();
    IDispatch* external = nullptr;
    ASSERT_EQ(S_OK, w->GetExternal(&external));
    EXPECT_EQ(static_cast<IDispatch*>(bridge), external);
    EXPECT_EQ(2u, external->AddRef()) << "GetExternal added one reference";
    external->Release();
    external->Release();
    EXPECT_TRUE(inner.calls.empty());
}

TEST(WebCtrlInterFace, LastReleaseFreesWrapperAndBridgeWhateverTheBridgeCount)
{
    const LONG wrappers = CWebCtrlInterFace::Instances();
    const LONG bridges = CJSDispatch::Instances();
    RecordingTarget target;
    auto* site = new CWebCtrlInterFace(new CJSDispatch(&target));
    EXPECT_EQ(1u, site->AddRef());
    IDispatch* external = nullptr;
    ASSERT_EQ(S_OK, site->GetExternal(&external));
    external->AddRef(); // page script still holds window.external
    EXPECT_EQ(2u, site->AddRef());
    EXPECT_EQ(1u, site->Release());
    EXPECT_EQ(wrappers + 1, CWebCtrlInterFace::Instances());
    EXPECT_EQ(0u, site->Release());
    EXPECT_EQ(wrappers, CWebCtrlInterFace::Instances());
    EXPECT_EQ(bridges, CJSDispatch::Instances());
}

} // namespace
