#include "client/browser/JSDispatch.h"

#include <gtest/gtest.h>

#include <iterator>

#include "tests/browser/RecordingTarget.h"
#include "tests/browser/ScriptCall.h"

namespace {

HRESULT CallWdJapi(CJSDispatch& bridge, DISPPARAMS* params, VARIANT* result = nullptr, UINT* argError = nullptr)
{
    return bridge.Invoke(1000, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, result, nullptr, argError);
}

TEST(JSDispatch, NameLookupGivesTheTwoIdsAndLeavesUnknownNamesAlone)
{
    RecordingTarget target;
    CJSDispatch bridge(&target);
    const struct {
        const wchar_t* name;
        HRESULT hr;
        DISPID id;
    } cases[] = {
        {L"WD_JAPI", S_OK, 1000},  {L"wd_japi", S_OK, 1000},      {L"API_close", S_OK, 1001},
        {L"api_CLOSE", S_OK, 1001}, {L"OpenGame", E_NOTIMPL, -7}, {L"", E_NOTIMPL, -7},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(cases[i].name), const_cast<LPOLESTR>(L"API_close")};
        DISPID ids[2] = {-7, -7};
        EXPECT_EQ(cases[i].hr, bridge.GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids)) << "row " << i;
        EXPECT_EQ(cases[i].id, ids[0]) << "row " << i;
        EXPECT_EQ(-7, ids[1]) << "row " << i << ": only the first name is looked up";
    }
}

TEST(JSDispatch, CommandsReachTheirOperation)
{
    const struct {
        std::vector<std::wstring> args; // as the script wrote them
        const wchar_t* call;            // expected operation, or null for none
    } cases[] = {
        {{L"OpenGame", L"u|x|s"}, L"OpenGame(u|x|s)"},
        {{L"ShowBindBtn"}, L"ShowBindBtn()"},
        {{L"CloseBindPage", L"c"}, L"CloseBindPage(c)"},
        {{L"AccountBindSuccess", L"a"}, L"AccountBindSuccess(a)"},
        {{L"AccountRegisterSuccess", L"r"}, L"AccountRegisterSuccess(r)"},
        {{L"ShowIM", L"g|f|u"}, L"ShowIM(g|f|u)"},
        {{L"DialogBoxTopInfo", L"d"}, L"DialogBoxTopInfo(d)"},
        {{L"openPay", L"http://pay/"}, L"OpenPay(http://pay/)"},
        {{L"closedBox"}, L"ClosedBox()"},
        {{L"ShowIM"}, L"ShowIM()"},                        // single argument: empty parameter
        {{L"p1", L"p2", L"ShowIM"}, L"ShowIM()"},          // three: the last written, no parameter
        {{L"ShowIM", L"p2", L"p3"}, nullptr},              // ... so a leading command is not seen
        {{L"before ShowIM after", L"p"}, L"ShowIM(p)"},
        {{L"ShowBindBtn OpenGame", L"p"}, L"OpenGame(p)"}, // keyword order, not position
        {{L"opengame", L"p"}, nullptr},
        {{L"OpenPay", L"p"}, nullptr},
        {{L"nothing", L"p"}, nullptr},
        {{L"getApiVersion"}, nullptr},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        RecordingTarget target;
        CJSDispatch bridge(&target);
        ScriptCall call(cases[i].args);
        EXPECT_EQ(S_OK, CallWdJapi(bridge, call.Params())) << "row " << i;
        if (cases[i].call) {
            ASSERT_EQ(1u, target.calls.size()) << "row " << i;
            EXPECT_EQ(cases[i].call, target.calls[0]) << "row " << i;
        } else {
            EXPECT_TRUE(target.calls.empty()) << "row " << i;
        }
    }
}

TEST(JSDispatch, ApiVersionIsTheStringOneOnlyWhenAResultIsAsked)
{
    RecordingTarget target;
    CJSDispatch bridge(&target);
    ScriptCall call({L"getApiVersion"});
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, CallWdJapi(bridge, call.Params(), &result));
    ASSERT_EQ(VT_BSTR, result.vt);
    EXPECT_STREQ(L"1", result.bstrVal);
    VariantClear(&result);

    EXPECT_EQ(S_OK, CallWdJapi(bridge, call.Params(), nullptr));

    // Other commands leave the result alone.
    ScriptCall other({L"ShowBindBtn"});
    result.vt = VT_I4;
    result.lVal = 42;
    EXPECT_EQ(S_OK, CallWdJapi(bridge, other.Params(), &result));
    EXPECT_EQ(VT_I4, result.vt);
    EXPECT_EQ(42, result.lVal);
    EXPECT_TRUE(target.calls.size() == 1 && target.calls[0] == L"ShowBindBtn()");
}

TEST(JSDispatch, ApiCloseIgnoresArgumentsAndOtherIdsAreRefused)
{
    RecordingTarget target;
    CJSDispatch bridge(&target);
    EXPECT_EQ(S_OK, bridge.Invoke(1001, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
    ScriptCall call({L"x"});
    EXPECT_EQ(S_OK, bridge.Invoke(1001, IID_NULL, 0, DISPATCH_METHOD, call.Params(), nullptr, nullptr, nullptr));
    EXPECT_EQ(E_NOTIMPL, bridge.Invoke(1002, IID_NULL, 0, DISPATCH_METHOD, call.Params(), nullptr, nullptr, nullptr));
    EXPECT_EQ(E_NOTIMPL, bridge.Invoke(0, IID_NULL, 0, DISPATCH_METHOD, call.Params(), nullptr, nullptr, nullptr));
    ASSERT_EQ(2u, target.calls.size());
    EXPECT_EQ(L"ApiClose()", target.calls[1]);
}

TEST(JSDispatch, CallsWithoutStringsAreRefusedWithoutReachingTheWindow)
{
    RecordingTarget target;
    CJSDispatch bridge(&target);

    UINT argError = 99;
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, CallWdJapi(bridge, nullptr, nullptr, &argError));
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, CallWdJapi(bridge, &none, nullptr, &argError));
    DISPPARAMS claimsOne{nullptr, nullptr, 1, 0};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, CallWdJapi(bridge, &claimsOne, nullptr, &argError));

    // Element index (stored order) of the bad argument, for each shape.
    const struct {
        std::vector<std::wstring> args;
        size_t replaced; // stored element made a number
        UINT argError;
    } cases[] = {
        {{L"ShowIM"}, 0, 0},
        {{L"ShowIM", L"p"}, 1, 1}, // the command
        {{L"ShowIM", L"p"}, 0, 0}, // the parameter
        {{L"a", L"b", L"ShowIM"}, 0, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        ScriptCall call(cases[i].args);
        VARIANT& v = call.Stored(cases[i].replaced);
        VariantClear(&v);
        v.vt = VT_I4;
        v.lVal = 5;
        argError = 99;
        EXPECT_EQ(DISP_E_TYPEMISMATCH, CallWdJapi(bridge, call.Params(), nullptr, &argError)) << "row " << i;
        EXPECT_EQ(cases[i].argError, argError) << "row " << i;
    }
    // Arguments the command does not use may be anything.
    ScriptCall ignored({L"a", L"b", L"ShowBindBtn"});
    VariantClear(&ignored.Stored(2));
    ignored.Stored(2).vt = VT_NULL;
    EXPECT_EQ(S_OK, CallWdJapi(bridge, ignored.Params()));
    ASSERT_EQ(1u, target.calls.size());
    EXPECT_EQ(L"ShowBindBtn()", target.calls[0]);
}

TEST(JSDispatch, StringsByReferenceAndNullStringsAreAccepted)
{
    RecordingTarget target;
    CJSDispatch bridge(&target);
    BSTR command = SysAllocString(L"OpenGame");
    VARIANT args[2];
    VariantInit(&args[0]);
    args[0].vt = VT_BSTR; // a null BSTR is the empty string
    args[0].bstrVal = nullptr;
    VariantInit(&args[1]);
    args[1].vt = VT_BSTR | VT_BYREF;
    args[1].pbstrVal = &command;
    DISPPARAMS params{args, nullptr, 2, 0};
    EXPECT_EQ(S_OK, CallWdJapi(bridge, &params));
    SysFreeString(command);
    ASSERT_EQ(1u, target.calls.size());
    EXPECT_EQ(L"OpenGame()", target.calls[0]);
}

TEST(JSDispatch, QueryAndCountButNeverFreeItself)
{
    RecordingTarget target;
    const LONG before = CJSDispatch::Instances();
    auto* bridge = new CJSDispatch(&target);
    EXPECT_EQ(before + 1, CJSDispatch::Instances());

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, bridge->QueryInterface(IID_IOleClientSite, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_INVALIDARG, bridge->QueryInterface(IID_IDispatch, nullptr));
    ASSERT_EQ(S_OK, bridge->QueryInterface(IID_IDispatch, &out));
    EXPECT_EQ(static_cast<IDispatch*>(bridge), out);
    ASSERT_EQ(S_OK, bridge->QueryInterface(IID_IUnknown, &out));
    EXPECT_EQ(3u, bridge->AddRef());
    EXPECT_EQ(2u, bridge->Release());
    EXPECT_EQ(1u, bridge->Release());
    EXPECT_EQ(0u, bridge->Release());
    EXPECT_EQ(before + 1, CJSDispatch::Instances()) << "Release must not free the bridge";
    EXPECT_EQ(E_NOTIMPL, bridge->GetTypeInfoCount(nullptr));
    delete bridge;
    EXPECT_EQ(before, CJSDispatch::Instances());
}

} // namespace
