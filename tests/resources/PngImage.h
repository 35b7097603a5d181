#pragma once
// Reads the 8-bit RGBA, non-interlaced PNG files the art script writes (no other kind).

#include <cstdint>
#include <string>
#include <vector>

class PngImage {
public:
    // False with a reason in error when the file is missing, damaged or of another kind.
    bool Load(const std::string& path, std::string& error);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Channels of one pixel: red, green, blue, alpha (straight, not premultiplied).
    const std::uint8_t* Pixel(int x, int y) const { return &rgba_[(static_cast<size_t>(y) * width_ + x) * 4]; }
    std::uint8_t Alpha(int x, int y) const { return Pixel(x, y)[3]; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> rgba_;
};
