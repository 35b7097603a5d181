#pragma once
#include <windows.h>
#include <exdisp.h>

#include <string>

#include "client/browser/IJSDispatch.h"
#include "framework/AxHost.h"
#include "framework/ComPtr.h"
#include "framework/Dialog.h"
#include "framework/WebBrowserEventSink.h"

class CWebCtrlInterFace;

// The login page over the login frame's web area: a borderless modeless dialog (template 102)
// hosting a WebBrowser control (id 174). It shows itself when its first page has loaded, and
// turns the page's script commands and navigations into the frame's game, top-up and
// customer-service values. It deletes itself when its window is gone; when OnInitDialog
// fails it destroys its window at once, so Create returns false and the object is gone.
class CWebDlg : public Dialog, public IJSDispatch, public WebBrowserEvents {
public:
    static constexpr UINT IDD = 102;
    static constexpr UINT kBrowserId = 174;

    // Builds the client-site wrapper and its script bridge; the dialog holds one reference.
    explicit CWebDlg(HWND parent);
    ~CWebDlg() override;

    // The frame creates the window with Create(IDD, frame).

    // Tears the page down and destroys the dialog; the frame calls it when it closes.
    void OnCancel() override;

    // The control's automation interface; null until OnInitDialog got it and after OnCancel.
    IWebBrowser2* WebBrowser() const { return webBrowser.Get(); }

    bool PreTranslateMessage(MSG* msg) override;

    // Script commands the login page sends.
    void ShowBindBtn() override;
    void OpenGame(std::wstring text) override;
    void ShowIM(std::wstring text) override;
    void OpenPay(std::wstring text) override;

    // Control events (control id 174).
    virtual void OnTitleChange(UINT controlId, const wchar_t* title) override;
    virtual void OnNewWindow3(UINT controlId, IDispatch** newWindow, VARIANT_BOOL* cancel, DWORD flags,
                              const wchar_t* urlContext, const wchar_t* url) override;
    virtual void OnNavigateComplete2(UINT controlId, IDispatch* disp, VARIANT* url) override;
    virtual void OnDocumentComplete(UINT controlId, IDispatch* disp, VARIANT* url) override;
    virtual void OnBeforeNavigate2(UINT controlId, IDispatch* disp, VARIANT* url, VARIANT* flags,
                                   VARIANT* targetFrame, VARIANT* postData, VARIANT* headers,
                                   VARIANT_BOOL* cancel) override;

    const std::wstring& CurrentUrl() const { return currentUrl; }
    const RECT& PageRect() const { return pageRect; }

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    void Navigate(const std::wstring& address);

    CWebCtrlInterFace* site = nullptr;
    ComPtr<IWebBrowser2> webBrowser;
    AxHost browser;
    RECT pageRect{};
    std::wstring currentUrl;
    int navigated = 0;
    ComPtr<WebBrowserEventSink> events_;
};
