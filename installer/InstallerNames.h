#pragma once
#include <string>

// Names the installer derives from its own file.

// The part of a path after its last backslash (the whole path when it has none).
std::wstring FileNamePart(const std::wstring& path);

// The channel code of an installer file name: the name cut at its last ".", then cut before
// its first "_" — the uid part of SplitInstallerName. "zc17_setup.exe" gives "zc17".
std::wstring ChannelCode(const std::wstring& installerFileName);

// A path below a special folder, or "" when the folder could not be resolved: a path built
// on an empty folder would land in the root of the current drive.
std::wstring PathBelow(const std::wstring& folder, const std::wstring& rest);
