#include "installer/VersionRules.h"

namespace {
constexpr unsigned long kPlatformWin32Nt = 2;
}

bool IsWindows7Version(unsigned long platformId, unsigned long major, unsigned long minor)
{
    return platformId == kPlatformWin32Nt && major == 6 && minor == 1;
}

bool IsVistaLineageVersion(unsigned long major, unsigned long minor)
{
    return major > 5 && minor < 4;
}
