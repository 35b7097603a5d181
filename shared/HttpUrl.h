#pragma once
#include <string>

// An absolute address split into what an HTTP request needs.
enum class HttpService { Http, Https };

struct HttpUrl {
    HttpService service = HttpService::Http;
    std::wstring server;
    unsigned short port = 0;
    // Path and query exactly as written ("/" when the address has neither).
    std::wstring object;
};

// Splits "http://server[:port][/object]" or the https form (scheme case-insensitive, default
// ports 80 and 443). Anything else (other schemes, no scheme, empty or malformed server or
// port, user names, control characters anywhere) gives false: such an address is never requested.
bool ParseHttpUrl(const std::wstring& url, HttpUrl& out);
