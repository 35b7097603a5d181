#include "framework/Text.h"

#include <cwchar>
#include <cwctype>
#include <vector>

std::wstring TrimWhite(const std::wstring& text)
{
    size_t end = text.size();
    while (end > 0 && std::iswspace(text[end - 1]))
        --end;
    size_t begin = 0;
    while (begin < end && std::iswspace(text[begin]))
        ++begin;
    return text.substr(begin, end - begin);
}

std::wstring FormatTextV(const wchar_t* format, va_list args)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int n = std::vswprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size())
            return std::wstring(buffer.data(), n);
        // vswprintf gives no length on overflow: grow and try again, within reason.
        if (buffer.size() >= (1u << 24))
            return std::wstring();
        buffer.resize(buffer.size() * 4);
    }
}

std::wstring FormatText(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring s = FormatTextV(format, args);
    va_end(args);
    return s;
}

std::wstring AsciiLower(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// UTF-8 conversion by hand so that the native build (where wchar_t is 32 bits) and the
// Windows build (16 bits) agree. Malformed input becomes U+FFFD, as MultiByteToWideChar does.
std::wstring Utf8ToWide(const std::string& bytes)
{
    std::u32string cps;
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        unsigned c = s[i];
        unsigned need = 0, cp = 0, min = 0;
        if (c < 0x80) { cps.push_back(c); ++i; continue; }
        if ((c & 0xE0) == 0xC0) { need = 1; cp = c & 0x1F; min = 0x80; }
        else if ((c & 0xF0) == 0xE0) { need = 2; cp = c & 0x0F; min = 0x800; }
        else if ((c & 0xF8) == 0xF0) { need = 3; cp = c & 0x07; min = 0x10000; }
        else { cps.push_back(0xFFFD); ++i; continue; }
        size_t j = 1;
        for (; j <= need && i + j < n && (s[i + j] & 0xC0) == 0x80; ++j)
            cp = (cp << 6) | (s[i + j] & 0x3F);
        if (j <= need || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            cps.push_back(0xFFFD);
            i += j;
            continue;
        }
        cps.push_back(cp);
        i += j;
    }
    std::wstring out;
    out.reserve(cps.size());
    for (char32_t cp : cps) {
        if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(cp));
        }
    }
    return out;
}

std::string WideToUtf8(const std::wstring& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()
            && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}
