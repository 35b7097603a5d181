#include "shared/HttpUrl.h"

#include <gtest/gtest.h>

namespace {

struct UrlCase {
    const wchar_t* url;
    bool ok;
    HttpService service;
    const wchar_t* server;
    unsigned short port;
    const wchar_t* object;
};

const UrlCase kCases[] = {
    {L"http://log.example.com/receive/micoclient?log=dr|77|4|159372|||||00-1A-2B-3C-4D-5E|5|abc", true,
     HttpService::Http, L"log.example.com", 80, L"/receive/micoclient?log=dr|77|4|159372|||||00-1A-2B-3C-4D-5E|5|abc"},
    {L"http://127.0.0.1:18473/t/utf8", true, HttpService::Http, L"127.0.0.1", 18473, L"/t/utf8"},
    {L"https://pay.example.com/?g=dr", true, HttpService::Https, L"pay.example.com", 443, L"/?g=dr"},
    {L"HTTPS://Pay.Example.com:8443/a%20b?x=%41", true, HttpService::Https, L"Pay.Example.com", 8443,
     L"/a%20b?x=%41"},
    {L"Http://host", true, HttpService::Http, L"host", 80, L"/"},
    {L"http://host:81", true, HttpService::Http, L"host", 81, L"/"},
    {L"http://host?m=game&c=heartbeat", true, HttpService::Http, L"host", 80, L"/?m=game&c=heartbeat"},
    {L"http://host/中文 路径?q=一|二", true, HttpService::Http, L"host", 80, L"/中文 路径?q=一|二"},
    {L"http://host:65535/", true, HttpService::Http, L"host", 65535, L"/"},
    {L"ftp://host/file", false, HttpService::Http, L"", 0, L""},
    {L"log.example.com/receive/micoclient?log=x", false, HttpService::Http, L"", 0, L""},
    {L"", false, HttpService::Http, L"", 0, L""},
    {L"http://", false, HttpService::Http, L"", 0, L""},
    {L"http:///path", false, HttpService::Http, L"", 0, L""},
    {L"http://:80/path", false, HttpService::Http, L"", 0, L""},
    {L"http://host:/path", false, HttpService::Http, L"", 0, L""},
    {L"http://host:0/", false, HttpService::Http, L"", 0, L""},
    {L"http://host:65536/", false, HttpService::Http, L"", 0, L""},
    {L"http://host:8x/", false, HttpService::Http, L"", 0, L""},
    {L"http://host:99999999999999999999/", false, HttpService::Http, L"", 0, L""},
    {L"http://user:pw@host/", false, HttpService::Http, L"", 0, L""},
    {L"http://ho st/", false, HttpService::Http, L"", 0, L""},
    {L"http:/host/", false, HttpService::Http, L"", 0, L""},
    {L"client://loadgame", false, HttpService::Http, L"", 0, L""},
    {L" http://host/", false, HttpService::Http, L"", 0, L""},
    {L"http://host/receive?log=77\r\nX-Injected: 1|sig", false, HttpService::Http, L"", 0, L""},
    {L"http://host/a\tb", false, HttpService::Http, L"", 0, L""},
    {L"http://host/a\x7f", false, HttpService::Http, L"", 0, L""},
};

TEST(ParseHttpUrl, TableOfAddresses)
{
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const UrlCase& c = kCases[i];
        HttpUrl parts;
        parts.server = L"untouched";
        ASSERT_EQ(ParseHttpUrl(c.url, parts), c.ok) << "row " << i;
        if (!c.ok) {
            EXPECT_EQ(parts.server, L"untouched") << "row " << i;
            continue;
        }
        EXPECT_EQ(parts.service, c.service) << "row " << i;
        EXPECT_EQ(parts.server, c.server) << "row " << i;
        EXPECT_EQ(parts.port, c.port) << "row " << i;
        EXPECT_EQ(parts.object, c.object) << "row " << i;
    }
}

} // namespace
