#pragma once

// Fixed names of the installation.
inline constexpr const wchar_t* kGameTitle = L"Duskreign";
inline constexpr const wchar_t* kGameCode = L"dr";
inline constexpr const wchar_t* kVendorFolder = L"Vantory";
// The install sub-folder and the uninstall key share this name.
inline constexpr const wchar_t* kInstallName = L"tavrokil";
inline constexpr const wchar_t* kClientFileName = L"duskshell.exe";
inline constexpr const wchar_t* kRemovalToolFileName = L"remtracks.exe";
