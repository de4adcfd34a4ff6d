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
std::string Str(const ScreenPoint& p) {
    return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}

}  // namespace

TEST(ScreenGeometryTest, VirtualScreenSpansEveryMonitorAndFallsBackToThePrimary) {
    struct Row {
        const char* pszName;
        ScreenMetrics metrics;
        ScreenRect expected;
    } rows[] = {
        {"one monitor", {0, 0, 1920, 1080, 1920, 1080}, {0, 0, 1920, 1080}},
        {"second monitor on the right", {0, 0, 3200, 1080, 1920, 1080}, {0, 0, 3200, 1080}},
        {"second monitor on the left", {-1280, 0, 3200, 1080, 1920, 1080}, {-1280, 0, 1920, 1080}},
        {"second monitor above, taller",
         {0, -1440, 2560, 2520, 1920, 1080},
         {0, -1440, 2560, 1080}},
        {"left and above", {-1600, -300, 3520, 1380, 1920, 1080}, {-1600, -300, 1920, 1080}},
        {"no virtual screen reported", {0, 0, 0, 0, 1024, 768}, {0, 0, 1024, 768}},
    };
    for (const Row& r : rows) {
        ScreenRect v = VirtualScreen(r.metrics);
        EXPECT_EQ(v, r.expected) << r.pszName << ": " << Str(v) << ", expected " << Str(r.expected);
        // The primary always starts at the origin, whatever lies beside it.
        EXPECT_EQ(PrimaryScreen(r.metrics),
                  (ScreenRect{0, 0, r.metrics.cxPrimary, r.metrics.cyPrimary}))
            << r.pszName;
    }
}

TEST(ScreenGeometryTest, ClientAndDeviceCoordinatesMapToScreenCoordinatesAndBack) {
    struct Row {
        const char* pszName;
        ScreenPoint origin;  // where the window or device context starts on the screen
        ScreenRect client;
        ScreenRect screen;
    } rows[] = {
        {"overlay on the primary", {0, 0}, {10, 20, 110, 70}, {10, 20, 110, 70}},
        {"device context of a desktop that starts on a left monitor",
         {-1280, 0},
         {1290, 20, 1390, 70},
         {10, 20, 110, 70}},
        {"a selection on the left monitor",
         {-1280, -200},
         {80, 220, 180, 300},
         {-1200, 20, -1100, 100}},
        {"window on a monitor above", {300, -900}, {0, 0, 640, 480}, {300, -900, 940, -420}},
    };
    for (const Row& r : rows) {
        ScreenRect s = ClientToScreenRect(r.client, r.origin);
        EXPECT_EQ(s, r.screen) << r.pszName << ": " << Str(s);
        EXPECT_EQ(ScreenToClientRect(r.screen, r.origin), r.client) << r.pszName;
        ScreenPoint corner = ClientToScreenPoint({r.client.left, r.client.top}, r.origin);
        EXPECT_EQ(corner, (ScreenPoint{r.screen.left, r.screen.top})) << r.pszName;
    }
}

TEST(ScreenGeometryTest, ShownCoordinatesAreRealPixelsAtEveryScale) {
    struct Row {
        int value, logical, physical, expected;
    } rows[] = {
        {100, 1920, 1920, 100},      // aware process: as it is
        {100, 1536, 1920, 125},      // 125 %
        {-1024, 1280, 1920, -1536},  // 150 %, on a monitor left of the primary
        {333, 1280, 1920, 500},      // 499.5 rounds away from zero
        {-333, 1280, 1920, -500},
        {1, 1280, 1920, 2},  // 1.5
        {0, 1280, 1920, 0},
        {100, 0, 1920, 100},  // unknown extents leave it
        {100, 1920, 0, 100},
        {1000000000, 1000, 2000, 2000000000},  // the product alone would overflow an int
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ScaleToPhysical(r.value, r.logical, r.physical), r.expected)
            << r.value << " at " << r.logical << " -> " << r.physical;
    }
    ScreenScale scale{1280, 1920, 720, 1080};
    EXPECT_EQ(ScalePointToPhysical({-640, 360}, scale), (ScreenPoint{-960, 540}));
}

TEST(ScreenGeometryTest, MagnifierSourceStartsWithinItsBoundsOnEveryMonitor) {
    const ScreenRect primary{0, 0, 1280, 1024};
    const ScreenRect leftAndAbove{-1024, -768, 1280, 1024};
    struct Row {
        const char* pszName;
        ScreenPoint cursor;
        ScreenRect bounds;
        ScreenPoint expected;
    } rows[] = {
        {"inside the primary", {300, 200}, primary, {280, 185}},
        {"primary's top-left corner", {0, 0}, primary, {0, 0}},
        {"left monitor, frozen primary only", {-500, 100}, primary, {0, 85}},
        {"left monitor, live virtual screen", {-500, 100}, leftAndAbove, {-520, 85}},
        {"virtual screen's top-left corner", {-1024, -768}, leftAndAbove, {-1024, -768}},
        {"monitor above", {100, -700}, leftAndAbove, {80, -715}},
        {"past the far corner", {1300, 1100}, leftAndAbove, {1280, 1024}},
    };
    for (const Row& r : rows) {
        ScreenPoint o = MagnifierSourceOrigin(r.cursor, 40, 30, r.bounds);
        EXPECT_EQ(o, r.expected) << r.pszName << ": " << Str(o) << ", expected " << Str(r.expected);
    }
}

TEST(ScreenGeometryTest, WholeWindowIsItsVisibleFrameWhereTheCompositorGivesOne) {
    const ScreenRect window{100, 100, 916, 639};
    const ScreenRect leftWindow{-1280, -50, 0, 700};
    struct Row {
        const char* pszName;
        ScreenRect window;
        bool answered;
        ScreenRect extended;
        ScreenRect expected;
    } rows[] = {
        {"invisible border of 7 pixels cut",
         window,
         true,
         {107, 100, 909, 632},
         {107, 100, 909, 632}},
        {"no border", window, true, window, window},
        {"compositor did not answer", window, false, {107, 100, 909, 632}, window},
        {"empty answer", window, true, {0, 0, 0, 0}, window},
        {"answer reaching outside the window", window, true, {90, 100, 909, 632}, window},
        {"answer in another scale", window, true, {150, 150, 1374, 958}, window},
        {"window on a left monitor",
         leftWindow,
         true,
         {-1273, -50, -7, 693},
         {-1273, -50, -7, 693}},
    };
    for (const Row& r : rows) {
        ScreenRect got = VisibleWindowFrame(r.window, r.answered, r.extended);
        EXPECT_EQ(got, r.expected) << r.pszName << ": " << Str(got);
    }
}
