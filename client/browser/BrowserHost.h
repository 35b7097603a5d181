#pragma once
#include <windows.h>
#include <unknwn.h>

#include <string>

class CWebCtrlInterFace;
class Window;

// Steps every page-hosting window takes with its WebBrowser control.

// Puts the wrapper in front of the container's site: GetClientSite of the control's
// IOleObject becomes the wrapper's inner site, then SetClientSite(wrapper). False (nothing
// installed) when there is no control, no IWebBrowser2 or no wrapper.
bool InstallClientSite(IUnknown* control, CWebCtrlInterFace* wrapper);

// Silent = true (dispatch id 551, property put): no script error boxes from the page.
HRESULT SetBrowserSilent(IUnknown* control);

// Navigate (dispatch id 104) to the address; the optional arguments are left out.
HRESULT NavigateBrowser(IUnknown* control, const std::wstring& url);

// Lets the control's in-place active object see a keyboard message (its accelerators).
// Whether the message then counts as handled is the caller's decision.
void ForwardToBrowser(IUnknown* control, MSG* msg);

// Asks "确定要退出吗？"; on OK sends WM_CLOSE to the login frame, which ends the client.
// Returns whether the player confirmed.
bool ConfirmExit(HWND loginFrame);

// Popup teardown, in this order: drops the window's wrapper reference (and clears it), then
// destroys the control window, whose control releases the last reference.
void TearDownHostedPage(CWebCtrlInterFace*& wrapper, Window& control);
