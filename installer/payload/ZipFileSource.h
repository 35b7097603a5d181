#pragma once
#include <cstdio>
#include <string>

#include "installer/payload/ZipSource.h"

// An archive file opened read-only with read sharing: CreateFileW/ReadFile on Windows,
// stdio elsewhere (the path is then taken as UTF-8).
class ZipFileSource : public ZipSource {
public:
    ZipFileSource() = default;
    ZipFileSource(const ZipFileSource&) = delete;
    ZipFileSource& operator=(const ZipFileSource&) = delete;
    ~ZipFileSource() override;

    bool Open(const std::wstring& path);
    bool Size(uint64_t& size) override;
    int64_t ReadAt(uint64_t offset, void* buffer, size_t len) override;

private:
    void Close();
#ifdef _WIN32
    void* file_ = nullptr;  // HANDLE; windows.h stays out of this header
#else
    std::FILE* file_ = nullptr;
#endif
    uint64_t position_ = 0;
    bool positionKnown_ = false;
};
