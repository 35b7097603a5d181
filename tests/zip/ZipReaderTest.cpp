// ZipReader through its I/O seam: short reads, read errors, sources that end early, misuse of
// the API, data descriptors. Archives come from TestZipBuilder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "installer/payload/ZipMemorySource.h"
#include "installer/payload/ZipReader.h"
#include "tests/zip/TestZipBuilder.h"

namespace {

// Memory with faults: at most maxChunk bytes per read, an error once failAfter bytes have
// been handed out, and a size that may claim more than there is.
class FaultySource : public ZipSource {
public:
    FaultySource(std::vector<uint8_t> bytes, size_t maxChunk, uint64_t failAfter = UINT64_MAX, uint64_t extraSize = 0)
        : bytes_(std::move(bytes)), maxChunk_(maxChunk), failAfter_(failAfter), extraSize_(extraSize)
    {
    }
    bool Size(uint64_t& size) override
    {
        size = bytes_.size() + extraSize_;
        return true;
    }
    int64_t ReadAt(uint64_t offset, void* buffer, size_t len) override
    {
        if (handedOut_ >= failAfter_)
            return -1;
        if (offset >= bytes_.size())
            return 0;
        size_t n = std::min({len, maxChunk_, static_cast<size_t>(bytes_.size() - offset)});
        std::copy(bytes_.begin() + offset, bytes_.begin() + offset + n, static_cast<uint8_t*>(buffer));
        handedOut_ += n;
        return static_cast<int64_t>(n);
    }

private:
    std::vector<uint8_t> bytes_;
    size_t maxChunk_;
    uint64_t failAfter_;
    uint64_t extraSize_;
    uint64_t handedOut_ = 0;
};

std::string Pattern(size_t n, unsigned seed)
{
    std::string s(n, '\0');
    unsigned x = seed;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        // Half text, half noise, so that deflate has work of both kinds.
        s[i] = (i / 4096) % 2 ? static_cast<char>(x >> 16) : static_cast<char>('a' + (i % 26));
    }
    return s;
}

TestZipBuilder Sample()
{
    TestZipBuilder b;
    b.AddFile("one.txt", Pattern(50000, 1));
    TestZipBuilder::Entry stored;
    stored.name = "dir/two.bin";
    stored.data = Pattern(20000, 2);
    stored.deflate = false;
    b.Add(stored);
    TestZipBuilder::Entry streamed;
    streamed.name = "three.txt";
    streamed.data = Pattern(70000, 3);
    streamed.dataDescriptor = true;
    b.Add(streamed);
    TestZipBuilder::Entry empty;
    empty.name = "empty";
    b.Add(empty);
    return b;
}

// Reads every entry; returns names and data, or the first failure's name.
std::string ReadAll(ZipReader& reader, unsigned block = 16384)
{
    std::string out;
    ZipResult r = reader.GoToFirstEntry();
    std::vector<char> buf(block);
    while (r == ZipResult::Ok) {
        ZipEntryInfo info;
        if ((r = reader.GetCurrentEntryInfo(info)) != ZipResult::Ok)
            break;
        out += info.name + ":";
        if ((r = reader.OpenCurrentEntry()) != ZipResult::Ok)
            break;
        int n;
        while ((n = reader.ReadCurrentEntry(buf.data(), block)) > 0)
            out.append(buf.data(), n);
        if (n < 0) {
            r = reader.LastReadError();
            break;
        }
        if ((r = reader.CloseCurrentEntry()) != ZipResult::Ok)
            break;
        r = reader.GoToNextEntry();
    }
    if (r != ZipResult::EndOfList)
        return std::string("failed: ") + ZipResultName(r);
    return out;
}

std::string Expected()
{
    return "one.txt:" + Pattern(50000, 1) + "dir/two.bin:" + Pattern(20000, 2) + "three.txt:" + Pattern(70000, 3) +
           "empty:";
}

TEST(ZipReader, ShortReadsAndSmallBuffersGiveTheSameData)
{
    const std::vector<uint8_t> bytes = Sample().Build();
    const struct {
        size_t chunk;
        unsigned block;
    } cases[] = {{1, 16384}, {7, 1}, {4096, 333}, {SIZE_MAX, 16384}, {13, 65536}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        ZipReader reader;
        ASSERT_EQ(reader.Open(std::make_unique<FaultySource>(bytes, cases[i].chunk)), ZipResult::Ok) << "case " << i;
        EXPECT_TRUE(ReadAll(reader, cases[i].block) == Expected()) << "case " << i;
    }
}

TEST(ZipReader, ReadErrorsAreReportedAsSuchAtEveryPoint)
{
    const std::vector<uint8_t> bytes = Sample().Build();
    // An error after n bytes, for n across the whole archive: the outcome is a read error,
    // never data or another kind of damage.
    for (uint64_t n = 0; n < bytes.size() + 200; n += 97) {
        ZipReader reader;
        const ZipResult opened = reader.Open(std::make_unique<FaultySource>(bytes, 1000, n));
        if (opened != ZipResult::Ok) {
            EXPECT_EQ(opened, ZipResult::ReadError) << "after " << n;
            continue;
        }
        const std::string got = ReadAll(reader);
        if (got != Expected()) {
            EXPECT_EQ(got, "failed: ReadError") << "after " << n;
        }
    }
}

TEST(ZipReader, SourceEndingBeforeItsSizeIsTruncation)
{
    const std::vector<uint8_t> bytes = Sample().Build();
    // The source claims one more byte than it yields: the end record is not where it says.
    ZipReader reader;
    EXPECT_EQ(reader.Open(std::make_unique<FaultySource>(bytes, SIZE_MAX, UINT64_MAX, 1)), ZipResult::Truncated);
}

TEST(ZipReader, CallsOutOfOrderAreParamErrors)
{
    ZipReader reader;
    uint32_t count = 0;
    ZipEntryInfo info;
    std::vector<uint8_t> extra;
    char buf[16];
    EXPECT_EQ(reader.GetEntryCount(count), ZipResult::ParamError);
    EXPECT_EQ(reader.GoToFirstEntry(), ZipResult::ParamError);
    EXPECT_EQ(reader.GoToNextEntry(), ZipResult::ParamError);
    EXPECT_EQ(reader.GetCurrentEntryInfo(info), ZipResult::ParamError);
    EXPECT_EQ(reader.OpenCurrentEntry(), ZipResult::ParamError);
    EXPECT_EQ(reader.ReadCurrentEntry(buf, sizeof buf), -1);
    EXPECT_EQ(reader.LastReadError(), ZipResult::ParamError);
    EXPECT_EQ(reader.CloseCurrentEntry(), ZipResult::ParamError);
    EXPECT_EQ(reader.Open(std::unique_ptr<ZipSource>()), ZipResult::ParamError);
    EXPECT_EQ(reader.Open(L"/nonexistent/dir/none.zip"), ZipResult::CannotOpen);

    ASSERT_EQ(reader.Open(std::make_unique<ZipMemorySource>(Sample().Build())), ZipResult::Ok);
    EXPECT_EQ(reader.GetCurrentEntryInfo(info), ZipResult::ParamError);  // no entry chosen yet
    EXPECT_EQ(reader.GetLocalExtraField(extra), ZipResult::ParamError);
    ASSERT_EQ(reader.GoToFirstEntry(), ZipResult::Ok);
    EXPECT_EQ(reader.ReadCurrentEntry(buf, sizeof buf), -1);  // not opened
    ASSERT_EQ(reader.OpenCurrentEntry(), ZipResult::Ok);
    EXPECT_GT(reader.ReadCurrentEntry(buf, sizeof buf), 0);
    EXPECT_EQ(reader.CloseCurrentEntry(), ZipResult::Ok);  // closed early: nothing to judge
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(reader.GoToNextEntry(), ZipResult::Ok);
    EXPECT_EQ(reader.GoToNextEntry(), ZipResult::EndOfList);
    EXPECT_EQ(reader.GoToNextEntry(), ZipResult::ParamError);
    reader.Close();
    EXPECT_EQ(reader.GetEntryCount(count), ZipResult::ParamError);
}

TEST(ZipReader, LocalExtraFieldAndWrongCrcOfEachMethod)
{
    for (bool deflate : {true, false}) {
        SCOPED_TRACE(deflate ? "deflate" : "stored");
        TestZipBuilder b;
        TestZipBuilder::Entry e;
        e.name = "t.txt";
        e.data = Pattern(30000, 9);
        e.deflate = deflate;
        e.localExtra = TestZipBuilder::UtBlock(3, 1000, 2000, 0);
        b.Add(e);
        std::vector<uint8_t> bytes = b.Build();

        ZipReader reader;
        ASSERT_EQ(reader.Open(std::make_unique<ZipMemorySource>(bytes)), ZipResult::Ok);
        ASSERT_EQ(reader.GoToFirstEntry(), ZipResult::Ok);
        std::vector<uint8_t> extra;
        ASSERT_EQ(reader.GetLocalExtraField(extra), ZipResult::Ok);
        EXPECT_EQ(extra, e.localExtra);

        // Same data, wrong CRC-32 in both headers: the data reads, the end reports BadData.
        const size_t crcAt[] = {14, bytes.size() - 22 - 46 - e.name.size() + 16};
        for (size_t at : crcAt)
            bytes[at] ^= 0xFF;
        ASSERT_EQ(reader.Open(std::make_unique<ZipMemorySource>(bytes)), ZipResult::Ok);
        ASSERT_EQ(reader.GoToFirstEntry(), ZipResult::Ok);
        ASSERT_EQ(reader.OpenCurrentEntry(), ZipResult::Ok);
        std::vector<char> buf(16384);
        size_t total = 0;
        int n;
        while ((n = reader.ReadCurrentEntry(buf.data(), 16384)) > 0)
            total += n;
        EXPECT_EQ(n, -1);
        EXPECT_EQ(reader.LastReadError(), ZipResult::BadData);
        EXPECT_EQ(total, e.data.size());
        EXPECT_EQ(reader.ReadCurrentEntry(buf.data(), 16384), -1);  // stays failed
        EXPECT_EQ(reader.CloseCurrentEntry(), ZipResult::BadData);
    }
}

TEST(ZipReader, DeflateStreamCutInsideTheEntryIsBadData)
{
    TestZipBuilder b;
    b.AddFile("a", Pattern(40000, 4));
    std::vector<uint8_t> bytes = b.Build();
    // Shrink the compressed size in both headers: the stream stops before its end.
    const size_t cd = bytes.size() - 22 - 46 - 1;
    for (size_t at : {size_t(18), cd + 20}) {
        uint32_t v = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (uint32_t(bytes[at + 3]) << 24);
        v -= 100;
        for (int k = 0; k < 4; ++k)
            bytes[at + k] = static_cast<uint8_t>(v >> (8 * k));
    }
    ZipReader reader;
    ASSERT_EQ(reader.Open(std::make_unique<ZipMemorySource>(bytes)), ZipResult::Ok);
    EXPECT_EQ(ReadAll(reader), "failed: BadData");
}

}  // namespace
