#include "installer/payload/ZipMemorySource.h"

#include <cstring>

bool ZipMemorySource::Size(uint64_t& size)
{
    size = bytes_.size();
    return true;
}

int64_t ZipMemorySource::ReadAt(uint64_t offset, void* buffer, size_t len)
{
    if (offset >= bytes_.size())
        return 0;
    const size_t left = bytes_.size() - static_cast<size_t>(offset);
    const size_t n = len < left ? len : left;
    if (n)
        std::memcpy(buffer, bytes_.data() + offset, n);
    return static_cast<int64_t>(n);
}
