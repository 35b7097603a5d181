#include "shared/Md5HexDigest.h"

#include "shared/Md5.h"

#include <windows.h>

std::wstring Md5HexDigest(const std::wstring& text)
{
    std::string bytes;
    if (!text.empty()) {
        const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
        if (n > 0) {
            bytes.resize(n);
            WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n, nullptr,
                                nullptr);
        }
    }
    // The digest covers the bytes before the first zero byte.
    const size_t zero = bytes.find('\0');
    if (zero != std::string::npos)
        bytes.resize(zero);
    const std::string hex = Md5Hex(bytes);
    return std::wstring(hex.begin(), hex.end());
}
