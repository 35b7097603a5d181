#include "client/app/MainWnd.h"

#include "client/app/FrameConfiguration.h"
#include "client/app/Messages.h"
#include "client/app/TrayIcon.h"
#include "client/game/ZarizGame.h"
#include "client/popups/WebDlg.h"
#include "framework/UiSeam.h"
#include "resources/client/resource.h"
#include "shared/UsageReport.h"

#include <DuskHosts.h>

#include <cstring>

CMainWnd* g_mainWnd = nullptr;

namespace {

// PNG resources of the frame.
constexpr UINT kSkinPng = IDB_LOGIN_SKIN;
constexpr UINT kButtonPngs[kButtonCount] = {IDB_LOGIN_CLOSE, IDB_LOGIN_MINIMIZE, IDB_LINK_OFFICIAL,
                                            IDB_LINK_TOPUP, IDB_LINK_SERVICE, IDB_LINK_FORUM}; // in FrameButton order
// Creation loads them in this order.
constexpr FrameButton kLoadOrder[kButtonCount] = {kCloseButton, kMinimizeButton, kOfficialLink,
                                                  kServiceLink, kPayLink, kForumLink};

constexpr UINT kTrayExitCommand = ID_TRAY_EXIT;

Gdiplus::Bitmap PixelSurface(unsigned* pixels, int width, int height)
{
    return Gdiplus::Bitmap(width, height, width * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels));
}

} // namespace

CMainWnd::CMainWnd(int mode) : loginDialogCreated_(mode == 0 ? 1 : 0)
{
    const wchar_t* cls = RegisterFrameworkClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
                                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr);
    CreateEx(0, cls, L"VivoDuzu",
             WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
             0, 0, 0, 0, nullptr, nullptr);
}

CMainWnd::~CMainWnd()
{
    if (IsWindow())
        DestroyWindow();
    if (surfaceDc_ && surfaceOld_)
        SelectObject(surfaceDc_.Get(), surfaceOld_);
    if (g_mainWnd == this)
        g_mainWnd = nullptr;
}

std::wstring CMainWnd::LinkAddress(FrameButton link)
{
    switch (link) {
    case kOfficialLink:
        return std::wstring(L"http://") + DUSK_OFFICIAL_HOST + L"/";
    case kPayLink:
        return std::wstring(L"http://") + DUSK_PAY_HOST + L"/?g=dr";
    case kServiceLink:
        return std::wstring(L"http://") + DUSK_MAIN_HOST + L"/kefu/";
    case kForumLink:
        return std::wstring(L"http://") + DUSK_FORUM_HOST + L"/";
    default:
        return std::wstring();
    }
}

LRESULT CMainWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        if (Default() == -1 || !OnCreate())
            return -1;
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(PointFromLParam(lParam));
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(PointFromLParam(lParam));
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(PointFromLParam(lParam));
        break;
    case WM_SETCURSOR:
        if (OnSetCursor())
            return TRUE;
        break;
    case WM_TRAYNOTIFY:
        OnTrayNotify(static_cast<UINT>(lParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kTrayExitCommand) {
            Send(WM_CLOSE);
            return 0;
        }
        break;
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(wParam));
        break;
    case WM_SHOWWINDOW:
        OnShowWindow(wParam != FALSE);
        break;
    case WM_MOVE: {
        const LRESULT result = Default();
        if (loginDialog_ && loginDialog_->IsWindow())
            PlaceLoginDialog();
        return result;
    }
    case WM_CLOSE:
        OnClose();
        break;
    case WM_TIMER:
        OnTimer(wParam);
        break;
    case WM_OPENGAME:
        OnOpenGame();
        break;
    case WM_BACKTOLOGIN:
        OnBackToLogin();
        break;
    case WM_SHOWIM:
        OnShowIM();
        break;
    case WM_NCDESTROY:
        if (quitOnDestroy_)
            PostQuitMessage(0);
        break;
    }
    return Default();
}

bool CMainWnd::OnCreate()
{
    GetModuleDirectory(moduleDirectory_);

    appIcon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon_));

    LoadPngResource(kSkinPng, skin_);
    for (FrameButton b : kLoadOrder)
        LoadPngResource(kButtonPngs[b], buttonImages_[b]);
    if (skin_) {
        skinWidth_ = skin_->Width();
        skinHeight_ = skin_->Height();
    }
    webAreaRect = RECT{kWebAreaRect.left, kWebAreaRect.top, kWebAreaRect.right, kWebAreaRect.bottom};

    const FramePoint origin = CentreOnScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                             skinWidth_, skinHeight_);
    MoveWindow(Hwnd(), origin.x, origin.y, skinWidth_, skinHeight_, TRUE);

    g_mainWnd = this;
    SetWindowTextW(Hwnd(), L"KorvaneDuskreign");
    RedrawSkin();
    EnableDebugPrivilege();

    iniPath_ = moduleDirectory_ + L"static.ini";
    const FrameConfiguration config = LoadFrameConfiguration(iniPath_);
    bossKey = config.bossKey;
    bossKeyName = config.bossKeyName;
    uid = config.uid;
    suid = config.suid;

    TrayIcon::Add(Hwnd(), appIcon_);
    if (bossKey != -1)
        RegisterBossKey();
    if (loginDialogCreated_ == 1)
        CreateLoginDialog();
    SetTimer(Hwnd(), REPORT_TIMER_ID, REPORT_DELAY_MS, nullptr);
    return true;
}

bool CMainWnd::ComposeSkin()
{
    if (skinWidth_ <= 0 || skinHeight_ <= 0)
        return false;
    const size_t count = static_cast<size_t>(skinWidth_) * skinHeight_;
    if (!surfaceDc_) {
        WindowDc screen(Hwnd());
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = skinWidth_;
        info.bmiHeader.biHeight = -skinHeight_; // top-down: row 0 first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        UniqueGdiObject bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        UniqueMemoryDc dc(CreateCompatibleDC(screen.Get()));
        if (!bitmap || !dc || !bits)
            return false;
        surfaceOld_ = SelectObject(dc.Get(), bitmap.Get());
        surfaceBitmap_ = std::move(bitmap);
        surfaceDc_ = std::move(dc);
        pixels_ = static_cast<unsigned*>(bits);

        // The skin is the same in every picture: draw it once onto transparent pixels.
        skinPixels_ = std::make_unique<unsigned[]>(count);
        std::memset(skinPixels_.get(), 0, count * 4);
        Gdiplus::Bitmap surface = PixelSurface(skinPixels_.get(), skinWidth_, skinHeight_);
        Gdiplus::Graphics graphics(&surface);
        DrawImageInRect(skin_.get(), graphics, 0, 0, skinWidth_, skinHeight_);
    }

    std::memcpy(pixels_, skinPixels_.get(), count * 4);
    Gdiplus::Bitmap surface = PixelSurface(pixels_, skinWidth_, skinHeight_);
    Gdiplus::Graphics graphics(&surface);
    for (int b = 0; b < kButtonCount; ++b) {
        const SkinRect& r = kButtonRects[b];
        DrawStripFrame(buttonImages_[b].get(), graphics, r.left, r.top, r.right, r.bottom, hover_.lit[b] ? 1 : 0);
    }
    GdiFlush();
    return true;
}

void CMainWnd::RedrawSkin()
{
    if (!ComposeSkin())
        return;
    const LONG_PTR exStyle = GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED))
        SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

    RECT window{};
    GetWindowRect(Hwnd(), &window);
    POINT destination{window.left, window.top};
    SIZE size{skinWidth_, skinHeight_};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    WindowDc dc(Hwnd());
    UpdateLayeredWindow(Hwnd(), dc.Get(), &destination, &size, surfaceDc_.Get(), &source, 0, &blend, ULW_ALPHA);
}

void CMainWnd::ClearHover()
{
    for (bool& lit : hover_.lit)
        lit = false;
}

void CMainWnd::OnMouseMove(POINT p)
{
    const HoverStep step = MoveHover(hover_, p.x, p.y);
    if (step.handCursor)
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
    if (step.redraw)
        RedrawSkin();
}

bool CMainWnd::OnSetCursor()
{
    // The class cursor would replace the hand at every move: keep it over close and minimise.
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(Hwnd(), &p);
    const FrameButton over = ButtonAt(p.x, p.y);
    if (over != kCloseButton && over != kMinimizeButton)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void CMainWnd::OnLButtonDown(POINT p)
{
    if (ButtonAt(p.x, p.y) != kNoButton)
        return;
    ReleaseCapture();
    Send(WM_SYSCOMMAND, SC_MOVE | HTCAPTION);
}

void CMainWnd::OnLButtonUp(POINT p)
{
    const FrameButton over = ButtonAt(p.x, p.y);
    if (over == kCloseButton) {
        hover_.lit[kCloseButton] = false;
        RedrawSkin();
        if (UiSeam::Current().ShowMessage(nullptr, L"确定要退出吗？", L"退出提示", MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            Send(WM_CLOSE);
        return;
    }
    if (over == kNoButton || !hover_.lit[over])
        return;
    hover_.lit[over] = false;
    RedrawSkin();
    if (over == kMinimizeButton) {
        Send(WM_SYSCOMMAND, SC_MINIMIZE);
        return;
    }
    const std::wstring address = LinkAddress(over);
    UiSeam::Current().ShellRun(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

void CMainWnd::OnTrayNotify(UINT mouseMessage)
{
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        ShowWindow(Hwnd(), IsIconic(Hwnd()) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(Hwnd());
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        TrayIcon::ShowMenu(Hwnd());
    }
}

void CMainWnd::RegisterBossKey()
{
    const HotkeyRegistration key = ConvertBossKey(bossKey);
    RegisterHotKey(Hwnd(), BOSS_HOTKEY_ID, key.modifiers, key.virtualKey);
}

void CMainWnd::OnHotKey(int id)
{
    if (id != BOSS_HOTKEY_ID)
        return;
    HWND target = gameWindow ? gameWindow->Hwnd() : Hwnd();
    if (IsWindowVisible(target)) {
        ShowWindow(target, SW_HIDE);
    } else {
        ShowWindow(target, SW_SHOW);
        SetForegroundWindow(target);
    }
}

void CMainWnd::OnShowWindow(bool shown)
{
    if (loginDialogCreated_ == 0) {
        CreateLoginDialog();
        loginDialogCreated_ = 1;
    }
    if (loginDialog_ && loginDialog_->IsWindow())
        ShowWindow(loginDialog_->Hwnd(), shown && loginShowPending == 0 ? SW_SHOW : SW_HIDE);
}

void CMainWnd::CreateLoginDialog()
{
    loginDialog_ = new CWebDlg(Hwnd());
    if (!loginDialog_->Create(IDD_WEB_DIALOG, Hwnd())) {
        // A dialog that failed in its initialisation has destroyed and deleted itself.
        loginDialog_ = nullptr;
        return;
    }
    SetFocus(loginDialog_->Hwnd());
    if (loginDialogCreated_ == 0)
        PlaceLoginDialog();
    ShowWindow(loginDialog_->Hwnd(), SW_HIDE);
}

void CMainWnd::PlaceLoginDialog()
{
    RECT frame{};
    GetWindowRect(Hwnd(), &frame);
    MoveWindow(loginDialog_->Hwnd(), frame.left + kWebAreaRect.left, frame.top + kWebAreaRect.top,
               kWebAreaRect.Width(), kWebAreaRect.Height(), TRUE);
}

void CMainWnd::OnClose()
{
    TrayIcon::Remove(Hwnd(), appIcon_);
    if (CWebDlg* dialog = std::exchange(loginDialog_, nullptr))
        dialog->OnCancel();
    DeleteImages();
}

void CMainWnd::DeleteImages()
{
    skin_.reset();
    for (auto& image : buttonImages_)
        image.reset();
}

void CMainWnd::OnTimer(UINT_PTR id)
{
    if (id != REPORT_TIMER_ID)
        return;
    KillTimer(Hwnd(), REPORT_TIMER_ID);
    if (!uid.empty())
        SendUsageReport(uid, L"dr", L"4");
}

void CMainWnd::OnOpenGame()
{
    if (!gameWindow) {
        gameWindow = CZarizGame::Create();
        if (gameWindow) {
            if (gameMaximized)
                gameWindow->Send(WM_SYSCOMMAND, SC_MAXIMIZE);
            ShowWindow(gameWindow->Hwnd(), SW_SHOW);
        }
    }
    ShowWindow(Hwnd(), SW_HIDE);
}

void CMainWnd::OnBackToLogin()
{
    if (CZarizGame* game = std::exchange(gameWindow, nullptr)) {
        game->Send(WM_CLOSE);
        delete game;
    }
    if (loginDialog_ && loginDialog_->WebBrowser())
        loginDialog_->WebBrowser()->Refresh();
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
}

void CMainWnd::OnShowIM()
{
    if (!imRequest.empty() && gameWindow)
        gameWindow->ShowCustomerService(imRequest);
}

void CMainWnd::EnableDebugPrivilege()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
        return;
    UniqueKernelHandle token(raw);
    TOKEN_PRIVILEGES privileges{};
    if (!LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid))
        return;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
}
