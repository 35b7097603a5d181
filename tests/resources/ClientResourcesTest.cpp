// Resources linked into duskshell.exe, read back from this test executable that links the same
// resource object.
#include "resources/client/resource.h"
#include "tests/resources/ResourceChecks.h"
#include "tests/resources/SkinTable.h"

#include "framework/ComPtr.h"
#include "framework/Handles.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

class ClientResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }

private:
    static ULONG_PTR token_;
};
ULONG_PTR ClientResources::token_ = 0;

// A dialog template as DLGTEMPLATEEX lays it out (menu, class and title as text; an ordinal
// reads "#n").
struct DialogTemplate {
    WORD version = 0, signature = 0;
    DWORD helpId = 0, exStyle = 0, style = 0;
    WORD items = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, windowClass, title;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::wstring typeface;
};

bool ParseDialogTemplateEx(const std::vector<BYTE>& bytes, DialogTemplate& t)
{
    size_t at = 0;
    auto take = [&](void* out, size_t n) {
        if (bytes.size() - at < n)
            return false;
        std::memcpy(out, &bytes[at], n);
        at += n;
        return true;
    };
    auto text = [&](std::wstring& out, bool allowOrdinal) {
        WORD first;
        if (!take(&first, 2))
            return false;
        if (first == 0xFFFF && allowOrdinal) {
            WORD ordinal;
            if (!take(&ordinal, 2))
                return false;
            out = L"#" + std::to_wstring(ordinal);
            return true;
        }
        out.clear();
        for (WORD c = first; c != 0;) {
            out.push_back(static_cast<wchar_t>(c));
            if (!take(&c, 2))
                return false;
        }
        return true;
    };
    if (!take(&t.version, 2) || !take(&t.signature, 2) || !take(&t.helpId, 4) || !take(&t.exStyle, 4)
        || !take(&t.style, 4) || !take(&t.items, 2) || !take(&t.x, 2) || !take(&t.y, 2) || !take(&t.cx, 2)
        || !take(&t.cy, 2) || !text(t.menu, true) || !text(t.windowClass, true) || !text(t.title, false))
        return false;
    if (!(t.style & DS_SETFONT))
        return true;
    return take(&t.pointSize, 2) && take(&t.weight, 2) && take(&t.italic, 1) && take(&t.charset, 1)
        && text(t.typeface, false);
}

} // namespace

TEST_F(ClientResources, EverySkinPictureIsAChinesePngThatGdiPlusDecodesAtItsSize)
{
    HMODULE module = GetModuleHandleW(nullptr);
    for (size_t row = 0; row < std::size(kSkinPictures); ++row) {
        const SkinPicture& p = kSkinPictures[row];
        HRSRC resource = FindResourceExW(module, L"PNG", MAKEINTRESOURCEW(p.id), kChinesePrc);
        ASSERT_NE(resource, nullptr) << "row " << row << " (" << p.id << ")";
        EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(p.id), L"PNG"), resource) << "row " << row;

        const std::vector<BYTE> bytes = ResourceBytes(L"PNG", MAKEINTRESOURCEW(p.id));
        ASSERT_FALSE(bytes.empty()) << "row " << row;
        HGLOBAL block = GlobalAlloc(GMEM_FIXED, bytes.size());
        ASSERT_NE(block, nullptr);
        std::memcpy(block, bytes.data(), bytes.size());
        ComPtr<IStream> stream;
        ASSERT_TRUE(SUCCEEDED(CreateStreamOnHGlobal(block, TRUE, stream.Put()))) << "row " << row;
        std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream.Get(), FALSE));
        ASSERT_NE(image, nullptr) << "row " << row;
        ASSERT_EQ(image->GetLastStatus(), Gdiplus::Ok) << "row " << row << " (" << p.id << ")";
        EXPECT_EQ(static_cast<int>(image->GetWidth()), p.width) << "row " << row << " (" << p.id << ")";
        EXPECT_EQ(static_cast<int>(image->GetHeight()), p.height) << "row " << row << " (" << p.id << ")";
        EXPECT_TRUE(Gdiplus::IsAlphaPixelFormat(image->GetPixelFormat())) << "row " << row;

        if (p.id == IDB_LOGIN_SKIN) {
            Gdiplus::Color corner, webArea, close;
            image->GetPixel(0, 0, &corner);
            image->GetPixel(743, 338, &webArea);
            image->GetPixel(1086, 142, &close);
            EXPECT_EQ(corner.GetA(), 0);
            EXPECT_EQ(webArea.GetA(), 255);
            EXPECT_EQ(close.GetA(), 255);
        }
    }
}

TEST_F(ClientResources, IconAndUnusedIdentifiersAreNoPngs)
{
    for (WORD id : {141, 148})
        EXPECT_EQ(FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), L"PNG"), nullptr) << id;
}

TEST_F(ClientResources, TrayMenuHasOnePopupWithTheExitItem)
{
    UniqueHandle<MenuTraits> menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu.Get()), 1);
    HMENU popup = GetSubMenu(menu.Get(), 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 1);
    EXPECT_EQ(GetMenuItemID(popup, 0), 32772u);
    wchar_t text[32] = {};
    ASSERT_GT(GetMenuStringW(popup, 0, text, 32, MF_BYPOSITION), 0);
    EXPECT_EQ(std::wstring(text), L"\u9000\u51fa"); // 退出
}

TEST_F(ClientResources, DialogTemplatesHaveTheirStylesSizesAndFonts)
{
    const struct {
        WORD id;
        DWORD style;
        short cx, cy;
        WORD pointSize;
    } dialogs[] = {
        {IDD_WEB_DIALOG, WS_POPUP | WS_VISIBLE | DS_SETFONT | DS_FIXEDSYS, 320, 200, 9},
        {IDD_BOSSKEY, WS_POPUP | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS, 316, 183, 8},
    };
    for (size_t row = 0; row < std::size(dialogs); ++row) {
        const std::vector<BYTE> bytes = ResourceBytes(RT_DIALOG, MAKEINTRESOURCEW(dialogs[row].id));
        DialogTemplate t;
        ASSERT_TRUE(ParseDialogTemplateEx(bytes, t)) << "row " << row;
        EXPECT_EQ(t.version, 1) << "row " << row;
        EXPECT_EQ(t.signature, 0xFFFF) << "row " << row;
        EXPECT_EQ(t.exStyle, 0u) << "row " << row;
        EXPECT_EQ(t.style, dialogs[row].style) << "row " << row;
        EXPECT_EQ(t.items, 0) << "row " << row;
        EXPECT_EQ(t.x, 0) << "row " << row;
        EXPECT_EQ(t.y, 0) << "row " << row;
        EXPECT_EQ(t.cx, dialogs[row].cx) << "row " << row;
        EXPECT_EQ(t.cy, dialogs[row].cy) << "row " << row;
        EXPECT_EQ(t.menu, L"") << "row " << row;
        EXPECT_EQ(t.windowClass, L"") << "row " << row;
        EXPECT_EQ(t.title, L"") << "row " << row;
        EXPECT_EQ(t.pointSize, dialogs[row].pointSize) << "row " << row;
        EXPECT_EQ(t.typeface, L"MS Shell Dlg") << "row " << row;
        EXPECT_EQ(FindResourceExW(GetModuleHandleW(nullptr), RT_DIALOG, MAKEINTRESOURCEW(dialogs[row].id), kChinesePrc),
                  FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogs[row].id), RT_DIALOG))
            << "row " << row;
    }
}

TEST_F(ClientResources, VersionBlockAndManifest)
{
    ExpectSharedVersionBlockAndManifest();
}

TEST_F(ClientResources, ApplicationIconGroupHoldsThreeSizesAndLoads)
{
    std::vector<IconDirectoryEntry> entries;
    ASSERT_TRUE(ReadIconGroup(IDI_APP, entries));
    ASSERT_EQ(entries.size(), 3u);
    const int sizes[] = {16, 32, 48};
    for (size_t row = 0; row < entries.size(); ++row) {
        EXPECT_EQ(entries[row].width, sizes[row]) << "row " << row;
        EXPECT_EQ(entries[row].height, sizes[row]) << "row " << row;
        EXPECT_EQ(entries[row].bitCount, 32) << "row " << row;
    }
    for (int size : {16, 32}) {
        UniqueHandle<IconTraits> icon(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon.Get(), &info)) << size;
        BITMAP colour = {};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}
