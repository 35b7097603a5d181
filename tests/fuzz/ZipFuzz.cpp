// Arbitrary bytes as an archive: every entry's information, local extra field and data go
// through the reader and the unpacking rules. Stops (abort) when an invariant breaks.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "installer/payload/PayloadRules.h"
#include "installer/payload/ZipMemorySource.h"
#include "installer/payload/ZipReader.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void CheckName(const std::string& stored)
{
    const std::wstring decoded = DecodeEntryName(stored);
    Check(decoded.size() <= 260);
    const std::wstring cleaned = CleanEntryName(decoded);
    if (!IsSafeEntryName(cleaned))
        return;
    // A name that passes is relative and has no component that climbs.
    Check(!cleaned.empty() && cleaned[0] != L'\\' && cleaned[0] != L'/');
    Check(cleaned.find(L':') == std::wstring::npos);
    size_t start = 0;
    while (start <= cleaned.size()) {
        const size_t end = cleaned.find_first_of(L"\\/", start);
        const std::wstring part = cleaned.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        Check(part != L".." && part != L".");
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    std::wstring folder, file;
    SplitEntryPath(cleaned, folder, file);
    Check(folder + file == cleaned);
}

void CheckExtra(const std::vector<uint8_t>& extra)
{
    const ExtendedTimes t = ScanExtendedTimestamp(extra.data(), extra.size());
    Check(t.found || (!t.hasModification && !t.hasAccess && !t.hasCreation));
    if (t.hasModification)
        Check(UnixSecondsToFileTime(t.modification) > 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckName(std::string(reinterpret_cast<const char*>(data), size));
    CheckExtra(std::vector<uint8_t>(data, data + size));

    ZipReader reader;
    if (reader.Open(std::make_unique<ZipMemorySource>(std::vector<uint8_t>(data, data + size))) != ZipResult::Ok)
        return 0;
    uint32_t count = 0;
    Check(reader.GetEntryCount(count) == ZipResult::Ok);
    std::vector<char> buffer(16384);
    uint32_t seen = 0;
    for (ZipResult r = reader.GoToFirstEntry(); r == ZipResult::Ok; r = reader.GoToNextEntry()) {
        Check(++seen <= count);
        ZipEntryInfo info;
        Check(reader.GetCurrentEntryInfo(info) == ZipResult::Ok);
        CheckName(info.name);
        CheckExtra(info.extra);
        EntryAttributes(info.versionMadeBy, info.externalAttributes);
        const DosDateTime t = DecodeDosDateTime(info.dosDate, info.dosTime);
        if (IsValidDosDateTime(t))
            Check(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour < 24);
        std::vector<uint8_t> local;
        if (reader.GetLocalExtraField(local) == ZipResult::Ok)
            CheckExtra(local);
        if (reader.OpenCurrentEntry() != ZipResult::Ok)
            continue;
        uint64_t total = 0;
        int n;
        while ((n = reader.ReadCurrentEntry(buffer.data(), static_cast<unsigned>(buffer.size()))) > 0) {
            total += static_cast<uint64_t>(n);
            Check(total <= info.uncompressedSize);
        }
        // The end is reported only for data of the announced size.
        if (n == 0)
            Check(total == info.uncompressedSize && reader.CloseCurrentEntry() == ZipResult::Ok);
        else
            reader.CloseCurrentEntry();
    }
    return 0;
}
