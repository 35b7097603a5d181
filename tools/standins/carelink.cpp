// Stand-in for the customer-service chat plug-in: the four exports with the plug-in's calling
// conventions and results. It writes each call to carelink.log beside itself and, once a
// callback is registered, delivers one sample news message to it from a thread of its own.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using NewsCallback = int(__stdcall*)(const char* utf8Text);

CRITICAL_SECTION g_lock;
HMODULE g_module = nullptr;
NewsCallback g_callback = nullptr;

const char kChatUrl[] = CARELINK_CHAT_URL;
// "您有一条新消息" in UTF-8.
const char kSampleNews[] = "\xE6\x82\xA8\xE6\x9C\x89\xE4\xB8\x80\xE6\x9D\xA1\xE6\x96\xB0\xE6\xB6\x88\xE6\x81\xAF";
constexpr DWORD kNewsDelayMs = 3000;

std::wstring LogPath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::wstring();
    std::wstring folder(path, n);
    const size_t slash = folder.rfind(L'\\');
    folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return folder + L"carelink.log";
}

// One line per call: the export's name and its arguments, separated by "|".
void Record(const char* name, const char* const* args, int count)
{
    std::string line = name;
    for (int i = 0; i < count; ++i) {
        line += '|';
        line += args[i] ? args[i] : "(null)";
    }
    line += "\r\n";
    EnterCriticalSection(&g_lock);
    const std::wstring path = LogPath();
    if (!path.empty()) {
        HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
        }
    }
    LeaveCriticalSection(&g_lock);
}

DWORD WINAPI DeliverNews(void*)
{
    Sleep(kNewsDelayMs);
    EnterCriticalSection(&g_lock);
    NewsCallback callback = g_callback;
    LeaveCriticalSection(&g_lock);
    if (callback) {
        const char* args[] = {kSampleNews};
        Record("callback", args, 1);
        callback(kSampleNews);
    }
    return 0;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        InitializeCriticalSection(&g_lock);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

int __cdecl init(const char* host, const char* site, const char* group, const char* user,
                                       const char* f4, const char* f2, const char* f5, const char* f3,
                                       const char* f6, const char* tag)
{
    const char* args[] = {host, site, group, user, f4, f2, f5, f3, f6, tag};
    Record("init", args, 10);
    return 1;
}

void __stdcall ongetlok(NewsCallback callback)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%p", reinterpret_cast<void*>(callback));
    const char* args[] = {text};
    Record("ongetlok", args, 1);
    EnterCriticalSection(&g_lock);
    const bool first = g_callback == nullptr;
    g_callback = callback;
    LeaveCriticalSection(&g_lock);
    if (first && callback) {
        HANDLE thread = CreateThread(nullptr, 0, DeliverNews, nullptr, 0, nullptr);
        if (thread)
            CloseHandle(thread);
    }
}

int __cdecl setacc(const char* site, const char* group, const char* topic, const char* user)
{
    const char* args[] = {site, group, topic, user};
    Record("setacc", args, 4);
    return 1;
}

const char* __cdecl setlnk(const char* site, const char* group, const char* f0,
                                                 const char* topic, const char* user)
{
    const char* args[] = {site, group, f0, topic, user};
    Record("setlnk", args, 5);
    return kChatUrl;
}

} // extern "C"
