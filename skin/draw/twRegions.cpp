// Window shapes from mask pictures: pure black is inside, anything else out.
#include <QPainter>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "skin/draw/twPixels.h"
#include "skin/draw/twUtils.h"

namespace {

constexpr uint32_t kColour = 0x00FFFFFFu;

// First x in [x, w) whose pixel is (Inside = true) or is not (false) pure
// black, or w. Four pixels at a time where the processor allows.
template <bool Inside>
inline int Find(const uint32_t* p, int x, int w) {
#if defined(__SSE2__)
  const __m128i colour = _mm_set1_epi32(int(kColour));
  const __m128i zero = _mm_setzero_si128();
  auto load = [&](int i) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)); };
  // Long runs first, a cache line at a time: all black (or all not black,
  // for a run outside) means nothing to find here.
  for (; x + 16 <= w; x += 16) {
    if (Inside) {
      const __m128i c0 = _mm_cmpeq_epi32(_mm_and_si128(load(x), colour), zero);
      const __m128i c1 = _mm_cmpeq_epi32(_mm_and_si128(load(x + 4), colour), zero);
      const __m128i c2 = _mm_cmpeq_epi32(_mm_and_si128(load(x + 8), colour), zero);
      const __m128i c3 = _mm_cmpeq_epi32(_mm_and_si128(load(x + 12), colour), zero);
      if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(c0, c1), _mm_or_si128(c2, c3))) != 0) break;
    } else {
      const __m128i all = _mm_and_si128(_mm_or_si128(_mm_or_si128(load(x), load(x + 4)),
                                                     _mm_or_si128(load(x + 8), load(x + 12))),
                                        colour);
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(all, zero)) != 0xFFFF) break;
    }
  }
  for (; x + 4 <= w; x += 4) {
    const __m128i v = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x)), colour);
    int black = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(v, zero)));
    if (!Inside) black = ~black & 0xF;
    if (black) return x + __builtin_ctz(unsigned(black));
  }
#endif
  for (; x < w; ++x)
    if (((p[x] & kColour) == 0) == Inside) return x;
  return w;
}

}  // namespace

TRegionData MaskToRunList(const QImage& Bmp0, int dx, int dy) {
  TRegionData data;
  if (Bmp0.isNull() || Bmp0.width() <= 0 || Bmp0.height() <= 0 || !twpix::Sane(dx) || !twpix::Sane(dy))
    return data;
  const QImage Bmp = twpix::As32(Bmp0);
  const int w = Bmp.width(), h = Bmp.height();
  data.Bound = TRect{dx, dy, dx + w, dy + h};
  // The buffer grows as needed: masks with very many runs still make one region.
  data.Rects.reserve(size_t(h) * 2);
  for (int y = 0; y < h; ++y) {
    const uint32_t* p = twpix::Row(Bmp, y);
    int x = Find<true>(p, 0, w);
    while (x < w) {
      const int x1 = Find<false>(p, x, w);
      data.Rects.emplace_back(x + dx, y + dy, x1 - x, 1);
      x = Find<true>(p, x1, w);
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
  if (!twpix::Sane(a) || !twpix::Sane(n) || !twpix::Sane(W)) return QRegion();
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
