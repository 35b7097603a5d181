#pragma once
#include <windows.h>
#include <oaidl.h>

// Handlers for the WebBrowser control's DWebBrowserEvents2 notifications, implemented by a
// window that hosts the control. WebBrowserEventSink decodes the event's arguments and calls
// these with the id of the control that fired, so one window can host several controls.
// By-reference arguments point into the event's own argument block; a handler that cancels
// stores VARIANT_TRUE through cancel.
class WebBrowserEvents {
public:
    // 250
    virtual void OnBeforeNavigate2(UINT /*controlId*/, IDispatch* /*disp*/, VARIANT* /*url*/,
                                   VARIANT* /*flags*/, VARIANT* /*targetFrame*/, VARIANT* /*postData*/,
                                   VARIANT* /*headers*/, VARIANT_BOOL* /*cancel*/) {}
    // 252
    virtual void OnNavigateComplete2(UINT /*controlId*/, IDispatch* /*disp*/, VARIANT* /*url*/) {}
    // 259
    virtual void OnDocumentComplete(UINT /*controlId*/, IDispatch* /*disp*/, VARIANT* /*url*/) {}
    // 113
    virtual void OnTitleChange(UINT /*controlId*/, const wchar_t* /*title*/) {}
    // 273
    virtual void OnNewWindow3(UINT /*controlId*/, IDispatch** /*newWindow*/, VARIANT_BOOL* /*cancel*/,
                              DWORD /*flags*/, const wchar_t* /*urlContext*/, const wchar_t* /*url*/) {}
    // 263
    virtual void OnWindowClosing(UINT /*controlId*/, VARIANT_BOOL /*isChildWindow*/, VARIANT_BOOL* /*cancel*/) {}

protected:
    ~WebBrowserEvents() = default;
};
