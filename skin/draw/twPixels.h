#pragma once
// Internal helpers of the drawing module: 32-bit pixel access.
#include <QImage>

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
  Target = QImage(W, H, Is32(fmt) ? fmt : QImage::Format_RGB32);
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

inline const uint32_t* Row(const QImage& img, int y) {
  return reinterpret_cast<const uint32_t*>(img.constBits() + qsizetype(y) * img.bytesPerLine());
}

}  // namespace twpix
