// Unpacks an archive into a folder with our reader and unpacking rules, 16384 bytes at a time
// as the installer does. Release build for bench/unzip_bench.sh.
//   unzip_tool <archive> <folder>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "installer/payload/PayloadRules.h"
#include "installer/payload/ZipReader.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: unzip_tool <archive> <folder>\n");
        return 2;
    }
    const std::filesystem::path base = argv[2];
    ZipReader reader;
    ZipResult r = reader.Open(Utf8ToWide(argv[1]));
    if (r != ZipResult::Ok) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], ZipResultName(r));
        return 1;
    }
    std::vector<char> buffer(16384);
    int failures = 0;
    for (r = reader.GoToFirstEntry(); r == ZipResult::Ok; r = reader.GoToNextEntry()) {
        ZipEntryInfo info;
        reader.GetCurrentEntryInfo(info);
        std::wstring name = CleanEntryName(DecodeEntryName(info.name));
        if (!IsSafeEntryName(name)) {
            ++failures;
            continue;
        }
        for (wchar_t& c : name)
            if (c == L'\\')
                c = L'/';
        const std::filesystem::path target = base / WideToUtf8(name);
        std::error_code ec;
        if (EntryAttributes(info.versionMadeBy, info.externalAttributes) & kAttrDirectory) {
            std::filesystem::create_directories(target, ec);
            continue;
        }
        std::filesystem::create_directories(target.parent_path(), ec);
        if (reader.OpenCurrentEntry() != ZipResult::Ok) {
            ++failures;
            continue;
        }
        std::FILE* out = std::fopen(target.c_str(), "wb");
        if (!out) {
            reader.CloseCurrentEntry();
            ++failures;
            continue;
        }
        // Inflated blocks stay 16384 bytes as in the installer; the file writes go out in
        // larger pieces, as unzip and Python do theirs.
        std::setvbuf(out, nullptr, _IOFBF, 1 << 18);
        int n;
        while ((n = reader.ReadCurrentEntry(buffer.data(), static_cast<unsigned>(buffer.size()))) > 0)
            if (std::fwrite(buffer.data(), 1, static_cast<size_t>(n), out) != static_cast<size_t>(n))
                break;
        if (std::fclose(out) != 0 || n != 0)
            ++failures;
        reader.CloseCurrentEntry();
    }
    if (r != ZipResult::EndOfList)
        ++failures;
    if (failures)
        std::fprintf(stderr, "%d entries failed\n", failures);
    return failures ? 1 : 0;
}
