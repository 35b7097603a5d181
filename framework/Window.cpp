#include "framework/Window.h"

#include <cwchar>
#include <map>
#include <string>

namespace {

const wchar_t kBindingProperty[] = L"DuskFrameworkWindow";

} // namespace

Window::~Window()
{
    if (hwnd_) {
        // Destroying an object whose window still lives: take the window down without us.
        HWND hwnd = hwnd_;
        Unbind();
        ::DestroyWindow(hwnd);
    }
}

bool Window::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                      int x, int y, int width, int height, HWND parent, HMENU menuOrId)
{
    HWND hwnd = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                                GetModuleHandleW(nullptr), this);
    return hwnd != nullptr && hwnd_ == hwnd;
}

bool Window::DestroyWindow()
{
    return hwnd_ != nullptr && ::DestroyWindow(hwnd_) != FALSE;
}

Window* Window::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<Window*>(GetPropW(hwnd, kBindingProperty)) : nullptr;
}

bool Window::PreTranslateMessage(MSG*)
{
    return false;
}

void Window::Bind(HWND hwnd)
{
    hwnd_ = hwnd;
    SetPropW(hwnd, kBindingProperty, this);
}

void Window::Unbind()
{
    if (hwnd_)
        RemovePropW(hwnd_, kBindingProperty);
    hwnd_ = nullptr;
}

LRESULT Window::WindowProc(UINT, WPARAM, LPARAM)
{
    return Default();
}

LRESULT Window::Default()
{
    return DefWindowProcW(current_.hwnd, current_.message, current_.wParam, current_.lParam);
}

LRESULT Window::Route(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Handlers may send messages to themselves: keep the outer message for Default().
    const MSG saved = current_;
    current_ = MSG{hwnd_, msg, wParam, lParam, 0, {0, 0}};
    const LRESULT result = WindowProc(msg, wParam, lParam);
    current_ = saved;
    return result;
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self)
            self->Bind(hwnd);
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);

    self->EnterDispatch();
    const LRESULT result = self->Route(msg, wParam, lParam);
    self->LeaveDispatch(msg == WM_NCDESTROY);
    return result;
}

bool Window::LeaveDispatch(bool ncDestroyed)
{
    --dispatchDepth_;
    if (ncDestroyed) {
        Unbind();
        finishPending_ = true;
    }
    if (!finishPending_ || dispatchDepth_ > 0)
        return false;
    finishPending_ = false;
    PostNcDestroy();
    return true;
}

const wchar_t* RegisterFrameworkClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    static std::map<std::wstring, bool> registered;
    wchar_t name[96];
    swprintf(name, 96, L"DuskWnd:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
             static_cast<void*>(background), static_cast<void*>(icon));
    auto it = registered.find(name);
    if (it == registered.end()) {
        WNDCLASSW wc{};
        wc.style = classStyle;
        wc.lpfnWndProc = Window::StaticWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name;
        RegisterClassW(&wc);
        it = registered.emplace(name, true).first;
    }
    return it->first.c_str();
}

namespace {

// Offers a queued message to the framework windows from its target up to the top-level window.
bool PreTranslate(MSG& msg)
{
    for (HWND h = msg.hwnd; h; h = GetParent(h)) {
        if (Window* w = Window::FromHandle(h)) {
            if (w->PreTranslateMessage(&msg))
                return true;
        }
    }
    return false;
}

void Deliver(MSG& msg)
{
    if (PreTranslate(msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

} // namespace

int RunMessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        Deliver(msg);
    return static_cast<int>(msg.wParam);
}

void PumpPendingMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit for whoever runs the real loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Deliver(msg);
    }
}
