#pragma once
#include <cstddef>
#include <cstdint>

// The bytes of an archive, read by offset. ZipReader reads through this seam only, so tests can
// hand it short reads and read errors, and the fuzzer can hand it memory.
class ZipSource {
public:
    virtual ~ZipSource() = default;
    // Total number of bytes; false when it cannot be told.
    virtual bool Size(uint64_t& size) = 0;
    // Reads up to len bytes at offset into buffer. Returns the count read (fewer than asked is
    // allowed; 0 means nothing is left at that offset) or -1 on a read error.
    virtual int64_t ReadAt(uint64_t offset, void* buffer, size_t len) = 0;
};
