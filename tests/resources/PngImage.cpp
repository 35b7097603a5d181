#include "tests/resources/PngImage.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

} // namespace

bool PngImage::Load(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) {
        error = "no PNG signature";
        return false;
    }

    std::vector<std::uint8_t> compressed;
    bool sawHeader = false, sawEnd = false;
    for (size_t at = 8; at < file.size() && !sawEnd;) {
        if (file.size() - at < 12) {
            error = "truncated chunk";
            return false;
        }
        const std::uint32_t length = BigEndian32(&file[at]);
        if (length > file.size() - at - 12) {
            error = "chunk runs past the end";
            return false;
        }
        const std::uint8_t* type = &file[at + 4];
        const std::uint8_t* data = type + 4;
        if (crc32(crc32(0, nullptr, 0), type, length + 4) != BigEndian32(data + length)) {
            error = "bad chunk CRC";
            return false;
        }
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (length != 13) {
                error = "bad IHDR";
                return false;
            }
            width_ = static_cast<int>(BigEndian32(data));
            height_ = static_cast<int>(BigEndian32(data + 4));
            // Bit depth 8, colour type 6 (RGBA), deflate, adaptive filtering, no interlace.
            if (data[8] != 8 || data[9] != 6 || data[10] != 0 || data[11] != 0 || data[12] != 0) {
                error = "not an 8-bit RGBA non-interlaced PNG";
                return false;
            }
            if (width_ <= 0 || height_ <= 0 || width_ > 8192 || height_ > 8192) {
                error = "implausible size";
                return false;
            }
            sawHeader = true;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            compressed.insert(compressed.end(), data, data + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            sawEnd = true;
        }
        at += 12 + length;
    }
    if (!sawHeader || !sawEnd) {
        error = "IHDR or IEND missing";
        return false;
    }

    const size_t stride = static_cast<size_t>(width_) * 4;
    std::vector<std::uint8_t> filtered(static_cast<size_t>(height_) * (stride + 1));
    uLongf size = static_cast<uLongf>(filtered.size());
    if (uncompress(filtered.data(), &size, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK
        || size != filtered.size()) {
        error = "image data does not inflate to the picture's size";
        return false;
    }

    rgba_.assign(static_cast<size_t>(height_) * stride, 0);
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t filter = filtered[y * (stride + 1)];
        const std::uint8_t* src = &filtered[y * (stride + 1) + 1];
        std::uint8_t* row = &rgba_[y * stride];
        const std::uint8_t* up = y > 0 ? row - stride : nullptr;
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= 4 ? row[i - 4] : 0;
            const int b = up ? up[i] : 0;
            const int c = (up && i >= 4) ? up[i - 4] : 0;
            int predictor;
            switch (filter) {
            case 0: predictor = 0; break;
            case 1: predictor = a; break;
            case 2: predictor = b; break;
            case 3: predictor = (a + b) / 2; break;
            case 4: predictor = Paeth(a, b, c); break;
            default:
                error = "unknown row filter";
                return false;
            }
            row[i] = static_cast<std::uint8_t>(src[i] + predictor);
        }
    }
    return true;
}
