#include "framework/WebBrowserEventSink.h"

#include <exdisp.h>
#include <exdispid.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

class RecordingEvents : public WebBrowserEvents {
public:
    std::vector<std::wstring> calls;
    void OnBeforeNavigate2(UINT id, IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                           VARIANT_BOOL* cancel) override
    {
        calls.push_back(L"BeforeNavigate2 " + std::to_wstring(id) + L" " + Text(url));
        *cancel = VARIANT_TRUE;
    }
    void OnNavigateComplete2(UINT id, IDispatch*, VARIANT* url) override
    {
        calls.push_back(L"NavigateComplete2 " + std::to_wstring(id) + L" " + Text(url));
    }
    void OnDocumentComplete(UINT id, IDispatch*, VARIANT* url) override
    {
        calls.push_back(L"DocumentComplete " + std::to_wstring(id) + L" " + Text(url));
    }
    void OnTitleChange(UINT id, const wchar_t* title) override
    {
        calls.push_back(L"TitleChange " + std::to_wstring(id) + L" " + title);
    }
    void OnNewWindow3(UINT id, IDispatch**, VARIANT_BOOL* cancel, DWORD flags, const wchar_t* context,
                      const wchar_t* url) override
    {
        calls.push_back(L"NewWindow3 " + std::to_wstring(id) + L" " + std::to_wstring(flags) + L" " + context +
                        L" " + url);
        *cancel = VARIANT_TRUE;
    }
    void OnWindowClosing(UINT id, VARIANT_BOOL child, VARIANT_BOOL* cancel) override
    {
        calls.push_back(L"WindowClosing " + std::to_wstring(id) + L" " + (child ? L"child" : L"top"));
        *cancel = VARIANT_TRUE;
    }

private:
    static std::wstring Text(VARIANT* v) { return v && v->vt == VT_BSTR && v->bstrVal ? v->bstrVal : L"?"; }
};

// An event's arguments in declaration order, stored last first.
struct EventBlock {
    std::vector<VARIANT> vars;
    DISPPARAMS params{};
    void Add(const VARIANT& v) { vars.insert(vars.begin(), v); }
    DISPPARAMS* Params()
    {
        params = DISPPARAMS{vars.data(), nullptr, static_cast<UINT>(vars.size()), 0};
        return &params;
    }
};

VARIANT Var(VARTYPE vt, void* ref = nullptr)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    v.byref = ref;
    return v;
}

TEST(WebBrowserEventSink, DecodesEachEventForItsHandler)
{
    RecordingEvents events;
    auto sink = WebBrowserEventSink::Create(&events, 174);
    ASSERT_TRUE(sink);

    BSTR address = SysAllocString(L"http://h/p");
    VARIANT url = Var(VT_BSTR);
    url.bstrVal = address;
    VARIANT other = Var(VT_EMPTY);
    VARIANT_BOOL cancel = VARIANT_FALSE;

    EventBlock before;
    for (VARIANT v : {Var(VT_DISPATCH), Var(VT_VARIANT | VT_BYREF, &url), Var(VT_VARIANT | VT_BYREF, &other),
                      Var(VT_VARIANT | VT_BYREF, &other), Var(VT_VARIANT | VT_BYREF, &other),
                      Var(VT_VARIANT | VT_BYREF, &other), Var(VT_BOOL | VT_BYREF, &cancel)})
        before.Add(v);
    EXPECT_EQ(S_OK, sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, before.Params(), nullptr,
                                 nullptr, nullptr));
    EXPECT_EQ(VARIANT_TRUE, cancel);

    EventBlock complete;
    complete.Add(Var(VT_DISPATCH));
    complete.Add(Var(VT_VARIANT | VT_BYREF, &url));
    EXPECT_EQ(S_OK, sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, complete.Params(), nullptr,
                                 nullptr, nullptr));
    EXPECT_EQ(S_OK, sink->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, complete.Params(), nullptr,
                                 nullptr, nullptr));

    EventBlock title;
    VARIANT titleText = Var(VT_BSTR);
    titleText.bstrVal = address;
    title.Add(titleText);
    EXPECT_EQ(S_OK, sink->Invoke(DISPID_TITLECHANGE, IID_NULL, 0, DISPATCH_METHOD, title.Params(), nullptr, nullptr,
                                 nullptr));

    IDispatch* newWindow = nullptr;
    cancel = VARIANT_FALSE;
    EventBlock popup;
    popup.Add(Var(VT_DISPATCH | VT_BYREF, &newWindow));
    popup.Add(Var(VT_BOOL | VT_BYREF, &cancel));
    VARIANT flags = Var(VT_I4);
    flags.lVal = 6;
    popup.Add(flags);
    VARIANT context = Var(VT_BSTR);
    context.bstrVal = address;
    popup.Add(context);
    popup.Add(titleText);
    EXPECT_EQ(S_OK, sink->Invoke(DISPID_NEWWINDOW3, IID_NULL, 0, DISPATCH_METHOD, popup.Params(), nullptr, nullptr,
                                 nullptr));
    EXPECT_EQ(VARIANT_TRUE, cancel);

    EventBlock closing;
    VARIANT child = Var(VT_BOOL);
    child.boolVal = VARIANT_TRUE;
    closing.Add(child);
    cancel = VARIANT_FALSE;
    closing.Add(Var(VT_BOOL | VT_BYREF, &cancel));
    EXPECT_EQ(S_OK, sink->Invoke(DISPID_WINDOWCLOSING, IID_NULL, 0, DISPATCH_METHOD, closing.Params(), nullptr,
                                 nullptr, nullptr));

    const std::vector<std::wstring> expected = {
        L"BeforeNavigate2 174 http://h/p", L"NavigateComplete2 174 http://h/p", L"DocumentComplete 174 http://h/p",
        L"TitleChange 174 http://h/p",     L"NewWindow3 174 6 http://h/p http://h/p", L"WindowClosing 174 child",
    };
    EXPECT_EQ(expected, events.calls);
    SysFreeString(address);
}

TEST(WebBrowserEventSink, MalformedEventsReachNoHandler)
{
    RecordingEvents events;
    auto sink = WebBrowserEventSink::Create(&events, 1);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT url = Var(VT_BSTR);
    const struct {
        DISPID id;
        std::vector<VARIANT> args; // declaration order
        HRESULT hr;
        UINT argError;
    } cases[] = {
        {DISPID_NAVIGATECOMPLETE2, {Var(VT_DISPATCH)}, DISP_E_BADPARAMCOUNT, 99},
        {DISPID_NAVIGATECOMPLETE2, {Var(VT_DISPATCH), Var(VT_BSTR)}, DISP_E_TYPEMISMATCH, 0},
        {DISPID_NAVIGATECOMPLETE2, {Var(VT_DISPATCH), Var(VT_VARIANT | VT_BYREF, nullptr)}, DISP_E_TYPEMISMATCH, 0},
        {DISPID_DOCUMENTCOMPLETE, {Var(VT_I4), Var(VT_VARIANT | VT_BYREF, &url)}, DISP_E_TYPEMISMATCH, 1},
        {DISPID_BEFORENAVIGATE2, {Var(VT_DISPATCH), Var(VT_VARIANT | VT_BYREF, &url)}, DISP_E_BADPARAMCOUNT, 99},
        {DISPID_WINDOWCLOSING, {Var(VT_BOOL), Var(VT_BOOL)}, DISP_E_TYPEMISMATCH, 0},
        {DISPID_WINDOWCLOSING, {Var(VT_BOOL), Var(VT_BOOL | VT_BYREF, &cancel), Var(VT_BOOL)}, DISP_E_BADPARAMCOUNT, 99},
        {DISPID_TITLECHANGE, {}, DISP_E_BADPARAMCOUNT, 99},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EventBlock block;
        for (const VARIANT& v : cases[i].args)
            block.Add(v);
        UINT argError = 99;
        EXPECT_EQ(cases[i].hr, sink->Invoke(cases[i].id, IID_NULL, 0, DISPATCH_METHOD, block.Params(), nullptr, nullptr,
                                            &argError))
            << "row " << i;
        EXPECT_EQ(cases[i].argError, argError) << "row " << i;
    }
    EXPECT_EQ(DISP_E_BADPARAMCOUNT,
              sink->Invoke(DISPID_TITLECHANGE, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(events.calls.empty());
    EXPECT_EQ(VARIANT_FALSE, cancel);
}

TEST(WebBrowserEventSink, DisconnectedSinkIgnoresEventsAndCountsItsReferences)
{
    const LONG before = WebBrowserEventSink::Instances();
    RecordingEvents events;
    auto sink = WebBrowserEventSink::Create(&events, 1);
    EXPECT_EQ(before + 1, WebBrowserEventSink::Instances());
    ComPtr<IDispatch> asEvents;
    ASSERT_EQ(S_OK, sink->QueryInterface(DIID_DWebBrowserEvents2, asEvents.PutVoid()));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, sink->QueryInterface(IID_IOleClientSite, &out));
    EXPECT_EQ(nullptr, out);

    sink->Disconnect();
    BSTR text = SysAllocString(L"t");
    VARIANT title = Var(VT_BSTR);
    title.bstrVal = text;
    DISPPARAMS params{&title, nullptr, 1, 0};
    EXPECT_EQ(S_OK, sink->Invoke(DISPID_TITLECHANGE, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
    SysFreeString(text);
    EXPECT_TRUE(events.calls.empty());

    sink.Reset();
    EXPECT_EQ(before + 1, WebBrowserEventSink::Instances());
    asEvents.Reset();
    EXPECT_EQ(before, WebBrowserEventSink::Instances());
}

} // namespace
