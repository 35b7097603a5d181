// Compares ZipReader with libminizip, entry by entry, on archives made by real tools at test time
// (tests/zip/make_corpus.py), and checks the outcome of each damaged archive.
#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <cstdlib>
#include <unistd.h>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "installer/payload/ZipFileSource.h"
#include "installer/payload/ZipReader.h"

namespace {

// Passes reads through and remembers any that reach past the announced size.
class BoundsCheckingSource : public ZipSource {
public:
    BoundsCheckingSource(std::unique_ptr<ZipSource> inner, int& outOfBounds)
        : inner_(std::move(inner)), outOfBounds_(outOfBounds)
    {
    }
    bool Size(uint64_t& size) override
    {
        const bool ok = inner_->Size(size);
        size_ = size;
        return ok;
    }
    int64_t ReadAt(uint64_t offset, void* buffer, size_t len) override
    {
        if (offset > size_ || len > size_ - offset)
            ++outOfBounds_;
        return inner_->ReadAt(offset, buffer, len);
    }
private:
    std::unique_ptr<ZipSource> inner_;
    int& outOfBounds_;  // outlives the source, which the reader frees when it closes
    uint64_t size_ = 0;
};

struct Row {
    std::string file;
    std::string opened;
    std::map<unsigned, std::string> entries;
    bool minizipAgrees = true;
    bool minizipRefuses = false;
};

std::vector<Row> ReadManifest(const std::string& path)
{
    std::vector<Row> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string part;
        while (std::getline(ss, part, '|'))
            f.push_back(part);
        while (f.size() < 4)
            f.push_back("");
        Row row{f[0], f[1], {}, f[3] == "agree", f[3] == "refuses"};
        std::stringstream es(f[2]);
        while (std::getline(es, part, ',')) {
            const size_t eq = part.find('=');
            row.entries[static_cast<unsigned>(std::stoul(part.substr(0, eq)))] = part.substr(eq + 1);
        }
        rows.push_back(row);
    }
    return rows;
}

struct EntryRead {
    std::string outcome = "Ok";
    std::vector<uint8_t> localExtra;
    std::string data;
};

EntryRead ReadOurs(ZipReader& reader)
{
    EntryRead r;
    ZipResult res = reader.GetLocalExtraField(r.localExtra);
    if (res == ZipResult::Ok)
        res = reader.OpenCurrentEntry();
    if (res != ZipResult::Ok) {
        r.outcome = ZipResultName(res);
        return r;
    }
    std::vector<char> buf(16384);
    for (;;) {
        const int n = reader.ReadCurrentEntry(buf.data(), static_cast<unsigned>(buf.size()));
        if (n < 0) {
            r.outcome = ZipResultName(reader.LastReadError());
            break;
        }
        if (n == 0)
            break;
        r.data.append(buf.data(), n);
    }
    const ZipResult closed = reader.CloseCurrentEntry();
    if (r.outcome == "Ok" && closed != ZipResult::Ok)
        r.outcome = ZipResultName(closed);
    return r;
}

EntryRead ReadTheirs(unzFile uf)
{
    EntryRead r;
    if (unzOpenCurrentFile(uf) != UNZ_OK) {
        r.outcome = "fail";
        return r;
    }
    const int extraLen = unzGetLocalExtrafield(uf, nullptr, 0);
    if (extraLen > 0) {
        r.localExtra.resize(extraLen);
        unzGetLocalExtrafield(uf, r.localExtra.data(), extraLen);
    }
    std::vector<char> buf(16384);
    for (;;) {
        const int n = unzReadCurrentFile(uf, buf.data(), static_cast<unsigned>(buf.size()));
        if (n < 0) {
            r.outcome = "fail";
            break;
        }
        if (n == 0)
            break;
        r.data.append(buf.data(), n);
    }
    if (unzCloseCurrentFile(uf) != UNZ_OK)
        r.outcome = "fail";
    return r;
}

class ZipDifferential : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const char* src = std::getenv("DUSK_SOURCE_DIR");
        ASSERT_NE(src, nullptr) << "DUSK_SOURCE_DIR is not set";
        // A folder of this run's own: other builds may run this test at the same time.
        std::string pattern = ::testing::TempDir() + "dusk_zip_corpus_XXXXXX";
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        dir_ = pattern;
        const std::string cmd = "python3 '" + std::string(src) + "/tests/zip/make_corpus.py' '" + dir_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    static void TearDownTestSuite()
    {
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    static std::string dir_;
};
std::string ZipDifferential::dir_;

TEST_F(ZipDifferential, EveryArchiveReadsAsLibminizipAndAsExpected)
{
    const std::vector<Row> rows = ReadManifest(dir_ + "/manifest.txt");
    ASSERT_GE(rows.size(), 30u);
    for (size_t row = 0; row < rows.size(); ++row) {
        const Row& m = rows[row];
        SCOPED_TRACE("row " + std::to_string(row) + ": " + m.file);
        const std::string path = dir_ + "/" + m.file;

        auto file = std::make_unique<ZipFileSource>();
        ASSERT_TRUE(file->Open(Utf8ToWide(path)));
        int outOfBounds = 0;
        ZipReader ours;
        const ZipResult opened = ours.Open(std::make_unique<BoundsCheckingSource>(std::move(file), outOfBounds));
        unzFile theirs = unzOpen64(path.c_str());
        EXPECT_EQ(ZipResultName(opened), m.opened);
        if (opened != ZipResult::Ok) {
            if (m.minizipAgrees) {
                EXPECT_EQ(theirs, nullptr) << "libminizip opens what we refuse";
            }
            if (theirs)
                unzClose(theirs);
            EXPECT_EQ(outOfBounds, 0);
            continue;
        }
        if (m.minizipRefuses) {
            EXPECT_EQ(theirs, nullptr);
            uint32_t count = 1;
            EXPECT_EQ(ours.GetEntryCount(count), ZipResult::Ok);
            EXPECT_EQ(count, 0u);
            EXPECT_EQ(ours.GoToFirstEntry(), ZipResult::EndOfList);
            if (theirs)
                unzClose(theirs);
            continue;
        }
        ASSERT_NE(theirs, nullptr) << "libminizip refuses what we open";

        uint32_t count = 0;
        unz_global_info64 gi{};
        ASSERT_EQ(ours.GetEntryCount(count), ZipResult::Ok);
        ASSERT_EQ(unzGetGlobalInfo64(theirs, &gi), UNZ_OK);
        EXPECT_EQ(count, gi.number_entry);

        ZipResult oursMove = ours.GoToFirstEntry();
        int theirsMove = unzGoToFirstFile(theirs);
        for (unsigned i = 0; i < count; ++i) {
            SCOPED_TRACE("entry " + std::to_string(i));
            const auto want = m.entries.count(i) ? m.entries.at(i) : std::string("Ok");
            if (oursMove != ZipResult::Ok) {
                EXPECT_EQ(ZipResultName(oursMove), want);
                if (m.minizipAgrees) {
                    EXPECT_NE(theirsMove, UNZ_OK);
                }
                break;
            }
            ASSERT_EQ(theirsMove, UNZ_OK);
            ZipEntryInfo info;
            ASSERT_EQ(ours.GetCurrentEntryInfo(info), ZipResult::Ok);
            unz_file_info64 fi{};
            std::vector<char> name(65536), extra(65536), comment(65536);
            ASSERT_EQ(unzGetCurrentFileInfo64(theirs, &fi, name.data(), name.size(), extra.data(), extra.size(),
                                              comment.data(), comment.size()),
                      UNZ_OK);
            EXPECT_EQ(info.name.size(), fi.size_filename);
            EXPECT_EQ(info.name, std::string(name.data(), std::min<size_t>(fi.size_filename, info.name.size())));
            EXPECT_EQ(info.extra, std::vector<uint8_t>(extra.begin(), extra.begin() + fi.size_file_extra));
            EXPECT_EQ(info.comment, std::string(comment.data(), fi.size_file_comment));
            EXPECT_EQ(info.versionMadeBy, fi.version);
            EXPECT_EQ(info.versionNeeded, fi.version_needed);
            EXPECT_EQ(info.flags, fi.flag);
            EXPECT_EQ(info.method, fi.compression_method);
            EXPECT_EQ((static_cast<uint32_t>(info.dosDate) << 16) | info.dosTime, fi.dosDate);
            EXPECT_EQ(info.crc32, fi.crc);
            EXPECT_EQ(info.compressedSize, fi.compressed_size);
            EXPECT_EQ(info.uncompressedSize, fi.uncompressed_size);
            EXPECT_EQ(info.internalAttributes, fi.internal_fa);
            EXPECT_EQ(info.externalAttributes, fi.external_fa);

            const EntryRead a = ReadOurs(ours);
            const EntryRead b = ReadTheirs(theirs);
            EXPECT_EQ(a.outcome, want);
            if (a.outcome == "Ok") {
                EXPECT_EQ(b.outcome, "Ok");
                EXPECT_EQ(a.localExtra, b.localExtra);
                EXPECT_EQ(a.data.size(), info.uncompressedSize);
                EXPECT_TRUE(a.data == b.data) << "data differs";
            } else if (m.minizipAgrees) {
                EXPECT_EQ(b.outcome, "fail") << "libminizip reads an entry we refuse";
            }
            oursMove = ours.GoToNextEntry();
            theirsMove = unzGoToNextFile(theirs);
        }
        if (oursMove == ZipResult::Ok || oursMove == ZipResult::EndOfList) {
            EXPECT_EQ(oursMove, ZipResult::EndOfList);
            EXPECT_EQ(theirsMove, UNZ_END_OF_LIST_OF_FILE);
        }
        EXPECT_EQ(outOfBounds, 0);
        unzClose(theirs);
    }
}

}  // namespace
