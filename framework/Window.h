#pragma once
#include <windows.h>

#include <string>

// Base of every framework window. One static window procedure binds the C++ object from
// lpCreateParams on WM_NCCREATE, routes messages to the virtual WindowProc, and unbinds on
// WM_NCDESTROY. Dialogs (Dialog.h) share the same routing through their dialog procedure.
//
// A handler that wants the default behaviour calls Default(), which passes the message being
// handled to the default procedure (DefWindowProc for windows; "not handled" for dialogs).
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Hwnd() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_); }

    // CreateWindowExW with this object bound as the window's handler.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menuOrId);
    bool DestroyWindow();

    // The framework object bound to a window, or null.
    static Window* FromHandle(HWND hwnd);

    // Called by the message loop for every queued message aimed at this window or one of its
    // children, before translation and dispatch; true means the message was handled.
    virtual bool PreTranslateMessage(MSG* msg);

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const { return SendMessageW(hwnd_, msg, wParam, lParam); }
    bool Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const { return PostMessageW(hwnd_, msg, wParam, lParam) != FALSE; }

    // The window procedure of framework window classes.
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // The message currently being handled by WindowProc.
    const MSG& CurrentMessage() const { return current_; }

protected:
    // Handles one message; the default passes it on (Default()).
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    virtual LRESULT Default();
    // Called after WM_NCDESTROY has unbound the window; the object may delete itself here.
    virtual void PostNcDestroy() {}

    // Binding and routing shared with Dialog.
    void Bind(HWND hwnd);
    void Unbind();
    LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam);

    // Brackets one message's dispatch to this object. PostNcDestroy is held back until the
    // outermost dispatch returns, so that an object deleting itself there is never touched by
    // a handler of its own that is still running (a command handler that destroys its window).
    // LeaveDispatch returns true when PostNcDestroy ran: the object must not be touched again.
    void EnterDispatch() { ++dispatchDepth_; }
    bool LeaveDispatch(bool ncDestroyed);

private:
    HWND hwnd_ = nullptr;
    MSG current_{};
    int dispatchDepth_ = 0;
    bool finishPending_ = false;
};

// Registers (once) and names a window class with the given styles, cursor, background brush
// and icon, using the framework's window procedure.
const wchar_t* RegisterFrameworkClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon);

// Runs the message loop until WM_QUIT; every message first goes to PreTranslateMessage of the
// framework windows from its target up the parent chain. Returns the quit code.
int RunMessageLoop();

// Pumps the queued messages through the same pre-translation without waiting; tests use it.
void PumpPendingMessages();

// Client-coordinate point packed into a mouse message's lParam.
inline POINT PointFromLParam(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
