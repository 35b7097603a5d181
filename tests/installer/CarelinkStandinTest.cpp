// The stand-in chat plug-in honours the client's contract: the four exports by their plain
// names, cdecl and stdcall as the client calls them, their results, and one news message
// through the callback from a thread of its own.
#include "tests/support/TestFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace {

using InitFn = int(__cdecl*)(const char*, const char*, const char*, const char*, const char*, const char*,
                             const char*, const char*, const char*, const char*);
using Callback = int(__stdcall*)(const char*);
using OnGetLokFn = void(__stdcall*)(Callback);
using SetAccFn = int(__cdecl*)(const char*, const char*, const char*, const char*);
using SetLnkFn = const char*(__cdecl*)(const char*, const char*, const char*, const char*, const char*);

HANDLE g_news = nullptr;
std::string g_newsText;
std::atomic<DWORD> g_newsThread{0};

int __stdcall OnNews(const char* text)
{
    g_newsText = text ? text : "";
    g_newsThread = GetCurrentThreadId();
    SetEvent(g_news);
    return 1;
}

template <class Fn>
Fn Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::wstring StandinFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.rfind(L'\\'));
    folder.resize(folder.rfind(L'\\') + 1);
    return folder + L"standins\\";
}

TEST(CarelinkStandin, ExportsResultsAndOneNewsMessage)
{
    // A copy of its own, so that its log starts empty.
    const std::wstring folder = MakeTestFolder(L"carelink");
    ASSERT_TRUE(CopyFileW((StandinFolder() + L"carelink.dll").c_str(), (folder + L"carelink.dll").c_str(), FALSE));
    HMODULE module = LoadLibraryW((folder + L"carelink.dll").c_str());
    ASSERT_NE(module, nullptr);

    auto init = Export<InitFn>(module, "init");
    auto ongetlok = Export<OnGetLokFn>(module, "ongetlok");
    auto setacc = Export<SetAccFn>(module, "setacc");
    auto setlnk = Export<SetLnkFn>(module, "setlnk");
    ASSERT_TRUE(init && ongetlok && setacc && setlnk);

    const char topic[] = "\xD7\xC9\xD1\xAF-"; // "咨询-" in code page 936
    EXPECT_NE(init("cs.host", "70722519", "VIPkefu", "1001", "x", "7", "y", "9", "z", "cs") & 0xFF, 0);
    EXPECT_NE(setacc("70722519", "VIPkefu", topic, "1001") & 0xFF, 0);
    const char* url = setlnk("70722519", "VIPkefu", "a", topic, "1001");
    ASSERT_NE(url, nullptr);
    EXPECT_EQ(std::string(url).rfind("http://", 0), 0u);

    g_news = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ongetlok(OnNews);
    ASSERT_EQ(WaitForSingleObject(g_news, 20000), WAIT_OBJECT_0);
    EXPECT_FALSE(g_newsText.empty());
    EXPECT_NE(g_newsThread.load(), GetCurrentThreadId());
    CloseHandle(g_news);

    const std::string log = ReadBytes(folder + L"carelink.log");
    const std::string calls[] = {
        "init|cs.host|70722519|VIPkefu|1001|x|7|y|9|z|cs\r\n",
        std::string("setacc|70722519|VIPkefu|") + topic + "|1001\r\n",
        std::string("setlnk|70722519|VIPkefu|a|") + topic + "|1001\r\n",
        "ongetlok|",
        "callback|" + g_newsText + "\r\n",
    };
    size_t at = 0;
    for (size_t i = 0; i < std::size(calls); ++i) {
        const size_t found = log.find(calls[i], at);
        EXPECT_NE(found, std::string::npos) << "row " << i << " in " << log;
        if (found != std::string::npos)
            at = found;
    }
    RemoveTree(folder);
}

} // namespace
