// The login dialog over the real login frame. Wine's control sends the page request and fires
// BeforeNavigate2 but loads no document, so the page side (script calls, later events) is
// played here through the same COM interfaces the control and page script use.
#include "client/app/MainWnd.h"

#include "client/popups/WebDlg.h"

#include <exdisp.h>
#include <mshtmhst.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DuskHosts.h"
#include "client/app/Messages.h"
#include "client/browser/JSDispatch.h"
#include "client/browser/WebCtrlInterFace.h"
#include "framework/AxSite.h"
#include "framework/WebBrowserEventSink.h"
#include "tests/support/RecordingSeam.h"

namespace {

// The frame's window procedure is wrapped to record the login dialog's messages; WM_OPENGAME
// and WM_SHOWIM stop there (no game window in these tests), everything else goes on.
std::vector<UINT> g_frameMessages;
WNDPROC g_frameProc = nullptr;

LRESULT CALLBACK RecordingFrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_OPENGAME || msg == WM_SHOWIM) {
        g_frameMessages.push_back(msg);
        return 0;
    }
    return CallWindowProcW(g_frameProc, hwnd, msg, wParam, lParam);
}

template <class Pred>
bool PumpUntil(Pred pred)
{
    for (int i = 0; i < 1000 && !pred(); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpPendingMessages();
    }
    return pred();
}

std::wstring LoginAddress(const std::wstring& uid, const std::wstring& suid)
{
    return std::wstring(L"http://") + DUSK_MAIN_HOST + L"/game/s/wdAccess/?name=dr&uid=" + uid + L"&suid=" + suid;
}

// A VARIANT holding a string, freed with the scope.
struct StringVariant {
    explicit StringVariant(const wchar_t* text)
    {
        VariantInit(&v);
        if (text) {
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocString(text);
        }
    }
    ~StringVariant() { VariantClear(&v); }
    VARIANT v;
};

class WebDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        ini_ = path;
        ini_ = ini_.substr(0, ini_.find_last_of(L'\\') + 1) + L"static.ini";
        DeleteFileW(ini_.c_str());
        g_frameMessages.clear();
        wrappers_ = CWebCtrlInterFace::Instances();
        bridges_ = CJSDispatch::Instances();
        sites_ = AxSite::Instances();
        sinks_ = WebBrowserEventSink::Instances();
    }
    void TearDown() override
    {
        CloseFrame();
        DeleteFileW(ini_.c_str());
    }

    // A hidden-start frame with the given ids, shown so that it creates its login dialog.
    CWebDlg* MakeFrame(const wchar_t* uid = L"77", const wchar_t* suid = L"5")
    {
        frame_ = std::make_unique<CMainWnd>(1);
        frame_->uid = uid;
        frame_->suid = suid;
        g_frameProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(frame_->Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingFrameProc)));
        ShowWindow(frame_->Hwnd(), SW_SHOW);
        return frame_->LoginDialog();
    }
    void CloseFrame()
    {
        if (frame_ && frame_->IsWindow())
            SendMessageW(frame_->Hwnd(), WM_CLOSE, 0, 0);
        PumpPendingMessages();
        frame_.reset();
    }
    void ExpectAllFreed()
    {
        EXPECT_EQ(wrappers_, CWebCtrlInterFace::Instances()) << "client-site wrapper";
        EXPECT_EQ(bridges_, CJSDispatch::Instances()) << "script bridge";
        EXPECT_EQ(sites_, AxSite::Instances()) << "container site";
        EXPECT_EQ(sinks_, WebBrowserEventSink::Instances()) << "event sink";
    }

    // window.external as page script gets it: the control's client site, asked for the
    // document-host handler, asked for the external object.
    ComPtr<IDispatch> External(CWebDlg* dialog)
    {
        ComPtr<IOleObject> object;
        ComPtr<IOleClientSite> site;
        ComPtr<IDocHostUIHandler> handler;
        ComPtr<IDispatch> external;
        if (!dialog->WebBrowser() || FAILED(dialog->WebBrowser()->QueryInterface(IID_IOleObject, object.PutVoid())) ||
            FAILED(object->GetClientSite(site.Put())) ||
            FAILED(site->QueryInterface(IID_IDocHostUIHandler, handler.PutVoid())) ||
            FAILED(handler->GetExternal(external.Put())))
            return nullptr;
        return external;
    }

    // window.external.WD_JAPI(args...) with the name looked up as script does.
    HRESULT WdJapi(IDispatch* external, std::vector<std::wstring> args, VARIANT* result = nullptr)
    {
        DISPID id = 0;
        LPOLESTR name = const_cast<LPOLESTR>(L"WD_JAPI");
        HRESULT hr = external->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr))
            return hr;
        std::vector<VARIANT> vars(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            VARIANT& v = vars[args.size() - 1 - i];
            VariantInit(&v);
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocString(args[i].c_str());
        }
        DISPPARAMS params{vars.data(), nullptr, static_cast<UINT>(vars.size()), 0};
        hr = external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr, nullptr);
        for (VARIANT& v : vars)
            VariantClear(&v);
        return hr;
    }

    std::unique_ptr<CMainWnd> frame_;
    std::wstring ini_;
    LONG wrappers_ = 0, bridges_ = 0, sites_ = 0, sinks_ = 0;
};

TEST_F(WebDlgTest, RequestsTheLoginPageWithTheFrameIdsAndStaysHidden)
{
    const struct {
        const wchar_t* uid;
        const wchar_t* suid;
    } cases[] = {{L"77", L"5"}, {L"", L""}, {L"u_1", L"s.2"}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        CWebDlg* dialog = MakeFrame(cases[i].uid, cases[i].suid);
        ASSERT_NE(nullptr, dialog) << "row " << i;
        ASSERT_NE(nullptr, dialog->WebBrowser()) << "row " << i;
        EXPECT_NE(nullptr, GetDlgItem(dialog->Hwnd(), CWebDlg::kBrowserId)) << "row " << i;
        // The control's own BeforeNavigate2, through the event sink, to the dialog.
        EXPECT_TRUE(PumpUntil([&] { return !dialog->CurrentUrl().empty(); })) << "row " << i;
        EXPECT_EQ(LoginAddress(cases[i].uid, cases[i].suid), dialog->CurrentUrl()) << "row " << i;
        EXPECT_FALSE(IsWindowVisible(dialog->Hwnd())) << "row " << i << ": hidden until the page has loaded";
        EXPECT_TRUE(g_frameMessages.empty()) << "row " << i;
        VARIANT_BOOL silent = VARIANT_FALSE;
        EXPECT_EQ(S_OK, dialog->WebBrowser()->get_Silent(&silent));
        EXPECT_EQ(VARIANT_TRUE, silent) << "row " << i;
        CloseFrame();
        ExpectAllFreed();
    }
}

TEST_F(WebDlgTest, PageRectangleFollowsTheFrameThenTheDialogSize)
{
    MakeFrame();
    const LONG withFrameDialog = CWebCtrlInterFace::Instances();
    auto* dialog = new CWebDlg(frame_->Hwnd());
    ASSERT_TRUE(dialog->Create(CWebDlg::IDD, frame_->Hwnd()));
    HWND control = GetDlgItem(dialog->Hwnd(), CWebDlg::kBrowserId);
    ASSERT_NE(nullptr, control);
    RECT r{};
    GetClientRect(control, &r);
    // The frame's web area reaches x 1041 and y 523; the page keeps 4 pixels off the right.
    EXPECT_EQ(1037, r.right);
    EXPECT_EQ(523, r.bottom);
    EXPECT_EQ(1037, dialog->PageRect().right);

    MoveWindow(dialog->Hwnd(), 0, 0, 300, 200, TRUE);
    GetClientRect(dialog->Hwnd(), &r);
    const RECT client = r;
    GetClientRect(control, &r);
    EXPECT_EQ(client.right, r.right);
    EXPECT_EQ(client.bottom, r.bottom);
    EXPECT_EQ(client.right, dialog->PageRect().right);
    EXPECT_EQ(0, dialog->PageRect().left);

    dialog->OnCancel();
    EXPECT_EQ(withFrameDialog, CWebCtrlInterFace::Instances()) << "this dialog's wrapper is gone";
    CloseFrame();
    ExpectAllFreed();
}

TEST_F(WebDlgTest, ScriptCommandsSetTheFrameValues)
{
    CWebDlg* dialog = MakeFrame();
    ASSERT_NE(nullptr, dialog);
    ComPtr<IDispatch> external = External(dialog);
    ASSERT_TRUE(external);

    const struct {
        const wchar_t* param;
        const wchar_t* gameUrl;
        const wchar_t* server;
    } games[] = {
        {L"http://g/1|x|服务器一", L"http://g/1", L"服务器一"},
        {L"http://g/2|s2", L"http://g/2", L"s2"},
        {L"http://g/3", L"http://g/3", L""},
        {L"u|x|s|t", L"u", L"s|t"},
    };
    for (size_t i = 0; i < std::size(games); ++i) {
        frame_->serverName = L"stale";
        g_frameMessages.clear();
        EXPECT_EQ(S_OK, WdJapi(external.Get(), {L"OpenGame", games[i].param})) << "row " << i;
        EXPECT_EQ(games[i].gameUrl, frame_->gameUrl) << "row " << i;
        EXPECT_EQ(games[i].server, frame_->serverName) << "row " << i;
        EXPECT_EQ(std::vector<UINT>{WM_OPENGAME}, g_frameMessages) << "row " << i << ": sent before the call returns";
    }

    g_frameMessages.clear();
    EXPECT_EQ(S_OK, WdJapi(external.Get(), {L"ShowIM", L"g|f|u|n"}));
    EXPECT_EQ(L"g|f|u|n", frame_->imRequest);
    EXPECT_TRUE(g_frameMessages.empty()) << "posted, not sent";
    PumpPendingMessages();
    EXPECT_EQ(std::vector<UINT>{WM_SHOWIM}, g_frameMessages);

    EXPECT_EQ(1, frame_->accountBound);
    EXPECT_EQ(S_OK, WdJapi(external.Get(), {L"ShowBindBtn"}));
    EXPECT_EQ(0, frame_->accountBound);

    EXPECT_EQ(S_OK, WdJapi(external.Get(), {L"openPay", L"http://pay/x"}));
    EXPECT_EQ(L"http://pay/x", frame_->payUrl);
    EXPECT_EQ(S_OK, WdJapi(external.Get(), {L"OpenPay", L"http://other/"}));
    EXPECT_EQ(L"http://pay/x", frame_->payUrl) << "command words are case-sensitive";

    VARIANT version;
    VariantInit(&version);
    EXPECT_EQ(S_OK, WdJapi(external.Get(), {L"getApiVersion"}, &version));
    ASSERT_EQ(VT_BSTR, version.vt);
    EXPECT_STREQ(L"1", version.bstrVal);
    VariantClear(&version);

    // Operations the login dialog does not answer change nothing.
    g_frameMessages.clear();
    const std::wstring game = frame_->gameUrl;
    for (const wchar_t* command : {L"CloseBindPage", L"AccountBindSuccess", L"AccountRegisterSuccess",
                                   L"DialogBoxTopInfo", L"closedBox", L"opengame"})
        EXPECT_EQ(S_OK, WdJapi(external.Get(), {command, L"p"})) << command;
    EXPECT_EQ(0, frame_->accountBound);
    EXPECT_EQ(game, frame_->gameUrl);
    PumpPendingMessages();
    EXPECT_TRUE(g_frameMessages.empty());

    external.Reset();
    CloseFrame();
    ExpectAllFreed();
}

TEST_F(WebDlgTest, NavigationsWithTheMarkerOpenTheGame)
{
    CWebDlg* dialog = MakeFrame();
    ASSERT_NE(nullptr, dialog);
    PumpUntil([&] { return !dialog->CurrentUrl().empty(); });
    const struct {
        const wchar_t* url;
        bool opens;
    } cases[] = {
        {L"http://g/play?client = 1&s=9", true},
        {L"client = 1", true},
        {L"http://g/play?client=1", false},
        {L"http://g/play?Client = 1", false},
        {L"http://g/play?client =1", false},
        {nullptr, false}, // no string
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        frame_->gameUrl = L"before";
        g_frameMessages.clear();
        StringVariant url(cases[i].url);
        VARIANT empty;
        VariantInit(&empty);
        VARIANT_BOOL cancel = VARIANT_FALSE;
        dialog->OnBeforeNavigate2(CWebDlg::kBrowserId, nullptr, &url.v, &empty, &empty, &empty, &empty, &cancel);
        EXPECT_EQ(cases[i].url ? cases[i].url : L"", dialog->CurrentUrl()) << "row " << i;
        EXPECT_EQ(cases[i].opens ? cases[i].url : L"before", frame_->gameUrl) << "row " << i;
        EXPECT_EQ(cases[i].opens ? std::vector<UINT>{WM_OPENGAME} : std::vector<UINT>{}, g_frameMessages)
            << "row " << i;
        EXPECT_EQ(VARIANT_FALSE, cancel) << "row " << i << ": the navigation goes on";
    }
    CloseFrame();
    ExpectAllFreed();
}

TEST_F(WebDlgTest, NewWindowsStoreTheGameOrGoToTheDefaultBrowser)
{
    CWebDlg* dialog = MakeFrame();
    ASSERT_NE(nullptr, dialog);
    const struct {
        const wchar_t* url;
        bool stores; // gameUrl taken, nothing opened
        bool opens;  // default browser asked
    } cases[] = {
        {L"http://g/play?client=1&s=9", true, false},
        {L"http://www.example.org/news", false, true},
        {L"http://g/play?client = 1", false, true},
        {L"http://g/play?CLIENT=1", false, true},
        {L"", false, false}, // nothing to open
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        RecordingSeam seam;
        frame_->gameUrl = L"before";
        g_frameMessages.clear();
        IDispatch* newWindow = nullptr;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        dialog->OnNewWindow3(CWebDlg::kBrowserId, &newWindow, &cancel, 0, L"http://ctx/", cases[i].url);
        EXPECT_EQ(VARIANT_TRUE, cancel) << "row " << i << ": never a second browser window";
        EXPECT_EQ(cases[i].url, dialog->CurrentUrl()) << "row " << i;
        EXPECT_EQ(cases[i].stores ? cases[i].url : L"before", frame_->gameUrl) << "row " << i;
        EXPECT_TRUE(g_frameMessages.empty()) << "row " << i << ": the game does not open";
        ASSERT_EQ(cases[i].opens ? 1u : 0u, seam.runs.size()) << "row " << i;
        if (cases[i].opens) {
            EXPECT_EQ(L"open", seam.runs[0].verb) << "row " << i;
            EXPECT_EQ(cases[i].url, seam.runs[0].file) << "row " << i;
            EXPECT_FALSE(seam.runs[0].hasParameters || seam.runs[0].hasDirectory) << "row " << i;
            EXPECT_EQ(SW_SHOWNORMAL, seam.runs[0].show) << "row " << i;
        }
    }
    CloseFrame();
    ExpectAllFreed();
}

TEST_F(WebDlgTest, ShowsItselfOnlyAtTheFirstDocumentComplete)
{
    CWebDlg* dialog = MakeFrame();
    ASSERT_NE(nullptr, dialog);
    StringVariant url(L"http://x/");
    dialog->OnNavigateComplete2(CWebDlg::kBrowserId, nullptr, &url.v);
    EXPECT_EQ(L"http://x/", dialog->CurrentUrl());
    EXPECT_FALSE(IsWindowVisible(dialog->Hwnd()));
    EXPECT_EQ(1, frame_->loginShowPending);

    dialog->OnDocumentComplete(CWebDlg::kBrowserId, nullptr, &url.v);
    EXPECT_TRUE(IsWindowVisible(dialog->Hwnd()));
    EXPECT_EQ(0, frame_->loginShowPending);

    ShowWindow(dialog->Hwnd(), SW_HIDE);
    dialog->OnDocumentComplete(CWebDlg::kBrowserId, nullptr, &url.v);
    EXPECT_FALSE(IsWindowVisible(dialog->Hwnd())) << "later loads do not show it again";

    // Events of another control are not this dialog's.
    frame_->loginShowPending = 1;
    dialog->OnDocumentComplete(CWebDlg::kBrowserId + 1, nullptr, &url.v);
    EXPECT_FALSE(IsWindowVisible(dialog->Hwnd()));
    CloseFrame();
    ExpectAllFreed();
}

TEST_F(WebDlgTest, KeyboardRules)
{
    CWebDlg* dialog = MakeFrame();
    ASSERT_NE(nullptr, dialog);
    HWND control = GetDlgItem(dialog->Hwnd(), CWebDlg::kBrowserId);
    RecordingSeam seam(IDCANCEL);
    const struct {
        UINT message;
        WPARAM key;
        bool handled;
        size_t boxes;
    } cases[] = {
        {WM_KEYDOWN, VK_ESCAPE, true, 0},
        {WM_KEYDOWN, VK_F5, true, 0},
        {WM_SYSKEYDOWN, VK_F4, true, 1},
        {WM_KEYDOWN, VK_F4, false, 1},
        {WM_KEYUP, VK_ESCAPE, false, 1},
        {WM_KEYDOWN, 'A', false, 1},
        {WM_KEYDOWN, VK_RETURN, false, 1}, // the dialog manager never sees Enter
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        MSG msg{control, cases[i].message, cases[i].key, 0, 0, {0, 0}};
        EXPECT_EQ(cases[i].handled, dialog->PreTranslateMessage(&msg)) << "row " << i;
        EXPECT_EQ(cases[i].boxes, seam.boxes.size()) << "row " << i;
    }
    EXPECT_EQ(L"确定要退出吗？", seam.boxes.at(0).text);
    EXPECT_EQ(L"退出提示", seam.boxes.at(0).caption);
    EXPECT_TRUE(frame_->IsWindow()) << "Cancel keeps the client";
    // Backspace is the dialog manager's, in whatever message it comes.
    MSG back{dialog->Hwnd(), WM_CHAR, VK_BACK, 0, 0, {0, 0}};
    EXPECT_TRUE(dialog->PreTranslateMessage(&back));
    CloseFrame();
    ExpectAllFreed();
}

TEST_F(WebDlgTest, AltF4ConfirmedClosesTheClientAndFreesThePage)
{
    CWebDlg* dialog = MakeFrame();
    ASSERT_NE(nullptr, dialog);
    RecordingSeam seam(IDOK);
    PostMessageW(dialog->Hwnd(), WM_SYSKEYDOWN, VK_F4, 0);
    PumpPendingMessages();
    ASSERT_EQ(1u, seam.boxes.size());
    EXPECT_FALSE(frame_->IsWindow()) << "WM_CLOSE reached the frame";
    EXPECT_EQ(nullptr, frame_->LoginDialog());
    frame_.reset();
    ExpectAllFreed();
}

// A factory that refuses to make the WebBrowser control.
class RefusingFactory : public IClassFactory {
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
    STDMETHODIMP CreateInstance(IUnknown*, REFIID, void** out) override
    {
        *out = nullptr;
        return E_OUTOFMEMORY;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

TEST_F(WebDlgTest, WithoutAControlTheDialogDestroysItself)
{
    RefusingFactory factory;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_WebBrowser, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                          &cookie));
    CWebDlg* dialog = MakeFrame();
    EXPECT_EQ(nullptr, dialog) << "the frame stays without a login page";
    EXPECT_TRUE(frame_->IsWindow());
    EXPECT_EQ(wrappers_, CWebCtrlInterFace::Instances()) << "the dialog object is gone with its wrapper";

    auto* direct = new CWebDlg(frame_->Hwnd());
    EXPECT_FALSE(direct->Create(CWebDlg::IDD, frame_->Hwnd()));
    EXPECT_EQ(wrappers_, CWebCtrlInterFace::Instances());
    CoRevokeClassObject(cookie);
    CloseFrame();
    ExpectAllFreed();
}

} // namespace
