#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "installer/payload/ZipSource.h"

// An archive held in memory (fuzzing, tests).
class ZipMemorySource : public ZipSource {
public:
    explicit ZipMemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    bool Size(uint64_t& size) override;
    int64_t ReadAt(uint64_t offset, void* buffer, size_t len) override;

private:
    std::vector<uint8_t> bytes_;
};
