// The handler guard's report and the one allocation path for surfaces.
// Guarantees: each (handler, message) pair is written once; a surface past the
// pixel budget is never asked of the allocator.
#include "skin/draw/twGuard.h"

#include <QImage>
#include <QMutex>
#include <QSet>
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
