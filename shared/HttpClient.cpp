#include "shared/HttpClient.h"

#include "shared/HttpUrl.h"

#include <cstring>

namespace {

const wchar_t kUserAgent[] = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727)";
const DWORD_PTR kContext = 1;
const wchar_t* const kHeaders[] = {
    L"Accept: *,*/*",
    L"Accept-Language: zh-cn",
    L"Content-Type: application/x-www-form-urlencoded",
};

// The whole byte string, decoded as UTF-8 the way the system decoder does it.
std::wstring DecodeUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring text(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
    return text;
}

int FailureCode()
{
    return GetLastError() == ERROR_INTERNET_TIMEOUT ? CHttpClient::TimedOut : CHttpClient::Failed;
}

} // namespace

CHttpClient::CHttpClient()
    : session_(InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0))
{
}

CHttpClient::~CHttpClient()
{
    request_.Reset();
    connection_.Reset();
    session_.Reset();
}

int CHttpClient::HttpGet(const std::wstring& url, std::wstring& body)
{
    body.clear();
    HttpUrl parts;
    if (!ParseHttpUrl(url, parts))
        return Failed;
    if (!session_)
        return Failed;

    const bool secure = parts.service == HttpService::Https;
    DWORD connectFlags = INTERNET_FLAG_KEEP_CONNECTION;
    DWORD requestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (secure) {
        connectFlags |= INTERNET_FLAG_SECURE;
        requestFlags |= INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID;
    }

    // Whatever happens below, the request and the connection end with this call.
    struct Closer {
        CHttpClient& c;
        ~Closer()
        {
            c.request_.Reset();
            c.connection_.Reset();
        }
    } closer{*this};

    connection_.Reset(InternetConnectW(session_.Get(), parts.server.c_str(), parts.port, nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, connectFlags, kContext));
    if (!connection_)
        return FailureCode();
    request_.Reset(HttpOpenRequestW(connection_.Get(), L"GET", parts.object.c_str(), nullptr, nullptr, nullptr,
                                    requestFlags, kContext));
    if (!request_)
        return FailureCode();
    // A header that is already there stays as it is; that is no reason to give up the request.
    for (const wchar_t* header : kHeaders)
        HttpAddRequestHeadersW(request_.Get(), header, static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    if (!HttpSendRequestW(request_.Get(), nullptr, 0, nullptr, 0))
        return FailureCode();

    // A zero byte ends what is kept of its chunk, as the answer is treated as text.
    std::string bytes;
    char buffer[1025];
    std::memset(buffer, 0, sizeof buffer);
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request_.Get(), buffer, 1024, &read))
            return FailureCode();
        if (read == 0)
            break;
        buffer[read] = '\0';
        bytes.append(buffer, std::strlen(buffer));
        std::memset(buffer, 0, sizeof buffer);
    }
    body = DecodeUtf8(bytes);
    return Ok;
}
