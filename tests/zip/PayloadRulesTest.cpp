// Tables of the unpacking rules: names, attributes, DOS times, "UT" blocks, file times.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/payload/PayloadRules.h"

namespace {

TEST(PayloadRules, CleanEntryName)
{
    const struct {
        const wchar_t* stored;
        const wchar_t* cleaned;
    } rows[] = {
        {L"plain.txt", L"plain.txt"},
        {L"C:\\x\\a.txt", L"x\\a.txt"},
        {L"/a/b.txt", L"a/b.txt"},
        {L"a\\..\\b\\..\\c.txt", L"c.txt"},
        {L"\\\\server\\share\\f", L"server\\share\\f"},
        {L"C:D:/x", L"x"},
        {L"c:", L""},
        {L"x", L"x"},
        {L"x:y", L"y"},
        {L":y", L":y"},  // the drive rule looks at the second character only
        {L"a/../b", L"b"},
        {L"a\\../b", L"b"},
        {L"a/..\\b", L"b"},
        {L"a/b/../../c", L"../c"},  // "/../" drops "a/b/..", leaving a climb
        {L"x\\..\\..\\y.txt", L"..\\y.txt"},  // one "\..\" is dropped, the second is now leading
        {L"../x", L"../x"},
        {L"..\\y.txt", L"..\\y.txt"},
        {L"dir/", L"dir/"},
        {L"a/..", L"a/.."},
        {L"/C:/x", L"x"},
        {L"", L""},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(CleanEntryName(rows[i].stored), rows[i].cleaned) << "row " << i;
}

TEST(PayloadRules, IsSafeEntryName)
{
    const struct {
        const wchar_t* name;
        bool safe;
    } rows[] = {
        {L"a.txt", true},
        {L"dir/", true},
        {L"dir\\sub\\f.dll", true},
        {L"..a", true},
        {L"a..b/c", true},
        {L"", false},
        {L"..", false},
        {L"../x", false},
        {L"..\\y.txt", false},
        {L"a/..", false},
        {L"a/../b", false},
        {L"a\\.. \\b", false},
        {L"a/.../b", false},
        {L"./a", false},
        {L"a:b", false},
        {L"x\\C:\\y", false},
        {L"CON", false},
        {L"sub/nul.txt", false},
        {L"Com1.log", false},
        {L"lpt9", false},
        {L"aux /x", false},
        {L"console.txt", true},
        {L"com10", true},
        {L"com0", true},
        {L"nullable/x", true},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(IsSafeEntryName(rows[i].name), rows[i].safe) << "row " << i;
}

TEST(PayloadRules, NamesFromHostileArchivesNeverClimbOut)
{
    // Whatever the cleaning leaves, a name that passes has no way up.
    const wchar_t* hostile[] = {L"..\\y.txt", L"../x", L"x\\..\\..\\y.txt", L"C:\\..\\a", L"/../a",
                                L"a/b/../../../c", L"\\..\\..\\w", L"....//..//x", L"a\\..\\..", L".."};
    for (size_t i = 0; i < std::size(hostile); ++i) {
        const std::wstring cleaned = CleanEntryName(hostile[i]);
        if (IsSafeEntryName(cleaned)) {
            EXPECT_EQ(cleaned.find(L".."), std::wstring::npos) << "row " << i;
        }
    }
}

TEST(PayloadRules, DecodeEntryName)
{
    EXPECT_EQ(DecodeEntryName("a.txt"), L"a.txt");
    EXPECT_EQ(DecodeEntryName("\xE6\xB8\xB8\xE6\x88\x8F.txt"), L"\u6e38\u620f.txt");
    EXPECT_EQ(DecodeEntryName(std::string("evil\0.txt", 9)), L"evil");
    EXPECT_EQ(DecodeEntryName("\xFF" "a"), L"\uFFFDa");
    EXPECT_EQ(DecodeEntryName(std::string(300, 'n')).size(), 260u);
}

TEST(PayloadRules, EntryAttributes)
{
    const struct {
        uint16_t madeBy;
        uint32_t external;
        uint32_t attributes;
    } rows[] = {
        {0x0014, 0x20, kAttrArchive},
        {0x0014, 0x21, kAttrArchive | kAttrReadOnly},
        {0x0014, 0x3F, kAttrArchive | kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory},
        {0x0014, 0xFFFFFFC8, 0},  // bit 3 (volume label) and the high bits are not attributes
        {0x0714, 0x10, kAttrDirectory},
        {0x0B14, 0x02, kAttrHidden},
        {0x0E14, 0x04, kAttrSystem},
        {0x0314, 0x81A40000, kAttrArchive},                  // Unix -rw-r--r--
        {0x0314, 0x81240000, kAttrArchive | kAttrReadOnly},  // Unix -r--r--r--
        {0x0314, 0x41ED0010, kAttrArchive | kAttrDirectory},  // Unix drwxr-xr-x
        {0x0314, 0x00800027, kAttrArchive},                  // low byte ignored on Unix
        {0x0A14, 0x40000000, kAttrArchive | kAttrDirectory | kAttrReadOnly},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(EntryAttributes(rows[i].madeBy, rows[i].external), rows[i].attributes) << "row " << i;
}

TEST(PayloadRules, DosDateTime)
{
    const struct {
        uint16_t date, time;
        int y, mo, d, h, mi, s;
        bool valid;
    } rows[] = {
        {0x0021, 0x0000, 1980, 1, 1, 0, 0, 0, true},
        {0x4EDE, 0xBF7D, 2019, 6, 30, 23, 59, 58, true},
        {0xFF9F, 0x6000, 2107, 12, 31, 12, 0, 0, true},
        {0x505D, 0x5A8F, 2020, 2, 29, 11, 20, 30, true},
        {0x4E5D, 0x0000, 2019, 2, 29, 0, 0, 0, false},  // not a leap year
        {0x0000, 0x0000, 1980, 0, 0, 0, 0, 0, false},
        {0x0021, 0xC000, 1980, 1, 1, 24, 0, 0, false},
        {0x0021, 0x077E, 1980, 1, 1, 0, 59, 60, false},
        {0x01A1, 0x0000, 1980, 13, 1, 0, 0, 0, false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const DosDateTime t = DecodeDosDateTime(rows[i].date, rows[i].time);
        EXPECT_EQ(t.year, rows[i].y) << "row " << i;
        EXPECT_EQ(t.month, rows[i].mo) << "row " << i;
        EXPECT_EQ(t.day, rows[i].d) << "row " << i;
        EXPECT_EQ(t.hour, rows[i].h) << "row " << i;
        EXPECT_EQ(t.minute, rows[i].mi) << "row " << i;
        EXPECT_EQ(t.second, rows[i].s) << "row " << i;
        EXPECT_EQ(IsValidDosDateTime(t), rows[i].valid) << "row " << i;
    }
}

std::vector<uint8_t> Bytes(std::initializer_list<int> v)
{
    return std::vector<uint8_t>(v.begin(), v.end());
}

TEST(PayloadRules, ScanExtendedTimestamp)
{
    const struct {
        std::vector<uint8_t> extra;
        bool found, hasMod, hasAcc, hasCre;
        int32_t mod, acc, cre;
    } rows[] = {
        // flags 7 with all three times
        {Bytes({'U', 'T', 13, 0, 7, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}), true, true, true, true, 1, 2, 3},
        // flags 1: modification only; the central directory's short form
        {Bytes({'U', 'T', 5, 0, 1, 0x00, 0xE1, 0xF5, 0x05}), true, true, false, false, 100000000, 0, 0},
        // access and creation without modification: fields follow in order
        {Bytes({'U', 'T', 9, 0, 6, 9, 0, 0, 0, 8, 0, 0, 0}), true, false, true, true, 0, 9, 8},
        // a negative time (before 1970)
        {Bytes({'U', 'T', 5, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF}), true, true, false, false, -1, 0, 0},
        // another block first, skipped by its size
        {Bytes({'u', 'x', 3, 0, 9, 9, 9, 'U', 'T', 5, 0, 1, 4, 0, 0, 0}), true, true, false, false, 4, 0, 0},
        // flags promise three times, the block holds one
        {Bytes({'U', 'T', 5, 0, 7, 5, 0, 0, 0, 6, 0, 0, 0}), true, true, false, false, 5, 0, 0},
        // the block claims more than the buffer holds: only whole fields inside are taken
        {Bytes({'U', 'T', 40, 0, 3, 7, 0, 0, 0, 8, 0}), true, true, false, false, 7, 0, 0},
        // a zero-sized block: no flags
        {Bytes({'U', 'T', 0, 0, 7, 1, 0, 0, 0}), true, false, false, false, 0, 0, 0},
        // fewer than 5 bytes left: no block is read
        {Bytes({'U', 'T', 1, 0}), false, false, false, false, 0, 0, 0},
        // a skipped block runs past the end: the scan stops
        {Bytes({'z', 'z', 200, 0, 1, 'U', 'T', 5, 0, 1, 1, 0, 0, 0}), false, false, false, false, 0, 0, 0},
        // only the first "UT" block counts
        {Bytes({'U', 'T', 1, 0, 0, 'U', 'T', 5, 0, 1, 1, 0, 0, 0}), true, false, false, false, 0, 0, 0},
        {Bytes({}), false, false, false, false, 0, 0, 0},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const ExtendedTimes t = ScanExtendedTimestamp(rows[i].extra.data(), rows[i].extra.size());
        EXPECT_EQ(t.found, rows[i].found) << "row " << i;
        EXPECT_EQ(t.hasModification, rows[i].hasMod) << "row " << i;
        EXPECT_EQ(t.hasAccess, rows[i].hasAcc) << "row " << i;
        EXPECT_EQ(t.hasCreation, rows[i].hasCre) << "row " << i;
        if (t.hasModification) {
            EXPECT_EQ(t.modification, rows[i].mod) << "row " << i;
        }
        if (t.hasAccess) {
            EXPECT_EQ(t.access, rows[i].acc) << "row " << i;
        }
        if (t.hasCreation) {
            EXPECT_EQ(t.creation, rows[i].cre) << "row " << i;
        }
    }
}

TEST(PayloadRules, UnixSecondsToFileTime)
{
    EXPECT_EQ(UnixSecondsToFileTime(0), 116444736000000000ULL);
    EXPECT_EQ(UnixSecondsToFileTime(1600000000), 132444736000000000ULL);
    EXPECT_EQ(UnixSecondsToFileTime(-1), 116444735990000000ULL);
    EXPECT_EQ(UnixSecondsToFileTime(INT32_MIN), (11644473600ULL - 2147483648ULL) * 10000000ULL);
    EXPECT_EQ(UnixSecondsToFileTime(-11644473601LL), 0u);
}

TEST(PayloadRules, SplitEntryPath)
{
    const struct {
        const wchar_t *name, *folder, *file;
    } rows[] = {
        {L"a.txt", L"", L"a.txt"},
        {L"d\\a.txt", L"d\\", L"a.txt"},
        {L"d/e\\a.txt", L"d/e\\", L"a.txt"},
        {L"d/", L"d/", L""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        std::wstring folder, file;
        SplitEntryPath(rows[i].name, folder, file);
        EXPECT_EQ(folder, rows[i].folder) << "row " << i;
        EXPECT_EQ(file, rows[i].file) << "row " << i;
    }
}

}  // namespace
