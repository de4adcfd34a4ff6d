// The desktop's geometry worked out from what the system reports, with no platform header, so
// that every arrangement of monitors and scalings can be checked without having one.
//
// Screen coordinates start at the primary monitor's top-left corner. Monitors left of or above
// it have negative coordinates, so the virtual screen (all monitors together) may start below
// zero; a device context of a window counts from that window's own top-left corner instead.
#pragma once

#include <cstdint>

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint& o) const { return x == o.x && y == o.y; }
};

// Right and bottom exclusive, like the platform's rectangles.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(const ScreenRect& o) const {
        return o.left >= left && o.top >= top && o.right <= right && o.bottom <= bottom;
    }
    bool operator==(const ScreenRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The system's metrics of the screens: the virtual screen's origin and size, and the primary
// monitor's size.
struct ScreenMetrics {
    int xVirtual = 0, yVirtual = 0, cxVirtual = 0, cyVirtual = 0;
    int cxPrimary = 0, cyPrimary = 0;
};

inline ScreenRect PrimaryScreen(const ScreenMetrics& m) { return {0, 0, m.cxPrimary, m.cyPrimary}; }

// All monitors together. A system that reports no virtual screen (a size of zero) has only the
// primary one.
inline ScreenRect VirtualScreen(const ScreenMetrics& m) {
    if (m.cxVirtual <= 0 || m.cyVirtual <= 0) return PrimaryScreen(m);
    return {m.xVirtual, m.yVirtual, m.xVirtual + m.cxVirtual, m.yVirtual + m.cyVirtual};
}

// A rectangle of a window's client area (or device context) whose top-left corner lies at
// origin, in screen coordinates; and back.
inline ScreenRect ClientToScreenRect(const ScreenRect& rc, ScreenPoint origin) {
    return {rc.left + origin.x, rc.top + origin.y, rc.right + origin.x, rc.bottom + origin.y};
}
inline ScreenRect ScreenToClientRect(const ScreenRect& rc, ScreenPoint origin) {
    return {rc.left - origin.x, rc.top - origin.y, rc.right - origin.x, rc.bottom - origin.y};
}

// A coordinate as the user should read it, in the screen's real pixels. A process the system
// scales sees logical units; the device's logical and physical extents along the same axis (the
// screen's width, say) give the factor. Equal or unknown extents leave the value as it is.
inline int ScaleToPhysical(int value, int nLogicalExtent, int nPhysicalExtent) {
    if (nLogicalExtent <= 0 || nPhysicalExtent <= 0 || nLogicalExtent == nPhysicalExtent)
        return value;
    // Rounded half away from zero, as the platform's MulDiv rounds.
    int64_t n = int64_t(value) * nPhysicalExtent;
    int64_t half = nLogicalExtent / 2;
    return static_cast<int>(n >= 0 ? (n + half) / nLogicalExtent : (n - half) / nLogicalExtent);
}

// The screen's extents as the process sees them (logical) and as the device has them (physical).
struct ScreenScale {
    int cxLogical = 0, cxPhysical = 0, cyLogical = 0, cyPhysical = 0;
};
inline ScreenPoint ScalePointToPhysical(ScreenPoint pt, const ScreenScale& s) {
    return {ScaleToPhysical(pt.x, s.cxLogical, s.cxPhysical),
            ScaleToPhysical(pt.y, s.cyLogical, s.cyPhysical)};
}

// Top-left of the magnifier's source area of width x height round the cursor pt, centred on the
// cursor and kept so that it starts within bounds (it may still reach past their far edges).
inline ScreenPoint MagnifierSourceOrigin(ScreenPoint pt, int width, int height,
                                         const ScreenRect& bounds) {
    ScreenPoint o{pt.x - width / 2, pt.y - height / 2};
    if (o.x < bounds.left) o.x = bounds.left;
    if (o.y < bounds.top) o.y = bounds.top;
    if (o.x > bounds.right) o.x = bounds.right;
    if (o.y > bounds.bottom) o.y = bounds.bottom;
    return o;
}

// The rectangle of a window that a capture of the whole window copies. Newer systems draw an
// invisible resize border round the visible frame and count it in the window's rectangle; the
// compositor's extended frame bounds leave it out. Those are taken when the compositor answered
// and they are a non-empty part of the window's rectangle; anything else (no compositor, an
// error, bounds in another scale than the window's) falls back to the window's rectangle.
inline ScreenRect VisibleWindowFrame(const ScreenRect& rcWindow, bool bExtendedAnswered,
                                     const ScreenRect& rcExtended) {
    if (bExtendedAnswered && !rcExtended.IsEmpty() && rcWindow.Contains(rcExtended))
        return rcExtended;
    return rcWindow;
}
