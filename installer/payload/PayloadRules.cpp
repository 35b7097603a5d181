#include "installer/payload/PayloadRules.h"

#include "framework/Text.h"

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

}  // namespace

std::wstring DecodeEntryName(const std::string& stored)
{
    std::wstring name = Utf8ToWide(stored.substr(0, stored.find('\0')));
    if (name.size() > 260)
        name.resize(260);
    return name;
}

std::wstring CleanEntryName(std::wstring name)
{
    static const wchar_t* const kClimbs[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
    for (;;) {
        if (name.size() >= 2 && name[1] == L':') {
            name.erase(0, 2);
            continue;
        }
        if (!name.empty() && IsSeparator(name[0])) {
            name.erase(0, 1);
            continue;
        }
        bool dropped = false;
        for (const wchar_t* climb : kClimbs) {
            const size_t at = name.find(climb);
            if (at != std::wstring::npos) {
                name.erase(0, at + 4);
                dropped = true;
                break;
            }
        }
        if (!dropped)
            return name;
    }
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices in every folder, with any extension.
bool IsDeviceName(const std::wstring& component)
{
    std::wstring stem = AsciiLower(component.substr(0, component.find(L'.')));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    if (stem == L"con" || stem == L"prn" || stem == L"aux" || stem == L"nul")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"com") == 0 || stem.compare(0, 3, L"lpt") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

bool IsSafeEntryName(const std::wstring& cleaned)
{
    if (cleaned.empty() || cleaned.find(L':') != std::wstring::npos)
        return false;
    size_t start = 0;
    while (start <= cleaned.size()) {
        size_t end = start;
        while (end < cleaned.size() && !IsSeparator(cleaned[end]))
            ++end;
        bool onlyDotsAndSpaces = end > start;
        for (size_t i = start; i < end; ++i)
            if (cleaned[i] != L'.' && cleaned[i] != L' ')
                onlyDotsAndSpaces = false;
        if (onlyDotsAndSpaces || IsDeviceName(cleaned.substr(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

uint32_t EntryAttributes(uint16_t versionMadeBy, uint32_t externalAttributes)
{
    const unsigned host = versionMadeBy >> 8;
    if (host == 0 || host == 7 || host == 11 || host == 14)
        return externalAttributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
    uint32_t attributes = kAttrArchive;
    if (externalAttributes & (1u << 30))
        attributes |= kAttrDirectory;
    if (!(externalAttributes & (1u << 23)))
        attributes |= kAttrReadOnly;
    return attributes;
}

DosDateTime DecodeDosDateTime(uint16_t dosDate, uint16_t dosTime)
{
    DosDateTime t;
    t.year = 1980 + (dosDate >> 9);
    t.month = (dosDate >> 5) & 0x0F;
    t.day = dosDate & 0x1F;
    t.hour = dosTime >> 11;
    t.minute = (dosTime >> 5) & 0x3F;
    t.second = 2 * (dosTime & 0x1F);
    return t;
}

bool IsValidDosDateTime(const DosDateTime& t)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.month < 1 || t.month > 12 || t.day < 1)
        return false;
    const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    const int days = kDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0);
    return t.day <= days && t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

ExtendedTimes ScanExtendedTimestamp(const uint8_t* extra, size_t len)
{
    ExtendedTimes times;
    if (!extra)
        return times;
    size_t pos = 0;
    while (len - pos >= 5) {
        const unsigned id = extra[pos] | (extra[pos + 1] << 8);
        const size_t size = extra[pos + 2] | (extra[pos + 3] << 8);
        const size_t data = pos + 4;
        if (id != 0x5455) {  // "UT" little-endian
            if (size > len - data)
                break;
            pos = data + size;
            continue;
        }
        times.found = true;
        const size_t end = data + (size < len - data ? size : len - data);
        if (end == data)
            break;  // no room for the flags
        const unsigned flags = extra[data];
        size_t at = data + 1;
        const auto take = [&](bool& has, int32_t& value) {
            if (end - at < 4) {
                at = end;
                return;
            }
            value = static_cast<int32_t>(static_cast<uint32_t>(extra[at]) | (static_cast<uint32_t>(extra[at + 1]) << 8) |
                                         (static_cast<uint32_t>(extra[at + 2]) << 16) |
                                         (static_cast<uint32_t>(extra[at + 3]) << 24));
            has = true;
            at += 4;
        };
        if (flags & 1)
            take(times.hasModification, times.modification);
        if (flags & 2)
            take(times.hasAccess, times.access);
        if (flags & 4)
            take(times.hasCreation, times.creation);
        break;
    }
    return times;
}

uint64_t UnixSecondsToFileTime(int64_t seconds)
{
    // Times before 1601 do not exist as file times.
    if (seconds < -11644473600LL)
        return 0;
    return static_cast<uint64_t>(seconds + 11644473600LL) * 10000000ULL;
}

void SplitEntryPath(const std::wstring& name, std::wstring& folder, std::wstring& file)
{
    const size_t at = name.find_last_of(L"\\/");
    if (at == std::wstring::npos) {
        folder.clear();
        file = name;
        return;
    }
    folder = name.substr(0, at + 1);
    file = name.substr(at + 1);
}
