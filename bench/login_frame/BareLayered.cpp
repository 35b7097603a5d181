// Shows one layered window of the skin's size, composed from an embedded PNG, and waits.
#include <windows.h>

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    HRSRC res = FindResourceW(instance, MAKEINTRESOURCEW(149), L"PNG");
    const DWORD size = SizeofResource(instance, res);
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    std::memcpy(block, LockResource(LoadResource(instance, res)), size);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(block, FALSE, &stream);
    Gdiplus::Image image(stream, FALSE);
    const int w = static_cast<int>(image.GetWidth()), h = static_cast<int>(image.GetHeight());

    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"BareLayered";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_LAYERED, wc.lpszClassName, L"BareLayered", WS_POPUP,
                                (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2,
                                w, h, nullptr, nullptr, instance, nullptr);

    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    SelectObject(mem, dib);
    {
        Gdiplus::Bitmap surface(w, h, w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
        Gdiplus::Graphics graphics(&surface);
        graphics.DrawImage(&image, 0, 0, w, h);
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    POINT dst{r.left, r.top}, src{0, 0};
    SIZE sz{w, h};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, screen, &dst, &sz, mem, &src, 0, &blend, ULW_ALPHA);
    ShowWindow(hwnd, SW_SHOW);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
