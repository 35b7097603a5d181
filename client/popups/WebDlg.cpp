// Before anything that brings in windows.h, whose FrameRect function would hide the
// frame's rectangle type of the same name.
#include "client/app/MainWnd.h"

#include "client/popups/WebDlg.h"

#include <exdisp.h>

#include <new>

#include "DuskHosts.h"
#include "client/app/Messages.h"
#include "client/browser/BrowserHost.h"
#include "client/browser/JSDispatch.h"
#include "client/browser/WebCtrlInterFace.h"
#include "client/popups/SplitThreeFields.h"
#include "framework/Text.h"
#include "framework/UiSeam.h"

namespace {

// The string an event's URL argument holds, or empty.
std::wstring UrlText(const VARIANT* url)
{
    if (!url)
        return {};
    if (url->vt == VT_BSTR && url->bstrVal)
        return url->bstrVal;
    if (url->vt == (VT_BSTR | VT_BYREF) && url->pbstrVal && *url->pbstrVal)
        return *url->pbstrVal;
    return {};
}

HWND FrameWindow()
{
    return g_mainWnd ? g_mainWnd->Hwnd() : nullptr;
}

} // namespace

CWebDlg::CWebDlg(HWND)
{
    // The parent is given again to Create; the bridge goes to the wrapper, which owns it.
    CJSDispatch* bridge = new (std::nothrow) CJSDispatch(this);
    site = new (std::nothrow) CWebCtrlInterFace(bridge);
    if (!site) {
        delete bridge;
        return;
    }
    site->AddRef();
}

CWebDlg::~CWebDlg()
{
    if (events_)
        events_->Disconnect();
    if (site) {
        site->Release();
        site = nullptr;
    }
}

BOOL CWebDlg::OnInitDialog()
{
    Dialog::OnInitDialog();

    GetClientRect(Hwnd(), &pageRect);
    if (g_mainWnd) {
        pageRect.right = g_mainWnd->webAreaRect.right - 4;
        pageRect.bottom = g_mainWnd->webAreaRect.bottom;
    }
    if (!browser.CreateControl(CLSID_WebBrowser, L"", WS_CHILD | WS_VISIBLE, pageRect, Hwnd(), kBrowserId)) {
        DestroyWindow();
        return FALSE;
    }
    events_ = WebBrowserEventSink::Create(this, kBrowserId);
    if (events_)
        browser.AdviseEvents(DIID_DWebBrowserEvents2, static_cast<IDispatch*>(events_.Get()));
    InstallClientSite(browser.ControlUnknown(), site);

    if (FAILED(browser.ControlUnknown()->QueryInterface(IID_IWebBrowser2, webBrowser.PutVoid())) || !webBrowser) {
        webBrowser.Reset();
        browser.DestroyWindow();
        DestroyWindow();
        return FALSE;
    }

    const std::wstring uid = g_mainWnd ? g_mainWnd->uid : std::wstring();
    const std::wstring suid = g_mainWnd ? g_mainWnd->suid : std::wstring();
    const std::wstring address = std::wstring(L"http://") + DUSK_MAIN_HOST +
                                 FormatText(L"/game/s/wdAccess/?name=dr&uid=%ls&suid=%ls", uid.c_str(), suid.c_str());
    webBrowser->put_Silent(VARIANT_TRUE);
    Navigate(address);
    navigated = 1;
    return TRUE;
}

void CWebDlg::Navigate(const std::wstring& address)
{
    if (!webBrowser || (!IsWindowVisible(Hwnd()) && navigated != 0))
        return;
    VARIANT url, flags, target, postData, headers;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
    if (!url.bstrVal)
        return;
    VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = 0;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = nullptr;
    VariantInit(&postData);
    VariantInit(&headers);
    headers.vt = VT_BSTR;
    headers.bstrVal = nullptr;
    webBrowser->Navigate2(&url, &flags, &target, &postData, &headers);
    VariantClear(&url);
}

LRESULT CWebDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SIZE) {
        RECT client{};
        GetClientRect(Hwnd(), &client);
        if (browser.IsWindow()) {
            pageRect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
            MoveWindow(browser.Hwnd(), 0, 0, pageRect.right, pageRect.bottom, TRUE);
        }
    }
    return Dialog::WindowProc(msg, wParam, lParam);
}

bool CWebDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE)
        return true;
    if (msg->message == WM_SYSKEYDOWN && msg->wParam == VK_F4) {
        // OK closes the frame, which tears this dialog down: nothing of it is touched after.
        ConfirmExit(FrameWindow());
        return true;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F5)
        return true;
    if (msg->wParam == VK_BACK)
        return Dialog::PreTranslateMessage(msg);
    ForwardToBrowser(browser.ControlUnknown(), msg);
    return false;
}

void CWebDlg::OnTitleChange(UINT, const wchar_t*)
{
}

void CWebDlg::OnNewWindow3(UINT controlId, IDispatch**, VARIANT_BOOL* cancel, DWORD, const wchar_t*,
                           const wchar_t* url)
{
    if (controlId != kBrowserId)
        return;
    // The login page never gets a second browser window.
    if (cancel)
        *cancel = VARIANT_TRUE;
    currentUrl = url ? url : L"";
    if (currentUrl.find(L"client=1") != std::wstring::npos) {
        if (g_mainWnd)
            g_mainWnd->gameUrl = currentUrl;
        return;
    }
    if (currentUrl.empty())
        return;
    UiSeam::Current().ShellRun(nullptr, L"open", currentUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CWebDlg::OnNavigateComplete2(UINT controlId, IDispatch*, VARIANT* url)
{
    if (controlId != kBrowserId)
        return;
    currentUrl = UrlText(url);
}

void CWebDlg::OnDocumentComplete(UINT controlId, IDispatch*, VARIANT*)
{
    if (controlId != kBrowserId || !g_mainWnd || !g_mainWnd->loginShowPending)
        return;
    ShowWindow(Hwnd(), SW_SHOW);
    g_mainWnd->loginShowPending = 0;
}

void CWebDlg::OnBeforeNavigate2(UINT controlId, IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                VARIANT_BOOL*)
{
    if (controlId != kBrowserId)
        return;
    currentUrl = UrlText(url);
    // With a blank on each side of the equals sign; the navigation itself goes on.
    if (currentUrl.find(L"client = 1") == std::wstring::npos || !g_mainWnd)
        return;
    g_mainWnd->gameUrl = currentUrl;
    SendMessageW(FrameWindow(), WM_OPENGAME, 0, 0);
}

void CWebDlg::ShowBindBtn()
{
    if (g_mainWnd)
        g_mainWnd->accountBound = 0;
}

void CWebDlg::OpenGame(std::wstring text)
{
    if (!g_mainWnd)
        return;
    std::wstring url = text;
    std::wstring second;
    std::wstring server;
    SplitThreeFields(text, url, second, server);
    g_mainWnd->gameUrl = url;
    g_mainWnd->serverName = server;
    SendMessageW(FrameWindow(), WM_OPENGAME, 0, 0);
}

void CWebDlg::ShowIM(std::wstring text)
{
    if (!g_mainWnd)
        return;
    g_mainWnd->imRequest = text;
    PostMessageW(FrameWindow(), WM_SHOWIM, 0, 0);
}

void CWebDlg::OpenPay(std::wstring text)
{
    if (g_mainWnd)
        g_mainWnd->payUrl = text;
}

void CWebDlg::OnCancel()
{
    if (site) {
        site->Release();
        site = nullptr;
    }
    if (webBrowser) {
        webBrowser->Stop();
        webBrowser->Quit();
        webBrowser.Reset();
        CoFreeUnusedLibraries();
    }
    if (browser.IsWindow())
        browser.DestroyWindow();
    Dialog::OnCancel();
    // Last: the dialog deletes itself on WM_NCDESTROY.
    DestroyWindow();
}

void CWebDlg::PostNcDestroy()
{
    delete this;
}
