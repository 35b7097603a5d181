#include "installer/payload/ZipReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "installer/payload/ZipFileSource.h"

namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;
constexpr size_t kMaxComment = 0xFFFF;
constexpr size_t kInputBlock = 64 * 1024;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint16_t kFlagStrongEncryption = 0x0040;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflate = 8;

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

const char* ZipResultName(ZipResult result)
{
    switch (result) {
    case ZipResult::Ok: return "Ok";
    case ZipResult::EndOfList: return "EndOfList";
    case ZipResult::ParamError: return "ParamError";
    case ZipResult::NotAnArchive: return "NotAnArchive";
    case ZipResult::Truncated: return "Truncated";
    case ZipResult::Unsupported: return "Unsupported";
    case ZipResult::Encrypted: return "Encrypted";
    case ZipResult::LocalHeaderMismatch: return "LocalHeaderMismatch";
    case ZipResult::BadData: return "BadData";
    case ZipResult::ReadError: return "ReadError";
    case ZipResult::OutOfMemory: return "OutOfMemory";
    case ZipResult::CannotOpen: return "CannotOpen";
    }
    return "?";
}

// Reading state of the opened entry.
struct ZipReader::EntryStream {
    z_stream z{};
    bool inflating = false;
    uint16_t method = 0;
    uint64_t readPos = 0;         // next compressed byte in the source
    uint64_t compressedLeft = 0;  // compressed bytes not yet read from the source
    uint64_t produced = 0;        // uncompressed bytes handed out so far
    uint32_t crc = 0;
    bool atEnd = false;           // the data is exhausted; verdict holds the check's outcome
    bool failed = false;
    ZipResult verdict = ZipResult::Ok;
    std::vector<uint8_t> input;

    ~EntryStream()
    {
        if (inflating)
            inflateEnd(&z);
    }
};

ZipReader::ZipReader() = default;

ZipReader::~ZipReader()
{
    Close();
}

ZipResult ZipReader::Open(const std::wstring& path)
{
    auto file = std::make_unique<ZipFileSource>();
    if (!file->Open(path)) {
        Close();
        return ZipResult::CannotOpen;
    }
    return Open(std::move(file));
}

ZipResult ZipReader::Open(std::unique_ptr<ZipSource> source)
{
    Close();
    if (!source)
        return ZipResult::ParamError;
    uint64_t size = 0;
    if (!source->Size(size))
        return ZipResult::ReadError;
    source_ = std::move(source);
    size_ = size;

    const ZipResult r = [&] {
        // The end record sits in the last 22 + 65535 bytes (the longest comment).
        const size_t tail = static_cast<size_t>(std::min<uint64_t>(size_, kEndSize + kMaxComment));
        std::vector<uint8_t> buf(tail);
        const uint64_t tailStart = size_ - tail;
        if (tail) {
            const ZipResult rr = ReadExact(tailStart, buf.data(), tail);
            if (rr != ZipResult::Ok)
                return rr;
        }
        // Search backwards; prefer a record whose comment ends exactly at the end of the file,
        // so that a signature inside a comment does not mislead.
        size_t found = SIZE_MAX;
        for (size_t i = tail >= kEndSize ? tail - kEndSize + 1 : 0; i-- > 0;) {
            if (Le32(&buf[i]) != kEndSignature)
                continue;
            if (found == SIZE_MAX)
                found = i;
            if (i + kEndSize + Le16(&buf[i + 20]) == tail) {
                found = i;
                break;
            }
        }
        if (found == SIZE_MAX) {
            // A file that starts like an archive but has lost its end was cut short.
            uint8_t head[4];
            if (size_ >= 4 && ReadExact(0, head, 4) == ZipResult::Ok && Le32(head) == kLocalSignature)
                return ZipResult::Truncated;
            return ZipResult::NotAnArchive;
        }
        const uint8_t* e = &buf[found];
        const uint64_t endPos = tailStart + found;
        if (endPos + kEndSize + Le16(e + 20) > size_)
            return ZipResult::Truncated;  // the comment runs past the end
        if (endPos >= 20) {
            uint8_t loc[4];
            const ZipResult rr = ReadExact(endPos - 20, loc, 4);
            if (rr != ZipResult::Ok)
                return rr;
            if (Le32(loc) == kZip64LocatorSignature)
                return ZipResult::Unsupported;  // Zip64; without the locator the fields count as they stand
        }
        const uint16_t disk = Le16(e + 4), centralDisk = Le16(e + 6);
        const uint16_t entriesHere = Le16(e + 8), entries = Le16(e + 10);
        const uint32_t centralSize = Le32(e + 12), centralOffset = Le32(e + 16);
        if (disk != 0 || centralDisk != 0 || entriesHere != entries)
            return ZipResult::Unsupported;  // spanned archive
        const uint64_t centralEnd = static_cast<uint64_t>(centralOffset) + centralSize;
        if (centralEnd > endPos)
            return ZipResult::Truncated;  // the directory claims bytes the archive does not have
        bias_ = endPos - centralEnd;
        centralStart_ = bias_ + centralOffset;
        entryCount_ = entries;
        return ZipResult::Ok;
    }();
    if (r != ZipResult::Ok)
        Close();
    return r;
}

void ZipReader::Close()
{
    stream_.reset();
    source_.reset();
    size_ = bias_ = centralStart_ = 0;
    entryCount_ = 0;
    haveEntry_ = false;
    entryIndex_ = 0;
    nextOffset_ = 0;
    entry_ = ZipEntryInfo();
    readError_ = ZipResult::Ok;
}

ZipResult ZipReader::GetEntryCount(uint32_t& count) const
{
    if (!source_)
        return ZipResult::ParamError;
    count = entryCount_;
    return ZipResult::Ok;
}

ZipResult ZipReader::GoToFirstEntry()
{
    if (!source_)
        return ZipResult::ParamError;
    stream_.reset();
    haveEntry_ = false;
    if (entryCount_ == 0)
        return ZipResult::EndOfList;
    entryIndex_ = 0;
    return LoadEntryAt(centralStart_);
}

ZipResult ZipReader::GoToNextEntry()
{
    if (!source_ || !haveEntry_)
        return ZipResult::ParamError;
    stream_.reset();
    if (entryIndex_ + 1 >= entryCount_) {
        haveEntry_ = false;
        return ZipResult::EndOfList;
    }
    ++entryIndex_;
    return LoadEntryAt(nextOffset_);
}

ZipResult ZipReader::GetCurrentEntryInfo(ZipEntryInfo& info) const
{
    if (!source_ || !haveEntry_)
        return ZipResult::ParamError;
    info = entry_;
    return ZipResult::Ok;
}

ZipResult ZipReader::ReadExact(uint64_t offset, void* buffer, size_t len)
{
    if (offset > size_ || len > size_ - offset)
        return ZipResult::Truncated;
    auto* p = static_cast<uint8_t*>(buffer);
    while (len > 0) {
        const int64_t got = source_->ReadAt(offset, p, len);
        if (got < 0)
            return ZipResult::ReadError;
        if (got == 0 || static_cast<uint64_t>(got) > len)
            return ZipResult::Truncated;  // the source ended before the size it announced
        p += got;
        offset += static_cast<uint64_t>(got);
        len -= static_cast<size_t>(got);
    }
    return ZipResult::Ok;
}

ZipResult ZipReader::LoadEntryAt(uint64_t offset)
{
    haveEntry_ = false;
    // The signature first: a directory with fewer records than announced runs into the end
    // record, which is shorter than a central record.
    uint8_t h[kCentralSize];
    ZipResult r = ReadExact(offset, h, 4);
    if (r != ZipResult::Ok)
        return r;
    if (Le32(h) != kCentralSignature)
        return ZipResult::NotAnArchive;
    if ((r = ReadExact(offset + 4, h + 4, sizeof h - 4)) != ZipResult::Ok)
        return r;
    ZipEntryInfo e;
    e.versionMadeBy = Le16(h + 4);
    e.versionNeeded = Le16(h + 6);
    e.flags = Le16(h + 8);
    e.method = Le16(h + 10);
    e.dosTime = Le16(h + 12);
    e.dosDate = Le16(h + 14);
    e.crc32 = Le32(h + 16);
    e.compressedSize = Le32(h + 20);
    e.uncompressedSize = Le32(h + 24);
    const uint16_t nameLen = Le16(h + 28), extraLen = Le16(h + 30), commentLen = Le16(h + 32);
    e.diskNumberStart = Le16(h + 34);
    e.internalAttributes = Le16(h + 36);
    e.externalAttributes = Le32(h + 38);
    e.localHeaderOffset = Le32(h + 42);

    uint64_t at = offset + kCentralSize;
    e.name.resize(nameLen);
    e.extra.resize(extraLen);
    e.comment.resize(commentLen);
    if ((r = ReadExact(at, &e.name[0], nameLen)) != ZipResult::Ok)
        return r;
    at += nameLen;
    if ((r = ReadExact(at, e.extra.data(), extraLen)) != ZipResult::Ok)
        return r;
    at += extraLen;
    if ((r = ReadExact(at, &e.comment[0], commentLen)) != ZipResult::Ok)
        return r;
    at += commentLen;

    entry_ = std::move(e);
    nextOffset_ = at;
    haveEntry_ = true;
    return ZipResult::Ok;
}

ZipResult ZipReader::CheckLocalHeader(uint64_t& dataOffset, std::vector<uint8_t>* extra)
{
    const ZipEntryInfo& e = entry_;
    if (e.compressedSize == 0xFFFFFFFF || e.uncompressedSize == 0xFFFFFFFF || e.localHeaderOffset == 0xFFFFFFFF)
        return ZipResult::Unsupported;  // Zip64 entry
    const uint64_t pos = bias_ + e.localHeaderOffset;
    uint8_t h[kLocalSize];
    ZipResult r = ReadExact(pos, h, sizeof h);
    if (r != ZipResult::Ok)
        return r;
    if (Le32(h) != kLocalSignature)
        return ZipResult::LocalHeaderMismatch;
    const uint16_t nameLen = Le16(h + 26), extraLen = Le16(h + 28);
    if (Le16(h + 8) != e.method || nameLen != e.name.size())
        return ZipResult::LocalHeaderMismatch;
    // With a data descriptor the local header may carry zeros; the directory is authoritative.
    if (!(e.flags & kFlagDataDescriptor) &&
        (Le32(h + 14) != e.crc32 || Le32(h + 18) != e.compressedSize || Le32(h + 22) != e.uncompressedSize))
        return ZipResult::LocalHeaderMismatch;
    std::string name(nameLen, '\0');
    if ((r = ReadExact(pos + kLocalSize, &name[0], nameLen)) != ZipResult::Ok)
        return r;
    if (name != e.name)
        return ZipResult::LocalHeaderMismatch;
    const uint64_t extraPos = pos + kLocalSize + nameLen;
    if (extra) {
        extra->resize(extraLen);
        if ((r = ReadExact(extraPos, extra->data(), extraLen)) != ZipResult::Ok)
            return r;
    }
    dataOffset = extraPos + extraLen;
    if (dataOffset > size_ || e.compressedSize > size_ - dataOffset)
        return ZipResult::Truncated;
    return ZipResult::Ok;
}

ZipResult ZipReader::GetLocalExtraField(std::vector<uint8_t>& extra)
{
    if (!source_ || !haveEntry_)
        return ZipResult::ParamError;
    uint64_t dataOffset = 0;
    return CheckLocalHeader(dataOffset, &extra);
}

ZipResult ZipReader::OpenCurrentEntry()
{
    if (!source_ || !haveEntry_)
        return ZipResult::ParamError;
    stream_.reset();
    readError_ = ZipResult::Ok;
    const ZipEntryInfo& e = entry_;
    if (e.flags & (kFlagEncrypted | kFlagStrongEncryption))
        return ZipResult::Encrypted;
    if (e.method != kMethodStored && e.method != kMethodDeflate)
        return ZipResult::Unsupported;
    uint64_t dataOffset = 0;
    const ZipResult r = CheckLocalHeader(dataOffset, nullptr);
    if (r != ZipResult::Ok)
        return r;
    if (e.method == kMethodStored && e.compressedSize != e.uncompressedSize)
        return ZipResult::BadData;

    std::unique_ptr<EntryStream> s(new (std::nothrow) EntryStream);
    if (!s)
        return ZipResult::OutOfMemory;
    s->method = e.method;
    s->readPos = dataOffset;
    s->compressedLeft = e.compressedSize;
    s->crc = static_cast<uint32_t>(crc32(0, nullptr, 0));
    if (e.method == kMethodDeflate) {
        s->input.resize(static_cast<size_t>(std::min<uint64_t>(kInputBlock, e.compressedSize ? e.compressedSize : 1)));
        if (inflateInit2(&s->z, -MAX_WBITS) != Z_OK)
            return ZipResult::OutOfMemory;
        s->inflating = true;
    }
    stream_ = std::move(s);
    return ZipResult::Ok;
}

int ZipReader::Fail(ZipResult result)
{
    readError_ = result;
    if (stream_) {
        stream_->failed = true;
        stream_->verdict = result;
    }
    return -1;
}

int ZipReader::ReadCurrentEntry(void* buffer, unsigned len)
{
    if (!stream_)
        return Fail(ZipResult::ParamError);
    EntryStream& s = *stream_;
    if (s.failed)
        return Fail(s.verdict);
    if (len == 0)
        return 0;
    // A single call never hands out more than an int can count.
    len = std::min(len, 1u << 30);
    if (s.atEnd)
        return s.verdict == ZipResult::Ok ? 0 : Fail(s.verdict);

    const auto finish = [&]() -> int {
        s.atEnd = true;
        s.verdict = (s.produced == entry_.uncompressedSize && s.crc == entry_.crc32) ? ZipResult::Ok : ZipResult::BadData;
        return s.verdict == ZipResult::Ok ? 0 : Fail(s.verdict);
    };

    size_t produced = 0;
    if (s.method == kMethodStored) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(len, s.compressedLeft));
        if (n == 0)
            return finish();
        const ZipResult r = ReadExact(s.readPos, buffer, n);
        if (r != ZipResult::Ok)
            return Fail(r);
        s.readPos += n;
        s.compressedLeft -= n;
        produced = n;
    } else {
        bool streamEnd = false;
        s.z.next_out = static_cast<Bytef*>(buffer);
        s.z.avail_out = len;
        while (s.z.avail_out == len) {
            if (s.z.avail_in == 0 && s.compressedLeft > 0) {
                const size_t n = static_cast<size_t>(std::min<uint64_t>(s.input.size(), s.compressedLeft));
                const ZipResult r = ReadExact(s.readPos, s.input.data(), n);
                if (r != ZipResult::Ok)
                    return Fail(r);
                s.readPos += n;
                s.compressedLeft -= n;
                s.z.next_in = s.input.data();
                s.z.avail_in = static_cast<uInt>(n);
            }
            const int z = inflate(&s.z, Z_NO_FLUSH);
            if (z == Z_STREAM_END) {
                streamEnd = true;
                break;
            }
            if (z == Z_MEM_ERROR)
                return Fail(ZipResult::OutOfMemory);
            if (z == Z_OK)
                continue;
            // Z_BUF_ERROR with no input left: the deflate stream stops before its end.
            if (z == Z_BUF_ERROR && s.z.avail_in == 0 && s.compressedLeft > 0)
                continue;
            return Fail(ZipResult::BadData);
        }
        produced = len - s.z.avail_out;
        if (produced == 0 && streamEnd)
            return finish();
        if (streamEnd)
            s.compressedLeft = 0;  // whatever follows the stream is not data
    }
    if (s.produced + produced > entry_.uncompressedSize)
        return Fail(ZipResult::BadData);  // more data than the directory announces
    s.produced += produced;
    s.crc = static_cast<uint32_t>(crc32(s.crc, static_cast<const Bytef*>(buffer), static_cast<uInt>(produced)));
    return static_cast<int>(produced);
}

ZipResult ZipReader::CloseCurrentEntry()
{
    if (!stream_)
        return ZipResult::ParamError;
    const bool checked = stream_->atEnd || stream_->failed;
    const ZipResult verdict = stream_->verdict;
    stream_.reset();
    return checked && verdict == ZipResult::BadData ? ZipResult::BadData : ZipResult::Ok;
}
