#pragma once
#include <string>

// Splits an installer file name such as "77_5.exe": the part of the name before its last
// "." is split at its first "_". uid receives what precedes the "_" (the whole base when
// there is none) and name is replaced by what follows it (empty when there is none).
void SplitInstallerName(std::wstring& name, std::wstring& uid);
