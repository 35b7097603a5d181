#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Rules of unpacking the payload archive that need no platform: entry names, attributes and
// times. The Windows side (PayloadExtraction) applies them.

// Windows file attribute bits, spelt out so that this file needs no windows.h.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;

// The stored name bytes as text: up to the first NUL byte, decoded as UTF-8, at most 260
// characters.
std::wstring DecodeEntryName(const std::string& stored);

// Drops drive letters, leading separators and everything up to each "\..\", "\../", "/../"
// and "/..\" (in that order), repeatedly, until no rule applies.
std::wstring CleanEntryName(std::wstring name);

// Whether a cleaned name may be written under the base folder: not empty, no ':' (drives,
// alternate streams), no component made only of dots and spaces (".." climbs out; Windows
// trims trailing dots and spaces, so "... " is no safer) and no device name ("CON", "nul.txt",
// "COM1"), which would open a device instead of a file.
bool IsSafeEntryName(const std::wstring& cleaned);

// Windows attributes of an entry from the host byte of version-made-by and the external
// attributes: DOS-like hosts (0 DOS, 7 Macintosh, 11 NTFS, 14 VFAT) keep the low byte's
// read-only, hidden, system, folder and archive bits; other hosts get archive, folder from
// bit 30 and read-only when bit 23 (owner write) is clear.
uint32_t EntryAttributes(uint16_t versionMadeBy, uint32_t externalAttributes);

struct DosDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
DosDateTime DecodeDosDateTime(uint16_t dosDate, uint16_t dosTime);
// Whether the fields form a real calendar date and time of day.
bool IsValidDosDateTime(const DosDateTime& t);

// Times from the first "UT" (extended timestamp) block of a local extra field.
struct ExtendedTimes {
    bool found = false;  // a "UT" block was seen
    bool hasModification = false, hasAccess = false, hasCreation = false;
    int32_t modification = 0, access = 0, creation = 0;  // seconds since 1970-01-01 UTC
};
// Scans blocks while at least 5 bytes remain. A time whose 4 bytes lie outside the block or the
// buffer is not taken.
ExtendedTimes ScanExtendedTimestamp(const uint8_t* extra, size_t len);

// Unix seconds to a Windows file time (100 ns units since 1601-01-01 UTC).
uint64_t UnixSecondsToFileTime(int64_t seconds);

// Splits at the last "/" or "\": the folder part keeps its separator.
void SplitEntryPath(const std::wstring& name, std::wstring& folder, std::wstring& file);
