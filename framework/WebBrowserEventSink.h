#pragma once
#include <windows.h>
#include <oaidl.h>

#include "framework/ComPtr.h"
#include "framework/WebBrowserEvents.h"

// DWebBrowserEvents2 sink for one control: checks each event's argument block and calls the
// matching handler with the control's id. Events with a block of the wrong shape are refused
// (DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH) and reach no handler.
class WebBrowserEventSink : public IDispatch {
public:
    // A sink with one reference for the caller; the handler is borrowed.
    static ComPtr<WebBrowserEventSink> Create(WebBrowserEvents* handler, UINT controlId);

    // Stops calling the handler; events that still arrive are ignored.
    void Disconnect() { handler_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // Sinks alive in the process.
    static LONG Instances();

private:
    WebBrowserEventSink(WebBrowserEvents* handler, UINT controlId);
    virtual ~WebBrowserEventSink();

    LONG refCount_ = 1;
    WebBrowserEvents* handler_;
    UINT controlId_;
};
