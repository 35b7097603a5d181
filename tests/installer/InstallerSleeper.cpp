// Helper of the process tests: a program that only waits (argument: seconds, default 30), so
// that copies of it under other file names can be found in the process list. With 0 it ends at
// once: the trivial program the installer's benchmark measures against.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    if (seconds > 0)
        Sleep(static_cast<DWORD>(seconds) * 1000);
    return 0;
}
