// Helper of the installation test: writes the target and working folder of each shell link
// named on the command line to the output file, one "target|working folder" line (UTF-8) per
// link, or "-" for a link that cannot be loaded.
//   installer_link_reader.exe <output file> <link>...
#include "tests/support/TestFiles.h"
#include "framework/Text.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    if (FAILED(CoInitialize(nullptr)))
        return 2;
    std::string out;
    for (int i = 2; i < argc; ++i) {
        std::wstring folder;
        const std::wstring target = LinkTarget(argv[i], &folder);
        out += target.empty() ? std::string("-") : WideToUtf8(target + L"|" + folder);
        out += "\n";
    }
    CoUninitialize();
    const bool written = WriteBytes(argv[1], out);
    LocalFree(argv);
    return written ? 0 : 1;
}
