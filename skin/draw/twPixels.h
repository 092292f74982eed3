#pragma once
// Internal helpers of the drawing module: 32-bit pixel access.
#include <QImage>

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

inline const uint32_t* Row(const QImage& img, int y) {
  return reinterpret_cast<const uint32_t*>(img.constBits() + qsizetype(y) * img.bytesPerLine());
}

}  // namespace twpix
