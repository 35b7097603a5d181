#pragma once
// Reading the resources that both programs carry, from the running test executable itself.
#include <windows.h>

#include <string>
#include <vector>

struct IconDirectoryEntry {
    int width;
    int height;
    int bitCount;
};

// The raw bytes of one resource of this module (empty when it is missing).
std::vector<BYTE> ResourceBytes(LPCWSTR type, LPCWSTR name);

// The entries of an RT_GROUP_ICON directory; false when the group is missing or malformed.
bool ReadIconGroup(WORD id, std::vector<IconDirectoryEntry>& entries);

// Checks the version block and the manifest shared by both programs (gtest failures).
void ExpectSharedVersionBlockAndManifest();
