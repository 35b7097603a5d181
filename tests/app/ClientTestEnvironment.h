#pragma once
#include <string>

// OLE and GDI+ are started for the whole test program, as the application object starts them.

// Directory of the test executable, with its trailing backslash.
std::wstring TestModuleDirectory();
