#include "client/app/SkinImage.h"
#include "tests/app/ClientTestEnvironment.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Renders into a premultiplied 32-bit buffer and returns its pixels.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0),
        bitmap(w, h, w * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels.data())), graphics(&bitmap) {}
    int width, height;
    std::vector<unsigned> pixels;
    Gdiplus::Bitmap bitmap;
    Gdiplus::Graphics graphics;
};

TEST(SkinImage, MissingResourceLeavesThePointerAsItWas)
{
    std::unique_ptr<SkinImage> image;
    ASSERT_TRUE(LoadPngResource(152, image));
    SkinImage* before = image.get();
    EXPECT_FALSE(LoadPngResource(141, image)); // 141 is no PNG resource
    EXPECT_FALSE(LoadPngResource(148, image)); // 148 is the icon group
    EXPECT_EQ(image.get(), before);
}

TEST(SkinImage, LoadsTheSkinAtItsSize)
{
    std::unique_ptr<SkinImage> skin;
    ASSERT_TRUE(LoadPngResource(149, skin));
    ASSERT_NE(skin->Get(), nullptr);
    EXPECT_EQ(skin->Get()->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(skin->Width(), 1190);
    EXPECT_EQ(skin->Height(), 700);
}

TEST(SkinImage, ImageStaysDrawableWhileItLives)
{
    // GDI+ may go back to the stream: drawing long after loading must still work.
    std::unique_ptr<SkinImage> strip;
    ASSERT_TRUE(LoadPngResource(138, strip));
    for (int i = 0; i < 3; ++i) {
        Canvas canvas(31, 93);
        DrawImageInRect(strip.get(), canvas.graphics, 0, 0, 31, 93);
        unsigned opaque = 0;
        for (unsigned p : canvas.pixels)
            opaque += (p >> 24) != 0;
        EXPECT_GT(opaque, 0u) << "pass " << i;
    }
}

TEST(SkinImage, DrawImageInRectScalesTheWholeStrip)
{
    std::unique_ptr<SkinImage> strip;
    ASSERT_TRUE(LoadPngResource(152, strip)); // 24x72: three 24x24 frames
    Canvas whole(24, 24), frame0(24, 24);
    DrawImageInRect(strip.get(), whole.graphics, 0, 0, 24, 24);
    DrawStripFrame(strip.get(), frame0.graphics, 0, 0, 24, 24, 0);
    EXPECT_NE(whole.pixels, frame0.pixels);

    // The frames differ from each other, so each frame drawn is a different picture.
    Canvas frame1(24, 24);
    DrawStripFrame(strip.get(), frame1.graphics, 0, 0, 24, 24, 1);
    EXPECT_NE(frame0.pixels, frame1.pixels);
}

TEST(SkinImage, NullImageDrawsNothing)
{
    Canvas canvas(8, 8);
    DrawImageInRect(nullptr, canvas.graphics, 0, 0, 8, 8);
    DrawStripFrame(nullptr, canvas.graphics, 0, 0, 8, 8, 1);
    for (unsigned p : canvas.pixels)
        EXPECT_EQ(p, 0u);
}

TEST(SkinImage, ModuleDirectoryEndsWithABackslash)
{
    std::wstring directory = L"stale";
    GetModuleDirectory(directory);
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), L'\\');
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(std::wstring(path).rfind(directory, 0), 0u);
    EXPECT_EQ(std::wstring(path).find(L'\\', directory.size()), std::wstring::npos);
}

} // namespace
