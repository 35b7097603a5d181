// Times RedrawSkin of the real login frame (a hover change) against UpdateLayeredWindow of an
// already composed picture of the same size, in one run. Prints both and their ratio.
#include "client/app/MainWnd.h"
#include "client/app/SkinImage.h"
#include "client/game/ZarizGame.h"

#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    ULONG_PTR token = 0;
    StartGdiPlus(token);
    const int rounds = 200;

    CMainWnd frame(1);
    ShowWindow(frame.Hwnd(), SW_SHOW);
    std::vector<double> redraw;
    for (int i = 0; i < rounds; ++i) {
        // Alternate between a link and the bare skin: each move changes a hover flag.
        const LPARAM at = (i % 2) ? MAKELPARAM(500, 110) : MAKELPARAM(300, 600);
        const double t0 = Now();
        frame.Send(WM_MOUSEMOVE, 0, at);
        redraw.push_back(Now() - t0);
    }

    // The baseline pushes one composed picture of the same size to a layered window.
    const int w = frame.SkinWidth(), h = frame.SkinHeight();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BareRedraw";
    RegisterClassW(&wc);
    HWND bare = CreateWindowExW(WS_EX_LAYERED, wc.lpszClassName, L"bare", WS_POPUP, 0, 0, w, h, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ShowWindow(bare, SW_SHOW);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    SelectObject(mem, dib);
    std::copy(frame.ComposedPixels(), frame.ComposedPixels() + static_cast<size_t>(w) * h, static_cast<unsigned*>(bits));
    std::vector<double> push;
    for (int i = 0; i < rounds; ++i) {
        POINT dst{0, 0}, src{0, 0};
        SIZE sz{w, h};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        const double t0 = Now();
        UpdateLayeredWindow(bare, screen, &dst, &sz, mem, &src, 0, &blend, ULW_ALPHA);
        push.push_back(Now() - t0);
    }
    const double a = Median(redraw), b = Median(push);
    std::printf("RedrawSkin median %.3f ms, bare UpdateLayeredWindow median %.3f ms, ratio %.2f\n", a, b, a / b);
    std::fflush(stdout);
    DestroyWindow(bare);
    return 0;
}
