#include <gtest/gtest.h>

#include <utility>

#include "framework/FxString.h"
#include "framework/Gdi.h"
#include "tests/framework/FrameworkTestIds.h"

TEST(GdiTest, BitmapOwnershipMovesAndDetaches) {
    CClientDC screen(static_cast<HWND>(nullptr));
    CBitmap a;
    ASSERT_TRUE(a.CreateCompatibleBitmap(screen.m_hDC, 30, 20));
    EXPECT_EQ(a.GetSize(), CSize(30, 20));
    EXPECT_FALSE(a.CreateCompatibleBitmap(screen.m_hDC, 1, 1));  // already holds one
    HGDIOBJ h = a.m_hObject;
    CBitmap b(std::move(a));
    EXPECT_EQ(a.m_hObject, nullptr);
    EXPECT_EQ(b.m_hObject, h);
    HGDIOBJ given = b.Detach();
    EXPECT_EQ(b.GetSize(), CSize(0, 0));
    EXPECT_EQ(GetObjectType(given), static_cast<DWORD>(OBJ_BITMAP));  // still alive
    DeleteObject(given);
}

TEST(GdiTest, DestroyedOwnerDeletesItsObject) {
    HGDIOBJ h;
    {
        CBrush brush(RGB(1, 2, 3));
        h = brush.m_hObject;
        ASSERT_NE(h, nullptr);
    }
    EXPECT_EQ(GetObjectType(h), 0u);
}

TEST(GdiTest, ScopedSelectionRestoresThePreviousObject) {
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(static_cast<HDC>(nullptr)));
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(8, 8, 1, 32, nullptr));
    HGDIOBJ original = GetCurrentObject(mem.m_hDC, OBJ_BITMAP);
    {
        CSelectObject sel(mem, bmp);
        EXPECT_EQ(GetCurrentObject(mem.m_hDC, OBJ_BITMAP), bmp.m_hObject);
        mem.FillSolidRect(CRect(0, 0, 8, 8), RGB(10, 20, 30));
        mem.FillSolidRect(2, 2, 1, 1, RGB(200, 0, 0));
        EXPECT_EQ(mem.GetPixel(0, 0), RGB(10, 20, 30));
        EXPECT_EQ(mem.GetPixel(2, 2), RGB(200, 0, 0));
        EXPECT_EQ(mem.GetPixel(3, 2), RGB(10, 20, 30));
    }
    EXPECT_EQ(GetCurrentObject(mem.m_hDC, OBJ_BITMAP), original);
}

TEST(GdiTest, PointFontHeightFollowsTheScreenResolution) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, L"宋体"));
    LOGFONTW lf;
    ASSERT_EQ(font.GetObject(sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    CClientDC screen(static_cast<HWND>(nullptr));
    EXPECT_EQ(lf.lfHeight, -MulDiv(screen.GetDeviceCaps(LOGPIXELSY), 90, 720));
    EXPECT_STREQ(lf.lfFaceName, L"宋体");
}

TEST(GdiTest, RegionsCombine) {
    CRgn a, b, c;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRectRgnIndirect(CRect(5, 5, 20, 20)));
    ASSERT_TRUE(c.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(c.CombineRgn(a.GetSafeHandle(), b.GetSafeHandle(), RGN_AND), SIMPLEREGION);
    RECT box;
    GetRgnBox(c.GetSafeHandle(), &box);
    EXPECT_EQ(CRect(box), CRect(5, 5, 10, 10));
}

TEST(GdiTest, StringsLoadFromTheCurrentResourceModule) {
    CString s;
    ASSERT_TRUE(s.LoadString(IDS_TEST_STRING));
    EXPECT_EQ(s, L"截图工具");
}
