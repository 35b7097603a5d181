#pragma once
#include <windows.h>

#include <shellapi.h>

// The client's icon in the notification area. Its notifications arrive at the owner window as
// WM_TRAYNOTIFY with the icon id in wParam and the mouse message in lParam.
class TrayIcon {
public:
    static constexpr UINT kIconId = 148;

    // The data used for adding and for removing the icon.
    static NOTIFYICONDATAW Data(HWND owner, HICON icon);

    static bool Add(HWND owner, HICON icon);
    static bool Remove(HWND owner, HICON icon);

    // Shows the tray menu (resource 161, first pop-up) at the cursor; the chosen command
    // arrives at the owner as WM_COMMAND.
    static void ShowMenu(HWND owner);
};
