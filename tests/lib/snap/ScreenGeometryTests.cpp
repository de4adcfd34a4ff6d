// The desktop's geometry for arrangements this machine cannot show: monitors left of and above the
// primary, scaled screens, and windows with and without an invisible resize border.
#include <gtest/gtest.h>

#include <string>

#include "base/ScreenGeometry.h"

namespace {
std::string Str(const ScreenRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}
}  // namespace

TEST(ScreenGeometryTest, VirtualScreenAndTheMappingBetweenClientAndScreen) {
    struct Row {
        const char* pszName;
        ScreenMetrics metrics;
        ScreenRect virtualScreen;
        ScreenRect client;  // a selection in a desktop device context starting at the virtual
        ScreenRect screen;  // screen's corner, and the same on the screen
    } rows[] = {
        {"one monitor",
         {0, 0, 1920, 1080, 1920, 1080},
         {0, 0, 1920, 1080},
         {10, 20, 110, 70},
         {10, 20, 110, 70}},
        {"second monitor on the left",
         {-1280, 0, 3200, 1080, 1920, 1080},
         {-1280, 0, 1920, 1080},
         {80, 20, 180, 70},
         {-1200, 20, -1100, 70}},
        {"left and above",
         {-1600, -300, 3520, 1380, 1920, 1080},
         {-1600, -300, 1920, 1080},
         {1610, 320, 1710, 370},
         {10, 20, 110, 70}},
        {"no virtual screen reported",
         {0, 0, 0, 0, 1024, 768},
         {0, 0, 1024, 768},
         {10, 20, 110, 70},
         {10, 20, 110, 70}},
    };
    for (const Row& r : rows) {
        ScreenRect v = VirtualScreen(r.metrics);
        EXPECT_EQ(v, r.virtualScreen) << r.pszName << ": " << Str(v);
        ScreenPoint origin{v.left, v.top};
        EXPECT_EQ(ClientToScreenRect(r.client, origin), r.screen) << r.pszName;
        EXPECT_EQ(ScreenToClientRect(r.screen, origin), r.client) << r.pszName;
    }
}

TEST(ScreenGeometryTest, ShownCoordinatesAreRealPixelsAtEveryScale) {
    struct Row {
        int value, logical, physical, expected;
    } rows[] = {
        {100, 1920, 1920, 100},                // an aware process: as it is
        {100, 1536, 1920, 125},                // 125 %
        {-1024, 1280, 1920, -1536},            // 150 %, on a monitor left of the primary
        {333, 1280, 1920, 500},                // 499.5 rounds away from zero
        {-333, 1280, 1920, -500},              //
        {100, 0, 1920, 100},                   // unknown extents leave it
        {1000000000, 1000, 2000, 2000000000},  // the product alone would overflow an int
    };
    for (const Row& r : rows)
        EXPECT_EQ(ScaleToPhysical(r.value, r.logical, r.physical), r.expected)
            << r.value << " at " << r.logical << " -> " << r.physical;
}

TEST(ScreenGeometryTest, MagnifierSourceStartsWithinItsBoundsOnEveryMonitor) {
    const ScreenRect primary{0, 0, 1280, 1024};
    const ScreenRect leftAndAbove{-1024, -768, 1280, 1024};
    struct Row {
        ScreenPoint cursor;
        ScreenRect bounds;
        ScreenPoint expected;
    } rows[] = {
        {{300, 200}, primary, {280, 185}},
        {{-500, 100}, primary, {0, 85}},  // the frozen picture holds the primary only
        {{-500, 100}, leftAndAbove, {-520, 85}},
        {{-1024, -768}, leftAndAbove, {-1024, -768}},
        {{1300, 1100}, leftAndAbove, {1280, 1024}},
    };
    for (const Row& r : rows) {
        ScreenPoint o = MagnifierSourceOrigin(r.cursor, 40, 30, r.bounds);
        EXPECT_TRUE(o == r.expected)
            << "cursor " << r.cursor.x << "," << r.cursor.y << ": " << o.x << "," << o.y;
    }
}

TEST(ScreenGeometryTest, WholeWindowIsItsVisibleFrameWhereTheCompositorGivesOne) {
    const ScreenRect window{100, 100, 916, 639};
    const ScreenRect cut{107, 100, 909, 632};  // a border of 7 pixels left, right and below
    struct Row {
        const char* pszName;
        ScreenRect window;
        bool answered;
        ScreenRect extended;
        ScreenRect expected;
    } rows[] = {
        {"border cut", window, true, cut, cut},
        {"compositor did not answer", window, false, cut, window},
        {"empty answer", window, true, {0, 0, 0, 0}, window},
        {"answer reaching outside the window", window, true, {90, 100, 909, 632}, window},
        {"answer in another scale", window, true, {150, 150, 1374, 958}, window},
        {"window on a left monitor",
         {-1280, -50, 0, 700},
         true,
         {-1273, -50, -7, 693},
         {-1273, -50, -7, 693}},
    };
    for (const Row& r : rows) {
        ScreenRect got = VisibleWindowFrame(r.window, r.answered, r.extended);
        EXPECT_EQ(got, r.expected) << r.pszName << ": " << Str(got);
    }
}
