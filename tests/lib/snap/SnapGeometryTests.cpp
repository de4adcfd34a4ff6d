// Where the tip's magnifier looks, where its crosshair goes, where the tip flees to and where the
// overlay's coordinate box goes, for cursor positions at and near the screen's edges.
#include <gtest/gtest.h>

#include "lib/snap/DlgSnapRectHelper.h"
#include "lib/snap/SnapTipEdit.h"

namespace {

const CSize kScreen(1280, 1024);

std::string Str(const CPoint& p) {
    return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}
std::string Str(const CRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

}  // namespace

TEST(SnapTipGeometryTest, MagnifierOriginStaysOnTheScreenAtTheLeftAndTop) {
    struct Row {
        CPoint cursor;
        CPoint origin;
    } rows[] = {
        {{0, 0}, {0, 0}},              // top-left corner: the crosshair moves to the edges
        {{19, 14}, {0, 0}},            // still clamped
        {{20, 15}, {0, 0}},            // the first unclamped position
        {{21, 16}, {1, 1}},            //
        {{300, 200}, {280, 185}},      // anywhere inside
        {{0, 500}, {0, 485}},          // left edge only
        {{640, 3}, {620, 0}},          // top edge only
        {{1279, 1023}, {1259, 1008}},  // bottom-right: the source area reaches past the screen
        {{1300, 1100}, {1280, 1024}},  // off the screen: held at the screen's size
        {{-50, -40}, {0, 0}},          // a position left of and above the screen
    };
    for (const Row& r : rows) {
        CPoint o = CSnapTipEdit::GetMagnifierOrigin(r.cursor, kScreen);
        EXPECT_EQ(o, r.origin) << "cursor " << Str(r.cursor) << ": origin " << Str(o)
                               << ", expected " << Str(r.origin);
    }
}

TEST(SnapTipGeometryTest, CrosshairFramesTheMagnifiedCursorPixel) {
    struct Row {
        CPoint cursor;
        CPoint cross;
    } rows[] = {
        {{0, 0}, {9, 89}},           // at the magnifier's left and top edges
        {{5, 3}, {34, 104}},         // inside the clamped area
        {{300, 200}, {109, 164}},    // the middle of the magnifier
        {{1279, 1023}, {109, 164}},  // near the far corner it stays in the middle
    };
    for (const Row& r : rows) {
        CPoint o = CSnapTipEdit::GetMagnifierOrigin(r.cursor, kScreen);
        CPoint c = CSnapTipEdit::GetCrosshairPoint(r.cursor, o);
        EXPECT_EQ(c, r.cross) << "cursor " << Str(r.cursor) << ": crosshair " << Str(c)
                              << ", expected " << Str(r.cross);
        // The magnified cursor pixel lies just inside the 6 x 6 frame.
        int px = CSnapTipEdit::kMagnifierLeft + CSnapTipEdit::kZoom * (r.cursor.x - o.x);
        int py = CSnapTipEdit::kMagnifierTop + CSnapTipEdit::kZoom * (r.cursor.y - o.y);
        EXPECT_EQ(px, c.x + 1);
        EXPECT_EQ(py, c.y + 1);
    }
}

TEST(SnapTipGeometryTest, FleesToTheOtherTopCornerOnlyFromItsOwnZone) {
    const CSize tip(220, 253);
    const int width = 1280;
    struct Row {
        BOOL atTopLeft;
        CPoint cursor;
        BOOL flees;
        int newX;
    } rows[] = {
        {TRUE, {0, 0}, TRUE, 1050},
        {TRUE, {229, 262}, TRUE, 1050},  // the zone's last pixel (w + 10, h + 10 exclusive)
        {TRUE, {230, 100}, FALSE, 0},
        {TRUE, {100, 263}, FALSE, 0},
        {TRUE, {1200, 50}, FALSE, 0},  // the other corner means nothing while at the left
        {FALSE, {1050, 0}, TRUE, 10},
        {FALSE, {1279, 262}, TRUE, 10},
        {FALSE, {1049, 50}, FALSE, 0},
        {FALSE, {1100, 263}, FALSE, 0},
        {FALSE, {50, 50}, FALSE, 0},
    };
    for (const Row& r : rows) {
        int newX = 0;
        BOOL flees = CSnapTipEdit::GetFleePosition(r.atTopLeft, r.cursor, tip, width, newX);
        EXPECT_EQ(flees, r.flees) << "at top-left " << r.atTopLeft << ", cursor " << Str(r.cursor);
        if (r.flees && flees) {
            EXPECT_EQ(newX, r.newX)
                << "at top-left " << r.atTopLeft << ", cursor " << Str(r.cursor);
        }
    }
}

TEST(SnapOverlayGeometryTest, CoordinateBoxFlipsNearTheRightAndTopEdges) {
    const int w = 60, lh = 13, width = 1280;
    struct Row {
        const char* what;
        CPoint cursor;
        CRect box;
    } rows[] = {
        {"above right", {500, 400}, {503, 400 - 78 - 3, 563, 397}},
        {"one short of the right edge", {1219, 400}, {1222, 319, 1282, 397}},
        {"at the right edge", {1220, 400}, {1157, 319, 1217, 397}},
        {"one short of the top edge", {500, 79}, {503, -2, 563, 76}},
        {"at the top edge", {500, 78}, {503, 81, 563, 159}},
        {"top-right corner", {1279, 0}, {1216, 3, 1276, 81}},
    };
    for (const Row& r : rows) {
        CRect box = CDlgSnapRectHelper::GetInfoBoxRect(r.cursor, w, lh, width);
        EXPECT_EQ(box, r.box) << r.what << ": box " << Str(box) << ", expected " << Str(r.box);
    }
}
