#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "installer/payload/ZipSource.h"

// Outcomes of the reader's operations. Each kind of damage has its own value so that callers
// (and tests) can tell them apart.
enum class ZipResult {
    Ok,
    EndOfList,            // no further entry
    ParamError,           // no archive open, no current entry, or no entry opened
    NotAnArchive,         // no end-of-central-directory record, or a record signature is wrong
    Truncated,            // a record or an entry's data reaches past the archive's last byte
    Unsupported,          // Zip64, spanned archives, a compression method other than stored/deflate
    Encrypted,            // the entry needs a password
    LocalHeaderMismatch,  // the local header disagrees with the central directory
    BadData,              // inflate error, wrong CRC-32 or wrong size
    ReadError,            // the source reported an error
    OutOfMemory,
    CannotOpen,           // the archive file cannot be opened
};

const char* ZipResultName(ZipResult result);

// One central-directory record.
struct ZipEntryInfo {
    std::string name;  // stored bytes, not decoded
    std::vector<uint8_t> extra;  // the central directory's extra field
    std::string comment;
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t diskNumberStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;
};

// Reads a ZIP archive from a ZipSource: entries in central-directory order, each entry's data
// stored or inflated, checked against its CRC-32 and sizes. Nothing outside the source's bytes
// is ever read, whatever the headers claim.
class ZipReader {
public:
    ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;
    ~ZipReader();

    // Opens the archive file read-only with read sharing.
    ZipResult Open(const std::wstring& path);
    // Reads the archive from a source of the caller's (failure injection, memory).
    ZipResult Open(std::unique_ptr<ZipSource> source);
    void Close();

    // Number of entries the end record announces.
    ZipResult GetEntryCount(uint32_t& count) const;
    ZipResult GoToFirstEntry();
    ZipResult GoToNextEntry();
    ZipResult GetCurrentEntryInfo(ZipEntryInfo& info) const;
    // The extra field of the current entry's local header (the header is checked first).
    ZipResult GetLocalExtraField(std::vector<uint8_t>& extra);

    // Opens the current entry's data; encrypted entries give Encrypted.
    ZipResult OpenCurrentEntry();
    // Copies up to len bytes of the entry's data into buffer. Returns the count (> 0), 0 at the
    // end of an entry whose CRC-32 and size were right, or -1 with the reason in LastReadError.
    int ReadCurrentEntry(void* buffer, unsigned len);
    ZipResult LastReadError() const { return readError_; }
    // Closes the opened entry; BadData when its data was found bad (wrong CRC-32 or size, or
    // an inflate error), Ok otherwise, also when it was closed before its end.
    ZipResult CloseCurrentEntry();

private:
    struct EntryStream;

    ZipResult ReadExact(uint64_t offset, void* buffer, size_t len);
    ZipResult LoadEntryAt(uint64_t offset);
    ZipResult CheckLocalHeader(uint64_t& dataOffset, std::vector<uint8_t>* extra);
    int Fail(ZipResult result);

    std::unique_ptr<ZipSource> source_;
    uint64_t size_ = 0;
    uint64_t bias_ = 0;  // bytes in front of the archive proper (a stub before it)
    uint32_t entryCount_ = 0;
    uint64_t centralStart_ = 0;

    bool haveEntry_ = false;
    uint32_t entryIndex_ = 0;
    uint64_t nextOffset_ = 0;  // where the record after the current one starts
    ZipEntryInfo entry_;

    std::unique_ptr<EntryStream> stream_;
    ZipResult readError_ = ZipResult::Ok;
};
