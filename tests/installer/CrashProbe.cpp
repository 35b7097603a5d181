// Helper of the crash-handler test: installs the installer's handlers, then
//   fault  dereferences a null pointer (the exception filter must end the process quietly)
//   param  calls the handler the run time now holds, as the run time does (release run times pass
//          no texts), then passes an invalid parameter to a run-time function and prints what
//          it returned
#include "installer/CrashHandlers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

int main(int argc, char** argv)
{
    InstallCrashHandlers();
    if (argc > 1 && std::strcmp(argv[1], "fault") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
        std::printf("survived");
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "param") == 0) {
        _invalid_parameter_handler handler = _get_invalid_parameter_handler();
        if (!handler)
            return 3;
        handler(nullptr, nullptr, nullptr, 0, 0);
        handler(L"dest != 0", L"wcscpy_s", L"wcs.c", 31, 0);
        const int result = wcscpy_s(nullptr, 0, L"x");
        std::printf("returned %d\n", result);
        return 0;
    }
    return 2;
}
