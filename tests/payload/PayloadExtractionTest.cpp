// UnzipToFolder, WritePayloadFile and ExtractPayload on real files under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Text.h"
#include "installer/payload/PayloadExtraction.h"
#include "installer/payload/ZipReader.h"
#include "tests/zip/TestZipBuilder.h"

namespace {

using Entry = TestZipBuilder::Entry;

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    return folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW fd;
    UniqueFindHandle find(FindFirstFileW(Join(path, L"*").c_str(), &fd));
    if (find) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = Join(path, name);
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find.Get(), &fd));
    }
    find.Reset();
    RemoveDirectoryW(path.c_str());
}

// Every file and folder below `path`, relative and sorted; folders end with "\".
void ListTree(const std::wstring& path, const std::wstring& prefix, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW fd;
    UniqueFindHandle find(FindFirstFileW(Join(path, L"*").c_str(), &fd));
    if (!find)
        return;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(prefix + name + L"\\");
            ListTree(Join(path, name), prefix + name + L"\\", out);
        } else {
            out.push_back(prefix + name);
        }
    } while (FindNextFileW(find.Get(), &fd));
}

std::vector<std::wstring> Tree(const std::wstring& path)
{
    std::vector<std::wstring> out;
    ListTree(path, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::string ReadText(const std::wstring& path)
{
    UniqueFileHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!f)
        return "<missing>";
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f.Get(), buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    return out;
}

void WriteText(const std::wstring& path, const std::string& text)
{
    UniqueFileHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    ASSERT_TRUE(f);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(f.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

uint64_t Ticks(const FILETIME& ft)
{
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

uint64_t UnixToTicks(int64_t seconds)
{
    return static_cast<uint64_t>(seconds + 11644473600LL) * 10000000ULL;
}

// A sandbox: <temp>\dusk_payload_N\parent\base, where parent also holds a sentinel file, so
// that anything an archive puts outside the base folder shows up in parent's listing.
class PayloadExtraction : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        static int counter = 0;
        root_ = Join(temp, L"dusk_payload_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                               std::to_wstring(++counter));
        RemoveTree(root_);
        ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
        parent_ = Join(root_, L"parent");
        ASSERT_TRUE(CreateDirectoryW(parent_.c_str(), nullptr));
        WriteText(Join(parent_, L"sentinel.txt"), "sentinel");
        base_ = Join(parent_, L"base");
        archive_ = Join(root_, L"payload.zip");
    }
    void TearDown() override { RemoveTree(root_); }

    void WriteArchive(const TestZipBuilder& b) { ASSERT_TRUE(WriteBytes(WideToUtf8(archive_), b.Build())); }

    // Everything in parent apart from the base folder.
    std::vector<std::wstring> OutsideBase()
    {
        std::vector<std::wstring> all = Tree(parent_), out;
        for (const auto& p : all)
            if (p.compare(0, 5, L"base\\") != 0)
                out.push_back(p);
        return out;
    }

    std::wstring root_, parent_, base_, archive_;
};

TEST_F(PayloadExtraction, FilesFoldersAttributesAndTimesAsTheArchiveSays)
{
    Entry dosTime;  // 2020-01-01 12:00:00 local time, no extra field
    dosTime.name = "dos.txt";
    dosTime.data = std::string(100000, 'd') + "tail";
    Entry ut;  // extended timestamp overrides all three times
    ut.name = "sub/deeper/ut.bin";
    ut.data = "ut data";
    ut.localExtra = TestZipBuilder::UtBlock(7, 1500000000, 1500000100, 1400000000);
    Entry utMod;  // only the modification time is overridden
    utMod.name = "utmod.txt";
    utMod.data = "m";
    utMod.deflate = false;
    utMod.localExtra = TestZipBuilder::UtBlock(1, 1234567890, 0, 0);
    Entry folder;
    folder.name = "emptydir/";
    folder.externalAttributes = 0x10;
    folder.deflate = false;
    Entry readOnly;
    readOnly.name = "ro.txt";
    readOnly.data = "read only";
    readOnly.externalAttributes = 0x21;
    Entry unixReadOnly;
    unixReadOnly.name = "unix/ro";
    unixReadOnly.data = "unix";
    unixReadOnly.versionMadeBy = 0x0314;
    unixReadOnly.externalAttributes = 0100444u << 16;
    Entry hidden;
    hidden.name = "hidden.dat";
    hidden.data = "h";
    hidden.externalAttributes = 0x22;
    Entry streamed;
    streamed.name = "streamed.txt";
    streamed.data = std::string(40000, 's');
    streamed.dataDescriptor = true;
    Entry empty;
    empty.name = "empty.txt";
    TestZipBuilder b;
    for (const Entry& e : {dosTime, ut, utMod, folder, readOnly, unixReadOnly, hidden, streamed, empty})
        b.Add(e);
    WriteArchive(b);

    ASSERT_TRUE(UnzipToFolder(archive_, base_));

    // Times first: reading a file moves its access time on the Linux side.
    const auto times = [&](const wchar_t* name, FILETIME& c, FILETIME& a, FILETIME& m) {
        UniqueFileHandle f(CreateFileW(Join(base_, name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(f);
        ASSERT_TRUE(GetFileTime(f.Get(), &c, &a, &m));
    };
    FILETIME c, a, m;
    times(L"sub\\deeper\\ut.bin", c, a, m);
    EXPECT_EQ(Ticks(m), UnixToTicks(1500000000));
    EXPECT_EQ(Ticks(a), UnixToTicks(1500000100));

    // DOS times are local: converted back to local time they give the stored fields.
    times(L"dos.txt", c, a, m);
    SYSTEMTIME utc, local;
    ASSERT_TRUE(FileTimeToSystemTime(&m, &utc));
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
    EXPECT_EQ(local.wYear, 2020);
    EXPECT_EQ(local.wMonth, 1);
    EXPECT_EQ(local.wDay, 1);
    EXPECT_EQ(local.wHour, 12);
    EXPECT_EQ(local.wMinute, 0);
    EXPECT_EQ(local.wSecond, 0);
    EXPECT_EQ(Ticks(a), Ticks(m));

    times(L"utmod.txt", c, a, m);
    EXPECT_EQ(Ticks(m), UnixToTicks(1234567890));
    FILETIME dc, da, dm;
    times(L"dos.txt", dc, da, dm);
    EXPECT_EQ(Ticks(a), Ticks(dm)) << "access time stays the DOS time";

    const std::vector<std::wstring> want = {L"dos.txt", L"empty.txt", L"emptydir\\", L"hidden.dat", L"ro.txt",
                                            L"streamed.txt", L"sub\\", L"sub\\deeper\\", L"sub\\deeper\\ut.bin",
                                            L"unix\\", L"unix\\ro", L"utmod.txt"};
    EXPECT_EQ(Tree(base_), want);
    EXPECT_EQ(ReadText(Join(base_, L"dos.txt")), dosTime.data);
    EXPECT_EQ(ReadText(Join(base_, L"sub\\deeper\\ut.bin")), ut.data);
    EXPECT_EQ(ReadText(Join(base_, L"streamed.txt")), streamed.data);
    EXPECT_EQ(ReadText(Join(base_, L"empty.txt")), "");

    const struct {
        const wchar_t* name;
        DWORD set, clear;
    } attrs[] = {
        {L"dos.txt", FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
        {L"ro.txt", FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN},
        {L"unix\\ro", FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN},
        {L"hidden.dat", FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_READONLY},
        {L"emptydir", FILE_ATTRIBUTE_DIRECTORY, 0},
    };
    for (size_t i = 0; i < std::size(attrs); ++i) {
        const DWORD a = GetFileAttributesW(Join(base_, attrs[i].name).c_str());
        ASSERT_NE(a, INVALID_FILE_ATTRIBUTES) << "row " << i;
        EXPECT_EQ(a & attrs[i].set, attrs[i].set) << "row " << i;
        EXPECT_EQ(a & attrs[i].clear, 0u) << "row " << i;
    }

    // A second run replaces what it can and sets the archive's times again; the read-only
    // file cannot be replaced and keeps what it has.
    WriteText(Join(base_, L"dos.txt"), "changed");
    ASSERT_TRUE(UnzipToFolder(archive_, base_));
    EXPECT_EQ(ReadText(Join(base_, L"dos.txt")), dosTime.data);
    times(L"dos.txt", c, a, m);
    EXPECT_EQ(Ticks(m), Ticks(dm));
    EXPECT_EQ(ReadText(Join(base_, L"ro.txt")), readOnly.data);
    EXPECT_EQ(Tree(base_), want) << "no temporary files are left behind";
}

TEST_F(PayloadExtraction, HostileNamesStayInsideTheBaseFolder)
{
    const char* names[] = {
        "..\\y.txt",              // climbs out
        "../x",                   // climbs out
        "x\\..\\..\\y.txt",       // cleans to "..\y.txt"
        "a/b/../../../up.txt",    // each "/../" drops what precedes it: -> up.txt
        "C:/../evil.txt",         // cleans to "../evil.txt"
        "C:\\x\\a.txt",           // -> x\a.txt
        "/a/b.txt",               // -> a\b.txt
        "a\\..\\b\\..\\c.txt",    // -> c.txt
        "\\\\?\\C:\\abs.txt",     // a ':' remains: refused
        "sub\\..",                // refused
        "good.txt",
    };
    TestZipBuilder b;
    for (const char* n : names)
        b.AddFile(n, std::string("from ") + n);
    WriteArchive(b);
    const std::vector<std::wstring> before = OutsideBase();

    ASSERT_TRUE(UnzipToFolder(archive_, base_));

    EXPECT_EQ(OutsideBase(), before);
    EXPECT_EQ(ReadText(Join(parent_, L"sentinel.txt")), "sentinel");
    const std::vector<std::wstring> want = {L"a\\", L"a\\b.txt", L"c.txt", L"good.txt", L"up.txt", L"x\\",
                                            L"x\\a.txt"};
    EXPECT_EQ(Tree(base_), want);
    EXPECT_EQ(ReadText(Join(base_, L"x\\a.txt")), "from C:\\x\\a.txt");
    EXPECT_EQ(ReadText(Join(base_, L"c.txt")), "from a\\..\\b\\..\\c.txt");
    EXPECT_EQ(GetFileAttributesW(L"C:\\abs.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(L"C:\\x\\a.txt"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PayloadExtraction, FileInUseKeepsItsOldContentAndOthersAreUnpacked)
{
    ASSERT_TRUE(CreateDirectoryW(base_.c_str(), nullptr));
    const std::wstring locked = Join(base_, L"duskshell.exe");
    WriteText(locked, "old client");
    TestZipBuilder b;
    b.AddFile("duskshell.exe", "new client").AddFile("carelink.dll", "new plug-in");
    WriteArchive(b);
    {
        UniqueFileHandle inUse(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(inUse);
        EXPECT_TRUE(UnzipToFolder(archive_, base_));
    }
    EXPECT_EQ(ReadText(locked), "old client");
    EXPECT_EQ(ReadText(Join(base_, L"carelink.dll")), "new plug-in");
    const std::vector<std::wstring> want = {L"carelink.dll", L"duskshell.exe"};
    EXPECT_EQ(Tree(base_), want);
}

TEST_F(PayloadExtraction, BadDataLeavesThePreviousFileIntact)
{
    ASSERT_TRUE(CreateDirectoryW(base_.c_str(), nullptr));
    for (bool deflate : {true, false}) {
        SCOPED_TRACE(deflate ? "deflate" : "stored");
        WriteText(Join(base_, L"bad.txt"), "previous");
        Entry bad;
        bad.name = "bad.txt";
        bad.data = std::string(50000, 'b');
        bad.deflate = deflate;
        TestZipBuilder b;
        b.Add(bad).AddFile("good.txt", deflate ? "good deflate" : "good stored").AddFile("new-bad.txt", "x");
        std::vector<uint8_t> bytes = b.Build();
        // Damage the data of bad.txt; for new-bad.txt (no previous file) nothing may remain.
        bytes[b.DataOffset(0) + 10] ^= 0x5A;
        bytes[b.DataOffset(2)] ^= 0x01;
        ASSERT_TRUE(WriteBytes(WideToUtf8(archive_), bytes));

        EXPECT_TRUE(UnzipToFolder(archive_, base_));
        EXPECT_EQ(ReadText(Join(base_, L"bad.txt")), "previous");
        EXPECT_EQ(ReadText(Join(base_, L"good.txt")), deflate ? "good deflate" : "good stored");
        const std::vector<std::wstring> want = {L"bad.txt", L"good.txt"};
        EXPECT_EQ(Tree(base_), want);
    }
}

TEST_F(PayloadExtraction, DestinationAndArchiveChecks)
{
    TestZipBuilder b;
    b.AddFile("f.txt", "f");
    WriteArchive(b);

    // A missing destination is created with every folder above it.
    const std::wstring deep = Join(root_, L"new1\\new2\\dest");
    EXPECT_TRUE(UnzipToFolder(archive_, deep));
    EXPECT_EQ(ReadText(Join(deep, L"f.txt")), "f");
    EXPECT_TRUE(UnzipToFolder(archive_, Join(root_, L"trailing\\")));
    EXPECT_EQ(ReadText(Join(root_, L"trailing\\f.txt")), "f");

    EXPECT_FALSE(UnzipToFolder(L"", base_));
    EXPECT_FALSE(UnzipToFolder(archive_, L""));
    EXPECT_FALSE(UnzipToFolder(Join(root_, L"none.zip"), base_));
    // The destination is a file: it cannot be made a folder.
    EXPECT_FALSE(UnzipToFolder(archive_, Join(parent_, L"sentinel.txt")));
    EXPECT_EQ(ReadText(Join(parent_, L"sentinel.txt")), "sentinel");

    const std::wstring notZip = Join(root_, L"not.zip");
    WriteText(notZip, std::string(500, 'n'));
    EXPECT_FALSE(UnzipToFolder(notZip, base_));

    // Zero entries: nothing to unpack, and still a success.
    ASSERT_TRUE(WriteBytes(WideToUtf8(archive_), TestZipBuilder().Build()));
    EXPECT_TRUE(UnzipToFolder(archive_, Join(root_, L"zero")));
    EXPECT_TRUE(Tree(Join(root_, L"zero")).empty());
}

TEST_F(PayloadExtraction, PayloadResourceIsWrittenAndUnpacked)
{
    ASSERT_TRUE(WritePayloadFile(archive_));
    // (Wine keeps no FILE_ATTRIBUTE_TEMPORARY, so the attribute is not checked here.)
    ZipReader reader;
    ASSERT_EQ(reader.Open(archive_), ZipResult::Ok);
    uint32_t count = 0;
    ASSERT_EQ(reader.GetEntryCount(count), ZipResult::Ok);
    EXPECT_EQ(count, 2u);
    reader.Close();

    // An existing archive file is replaced.
    WriteText(archive_, "stale");
    ExtractPayload(archive_, base_);
    const std::vector<std::wstring> want = {L"hello.txt", L"sub\\", L"sub\\inner.txt"};
    EXPECT_EQ(Tree(base_), want);
    EXPECT_EQ(ReadText(Join(base_, L"sub\\inner.txt")), "inner\n");

    EXPECT_FALSE(WritePayloadFile(Join(root_, L"missing\\payload.zip")));
    {
        UniqueFileHandle inUse(CreateFileW(archive_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(inUse);
        EXPECT_FALSE(WritePayloadFile(archive_));
    }
}

}  // namespace
