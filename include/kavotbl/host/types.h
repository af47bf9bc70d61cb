// Geometry and colour types of the drawing surface: points, sizes, rectangles
// and 0x00BBGGRR colour values, with the rectangle rules that layout and hit
// testing rely on.
#pragma once

#include <cstdint>

#include "kavotbl/host/detail/names_push.h"  // IWYU pragma: keep

namespace kavo {

using BOOL = int;
using UINT = unsigned int;
using COLORREF = std::uint32_t;

/// Colour value 0x00BBGGRR from its three components.
constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
    return static_cast<COLORREF>((r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16));
}
constexpr unsigned GetRValue(COLORREF c) { return c & 0xFFu; }
constexpr unsigned GetGValue(COLORREF c) { return (c >> 8) & 0xFFu; }
constexpr unsigned GetBValue(COLORREF c) { return (c >> 16) & 0xFFu; }

/// A point in logical units.
struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int nx, int ny) : x(nx), y(ny) {}
    void Offset(int dx, int dy) { x += dx; y += dy; }
    constexpr bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    constexpr bool operator!=(const CPoint& o) const { return !(*this == o); }
};

/// A size (width cx, height cy) in logical units.
struct CSize {
    int cx = 0;
    int cy = 0;
    constexpr CSize() = default;
    constexpr CSize(int w, int h) : cx(w), cy(h) {}
    constexpr bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
    constexpr bool operator!=(const CSize& o) const { return !(*this == o); }
};

/// A rectangle (left, top, right, bottom). Right and bottom are exclusive for
/// PtInRect; a rectangle whose width or height is not positive is empty.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(const CPoint& tl, const CSize& sz)
        : left(tl.x), top(tl.y), right(tl.x + sz.cx), bottom(tl.y + sz.cy) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return CSize(Width(), Height()); }
    constexpr CPoint TopLeft() const { return CPoint(left, top); }
    constexpr CPoint BottomRight() const { return CPoint(right, bottom); }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    /// True when the width or the height is not positive.
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    /// True when all four coordinates are 0.
    constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void OffsetRect(const CPoint& pt) { OffsetRect(pt.x, pt.y); }
    /// Grows the rectangle by dx on the left and right and dy on top and bottom.
    void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    constexpr bool EqualRect(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    /// Left and top inclusive, right and bottom exclusive.
    constexpr bool PtInRect(const CPoint& pt) const {
        return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom;
    }
    constexpr bool operator==(const CRect& o) const { return EqualRect(o); }
    constexpr bool operator!=(const CRect& o) const { return !EqualRect(o); }
};

}  // namespace kavo

#include "kavotbl/host/detail/names_pop.h"  // IWYU pragma: keep
