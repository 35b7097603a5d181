#include "installer/payload/ZipFileSource.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/types.h>
#endif

#include "framework/Text.h"

ZipFileSource::~ZipFileSource()
{
    Close();
}

#ifdef _WIN32

bool ZipFileSource::Open(const std::wstring& path)
{
    Close();
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    file_ = h;
    return true;
}

void ZipFileSource::Close()
{
    if (file_)
        CloseHandle(file_);
    file_ = nullptr;
    positionKnown_ = false;
}

bool ZipFileSource::Size(uint64_t& size)
{
    LARGE_INTEGER li;
    if (!file_ || !GetFileSizeEx(file_, &li) || li.QuadPart < 0)
        return false;
    size = static_cast<uint64_t>(li.QuadPart);
    return true;
}

int64_t ZipFileSource::ReadAt(uint64_t offset, void* buffer, size_t len)
{
    if (!file_)
        return -1;
    if (!positionKnown_ || position_ != offset) {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        if (offset > static_cast<uint64_t>(INT64_MAX) || !SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) {
            positionKnown_ = false;
            return -1;
        }
        position_ = offset;
        positionKnown_ = true;
    }
    const DWORD ask = len > 0x40000000u ? 0x40000000u : static_cast<DWORD>(len);
    DWORD got = 0;
    if (!ReadFile(file_, buffer, ask, &got, nullptr)) {
        positionKnown_ = false;
        return -1;
    }
    position_ += got;
    return got;
}

#else

bool ZipFileSource::Open(const std::wstring& path)
{
    Close();
    file_ = std::fopen(WideToUtf8(path).c_str(), "rb");
    return file_ != nullptr;
}

void ZipFileSource::Close()
{
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    positionKnown_ = false;
}

bool ZipFileSource::Size(uint64_t& size)
{
    if (!file_ || fseeko(file_, 0, SEEK_END) != 0)
        return false;
    positionKnown_ = false;
    const off_t end = ftello(file_);
    if (end < 0)
        return false;
    size = static_cast<uint64_t>(end);
    return true;
}

int64_t ZipFileSource::ReadAt(uint64_t offset, void* buffer, size_t len)
{
    if (!file_)
        return -1;
    if (!positionKnown_ || position_ != offset) {
        if (offset > static_cast<uint64_t>(INT64_MAX) || fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
            positionKnown_ = false;
            return -1;
        }
        position_ = offset;
        positionKnown_ = true;
    }
    const size_t got = std::fread(buffer, 1, len, file_);
    if (got < len && std::ferror(file_)) {
        std::clearerr(file_);
        positionKnown_ = false;
        return -1;
    }
    position_ += got;
    return static_cast<int64_t>(got);
}

#endif
