#include "client/app/TrayIcon.h"

#include "client/app/Messages.h"
#include "framework/Handles.h"
#include "resources/client/resource.h"

#include <cwchar>
#include <iterator>

NOTIFYICONDATAW TrayIcon::Data(HWND owner, HICON icon)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(NOTIFYICONDATAW);
    data.hWnd = owner;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = icon;
    wcsncpy(data.szTip, L"KorvaneDuskreign", std::size(data.szTip) - 1);
    // Without NIF_INFO these have no effect.
    data.dwInfoFlags = NIIF_INFO;
    data.uTimeout = 3;
    return data;
}

bool TrayIcon::Add(HWND owner, HICON icon)
{
    NOTIFYICONDATAW data = Data(owner, icon);
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

bool TrayIcon::Remove(HWND owner, HICON icon)
{
    NOTIFYICONDATAW data = Data(owner, icon);
    return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

void TrayIcon::ShowMenu(HWND owner)
{
    UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup)
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(owner);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, cursor.x, cursor.y, 0, owner, nullptr);
}
