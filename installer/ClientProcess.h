#pragma once
#include <string>

// True when a process of this session runs a program whose file is named duskshell.exe
// (in any letter case; the folder does not matter).
bool IsClientRunning();

// The same walk for any program file name: true when an examined process's first module has
// this base name, compared after lower-casing A-Z. At most 1024 processes are examined, and
// the first one the system lists (the idle process) never is.
bool IsProgramRunning(const std::wstring& fileName);
