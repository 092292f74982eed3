// Window shapes from mask pictures: pure black is inside, anything else out.
#include <QPainter>

#include "skin/draw/twPixels.h"
#include "skin/draw/twUtils.h"

TRegionData MaskToRunList(const QImage& Bmp0, int dx, int dy) {
  TRegionData data;
  if (Bmp0.isNull() || Bmp0.width() <= 0 || Bmp0.height() <= 0) return data;
  const QImage Bmp = twpix::As32(Bmp0);
  const int w = Bmp.width(), h = Bmp.height();
  data.Bound = TRect{dx, dy, dx + w, dy + h};
  // The buffer grows as needed: masks with very many runs still make one region.
  data.Rects.reserve(size_t(h) * 2);
  for (int y = 0; y < h; ++y) {
    const uint32_t* p = twpix::Row(Bmp, y);
    int x = 0;
    while (x < w) {
      while (x < w && (p[x] & 0x00FFFFFFu) != 0) ++x;
      if (x >= w) break;
      const int x0 = x;
      while (x < w && (p[x] & 0x00FFFFFFu) == 0) ++x;
      data.Rects.emplace_back(x0 + dx, y + dy, x - x0, 1);
    }
  }
  return data;
}

QRegion RegionFromRunList(const TRegionData& data) {
  QRegion r;
  if (!data.Rects.empty()) r.setRects(data.Rects.data(), int(data.Rects.size()));
  return r;
}

QRegion RegionFromMask(const QImage& Bmp) { return RegionFromRunList(MaskToRunList(Bmp, 0, 0)); }

QRegion FrameRegionFromMask(const QImage& Mask, const TPieceAnchors& a, const TPieceAnchors& n, int W) {
  if (n.RT.X < n.LT.X || n.LB.Y < n.LT.Y) return QRegion();
  const TRect& nc = n.ClRect;
  if (nc.IsEmpty() || Mask.isNull()) return QRegion();
  QImage top, bottom, left, right;
  ComposeMaskBands(Mask, a, n, W, top, bottom, left, right);
  auto bandRegion = [](const QImage& img, int x, int y) {
    return img.isNull() ? QRegion() : RegionFromRunList(MaskToRunList(img, x, y));
  };
  const QRegion rt = bandRegion(top, 0, 0);
  const QRegion rb = bandRegion(bottom, 0, nc.Bottom);
  const QRegion rl = bandRegion(left, 0, nc.Top);
  const QRegion rr = bandRegion(right, nc.Right, nc.Top);
  const QRegion tb = rt.united(rb);
  const QRegion lr = rl.united(rr);
  return QRegion(nc.ToQ()).united(lr.united(tb));
}

void DrawStripFrame(QPainter& Canvas, int x, int y, int FrameNumber, int FrameCount, const QImage& Strip0) {
  if (Strip0.isNull() || FrameCount <= 0 || FrameNumber < 1 || FrameNumber > FrameCount) return;
  const QImage Strip = twpix::As32(Strip0);
  const int fw = Strip.width() / FrameCount;
  if (fw <= 0) return;
  const QImage frame = Strip.copy((FrameNumber - 1) * fw, 0, fw, Strip.height())
                           .convertToFormat(QImage::Format_ARGB32);
  if (frame.isNull()) return;
  // The bottom-left pixel's colour is the frame's transparent colour.
  const uint32_t key = frame.pixel(0, frame.height() - 1) & 0x00FFFFFFu;
  QImage keyed = frame;
  for (int yy = 0; yy < keyed.height(); ++yy) {
    uint32_t* p = reinterpret_cast<uint32_t*>(keyed.scanLine(yy));
    for (int xx = 0; xx < keyed.width(); ++xx)
      p[xx] = (p[xx] & 0x00FFFFFFu) == key ? 0u : (p[xx] | 0xFF000000u);
  }
  Canvas.drawImage(x, y, keyed);
}
