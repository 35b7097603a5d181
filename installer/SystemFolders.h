#pragma once
#include <string>

// Folder and system-version queries shared by the installer's steps. They keep no state.

// The shell's path of a special folder (a CSIDL value), without a trailing backslash;
// empty when the shell cannot resolve it.
std::wstring GetSpecialFolder(int csidl);

// True for an existing file and an existing folder alike.
bool PathExists(const std::wstring& path);

// True only on Windows 7 (NT 6.1). A failing version query answers false.
bool IsWindows7();

// True on the version-6 systems whose minor version is below 4. A failing query answers false.
bool IsVistaLineage();
