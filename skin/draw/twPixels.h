#pragma once
// Internal helpers of the drawing module: 32-bit pixel access.
#include <QImage>
#include <cstdint>
#include <cstring>

#include "skin/draw/twGuard.h"
#include "skin/draw/twUtils.h"

namespace twpix {

inline bool Is32(QImage::Format f) {
  return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

// A 32-bit view of a picture; a shallow copy when it already is one.
inline QImage As32(const QImage& img) {
  if (img.isNull() || Is32(img.format())) return img;
  return img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// Gives Target the size W x H (and a 32-bit format), keeping it when it
// already has both; a new image starts as transparent black.
inline void SizeTarget(QImage& Target, int W, int H, QImage::Format fmt) {
  if (W < 0) W = 0;
  if (H < 0) H = 0;
  if (!Target.isNull() && Target.width() == W && Target.height() == H && Is32(Target.format())) return;
  if (W == 0 || H == 0) {
    Target = QImage();
    return;
  }
  // Past the surface budget the target stays null, and every composer checks.
  Target = TwNewSurface(W, H, Is32(fmt) ? fmt : QImage::Format_RGB32);
  Target.fill(0);
}

// Skin values far beyond any picture or screen (a malformed skin) are refused
// before any arithmetic on them could overflow.
constexpr int kMaxCoord = 1 << 24;
inline bool Sane(int v) { return v > -kMaxCoord && v < kMaxCoord; }
inline bool Sane(const TRect& r) { return Sane(r.Left) && Sane(r.Top) && Sane(r.Right) && Sane(r.Bottom); }
inline bool Sane(const TPoint& p) { return Sane(p.X) && Sane(p.Y); }
inline bool Sane(const TPieceAnchors& a) {
  return Sane(a.LT) && Sane(a.RT) && Sane(a.LB) && Sane(a.RB) && Sane(a.ClRect);
}

// Copies n pixels, or-ing mask into each (the alpha an opaque target needs);
// two at a time, since the compiler leaves the one-by-one loop unvectorised.
inline void OrCopy(uint32_t* dp, const uint32_t* sp, int n, uint32_t mask) {
  if (mask == 0) {
    std::memcpy(dp, sp, size_t(n) * 4);
    return;
  }
  const uint64_t m2 = (uint64_t(mask) << 32) | mask;
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    uint64_t v;
    std::memcpy(&v, sp + i, 8);
    v |= m2;
    std::memcpy(dp + i, &v, 8);
  }
  if (i < n) dp[i] = sp[i] | mask;
}

// The alpha to force when copying from src into dst: an opaque target
// needs it from a source with alpha; from an opaque source it is already set.
inline uint32_t OpaqueMask(const QImage& dst, const QImage& src) {
  return dst.format() == QImage::Format_RGB32 && src.format() != QImage::Format_RGB32 ? 0xFF000000u : 0u;
}

inline const uint32_t* Row(const QImage& img, int y) {
  return reinterpret_cast<const uint32_t*>(img.constBits() + qsizetype(y) * img.bytesPerLine());
}

}  // namespace twpix
