#include <gtest/gtest.h>

#include "framework/Geometry.h"

TEST(GeometryTest, RectNormalizeAndSize) {
    CRect r(10, 20, 2, 5);
    EXPECT_TRUE(r.IsRectEmpty());
    r.NormalizeRect();
    EXPECT_EQ(r, CRect(2, 5, 10, 20));
    EXPECT_EQ(r.Size(), CSize(8, 15));
    EXPECT_TRUE(r.PtInRect(CPoint(2, 5)));
    EXPECT_FALSE(r.PtInRect(CPoint(10, 5)));  // right edge is exclusive
}

TEST(GeometryTest, IntersectAndUnion) {
    CRect r;
    EXPECT_TRUE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(5, -5, 20, 7)));
    EXPECT_EQ(r, CRect(5, 0, 10, 7));
    EXPECT_FALSE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
    EXPECT_TRUE(r.IsRectNull());
    EXPECT_TRUE(r.UnionRect(CRect(), CRect(1, 1, 2, 2)));
    EXPECT_EQ(r, CRect(1, 1, 2, 2));
    r.UnionRect(CRect(0, 0, 1, 1), CRect(5, 5, 6, 6));
    EXPECT_EQ(r, CRect(0, 0, 6, 6));
}

TEST(GeometryTest, RectPassesAsPlatformRect) {
    CRect r(0, 0, 10, 10);
    RECT other = {3, 3, 20, 20};
    RECT out;
    ASSERT_TRUE(IntersectRect(&out, r, &other));
    EXPECT_EQ(CRect(out), CRect(3, 3, 10, 10));
}
