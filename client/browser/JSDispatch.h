#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>

class IJSDispatch;

// window.external of a page-hosting window: offers page script WD_JAPI (a command word and an
// optional parameter) and API_close, and turns each call into one IJSDispatch operation of
// the window. Release never frees it: the client-site wrapper that hands it out deletes it.
class CJSDispatch : public IDispatch {
public:
    explicit CJSDispatch(IJSDispatch* target);
    virtual ~CJSDispatch();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    // Only the first name counts: "WD_JAPI" 1000, "API_close" 1001 (any case); other names
    // E_NOTIMPL with the ids untouched.
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    // 1001: ApiClose. 1000: decodes the strings and runs the command; S_OK whatever the command
    // did. A WD_JAPI call without arguments (or without an argument block) fails with
    // DISP_E_BADPARAMCOUNT, one whose command or parameter is not a string with
    // DISP_E_TYPEMISMATCH and *argError = that element's index; neither reaches the window.
    // Other ids: E_NOTIMPL.
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // Bridges alive in the process.
    static LONG Instances();

private:
    void RunCommand(const std::wstring& command, const std::wstring& parameter, VARIANT* result);

    LONG refCount = 0;
    IJSDispatch* target;
};
