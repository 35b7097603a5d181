#include "client/app/MainWnd.h"
#include "client/app/Messages.h"
#include "client/app/TrayIcon.h"
#include "client/game/ZarizGame.h"
#include "client/popups/WebDlg.h"
#include "tests/app/ClientTestEnvironment.h"
#include "tests/support/RecordingSeam.h"

#include <gtest/gtest.h>

#include <DuskHosts.h>

#include <vector>

namespace {

// A game window that records what the frame asks of it.
class FakeGame : public CZarizGame {
public:
    FakeGame()
    {
        const wchar_t* cls = RegisterFrameworkClass(0, LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr);
        CreateEx(0, cls, L"game", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
        ++created;
    }
    ~FakeGame() override { ++deleted; }
    void ShowCustomerService(std::wstring request) override { requests.push_back(request); }

    static inline int created = 0;
    static inline int deleted = 0;
    static inline std::vector<std::wstring> requests;
    std::vector<UINT> seen;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_CLOSE || (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MAXIMIZE))
            seen.push_back(msg == WM_CLOSE ? WM_CLOSE : SC_MAXIMIZE);
        if (msg == WM_CLOSE)
            return 0; // the frame deletes the object, which destroys the window
        return Window::WindowProc(msg, wParam, lParam);
    }
};

FakeGame* g_lastGame = nullptr;
CZarizGame* MakeFakeGame()
{
    return g_lastGame = new FakeGame;
}

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

// A pointer move as the system delivers it: the cursor is asked for, then the move arrives.
void MovePointer(Window& w, int x, int y)
{
    POINT screen{x, y};
    ClientToScreen(w.Hwnd(), &screen);
    SetCursorPos(screen.x, screen.y);
    w.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(w.Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    w.Send(WM_MOUSEMOVE, 0, At(x, y));
}

class LoginFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ini = TestModuleDirectory() + L"static.ini";
        DeleteFileW(ini.c_str());
        FakeGame::created = FakeGame::deleted = 0;
        FakeGame::requests.clear();
        previousFactory = CZarizGame::SetFactory(MakeFakeGame);
    }
    void TearDown() override
    {
        // Closing, as the program does, takes the icon out of the tray.
        if (frame && frame->IsWindow())
            frame->Send(WM_CLOSE);
        frame.reset();
        PumpPendingMessages();
        CZarizGame::SetFactory(previousFactory);
        DeleteFileW(ini.c_str());
    }

    void WriteIni(const wchar_t* key, const wchar_t* value) { WritePrivateProfileStringW(L"dr", key, value, ini.c_str()); }

    CMainWnd& Make(int mode = 0)
    {
        frame = std::make_unique<CMainWnd>(mode);
        return *frame;
    }

    // Premultiplied BGRA pixels of one rectangle of the last composed picture.
    std::vector<unsigned> Pixels(const SkinRect& r) const
    {
        std::vector<unsigned> out;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                out.push_back(frame->ComposedPixels()[y * frame->SkinWidth() + x]);
        return out;
    }

    std::wstring ini;
    std::unique_ptr<CMainWnd> frame;
    CZarizGame::Factory previousFactory = nullptr;
    RecordingSeam seam;
};

TEST_F(LoginFrameTest, CreationSizesCentresAndNamesTheLayeredFrame)
{
    CMainWnd& f = Make();
    ASSERT_TRUE(f.IsWindow());
    EXPECT_EQ(g_mainWnd, &f);
    RECT r{};
    GetWindowRect(f.Hwnd(), &r);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.right - r.left, 1190);
    EXPECT_EQ(r.bottom - r.top, 700);
    EXPECT_EQ(r.left, (sw - 1190) / 2);
    EXPECT_EQ(r.top, (sh - 700) / 2);

    wchar_t title[64] = {};
    GetWindowTextW(f.Hwnd(), title, 64);
    EXPECT_STREQ(title, L"KorvaneDuskreign");
    const LONG style = GetWindowLongW(f.Hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS),
              WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(GetWindowLongW(f.Hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_FALSE(IsWindowVisible(f.Hwnd()));
    EXPECT_NE(f.Send(WM_GETICON, ICON_BIG), 0);
    EXPECT_NE(f.Send(WM_GETICON, ICON_SMALL), 0);
    EXPECT_EQ(f.webAreaRect.left, 445);
    EXPECT_EQ(f.webAreaRect.bottom, 523);

    // The frame enabled the debug privilege in the process token.
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    LUID debug{};
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &debug));
    PRIVILEGE_SET query{1, PRIVILEGE_SET_ALL_NECESSARY, {{debug, 0}}};
    BOOL enabled = FALSE;
    EXPECT_TRUE(PrivilegeCheck(token, &query, &enabled));
    EXPECT_TRUE(enabled);
    CloseHandle(token);

    // Shared values start as the other windows expect them.
    EXPECT_EQ(f.loginShowPending, 1);
    EXPECT_EQ(f.gameMaximized, 1);
    EXPECT_EQ(f.accountBound, 1);
    EXPECT_EQ(f.gameWindow, nullptr);
    EXPECT_EQ(f.IniPath(), ini);
}

TEST_F(LoginFrameTest, ComposedPictureIsPremultipliedWithTransparentSurround)
{
    CMainWnd& f = Make();
    ASSERT_NE(f.ComposedPixels(), nullptr);
    const unsigned* px = f.ComposedPixels();
    const int w = f.SkinWidth(), h = f.SkinHeight();
    EXPECT_EQ(px[0] >> 24, 0u);
    EXPECT_EQ(px[w - 1] >> 24, 0u);
    EXPECT_EQ(px[(h - 1) * w] >> 24, 0u);
    for (unsigned p : Pixels(kWebAreaRect))
        ASSERT_EQ(p >> 24, 255u);
    for (const SkinRect& r : kButtonRects)
        EXPECT_EQ(px[(r.top + r.Height() / 2) * w + r.left + r.Width() / 2] >> 24, 255u);
    for (int i = 0; i < w * h; ++i) {
        const unsigned a = px[i] >> 24;
        ASSERT_LE((px[i] >> 16) & 0xFF, a) << i;
        ASSERT_LE((px[i] >> 8) & 0xFF, a) << i;
        ASSERT_LE(px[i] & 0xFF, a) << i;
    }
}

TEST_F(LoginFrameTest, HoverDrawsTheHoverFrameAndLeavingRestoresIt)
{
    CMainWnd& f = Make();
    std::vector<std::vector<unsigned>> normal;
    for (const SkinRect& r : kButtonRects)
        normal.push_back(Pixels(r));

    ShowWindow(f.Hwnd(), SW_SHOW);
    for (int b = 0; b < kButtonCount; ++b) {
        const SkinRect& r = kButtonRects[b];
        MovePointer(f, r.left + 2, r.top + 2);
        EXPECT_TRUE(f.HoverLit(static_cast<FrameButton>(b))) << "button " << b;
        EXPECT_NE(Pixels(r), normal[b]) << "button " << b;
        for (int other = 0; other < kButtonCount; ++other) {
            if (other != b) {
                EXPECT_FALSE(f.HoverLit(static_cast<FrameButton>(other))) << b << "/" << other;
                EXPECT_EQ(Pixels(kButtonRects[other]), normal[other]) << b << "/" << other;
            }
        }
        const bool hand = b == kCloseButton || b == kMinimizeButton;
        EXPECT_EQ(GetCursor() == LoadCursorW(nullptr, IDC_HAND), hand) << "button " << b;
    }
    MovePointer(f, 300, 400);
    for (int b = 0; b < kButtonCount; ++b) {
        EXPECT_FALSE(f.HoverLit(static_cast<FrameButton>(b)));
        EXPECT_EQ(Pixels(kButtonRects[b]), normal[b]) << "button " << b;
    }
}

TEST_F(LoginFrameTest, CloseAsksAndCancelKeepsEverything)
{
    CMainWnd& f = Make();
    seam.answer = IDCANCEL;
    f.Send(WM_LBUTTONUP, 0, At(1080, 140)); // no move before: close acts all the same
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].text, L"确定要退出吗？");
    EXPECT_EQ(seam.boxes[0].caption, L"退出提示");
    EXPECT_EQ(seam.boxes[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_TRUE(f.IsWindow());
    // The icon is still there: modifying it succeeds.
    NOTIFYICONDATAW data = TrayIcon::Data(f.Hwnd(), f.AppIcon());
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data));

    seam.answer = IDOK;
    f.Send(WM_LBUTTONUP, 0, At(1080, 140));
    EXPECT_EQ(seam.boxes.size(), 2u);
    EXPECT_FALSE(f.IsWindow());
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data));
}

TEST_F(LoginFrameTest, LinksOpenOnlyAfterAMoveOverThem)
{
    CMainWnd& f = Make();
    const struct {
        FrameButton link;
        std::wstring address;
    } rows[] = {
        {kOfficialLink, std::wstring(L"http://") + DUSK_OFFICIAL_HOST + L"/"},
        {kPayLink, std::wstring(L"http://") + DUSK_PAY_HOST + L"/?g=dr"},
        {kServiceLink, std::wstring(L"http://") + DUSK_MAIN_HOST + L"/kefu/"},
        {kForumLink, std::wstring(L"http://") + DUSK_FORUM_HOST + L"/"},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const SkinRect& r = kButtonRects[rows[i].link];
        seam.runs.clear();
        f.Send(WM_LBUTTONUP, 0, At(r.left + 5, r.top + 5));
        EXPECT_TRUE(seam.runs.empty()) << "row " << i;
        f.Send(WM_MOUSEMOVE, 0, At(r.left + 5, r.top + 5));
        f.Send(WM_LBUTTONUP, 0, At(r.left + 5, r.top + 5));
        ASSERT_EQ(seam.runs.size(), 1u) << "row " << i;
        EXPECT_EQ(seam.runs[0].verb, L"open");
        EXPECT_EQ(seam.runs[0].file, rows[i].address) << "row " << i;
        EXPECT_EQ(seam.runs[0].show, SW_SHOW);
        EXPECT_FALSE(f.HoverLit(rows[i].link));
        // A second click without moving again does nothing.
        f.Send(WM_LBUTTONUP, 0, At(r.left + 5, r.top + 5));
        EXPECT_EQ(seam.runs.size(), 1u) << "row " << i;
    }
    EXPECT_TRUE(seam.boxes.empty());
}

TEST_F(LoginFrameTest, MinimiseAfterAMove)
{
    CMainWnd& f = Make();
    ShowWindow(f.Hwnd(), SW_SHOW);
    f.Send(WM_LBUTTONUP, 0, At(1060, 105));
    EXPECT_FALSE(IsIconic(f.Hwnd()));
    f.Send(WM_MOUSEMOVE, 0, At(1060, 105));
    f.Send(WM_LBUTTONUP, 0, At(1060, 105));
    EXPECT_TRUE(IsIconic(f.Hwnd()));

    // Double-click on the tray icon restores it.
    f.Send(WM_TRAYNOTIFY, TrayIcon::kIconId, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(IsIconic(f.Hwnd()));
    EXPECT_TRUE(IsWindowVisible(f.Hwnd()));
}

TEST_F(LoginFrameTest, TrayExitClosesWithoutConfirmation)
{
    CMainWnd& f = Make();
    EXPECT_EQ(f.Send(WM_TRAYNOTIFY, TrayIcon::kIconId, WM_MOUSEMOVE), 0);
    f.Send(WM_COMMAND, 32772);
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_FALSE(f.IsWindow());
}

TEST_F(LoginFrameTest, TrayIconDataIsTheFullStructure)
{
    CMainWnd& f = Make();
    const NOTIFYICONDATAW data = TrayIcon::Data(f.Hwnd(), f.AppIcon());
    EXPECT_EQ(data.cbSize, 956u);
    EXPECT_EQ(data.uID, 148u);
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(data.uCallbackMessage, 1124u);
    EXPECT_STREQ(data.szTip, L"KorvaneDuskreign");
    EXPECT_EQ(data.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
    EXPECT_EQ(data.uTimeout, 3u);
    EXPECT_NE(data.hIcon, nullptr);
}

TEST_F(LoginFrameTest, OpenGameCreatesOneGameWindowAndBackToLoginDeletesIt)
{
    CMainWnd& f = Make();
    ShowWindow(f.Hwnd(), SW_SHOW);
    f.Send(WM_OPENGAME);
    ASSERT_EQ(FakeGame::created, 1);
    FakeGame* game = g_lastGame;
    EXPECT_EQ(f.gameWindow, game);
    EXPECT_EQ(game->seen, std::vector<UINT>{SC_MAXIMIZE});
    EXPECT_TRUE(IsWindowVisible(game->Hwnd()));
    EXPECT_FALSE(IsWindowVisible(f.Hwnd()));

    f.Send(WM_OPENGAME);
    EXPECT_EQ(FakeGame::created, 1);

    // Customer-service requests go to the game window, empty ones nowhere.
    f.Send(WM_SHOWIM);
    EXPECT_TRUE(FakeGame::requests.empty());
    f.imRequest = L"a|b|c";
    f.Send(WM_SHOWIM);
    EXPECT_EQ(FakeGame::requests, std::vector<std::wstring>{L"a|b|c"});

    f.Send(WM_BACKTOLOGIN);
    EXPECT_EQ(FakeGame::deleted, 1);
    EXPECT_EQ(f.gameWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(f.Hwnd()));

    // The next game window opens restored when the last one was left restored.
    f.gameMaximized = 0;
    f.Send(WM_OPENGAME);
    EXPECT_TRUE(g_lastGame->seen.empty());
    f.Send(WM_BACKTOLOGIN);

    // Without a game window: still shown, and WM_SHOWIM does nothing.
    ShowWindow(f.Hwnd(), SW_HIDE);
    f.Send(WM_BACKTOLOGIN);
    f.Send(WM_SHOWIM);
    EXPECT_TRUE(IsWindowVisible(f.Hwnd()));
    EXPECT_EQ(FakeGame::requests.size(), 1u);
}

TEST_F(LoginFrameTest, BossKeyTogglesTheFrameOrTheGameWindow)
{
    CMainWnd& f = Make();
    ShowWindow(f.Hwnd(), SW_SHOW);
    f.Send(WM_HOTKEY, 1225);
    EXPECT_TRUE(IsWindowVisible(f.Hwnd()));
    f.Send(WM_HOTKEY, BOSS_HOTKEY_ID);
    EXPECT_FALSE(IsWindowVisible(f.Hwnd()));
    f.Send(WM_HOTKEY, BOSS_HOTKEY_ID);
    EXPECT_TRUE(IsWindowVisible(f.Hwnd()));

    f.Send(WM_OPENGAME);
    HWND game = f.gameWindow->Hwnd();
    f.Send(WM_HOTKEY, BOSS_HOTKEY_ID);
    EXPECT_FALSE(IsWindowVisible(game));
    EXPECT_FALSE(IsWindowVisible(f.Hwnd()));
    f.Send(WM_HOTKEY, BOSS_HOTKEY_ID);
    EXPECT_TRUE(IsWindowVisible(game));
    EXPECT_FALSE(IsWindowVisible(f.Hwnd()));
}

TEST_F(LoginFrameTest, BossKeyFromStaticIniIsRegistered)
{
    // Ctrl+Alt+Shift+F7: unlikely to be taken by anything else on the test display.
    WriteIni(L"hotkey", std::to_wstring((7 << 16) | VK_F7).c_str());
    CMainWnd& f = Make();
    EXPECT_EQ(f.bossKey, (7 << 16) | VK_F7);
    EXPECT_EQ(f.bossKeyName, L"F10");
    const wchar_t* cls = RegisterFrameworkClass(0, nullptr, nullptr, nullptr);
    Window probe;
    ASSERT_TRUE(probe.CreateEx(0, cls, L"probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    EXPECT_FALSE(RegisterHotKey(probe.Hwnd(), 1, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F7));
    frame.reset();
    EXPECT_TRUE(RegisterHotKey(probe.Hwnd(), 1, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F7));
    UnregisterHotKey(probe.Hwnd(), 1);
}

TEST_F(LoginFrameTest, EmptyHotkeyRegistersNothing)
{
    WriteIni(L"hotkey", L"");
    CMainWnd& f = Make();
    EXPECT_EQ(f.bossKey, -1);
}

TEST_F(LoginFrameTest, FirstRunReadsTheInstallerNameFromTheModuleFolder)
{
    WriteIni(L"start", L"0");
    WriteIni(L"filename", L"zc17_setup.exe");
    CMainWnd& f = Make();
    EXPECT_EQ(f.uid, L"zc17");
    EXPECT_EQ(f.suid, L"setup");
}

TEST_F(LoginFrameTest, NormalStartCreatesTheLoginDialogHidden)
{
    CMainWnd& f = Make(0);
    ASSERT_NE(f.LoginDialog(), nullptr);
    EXPECT_FALSE(IsWindowVisible(f.LoginDialog()->Hwnd()));
    ShowWindow(f.Hwnd(), SW_SHOW);
    // Its page has not loaded: it stays hidden while loginShowPending is set.
    EXPECT_FALSE(IsWindowVisible(f.LoginDialog()->Hwnd()));
    ShowWindow(f.Hwnd(), SW_HIDE);
    f.loginShowPending = 0;
    ShowWindow(f.Hwnd(), SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(f.LoginDialog()->Hwnd()));
    ShowWindow(f.Hwnd(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(f.LoginDialog()->Hwnd()));
}

TEST_F(LoginFrameTest, HiddenStartCreatesTheLoginDialogOnFirstShowOverTheWebArea)
{
    CMainWnd& f = Make(1);
    EXPECT_EQ(f.LoginDialog(), nullptr);
    f.Send(WM_HOTKEY, BOSS_HOTKEY_ID); // the boss key shows the frame
    EXPECT_TRUE(IsWindowVisible(f.Hwnd()));
    ASSERT_NE(f.LoginDialog(), nullptr);
    RECT frameRect{}, dialogRect{};
    GetWindowRect(f.Hwnd(), &frameRect);
    GetWindowRect(f.LoginDialog()->Hwnd(), &dialogRect);
    EXPECT_EQ(dialogRect.left, frameRect.left + 445);
    EXPECT_EQ(dialogRect.top, frameRect.top + 153);
    EXPECT_EQ(dialogRect.right - dialogRect.left, 596);
    EXPECT_EQ(dialogRect.bottom - dialogRect.top, 370);

    // The dialog follows the frame.
    SetWindowPos(f.Hwnd(), nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(f.LoginDialog()->Hwnd(), &dialogRect);
    EXPECT_EQ(dialogRect.left, 10 + 445);
    EXPECT_EQ(dialogRect.top, 20 + 153);
}

} // namespace
