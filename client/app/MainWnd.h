#pragma once
#include "client/app/FrameRules.h"
#include "client/app/SkinImage.h"
#include "framework/Handles.h"
#include "framework/Window.h"

#include <memory>
#include <string>

class CWebDlg;
class CZarizGame;

// The login frame: a borderless per-pixel-alpha window painted from its skin, with four link
// buttons, minimise and close, the login dialog floating over its web area, the tray icon, the
// boss key and the one-shot usage report. It also holds the values the other windows share.
class CMainWnd : public Window {
public:
    // mode 0 creates the login dialog at once; mode 1 (hidden start) on the first show.
    explicit CMainWnd(int mode);
    ~CMainWnd() override;

    // Shared values, read and written by the other windows through g_mainWnd.
    std::wstring uid;
    std::wstring suid;
    std::wstring payUrl;
    std::wstring gameUrl;
    std::wstring serverName;
    std::wstring imRequest;
    std::wstring bossKeyName = L"无";
    int loginShowPending = 1;
    int bossKey = -1;
    int gameMaximized = 1;
    int accountBound = 1;
    CZarizGame* gameWindow = nullptr;
    RECT webAreaRect{};

    CWebDlg* LoginDialog() const { return loginDialog_; }
    const std::wstring& IniPath() const { return iniPath_; }
    HICON AppIcon() const { return appIcon_; }

    // Composes the skin with the buttons' current frames and pushes it to the layered window.
    void RedrawSkin();
    // The picture last pushed: skin width x skin height premultiplied BGRA pixels, top row first.
    const unsigned* ComposedPixels() const { return pixels_; }
    int SkinWidth() const { return skinWidth_; }
    int SkinHeight() const { return skinHeight_; }
    bool HoverLit(FrameButton button) const { return hover_.lit[button]; }

    // The program ends when this window is gone (the application's main window).
    void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }

    // The address a link button opens.
    static std::wstring LinkAddress(FrameButton link);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool OnCreate();
    void OnMouseMove(POINT p);
    void OnLButtonDown(POINT p);
    void OnLButtonUp(POINT p);
    bool OnSetCursor();
    void OnTrayNotify(UINT mouseMessage);
    void OnHotKey(int id);
    void OnShowWindow(bool shown);
    void OnClose();
    void OnTimer(UINT_PTR id);
    void OnOpenGame();
    void OnBackToLogin();
    void OnShowIM();

    void CreateLoginDialog();
    void PlaceLoginDialog();
    void RegisterBossKey();
    static void EnableDebugPrivilege();

    bool ComposeSkin();
    void ClearHover();
    void DeleteImages();

    int loginDialogCreated_;
    bool quitOnDestroy_ = false;
    HICON appIcon_ = nullptr;
    std::wstring moduleDirectory_;
    std::wstring iniPath_;
    int skinWidth_ = 0;
    int skinHeight_ = 0;
    std::unique_ptr<SkinImage> skin_;
    std::unique_ptr<SkinImage> buttonImages_[kButtonCount];
    HoverState hover_{};
    CWebDlg* loginDialog_ = nullptr;

    // The composition surface, kept between redraws: a memory DC holding a 32-bit top-down DIB
    // section, and the skin alone, premultiplied, copied in before the buttons are drawn.
    UniqueMemoryDc surfaceDc_;
    UniqueGdiObject surfaceBitmap_;
    HGDIOBJ surfaceOld_ = nullptr;
    unsigned* pixels_ = nullptr;
    std::unique_ptr<unsigned[]> skinPixels_;
};

// The login frame; set during its creation, before any other window exists.
extern CMainWnd* g_mainWnd;
