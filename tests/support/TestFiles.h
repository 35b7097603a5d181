#pragma once
#include <windows.h>

#include <string>

// File helpers of the Windows tests.

// A new, empty folder under the temporary folder; the result ends with a backslash.
std::wstring MakeTestFolder(const wchar_t* tag);

// The whole file as bytes; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);

// Writes bytes to path, replacing it; true on success.
bool WriteBytes(const std::wstring& path, const std::string& bytes);

// Removes a folder and everything below it.
void RemoveTree(const std::wstring& folder);

// The target path of a shell link file; empty when it cannot be loaded.
std::wstring LinkTarget(const std::wstring& linkPath, std::wstring* workingFolder = nullptr);
