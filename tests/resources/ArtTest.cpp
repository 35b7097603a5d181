// The committed skin pictures and icons: sizes, frame layouts and the alpha rules the windows
// that draw them rely on.
#include "tests/resources/PngImage.h"
#include "tests/resources/SkinTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string SourceDir()
{
    const char* dir = std::getenv("DUSK_SOURCE_DIR");
    return dir ? dir : ".";
}

std::string ArtPath(unsigned id)
{
    return SourceDir() + "/resources/client/art/" + std::to_string(id) + ".png";
}

const SkinPicture& Row(unsigned id)
{
    for (const SkinPicture& p : kSkinPictures)
        if (p.id == id)
            return p;
    throw std::runtime_error("no such picture " + std::to_string(id));
}

const PngImage& Picture(unsigned id)
{
    static std::map<unsigned, PngImage> cache;
    auto it = cache.find(id);
    if (it == cache.end()) {
        PngImage image;
        std::string error;
        if (!image.Load(ArtPath(id), error))
            throw std::runtime_error(std::to_string(id) + ": " + error);
        it = cache.emplace(id, image).first;
    }
    return it->second;
}

struct Rect {
    int left, top, right, bottom; // right and bottom exclusive
};

Rect FrameRect(const SkinPicture& p, int frame)
{
    if (p.strip == Strip::Vertical) {
        const int h = p.height / p.frames;
        return {0, frame * h, p.width, (frame + 1) * h};
    }
    if (p.strip == Strip::Horizontal) {
        const int w = p.width / p.frames;
        return {frame * w, 0, (frame + 1) * w, p.height};
    }
    return {0, 0, p.width, p.height};
}

// Pixels of two frames that a viewer tells apart (some channel differs by more than 24).
int VisiblyDifferentPixels(const PngImage& image, Rect a, Rect b)
{
    int count = 0;
    for (int y = 0; y < a.bottom - a.top; ++y)
        for (int x = 0; x < a.right - a.left; ++x) {
            const std::uint8_t* p = image.Pixel(a.left + x, a.top + y);
            const std::uint8_t* q = image.Pixel(b.left + x, b.top + y);
            for (int c = 0; c < 4; ++c)
                if (std::abs(p[c] - q[c]) > 24) {
                    ++count;
                    break;
                }
        }
    return count;
}

int CountBelowOpaque(const PngImage& image, Rect r)
{
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            count += image.Alpha(x, y) != 255;
    return count;
}

} // namespace

TEST(Art, EveryPictureHasTheSizeAndFormatOfItsRow)
{
    for (size_t row = 0; row < std::size(kSkinPictures); ++row) {
        const SkinPicture& p = kSkinPictures[row];
        PngImage image;
        std::string error;
        ASSERT_TRUE(image.Load(ArtPath(p.id), error)) << "row " << row << " (" << p.id << "): " << error;
        EXPECT_EQ(image.Width(), p.width) << "row " << row << " (" << p.id << ")";
        EXPECT_EQ(image.Height(), p.height) << "row " << row << " (" << p.id << ")";
        const int length = p.strip == Strip::Horizontal ? p.width : p.height;
        EXPECT_EQ(length % p.frames, 0) << "row " << row << ": frames of unequal size";
    }
}

TEST(Art, NoPictureBesideTheTable)
{
    std::set<std::string> expected;
    for (const SkinPicture& p : kSkinPictures)
        expected.insert(std::to_string(p.id) + ".png");
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SourceDir() + "/resources/client/art")) {
        if (entry.path().extension() != ".png")
            continue;
        ++pictures;
        EXPECT_TRUE(expected.count(entry.path().filename().string())) << entry.path();
    }
    EXPECT_EQ(pictures, static_cast<int>(std::size(kSkinPictures)));
}

TEST(Art, FramesOfEveryStripDifferVisibly)
{
    for (size_t row = 0; row < std::size(kSkinPictures); ++row) {
        const SkinPicture& p = kSkinPictures[row];
        if (p.frames < 2)
            continue;
        const PngImage& image = Picture(p.id);
        const Rect first = FrameRect(p, 0);
        const int framePixels = (first.right - first.left) * (first.bottom - first.top);
        for (int a = 0; a < p.frames; ++a)
            for (int b = a + 1; b < p.frames; ++b) {
                const int differing = VisiblyDifferentPixels(image, FrameRect(p, a), FrameRect(p, b));
                EXPECT_GE(differing * 50, framePixels)
                    << "row " << row << " (" << p.id << "): frames " << a << " and " << b
                    << " differ in only " << differing << " of " << framePixels << " pixels";
            }
    }
}

TEST(Art, LoginSkinIsOpaqueWhereTheFrameDrawsAndClearAround)
{
    const PngImage& skin = Picture(149);
    for (auto [x, y] : {std::pair{0, 0}, {1189, 0}, {0, 699}, {1189, 699}})
        EXPECT_EQ(skin.Alpha(x, y), 0) << "corner " << x << "," << y;
    for (int y = 0; y < 700; ++y) {
        EXPECT_EQ(skin.Alpha(0, y), 0) << "left edge, y " << y;
        EXPECT_EQ(skin.Alpha(1189, y), 0) << "right edge, y " << y;
    }
    const Rect opaque[] = {
        {445, 153, 1041, 523},  // web area
        {1053, 98, 1077, 122},  // minimise
        {1071, 127, 1102, 158}, // close
        {478, 103, 1007, 128},  // the row of links, gaps included
    };
    for (size_t row = 0; row < std::size(opaque); ++row)
        EXPECT_EQ(CountBelowOpaque(skin, opaque[row]), 0) << "row " << row;
}

TEST(Art, FullyTransparentPixelsCarryNoColour)
{
    // With premultiplied alpha a clear pixel must be 0,0,0,0, or it brightens what lies behind.
    for (size_t row = 0; row < std::size(kSkinPictures); ++row) {
        const SkinPicture& p = kSkinPictures[row];
        const PngImage& image = Picture(p.id);
        int coloured = 0;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                const std::uint8_t* px = image.Pixel(x, y);
                coloured += px[3] == 0 && (px[0] | px[1] | px[2]) != 0;
            }
        EXPECT_EQ(coloured, 0) << "row " << row << " (" << p.id << ")";
    }
}

TEST(Art, PicturesDrawnWithoutRepaintAndWindowBackgroundsAreOpaque)
{
    // 142, 158 and 160 are drawn again and again straight onto the window: soft edges would
    // pile up. The others are whole backgrounds of windows without per-pixel alpha.
    const unsigned ids[] = {142, 158, 159, 160, 132, 143, 145};
    for (size_t row = 0; row < std::size(ids); ++row) {
        const PngImage& image = Picture(ids[row]);
        EXPECT_EQ(CountBelowOpaque(image, {0, 0, image.Width(), image.Height()}), 0)
            << "row " << row << " (" << ids[row] << ")";
    }
}

TEST(Art, SpinnerMatchesTheCleaningButtonBeneathIt)
{
    // The spinner is drawn at (4, 4) of the cleaning button and only that square is spared
    // when the button's hover look changes, so both button frames and every spinner corner agree.
    const PngImage& button = Picture(135);
    const PngImage& spinner = Picture(158);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(0, std::memcmp(button.Pixel(4 + x, 4 + y), button.Pixel(4 + x, 22 + 4 + y), 4))
                << x << "," << y;
    for (int frame = 0; frame < 8; ++frame)
        for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}})
            EXPECT_EQ(0, std::memcmp(spinner.Pixel(frame * 16 + x, y), button.Pixel(4 + x, 4 + y), 4))
                << "frame " << frame << " corner " << x << "," << y;
}

TEST(Art, LoginButtonsCarryTheSkinBehindThem)
{
    const PngImage& skin = Picture(149);
    const struct {
        unsigned id;
        int left, top;
    } buttons[] = {{138, 1071, 127}, {152, 1053, 98}, {153, 478, 103},
                   {133, 586, 103},  {139, 814, 103}, {131, 922, 103}};
    for (size_t row = 0; row < std::size(buttons); ++row) {
        const PngImage& image = Picture(buttons[row].id);
        const Rect frame = FrameRect(Row(buttons[row].id), 0);
        const int w = frame.right - 1, h = frame.bottom - 1;
        for (auto [x, y] : {std::pair{0, 0}, {w, 0}, {0, h}, {w, h}})
            EXPECT_EQ(0, std::memcmp(image.Pixel(x, y), skin.Pixel(buttons[row].left + x, buttons[row].top + y), 4))
                << "row " << row << " (" << buttons[row].id << ") corner " << x << "," << y;
    }
}

TEST(Art, IconFilesHoldTheirSizesIn32Bits)
{
    const struct {
        const char* path;
        std::vector<int> sizes;
    } files[] = {{"/resources/client/art/duskshell.ico", {16, 32, 48}},
                 {"/resources/installer/art/dusksetup.ico", {48}}};
    for (size_t row = 0; row < std::size(files); ++row) {
        std::ifstream in(SourceDir() + files[row].path, std::ios::binary);
        const std::vector<std::uint8_t> ico((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GE(ico.size(), 6u) << "row " << row;
        auto word = [&](size_t at) { return ico[at] | (ico[at + 1] << 8); };
        auto dword = [&](size_t at) { return static_cast<std::uint32_t>(word(at) | (word(at + 2) << 16)); };
        ASSERT_EQ(word(0), 0) << "row " << row;
        ASSERT_EQ(word(2), 1) << "row " << row;
        ASSERT_EQ(word(4), static_cast<int>(files[row].sizes.size())) << "row " << row;
        for (size_t i = 0; i < files[row].sizes.size(); ++i) {
            const size_t entry = 6 + 16 * i;
            const int size = files[row].sizes[i];
            EXPECT_EQ(ico[entry], size) << "row " << row << " entry " << i;
            EXPECT_EQ(ico[entry + 1], size) << "row " << row << " entry " << i;
            EXPECT_EQ(word(entry + 6), 32) << "row " << row << " entry " << i;
            const std::uint32_t bytes = dword(entry + 8), offset = dword(entry + 12);
            ASSERT_LE(static_cast<size_t>(offset) + bytes, ico.size()) << "row " << row << " entry " << i;
            // The image itself: a DIB header of twice the height (colour plus mask), 32 bits.
            EXPECT_EQ(dword(offset), 40u) << "row " << row << " entry " << i;
            EXPECT_EQ(static_cast<int>(dword(offset + 4)), size) << "row " << row << " entry " << i;
            EXPECT_EQ(static_cast<int>(dword(offset + 8)), 2 * size) << "row " << row << " entry " << i;
            EXPECT_EQ(word(offset + 14), 32) << "row " << row << " entry " << i;
            EXPECT_EQ(bytes, 40u + size * size * 4 + ((size + 31) / 32) * 4 * size) << "row " << row << " entry " << i;
        }
    }
}
