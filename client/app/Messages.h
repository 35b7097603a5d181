#pragma once
#include <windows.h>

// Private window messages of the client (wParam and lParam 0 unless said).
constexpr UINT WM_TRAYNOTIFY = WM_USER + 100;   // login frame: tray icon notifications
constexpr UINT WM_OPENGAME = WM_USER + 101;     // login frame: open the game window (sent)
constexpr UINT WM_BACKTOLOGIN = WM_USER + 102;  // login frame: leave the game (posted)
constexpr UINT WM_CLOSEPAY = WM_USER + 103;     // game window: close the top-up window
constexpr UINT WM_CLOSEBIND = WM_USER + 104;    // game window: close the activation window
constexpr UINT WM_SHOWIM = WM_USER + 201;       // login frame: hand imRequest to the game window
constexpr UINT WM_CHATALERT = WM_USER + 202;    // game window: flash the VIP button
constexpr UINT WM_SHOWVIPMSG = WM_USER + 203;   // game window: wParam = show flag
constexpr UINT WM_CLOSEVIPMSG = WM_USER + 204;  // game window: close the VIP message window

constexpr int BOSS_HOTKEY_ID = 1224;   // the boss key, registered on the frame's window
constexpr UINT_PTR REPORT_TIMER_ID = 1002;
constexpr UINT REPORT_DELAY_MS = 10000;
