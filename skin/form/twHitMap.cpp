// The hit map asks the frame's own hit test at every pixel, so it shows
// exactly what a press there would start.
#include "skin/form/twHitMap.h"

#include "platform/Form.h"
#include "skin/draw/twGuard.h"
#include "skin/form/twSkinForm.h"

QImage RenderHitMap(const TtwSkinForm& frame) {
  const QSize size = frame.Form()->size();
  const TtwHitTestInput in = frame.HitInput();
  QImage out = TwNewSurface(size.width(), size.height(), QImage::Format_RGB32);
  if (out.isNull()) return out;
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < size.width(); ++x) line[x] = qRgb(FrameHitTest(in, QPoint(x, y)), 0, 0);
  }
  return out;
}
