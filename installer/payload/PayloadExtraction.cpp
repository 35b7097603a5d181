#include "installer/payload/PayloadExtraction.h"

#include <windows.h>

#include <vector>

#include "framework/Handles.h"
#include "installer/payload/PayloadRules.h"
#include "installer/payload/ZipReader.h"

namespace {

constexpr unsigned kBlockSize = 16384;

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What became of one entry. UnzipToFolder does not act on it; it documents each way out.
enum class EntryOutcome {
    Success,
    CannotCreate,
    WriteFailed,
    NeedsPassword,
    BadData,
    IndexOutOfRange,
    LocalHeaderMismatch,
    UnsafeName,  // a name that would leave the base folder
};

struct EntryTimes {
    bool hasCreation = false, hasAccess = false, hasModification = false;
    FILETIME creation{}, access{}, modification{};
};

struct PayloadEntry {
    uint32_t index = 0;
    std::wstring name;  // cleaned, relative to the base folder
    uint32_t attributes = 0;
    EntryTimes times;
    uint32_t compressedSize = 0, uncompressedSize = 0;
};

// The state of one UnzipToFolder call: the open archive, the base folder, the one data
// buffer, and the information of the entry read last.
struct UnzipSession {
    ZipReader reader;
    std::wstring base;
    uint32_t count = 0;
    std::vector<char> buffer;
    bool positioned = false;  // the reader stands on entry `position`
    uint32_t position = 0;
    uint32_t unreachable = UINT32_MAX;  // first entry whose directory record could not be read
    bool cached = false;
    PayloadEntry entry;
};

FILETIME ToFileTime(uint64_t value)
{
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(value);
    ft.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return ft;
}

// The DOS date and time, read as local time (with that date's daylight saving), in UTC.
bool DosTimeToUtc(uint16_t dosDate, uint16_t dosTime, FILETIME& utc)
{
    const DosDateTime t = DecodeDosDateTime(dosDate, dosTime);
    if (!IsValidDosDateTime(t))
        return false;
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(t.year);
    local.wMonth = static_cast<WORD>(t.month);
    local.wDay = static_cast<WORD>(t.day);
    local.wHour = static_cast<WORD>(t.hour);
    local.wMinute = static_cast<WORD>(t.minute);
    local.wSecond = static_cast<WORD>(t.second);
    SYSTEMTIME system{};
    return TzSpecificLocalTimeToSystemTime(nullptr, &local, &system) && SystemTimeToFileTime(&system, &utc);
}

EntryOutcome FromReader(ZipResult result)
{
    switch (result) {
    case ZipResult::Encrypted: return EntryOutcome::NeedsPassword;
    case ZipResult::LocalHeaderMismatch: return EntryOutcome::LocalHeaderMismatch;
    default: return EntryOutcome::BadData;
    }
}

// Moves the reader to entry `index` and reads its information (cached for the same index).
EntryOutcome GetEntryInfo(UnzipSession& s, uint32_t index, PayloadEntry& out)
{
    if (s.cached && s.entry.index == index) {
        out = s.entry;
        return EntryOutcome::Success;
    }
    if (index >= s.count)
        return EntryOutcome::IndexOutOfRange;
    // Records are found by walking the directory: none after a broken one can be reached.
    if (index >= s.unreachable)
        return EntryOutcome::BadData;
    s.cached = false;
    ZipResult r = ZipResult::Ok;
    if (!s.positioned || index < s.position) {
        s.positioned = false;
        if ((r = s.reader.GoToFirstEntry()) != ZipResult::Ok) {
            s.unreachable = 0;
            return FromReader(r);
        }
        s.positioned = true;
        s.position = 0;
    }
    while (s.position < index) {
        if ((r = s.reader.GoToNextEntry()) != ZipResult::Ok) {
            s.positioned = false;
            s.unreachable = s.position + 1;
            return FromReader(r);
        }
        ++s.position;
    }

    ZipEntryInfo info;
    if ((r = s.reader.GetCurrentEntryInfo(info)) != ZipResult::Ok)
        return FromReader(r);
    PayloadEntry e;
    e.index = index;
    e.name = CleanEntryName(DecodeEntryName(info.name));
    e.attributes = EntryAttributes(info.versionMadeBy, info.externalAttributes);
    e.compressedSize = info.compressedSize;
    e.uncompressedSize = info.uncompressedSize;
    FILETIME dos;
    if (DosTimeToUtc(info.dosDate, info.dosTime, dos)) {
        e.times.hasCreation = e.times.hasAccess = e.times.hasModification = true;
        e.times.creation = e.times.access = e.times.modification = dos;
    }
    std::vector<uint8_t> extra;
    if ((r = s.reader.GetLocalExtraField(extra)) != ZipResult::Ok)
        return r == ZipResult::Encrypted ? EntryOutcome::NeedsPassword : EntryOutcome::LocalHeaderMismatch;
    const ExtendedTimes ut = ScanExtendedTimestamp(extra.data(), extra.size());
    if (ut.hasModification) {
        e.times.hasModification = true;
        e.times.modification = ToFileTime(UnixSecondsToFileTime(ut.modification));
    }
    if (ut.hasAccess) {
        e.times.hasAccess = true;
        e.times.access = ToFileTime(UnixSecondsToFileTime(ut.access));
    }
    if (ut.hasCreation) {
        e.times.hasCreation = true;
        e.times.creation = ToFileTime(UnixSecondsToFileTime(ut.creation));
    }
    s.entry = e;
    s.cached = true;
    out = e;
    return EntryOutcome::Success;
}

// Creates each missing folder of `relative` under `root`, parent before child.
void CreateRelativeFolders(const std::wstring& root, std::wstring relative)
{
    while (!relative.empty() && IsSeparator(relative.back()))
        relative.pop_back();
    if (relative.empty() || Exists(root + relative))
        return;
    const size_t parent = relative.find_last_of(L"\\/");
    if (parent != std::wstring::npos)
        CreateRelativeFolders(root, relative.substr(0, parent));
    CreateDirectoryW((root + relative).c_str(), nullptr);
}

// Failures are ignored here; the file creation that follows fails instead.
void CreateFolderPath(const std::wstring& root, const std::wstring& relative)
{
    if (!Exists(root))
        CreateDirectoryW(root.c_str(), nullptr);
    CreateRelativeFolders(root, relative);
}

void DiscardFile(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// Inflates the current entry into `file`, 16384 bytes at a time.
EntryOutcome CopyEntryData(UnzipSession& s, HANDLE file)
{
    const ZipResult opened = s.reader.OpenCurrentEntry();
    if (opened != ZipResult::Ok)
        return FromReader(opened);
    EntryOutcome outcome = EntryOutcome::Success;
    for (;;) {
        const int n = s.reader.ReadCurrentEntry(s.buffer.data(), kBlockSize);
        if (n == 0)
            break;
        if (n < 0) {
            outcome = FromReader(s.reader.LastReadError());
            break;
        }
        DWORD written = 0;
        if (!WriteFile(file, s.buffer.data(), static_cast<DWORD>(n), &written, nullptr) ||
            written != static_cast<DWORD>(n)) {
            outcome = EntryOutcome::WriteFailed;
            break;
        }
    }
    if (s.reader.CloseCurrentEntry() != ZipResult::Ok && outcome == EntryOutcome::Success)
        outcome = EntryOutcome::BadData;
    return outcome;
}

// The data goes to a temporary file beside the target and replaces the target only once it
// has been read whole and its CRC-32 matched, so a bad entry leaves the old file as it was.
// The target itself is opened first, without sharing, as the lock test: a file in use by a
// running program (or read-only) makes the entry fail before anything is written.
EntryOutcome UnpackEntry(UnzipSession& s, const PayloadEntry& e)
{
    if (!IsSafeEntryName(e.name))
        return EntryOutcome::UnsafeName;
    if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        CreateFolderPath(s.base, e.name);
        return EntryOutcome::Success;
    }
    std::wstring folder, fileName;
    SplitEntryPath(e.name, folder, fileName);
    CreateFolderPath(s.base, folder);
    const std::wstring target = s.base + folder + fileName;

    UniqueFileHandle lock(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
    if (!lock)
        return EntryOutcome::CannotCreate;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    const auto fail = [&](EntryOutcome outcome) {
        lock.Reset();
        if (!existed)
            DeleteFileW(target.c_str());
        return outcome;
    };

    wchar_t tempName[MAX_PATH];
    const std::wstring tempFolder = s.base + folder;
    if (!GetTempFileNameW(tempFolder.c_str(), L"dsk", 0, tempName))
        return fail(EntryOutcome::CannotCreate);
    const std::wstring temp = tempName;
    UniqueFileHandle out(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     e.attributes ? e.attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        DiscardFile(temp);
        return fail(EntryOutcome::CannotCreate);
    }
    const EntryOutcome copied = CopyEntryData(s, out.Get());
    if (copied != EntryOutcome::Success) {
        out.Reset();
        DiscardFile(temp);
        return fail(copied);
    }
    SetFileTime(out.Get(), e.times.hasCreation ? &e.times.creation : nullptr,
                e.times.hasAccess ? &e.times.access : nullptr,
                e.times.hasModification ? &e.times.modification : nullptr);
    out.Reset();
    lock.Reset();
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DiscardFile(temp);
        return fail(EntryOutcome::CannotCreate);
    }
    // CREATE_ALWAYS over the name GetTempFileNameW reserved need not apply the attributes
    // (Wine keeps the old ones), so they are set once more on the final file.
    if (e.attributes)
        SetFileAttributesW(target.c_str(), e.attributes);
    return EntryOutcome::Success;
}

// "*.*" inside the destination finds a folder or an archive-flagged entry when it exists.
bool DestinationPresent(const std::wstring& destination)
{
    std::wstring pattern = destination;
    if (pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L"*.*";
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW(pattern.c_str(), &found));
    return find && (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE));
}

// Creates every prefix of the path that ends at a backslash, shortest first; the result is
// that of the last (the folder itself).
bool CreateDestination(std::wstring path)
{
    if (path.back() != L'\\')
        path += L'\\';
    BOOL last = FALSE;
    for (size_t i = 0; i < path.size(); ++i)
        if (path[i] == L'\\')
            last = CreateDirectoryW(path.substr(0, i + 1).c_str(), nullptr);
    return last != FALSE;
}

}  // namespace

void ExtractPayload(const std::wstring& archivePath, const std::wstring& destination)
{
    WritePayloadFile(archivePath);
    UnzipToFolder(archivePath, destination);
}

bool WritePayloadFile(const std::wstring& archivePath)
{
    UniqueFileHandle file(CreateFileW(archivePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file)
        return false;
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(129), L"ALLNEED");
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file.Get(), bytes, bytes ? size : 0, &written, nullptr);
    // A missing resource still leaves the (empty) file, but is no success.
    return wrote && bytes && size > 0 && written == size;
}

bool UnzipToFolder(const std::wstring& archivePath, const std::wstring& destination)
{
    if (destination.empty() || archivePath.empty() || !Exists(archivePath))
        return false;
    if (!DestinationPresent(destination) && !CreateDestination(destination))
        return false;

    UnzipSession s;
    if (s.reader.Open(archivePath) != ZipResult::Ok)
        return false;
    s.base = destination;
    if (!IsSeparator(s.base.back()))
        s.base += L'\\';
    if (s.reader.GetEntryCount(s.count) != ZipResult::Ok) {
        s.reader.Close();
        return false;
    }
    s.buffer.resize(kBlockSize);
    for (uint32_t i = 0; i < s.count; ++i) {
        PayloadEntry entry;
        if (GetEntryInfo(s, i, entry) == EntryOutcome::Success)
            UnpackEntry(s, entry);
    }
    s.reader.Close();
    return true;
}
