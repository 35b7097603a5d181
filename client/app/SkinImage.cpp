#include "client/app/SkinImage.h"

#include "framework/ComPtr.h"

#include <cstring>

SkinImage::SkinImage(HGLOBAL block, IStream* stream)
    : block_(block), image_(Gdiplus::Image::FromStream(stream, FALSE))
{
}

SkinImage::~SkinImage()
{
    image_.reset();
    if (block_)
        GlobalFree(block_);
}

int SkinImage::Width() const
{
    return image_ ? static_cast<int>(image_->GetWidth()) : 0;
}

int SkinImage::Height() const
{
    return image_ ? static_cast<int>(image_->GetHeight()) : 0;
}

bool LoadPngResource(UINT id, std::unique_ptr<SkinImage>& out)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!resource)
        return false;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;

    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (!block)
        return false;
    std::memcpy(GlobalLock(block), bytes, size);
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, FALSE, stream.Put()))) {
        GlobalUnlock(block);
        GlobalFree(block);
        return false;
    }
    out = std::make_unique<SkinImage>(block, stream.Get());
    GlobalUnlock(block);
    return out != nullptr;
}

void DrawImageInRect(const SkinImage* image, Gdiplus::Graphics& graphics, int left, int top, int right, int bottom)
{
    if (!image || !image->Get())
        return;
    graphics.DrawImage(image->Get(), Gdiplus::Rect(left, top, right - left, bottom - top), 0, 0,
                       image->Width(), image->Height(), Gdiplus::UnitPixel);
}

void DrawStripFrame(const SkinImage* image, Gdiplus::Graphics& graphics, int left, int top, int right, int bottom, int frame)
{
    if (!image || !image->Get())
        return;
    const int w = right - left;
    const int h = bottom - top;
    graphics.DrawImage(image->Get(), Gdiplus::Rect(left, top, w, h), 0, frame * h, w, h, Gdiplus::UnitPixel);
}

void GetModuleDirectory(std::wstring& directory)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    directory = path;
    const size_t slash = directory.rfind(L'\\');
    directory = slash == std::wstring::npos ? std::wstring() : directory.substr(0, slash + 1);
}

bool StartGdiPlus(ULONG_PTR& token)
{
    Gdiplus::GdiplusStartupInput input; // version 1, no debug callback, thread and codecs not suppressed
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
}
