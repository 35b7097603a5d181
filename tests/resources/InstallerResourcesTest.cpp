// Resources linked into dusksetup.exe (without the payload), read back from this test executable.
#include "resources/installer/resource.h"
#include "tests/resources/ResourceChecks.h"

#include "framework/Handles.h"

#include <gtest/gtest.h>

TEST(InstallerResources, IconGroupHoldsOne48PixelIconThatLoads)
{
    std::vector<IconDirectoryEntry> entries;
    ASSERT_TRUE(ReadIconGroup(IDI_SETUP, entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].width, 48);
    EXPECT_EQ(entries[0].height, 48);
    EXPECT_EQ(entries[0].bitCount, 32);
    UniqueHandle<IconTraits> icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SETUP), IMAGE_ICON, 48, 48, 0)));
    EXPECT_TRUE(icon);
}

TEST(InstallerResources, VersionBlockAndManifest)
{
    ExpectSharedVersionBlockAndManifest();
}

TEST(InstallerResources, NoClientResourcesComeAlong)
{
    EXPECT_TRUE(ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(148)).empty());
    EXPECT_TRUE(ResourceBytes(L"PNG", MAKEINTRESOURCEW(149)).empty());
}
