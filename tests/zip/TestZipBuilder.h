#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Builds small ZIP archives in memory for tests: stored or deflated entries with any name,
// host, attributes, DOS time and local extra field, optionally with data descriptors.
class TestZipBuilder {
public:
    struct Entry {
        std::string name;
        std::string data;
        bool deflate = true;
        uint16_t versionMadeBy = 20;  // host 0 (DOS), version 2.0
        uint32_t externalAttributes = 0x20;
        uint16_t dosDate = 0x5021;  // 2020-01-01
        uint16_t dosTime = 0x6000;  // 12:00:00
        std::vector<uint8_t> localExtra;
        bool dataDescriptor = false;
    };

    TestZipBuilder& Add(const Entry& entry);
    TestZipBuilder& AddFile(const std::string& name, const std::string& data);
    // The archive's bytes.
    std::vector<uint8_t> Build() const;
    // Offset of an entry's first data byte in what Build() returns.
    size_t DataOffset(size_t index) const;

    // An extended-timestamp ("UT") block with the times whose flags are set.
    static std::vector<uint8_t> UtBlock(uint8_t flags, int32_t modification, int32_t access, int32_t creation);

private:
    std::vector<Entry> entries_;
};

bool WriteBytes(const std::string& pathUtf8, const std::vector<uint8_t>& bytes);
