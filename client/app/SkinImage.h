#pragma once
#include <windows.h>

#include <objidl.h> // GDI+ needs it, and WIN32_LEAN_AND_MEAN leaves it out
#include <gdiplus.h>

#include <memory>
#include <string>

// A skin picture decoded by GDI+ from a "PNG" resource. GDI+ may read the stream again after
// loading, so the image owns the memory block behind its stream and frees it only after the
// image is gone.
class SkinImage {
public:
    SkinImage(HGLOBAL block, IStream* stream);
    SkinImage(const SkinImage&) = delete;
    SkinImage& operator=(const SkinImage&) = delete;
    ~SkinImage();

    Gdiplus::Image* Get() const { return image_.get(); }
    int Width() const;
    int Height() const;

private:
    HGLOBAL block_;
    std::unique_ptr<Gdiplus::Image> image_;
};

// Loads PNG resource `id` of the running module into `out`. A missing resource returns false
// and leaves `out` as it was; a picture GDI+ cannot decode still gives an image (it then draws
// nothing).
bool LoadPngResource(UINT id, std::unique_ptr<SkinImage>& out);

// Draws the whole image scaled into the rectangle; nothing when the image is null.
void DrawImageInRect(const SkinImage* image, Gdiplus::Graphics& graphics, int left, int top, int right, int bottom);

// Draws frame `frame` of a strip of equal frames stacked top to bottom into the rectangle.
void DrawStripFrame(const SkinImage* image, Gdiplus::Graphics& graphics, int left, int top, int right, int bottom, int frame);

// The running executable's directory with its trailing backslash ("" when the path has none).
void GetModuleDirectory(std::wstring& directory);

// Starts GDI+ once for the process; it is never shut down. Returns whether it started.
bool StartGdiPlus(ULONG_PTR& token);
