// Runs against the platform simulator, whose address tests/shared/run_with_sim.py passes in
// DUSK_SIM_TEST_BASE.
#include "shared/HttpClient.h"
#include "shared/MachineId.h"
#include "shared/Md5HexDigest.h"
#include "shared/UsageReport.h"

#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <vector>

namespace {

std::wstring SimBase()
{
    wchar_t value[256] = {};
    const DWORD n = GetEnvironmentVariableW(L"DUSK_SIM_TEST_BASE", value, 256);
    return n > 0 && n < 256 ? value : L"";
}

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        base = SimBase();
        ASSERT_FALSE(base.empty()) << "DUSK_SIM_TEST_BASE is not set: run through run_with_sim.py";
        std::wstring body;
        ASSERT_EQ(control.HttpGet(base + L"/__sim/reset", body), 0);
    }
    std::wstring Control(const wchar_t* path)
    {
        std::wstring body;
        EXPECT_EQ(control.HttpGet(base + path, body), 0) << "control request failed";
        return body;
    }
    int Recorded() { return std::stoi(Control(L"/__sim/count")); }
    std::vector<std::wstring> LastRequestLines()
    {
        std::vector<std::wstring> lines;
        std::wistringstream in(Control(L"/__sim/last"));
        for (std::wstring line; std::getline(in, line);)
            lines.push_back(line.substr(0, line.find(L'\r')));
        return lines;
    }

    std::wstring base;
    CHttpClient control;
};

TEST_F(HttpClientTest, Utf8BodyArrivesIntact)
{
    CHttpClient client;
    std::wstring body = L"stale";
    EXPECT_EQ(client.HttpGet(base + L"/t/utf8", body), 0);
    EXPECT_EQ(body, L"中文测试：北京欢迎你 ok");
}

TEST_F(HttpClientTest, BodiesAcrossReadBoundaries)
{
    CHttpClient client;
    const struct {
        const wchar_t* path;
        size_t size;
        wchar_t first;
    } cases[] = {{L"/t/1024", 1024, L'a'}, {L"/t/3000", 3000, L'A'}, {L"/t/empty", 0, 0}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::wstring body = L"stale";
        EXPECT_EQ(client.HttpGet(base + cases[i].path, body), 0) << "row " << i;
        ASSERT_EQ(body.size(), cases[i].size) << "row " << i;
        for (size_t k = 0; k < body.size(); ++k)
            ASSERT_EQ(body[k], static_cast<wchar_t>(cases[i].first + k % 26)) << "row " << i << " at " << k;
    }
}

TEST_F(HttpClientTest, ZeroByteCutsItsChunk)
{
    // The first 1024-byte chunk holds "head", a zero and filler; the second is "tail".
    CHttpClient client;
    std::wstring body;
    EXPECT_EQ(client.HttpGet(base + L"/t/zero", body), 0);
    EXPECT_EQ(body, L"headtail");
}

TEST_F(HttpClientTest, NonUtf8BodyIsDecodedAsUtf8)
{
    CHttpClient client;
    std::wstring body;
    EXPECT_EQ(client.HttpGet(base + L"/t/gbk", body), 0);
    EXPECT_FALSE(body.empty());
    EXPECT_EQ(body.find(L"中"), std::wstring::npos);
}

TEST_F(HttpClientTest, ErrorPageIsABody)
{
    CHttpClient client;
    std::wstring body;
    EXPECT_EQ(client.HttpGet(base + L"/t/404", body), 0);
    EXPECT_EQ(body, L"<html><body>404 Not Found: no such page</body></html>");
}

TEST_F(HttpClientTest, UnreachableServersFail)
{
    CHttpClient client;
    // The last one speaks TLS to the plain-HTTP simulator: the handshake fails.
    const std::wstring urls[] = {L"http://127.0.0.1:1/closed", L"http://nonexistent.invalid/x",
                                 L"https://" + base.substr(7) + L"/t/utf8"};
    for (size_t i = 0; i < std::size(urls); ++i) {
        std::wstring body = L"stale";
        EXPECT_EQ(client.HttpGet(urls[i], body), 1) << "row " << i;
        EXPECT_TRUE(body.empty()) << "row " << i;
    }
    // The object still works afterwards.
    std::wstring body;
    EXPECT_EQ(client.HttpGet(base + L"/t/utf8", body), 0);
}

TEST_F(HttpClientTest, OtherAddressesSendNothing)
{
    CHttpClient client;
    const std::wstring hostPort = base.substr(7);
    const std::wstring urls[] = {L"ftp://" + hostPort + L"/t/utf8", hostPort + L"/t/utf8", L"", L"http://",
                                 L"http://" + hostPort + L":x/t/utf8",
                                 L"http://" + hostPort + L"/t/utf8?a\r\nX-Injected: 1"};
    const int before = Recorded();
    for (size_t i = 0; i < std::size(urls); ++i) {
        std::wstring body = L"stale";
        EXPECT_EQ(client.HttpGet(urls[i], body), 1) << "row " << i;
        EXPECT_TRUE(body.empty()) << "row " << i;
    }
    EXPECT_EQ(Recorded(), before);
}

TEST_F(HttpClientTest, OneObjectServesConsecutiveRequests)
{
    CHttpClient client;
    for (int i = 0; i < 3; ++i) {
        std::wstring body;
        EXPECT_EQ(client.HttpGet(base + L"/t/utf8", body), 0) << "call " << i;
        EXPECT_EQ(body, L"中文测试：北京欢迎你 ok") << "call " << i;
    }
    EXPECT_EQ(Recorded(), 3);
}

TEST_F(HttpClientTest, RequestLineAndHeaders)
{
    CHttpClient client;
    std::wstring body;
    const std::wstring object = L"/t/utf8?log=dr|77|4|159372|||||00-1A-2B-3C-4D-5E|5|0a1b";
    ASSERT_EQ(client.HttpGet(base + object, body), 0);
    const std::vector<std::wstring> lines = LastRequestLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], L"GET " + object + L" HTTP/1.1");

    // Our three headers, in the order they were added, and the exact user agent.
    const std::wstring expected[] = {L"Accept: *,*/*", L"Accept-Language: zh-cn",
                                     L"Content-Type: application/x-www-form-urlencoded"};
    size_t at = 0;
    for (size_t i = 1; i < lines.size() && at < std::size(expected); ++i)
        if (lines[i] == expected[at])
            ++at;
    EXPECT_EQ(at, std::size(expected)) << "headers missing or out of order";
    bool agent = false;
    for (const std::wstring& line : lines)
        agent = agent || line == L"User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727)";
    EXPECT_TRUE(agent);
    for (const std::wstring& line : lines)
        EXPECT_NE(line.compare(0, 7, L"Cookie:"), 0);
}

TEST_F(HttpClientTest, UsageReportIsSignedAndSentOnce)
{
    ASSERT_EQ(GetACP(), 936u) << "the report is signed over code-page-936 bytes";
    const long long before = static_cast<long long>(std::time(nullptr));
    SendUsageReportTo(base, L"zc77", L"dr", L"4");
    const long long after = static_cast<long long>(std::time(nullptr));

    unsigned char scratch[600];
    std::wstring machineId;
    GetMachineId(machineId, scratch);

    // The simulator's own check of the signature, over the bytes that arrived.
    const std::wstring reports = Control(L"/__sim/reports");
    const std::wstring prefix = L"valid|dr|77|4|159372|||||" + machineId + L"|";
    ASSERT_EQ(reports.compare(0, prefix.size(), prefix), 0) << std::string(reports.begin(), reports.end());
    ASSERT_EQ(reports.back(), L'\n');
    EXPECT_EQ(reports.find(L'\n'), reports.size() - 1) << "more than one report";
    const long long time = std::stoll(reports.substr(prefix.size()));
    EXPECT_GE(time, before);
    EXPECT_LE(time, after);

    // And ours: the target carries the line and the signature unescaped.
    const std::wstring line = reports.substr(6, reports.size() - 7);
    const std::vector<std::wstring> head = LastRequestLines();
    ASSERT_FALSE(head.empty());
    EXPECT_EQ(head[0], L"GET /receive/micoclient?log=" + line + L"|" + Md5HexDigest(line + L"Hn4vRb8Ye2Wu") +
                           L" HTTP/1.1");
}

TEST_F(HttpClientTest, ChineseUserIdGoesOutInTheCodePageItIsSignedIn)
{
    // The signature covers code-page-936 bytes; the request line must carry the same bytes.
    ASSERT_EQ(GetACP(), 936u);
    SendUsageReportTo(base, L"zc测试", L"dr", L"4");
    const std::wstring reports = Control(L"/__sim/reports");
    const std::wstring prefix = L"valid|dr|测试|4|159372|||||";
    EXPECT_EQ(reports.compare(0, prefix.size(), prefix), 0) << "simulator saw: " << reports.size() << " chars";
}

TEST_F(HttpClientTest, UsageReportToAnUnreachableHostIsSilent)
{
    SendUsageReportTo(L"http://127.0.0.1:1", L"zc77", L"dr", L"4");
    SendUsageReportTo(L"not an address", L"77", L"dr", L"1");
    EXPECT_EQ(Recorded(), 0);
}

} // namespace
