// Point and rectangle types of the framework layer, over the plain size of base/Geometry.h.
//
// Header-only and portable: on Windows the point and rectangle derive from the platform's POINT
// and RECT so that they can be handed to any API taking those; elsewhere they carry the same
// fields so that code using them can be built and tested natively.
#pragma once

#include <cstdint>

#include "base/Geometry.h"

#ifdef _WIN32
#include <windows.h>

#include <type_traits>
typedef POINT FxPointBase;
typedef RECT FxRectBase;
static_assert(std::is_same<FxCoord, LONG>::value, "base/Geometry.h spells LONG differently");
static_assert(sizeof(CSize) == sizeof(SIZE) && offsetof(SIZE, cx) == offsetof(CSize, cx) &&
                  offsetof(SIZE, cy) == offsetof(CSize, cy),
              "a CSize must stay layout-compatible with SIZE");

inline CSize CSizeFromSIZE(const SIZE& s) { return CSize(s.cx, s.cy); }
inline SIZE SIZEFromCSize(const CSize& s) { return SIZE{s.cx, s.cy}; }
#else
struct FxPointBase {
    FxCoord x;
    FxCoord y;
};
struct FxRectBase {
    FxCoord left;
    FxCoord top;
    FxCoord right;
    FxCoord bottom;
};
#endif

class CPoint : public FxPointBase {
public:
    CPoint() { x = y = 0; }
    CPoint(FxCoord nx, FxCoord ny) {
        x = nx;
        y = ny;
    }
    CPoint(const FxPointBase& p) {
        x = p.x;
        y = p.y;
    }
    void Offset(FxCoord dx, FxCoord dy) {
        x += dx;
        y += dy;
    }
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
    CPoint operator+(const CSize& s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(const CSize& s) const { return CPoint(x - s.cx, y - s.cy); }
    CSize operator-(const CPoint& p) const { return CSize(x - p.x, y - p.y); }
};

// Right and bottom are exclusive.
class CRect : public FxRectBase {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(FxCoord l, FxCoord t, FxCoord r, FxCoord b) { SetRect(l, t, r, b); }
    CRect(const FxRectBase& r) { SetRect(r.left, r.top, r.right, r.bottom); }
    CRect(const CPoint& pt, const CSize& sz) { SetRect(pt.x, pt.y, pt.x + sz.cx, pt.y + sz.cy); }
    CRect(const CPoint& tl, const CPoint& br) { SetRect(tl.x, tl.y, br.x, br.y); }

#ifdef _WIN32
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
#endif

    FxCoord Width() const { return right - left; }
    FxCoord Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    void SetRect(FxCoord l, FxCoord t, FxCoord r, FxCoord b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(const CPoint& pt) const {
        return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom;
    }
    void NormalizeRect() {
        if (left > right) {
            FxCoord t = left;
            left = right;
            right = t;
        }
        if (top > bottom) {
            FxCoord t = top;
            top = bottom;
            bottom = t;
        }
    }
    void OffsetRect(FxCoord dx, FxCoord dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void OffsetRect(const CPoint& pt) { OffsetRect(pt.x, pt.y); }
    void InflateRect(FxCoord dx, FxCoord dy) {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    void DeflateRect(FxCoord dx, FxCoord dy) { InflateRect(-dx, -dy); }
    // Returns false and leaves an empty rectangle when the two do not overlap.
    bool IntersectRect(const CRect& a, const CRect& b) {
        FxCoord l = a.left > b.left ? a.left : b.left;
        FxCoord t = a.top > b.top ? a.top : b.top;
        FxCoord r = a.right < b.right ? a.right : b.right;
        FxCoord bt = a.bottom < b.bottom ? a.bottom : b.bottom;
        if (l >= r || t >= bt) {
            SetRectEmpty();
            return false;
        }
        SetRect(l, t, r, bt);
        return true;
    }
    bool UnionRect(const CRect& a, const CRect& b) {
        if (a.IsRectEmpty()) {
            *this = b;
        } else if (b.IsRectEmpty()) {
            *this = a;
        } else {
            SetRect(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                    a.right > b.right ? a.right : b.right,
                    a.bottom > b.bottom ? a.bottom : b.bottom);
        }
        return !IsRectEmpty();
    }
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};
