// libFuzzer target: any text given to the URL splitter either is refused or splits into parts
// that put the address back together.
#include "shared/HttpUrl.h"
#include "shared/Md5.h"

#include "framework/Text.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (Md5Hex(bytes).size() != 32)
        std::abort();
    const std::wstring url = Utf8ToWide(bytes);
    HttpUrl parts;
    if (!ParseHttpUrl(url, parts))
        return 0;
    if (parts.server.empty() || parts.port == 0 || parts.object.empty() || parts.object[0] != L'/')
        std::abort();
    // The object is the tail of the address, untouched (a "/" put before a bare query).
    const std::wstring& o = parts.object;
    const bool tail = url.size() >= o.size() && url.compare(url.size() - o.size(), o.size(), o) == 0;
    const bool bareQuery = url.size() >= o.size() - 1 && url.compare(url.size() - (o.size() - 1), o.size() - 1, o, 1) == 0;
    if (!tail && !bareQuery && o != L"/")
        std::abort();
    return 0;
}
