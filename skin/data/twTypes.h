#pragma once
// Geometry and colour values shared by the skin engine. Rectangles are left,
// top, right, bottom with right and bottom exclusive (unlike QRect).
#include <QPoint>
#include <QRect>
#include <cstdint>

struct TPoint {
  int32_t X = 0, Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
  QPoint ToQ() const { return QPoint(X, Y); }
};

struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr int32_t Width() const { return Right - Left; }
  constexpr int32_t Height() const { return Bottom - Top; }
  // A rectangle whose width or height is not positive stands for nothing.
  constexpr bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
  friend bool operator==(const TRect&, const TRect&) = default;
  QRect ToQ() const { return QRect(Left, Top, Width(), Height()); }
  static TRect FromQ(const QRect& r) {
    return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  }
};

// A Windows colour 0x00BBGGRR; system colours carry 0xFF in the high byte.
using TColor = uint32_t;
