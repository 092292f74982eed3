// The handler guard's report and the one allocation path for surfaces.
// Guarantees: each (handler, message) pair is written once; a surface past the
// pixel budget is never asked of the allocator.
#include "skin/draw/twGuard.h"

#include <QImage>
#include <QMutex>
#include <QSet>
#include <cmath>
#include <cstdio>

bool TwReportOnce(const char* where, const QString& message) {
  static QMutex lock;
  static QSet<QString> seen;
  const QString line = QStringLiteral("tarnwick: %1: %2").arg(QLatin1String(where), message);
  QMutexLocker hold(&lock);
  if (seen.contains(line)) return false;
  seen.insert(line);
  std::fprintf(stderr, "%s\n", qPrintable(line));
  return true;
}

QImage TwNewSurface(int width, int height, int format) {
  if (width <= 0 || height <= 0 || qint64(width) * height > kMaxSurfacePixels) return QImage();
  QImage image(width, height, QImage::Format(format));
  return image;  // null when the allocator refused
}

QImage TwNewSurface(const QSize& logical, double dpr, int format) {
  if (!(dpr > 0)) dpr = 1;
  // Rounding in double first keeps a huge size from overflowing int.
  const double w = std::ceil(logical.width() * dpr), h = std::ceil(logical.height() * dpr);
  if (w <= 0 || h <= 0 || w * h > double(kMaxSurfacePixels)) return QImage();
  QImage image = TwNewSurface(int(w), int(h), format);
  if (!image.isNull()) image.setDevicePixelRatio(dpr);
  return image;
}
