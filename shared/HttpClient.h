#pragma once
#include <windows.h>
#include <wininet.h>

#include "framework/Handles.h"

#include <string>

struct InternetHandleTraits {
    using Value = HINTERNET;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { InternetCloseHandle(v); }
};
using UniqueInternetHandle = UniqueHandle<InternetHandleTraits>;

// Simple HTTP GET requests whose answer is a short text. The session lives as long as the
// object; every request opens and closes its own connection and request handle.
// One object serves one thread at a time.
class CHttpClient {
public:
    enum Result { Ok = 0, Failed = 1, TimedOut = 2 };

    CHttpClient();
    virtual ~CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    // Fetches an http or https address. 0: the answer was read (whatever its status) and is
    // in body; 1: not an http(s) address or a transfer error; 2: a time-out. The body is
    // empty unless the result is 0.
    int HttpGet(const std::wstring& url, std::wstring& body);

private:
    UniqueInternetHandle session_;
    UniqueInternetHandle connection_;
    UniqueInternetHandle request_;
};
