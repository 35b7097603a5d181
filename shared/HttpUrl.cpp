#include "shared/HttpUrl.h"

#include "framework/Text.h"

namespace {

bool HasPrefixNoCase(const std::wstring& text, const wchar_t* prefix)
{
    const std::wstring p(prefix);
    return text.size() >= p.size() && AsciiLower(text.substr(0, p.size())) == p;
}

bool ValidServer(const std::wstring& server)
{
    if (server.empty())
        return false;
    for (wchar_t c : server)
        if (c <= L' ' || c == 0x7F || c == L'@' || c == L'\\')
            return false;
    return true;
}

} // namespace

bool ParseHttpUrl(const std::wstring& url, HttpUrl& out)
{
    // Line breaks and other control characters would end the request line early and let the
    // rest of the address pose as headers.
    for (wchar_t c : url)
        if (c < L' ' || c == 0x7F)
            return false;
    HttpUrl result;
    size_t pos;
    if (HasPrefixNoCase(url, L"http://")) {
        result.service = HttpService::Http;
        result.port = 80;
        pos = 7;
    } else if (HasPrefixNoCase(url, L"https://")) {
        result.service = HttpService::Https;
        result.port = 443;
        pos = 8;
    } else {
        return false;
    }

    const size_t end = url.find_first_of(L"/?#", pos);
    const std::wstring authority = url.substr(pos, end == std::wstring::npos ? std::wstring::npos : end - pos);
    const size_t colon = authority.find(L':');
    result.server = authority.substr(0, colon);
    if (!ValidServer(result.server))
        return false;
    if (colon != std::wstring::npos) {
        const std::wstring digits = authority.substr(colon + 1);
        if (digits.empty() || digits.size() > 5)
            return false;
        unsigned long port = 0;
        for (wchar_t c : digits) {
            if (c < L'0' || c > L'9')
                return false;
            port = port * 10 + (c - L'0');
        }
        if (port == 0 || port > 65535)
            return false;
        result.port = static_cast<unsigned short>(port);
    }

    if (end == std::wstring::npos)
        result.object = L"/";
    else if (url[end] == L'/')
        result.object = url.substr(end);
    else
        result.object = L"/" + url.substr(end);
    out = result;
    return true;
}
