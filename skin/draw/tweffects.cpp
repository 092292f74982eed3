// Pixel effects, the 32-bit alpha picture and text effects.
#include "skin/draw/tweffects.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/Errors.h"
#include "skin/draw/twPixels.h"
#include "skin/draw/twUtils.h"

namespace {

// Nearest integer, halves to even (the default floating-point rounding).
inline int Round(double v) { return int(std::lrint(v)); }
inline uint32_t Clamp8(int v) { return uint32_t(std::clamp(v, 0, 255)); }
inline double Clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

inline int R8(uint32_t p) { return int((p >> 16) & 0xFF); }
inline int G8(uint32_t p) { return int((p >> 8) & 0xFF); }
inline int B8(uint32_t p) { return int(p & 0xFF); }
inline uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

template <typename F>
void EachChannel(QImage& img, F f) {
  for (int y = 0; y < img.height(); ++y) {
    uint32_t* p = reinterpret_cast<uint32_t*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      p[x] = Rgb(Clamp8(f(R8(p[x]))), Clamp8(f(G8(p[x]))), Clamp8(f(B8(p[x]))));
  }
}

// Receiver weight w: w * receiver + (1 - w) * other, per channel.
inline uint32_t Mix(uint32_t recv, uint32_t other, double w) {
  auto ch = [w](int a, int b) { return Clamp8(Round(w * a + (1.0 - w) * b)); };
  return Rgb(ch(R8(recv), R8(other)), ch(G8(recv), G8(other)), ch(B8(recv), B8(other)));
}

uint32_t* RowOf(QImage& img, int y) { return reinterpret_cast<uint32_t*>(img.scanLine(y)); }

}  // namespace

uint32_t ColorToPixel(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return Rgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

// ---- TtwEffectBmp -----------------------------------------------------------

TtwEffectBmp::TtwEffectBmp(const QImage& Source) {
  if (!Source.isNull()) img_ = Source.convertToFormat(QImage::Format_RGB32);
}

TtwEffectBmp::TtwEffectBmp(int W, int H) {
  img_ = TwNewSurface(W, H, QImage::Format_RGB32);
  img_.fill(0xFF000000u);
}

void TtwEffectBmp::Draw(QPainter& Canvas, int x, int y) const {
  if (!img_.isNull()) Canvas.drawImage(x, y, img_);
}

void TtwEffectBmp::Brightness(double x) {
  x = Clamp01(x);
  EachChannel(img_, [x](int c) { return Round((1.0 - x) * c + 255.0 * x); });
}

void TtwEffectBmp::Darkness(double x) {
  x = Clamp01(x);
  EachChannel(img_, [x](int c) { return Round((1.0 - x) * c); });
}

void TtwEffectBmp::Greyscale() {
  for (int y = 0; y < img_.height(); ++y) {
    uint32_t* p = RowOf(img_, y);
    for (int x = 0; x < img_.width(); ++x) {
      const uint32_t g = Clamp8(Round(0.3 * R8(p[x]) + 0.59 * G8(p[x]) + 0.11 * B8(p[x])));
      p[x] = Rgb(g, g, g);
    }
  }
}

void TtwEffectBmp::Invert() {
  EachChannel(img_, [](int c) { return 255 - c; });
}

void TtwEffectBmp::Noise(int Amount) { Noise(Amount, *QRandomGenerator::global()); }

void TtwEffectBmp::Noise(int Amount, QRandomGenerator& Rng) {
  if (Amount <= 0) return;
  for (int y = 0; y < img_.height(); ++y) {
    uint32_t* p = RowOf(img_, y);
    for (int x = 0; x < img_.width(); ++x) {
      const int d = int(Rng.bounded(Amount)) - Amount / 2;
      p[x] = Rgb(Clamp8(R8(p[x]) + d), Clamp8(G8(p[x]) + d), Clamp8(B8(p[x]) + d));
    }
  }
}

void TtwEffectBmp::SplitBlur(int a) {
  if (a <= 0 || img_.isNull()) return;
  const int w = img_.width(), h = img_.height();
  std::vector<uint32_t> out(static_cast<size_t>(w));
  // Rows are written back one at a time, so the row above is already blurred
  // when a later row reads it.
  for (int y = 0; y < h; ++y) {
    const uint32_t* up = RowOf(img_, y - a < 0 ? y : y - a);
    const uint32_t* dn = RowOf(img_, y + a >= h ? y : y + a);
    for (int x = 0; x < w; ++x) {
      const int l = x - a < 0 ? x : x - a;
      const int r = x + a >= w ? x : x + a;
      const uint32_t p1 = up[l], p2 = dn[l], p3 = up[r], p4 = dn[r];
      out[size_t(x)] = Rgb(uint32_t(R8(p1) + R8(p2) + R8(p3) + R8(p4)) / 4,
                           uint32_t(G8(p1) + G8(p2) + G8(p3) + G8(p4)) / 4,
                           uint32_t(B8(p1) + B8(p2) + B8(p3) + B8(p4)) / 4);
    }
    std::memcpy(RowOf(img_, y), out.data(), size_t(w) * 4);
  }
}

void TtwEffectBmp::ApplyInactiveEffect(int Effect) {
  switch (Effect) {
    case ieBrightness: Brightness(0.5); break;
    case ieDarkness: Darkness(0.3); break;
    case ieNoise: Noise(50); break;
    case ieSplitBlur: SplitBlur(1); break;
    case ieInvert: Invert(); break;
    default: Greyscale(); break;
  }
}

bool TtwEffectBmp::MorphEnds(const TtwEffectBmp& Other, double X) {
  if (!SameSize(Other)) return true;
  if (X <= 0.0) return true;
  if (X >= 1.0) {
    img_ = Other.img_.copy();
    return true;
  }
  return false;
}

void TtwEffectBmp::Morph(const TtwEffectBmp& Other, double X, int Kind) {
  switch (Kind) {
    case mkGradient: CentreGradient(Other, X); break;
    case mkLeftGradient: LeftGradient(Other, X); break;
    case mkRightGradient: RightGradient(Other, X); break;
    case mkLeftSlide: LeftSlide(Other, X); break;
    case mkRightSlide: RightSlide(Other, X); break;
    case mkPush: Push(Other, X); break;
    default: Blend(Other, X); break;
  }
}

void TtwEffectBmp::Blend(const TtwEffectBmp& Other, double X) {
  if (MorphEnds(Other, X)) return;
  for (int y = 0; y < img_.height(); ++y) {
    uint32_t* p = RowOf(img_, y);
    const uint32_t* o = twpix::Row(Other.img_, y);
    for (int x = 0; x < img_.width(); ++x) p[x] = Mix(p[x], o[x], 1.0 - X);
  }
}

void TtwEffectBmp::CentreGradient(const TtwEffectBmp& Other, double X) {
  if (MorphEnds(Other, X)) return;
  const int W = img_.width(), H = img_.height();
  if (W < H) {
    const int band = Round(H * X);
    const int lo = std::max(0, H / 2 - band / 2), hi = std::min(H - 1, H / 2 + band / 2);
    const int d = (H - band - 1) / 2;
    const double step = d == 0 ? 0.0 : 1.0 / d;
    for (int y = 0; y < H; ++y) {
      const int k = y < lo ? lo - y : (y > hi ? y - hi : 0);
      const double w = std::min(1.0, k * step);
      uint32_t* p = RowOf(img_, y);
      const uint32_t* o = twpix::Row(Other.img_, y);
      for (int x = 0; x < W; ++x) p[x] = k == 0 ? o[x] : Mix(p[x], o[x], w);
    }
    return;
  }
  const int band = Round(W * X);
  const int lo = std::max(0, W / 2 - band / 2), hi = std::min(W - 1, W / 2 + band / 2);
  const int d = (W - band) / 2;
  const double step = d == 0 ? 1.0 : 1.0 / d;
  for (int y = 0; y < H; ++y) {
    uint32_t* p = RowOf(img_, y);
    const uint32_t* o = twpix::Row(Other.img_, y);
    for (int x = 0; x < W; ++x) {
      const int k = x < lo ? lo - x : (x > hi ? x - hi : 0);
      p[x] = k == 0 ? o[x] : Mix(p[x], o[x], std::min(1.0, k * step));
    }
  }
}

void TtwEffectBmp::LeftGradient(const TtwEffectBmp& Other, double X) {
  if (MorphEnds(Other, X)) return;
  const int W = img_.width();
  if (W < 2) return Blend(Other, X);
  const int a = std::clamp(Round(W * X), 1, W - 1);
  for (int y = 0; y < img_.height(); ++y) {
    uint32_t* p = RowOf(img_, y);
    const uint32_t* o = twpix::Row(Other.img_, y);
    for (int x = 0; x <= a; ++x) p[x] = Mix(p[x], o[x], std::min(1.0, double(x) / a));
  }
}

void TtwEffectBmp::RightGradient(const TtwEffectBmp& Other, double X) {
  if (MorphEnds(Other, X)) return;
  const int W = img_.width();
  if (W < 2) return Blend(Other, X);
  const int b = std::clamp(W - Round(W * X), 0, W - 1);
  for (int y = 0; y < img_.height(); ++y) {
    uint32_t* p = RowOf(img_, y);
    const uint32_t* o = twpix::Row(Other.img_, y);
    for (int x = W - 1; x >= b; --x) p[x] = Mix(p[x], o[x], std::min(1.0, double(W - 1 - x) / (W - b)));
  }
}

void TtwEffectBmp::LeftSlide(const TtwEffectBmp& Other, double X) {
  if (MorphEnds(Other, X)) return;
  const int W = img_.width();
  if (W < 2) return Blend(Other, X);
  const int a = std::clamp(Round(W * X), 1, W - 1);
  for (int y = 0; y < img_.height(); ++y)
    std::memcpy(RowOf(img_, y), twpix::Row(Other.img_, y) + (W - a), size_t(a) * 4);
}

void TtwEffectBmp::RightSlide(const TtwEffectBmp& Other, double X) {
  if (MorphEnds(Other, X)) return;
  const int W = img_.width();
  if (W < 2) return Blend(Other, X);
  const int a = std::clamp(Round(W * X), 1, W - 1);
  for (int y = 0; y < img_.height(); ++y)
    std::memcpy(RowOf(img_, y) + (W - a), twpix::Row(Other.img_, y), size_t(a) * 4);
}

void TtwEffectBmp::Push(const TtwEffectBmp& Other, double X) {
  if (MorphEnds(Other, X)) return;
  const int W = img_.width();
  if (W < 2) return Blend(Other, X);
  const int a = std::clamp(Round(W * X), 0, W - 1);
  for (int y = 0; y < img_.height(); ++y) {
    uint32_t* p = RowOf(img_, y);
    if (a + 1 < W) std::memmove(p + a + 1, p, size_t(W - a - 1) * 4);
    std::memcpy(p, twpix::Row(Other.img_, y) + (W - a - 1), size_t(a + 1) * 4);
  }
}

// ---- TtwBitmap32 --------------------------------------------------------------

namespace {

std::vector<TtwBitmap32*>& Registry() {
  static std::vector<TtwBitmap32*> list;
  return list;
}

constexpr uint32_t kKeyColour = 0x7F007Fu;

}  // namespace

TtwBitmap32::TtwBitmap32(int W, int H) { SetSize(W, H); }

TtwBitmap32::~TtwBitmap32() {
  ReleaseCanvas();
  if (registered_) {
    auto& list = Registry();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

void TtwBitmap32::SetSize(int W, int H) {
  W = std::abs(W);
  H = std::abs(H);
  if (W == 0 || H == 0 || (W == img_.width() && H == img_.height())) return;
  ReleaseCanvas();
  img_ = QImage();
  QImage fresh = TwNewSurface(W, H, QImage::Format_ARGB32);
  if (fresh.isNull()) throw EError(QStringLiteral("Can't allocate the DIB handle"));
  fresh.fill(0u);
  img_ = fresh;
  if (!registered_) {
    Registry().push_back(this);
    registered_ = true;
  }
}

QPainter* TtwBitmap32::Canvas() {
  if (img_.isNull()) return nullptr;
  if (!canvas_) canvas_ = new QPainter(&img_);
  return canvas_;
}

void TtwBitmap32::ReleaseCanvas() {
  delete canvas_;
  canvas_ = nullptr;
}

TtwBitmap32* TtwBitmap32::FromDevice(const QPaintDevice* Device) {
  if (!Device) return nullptr;
  for (TtwBitmap32* b : Registry())
    if (static_cast<const QPaintDevice*>(&b->img_) == Device) return b;
  return nullptr;
}

void TtwBitmap32::Assign(const TtwBitmap32& Other) {
  if (&Other == this) return;
  ReleaseCanvas();
  if (Other.img_.isNull()) {
    img_ = QImage();
  } else {
    SetSize(Other.Width(), Other.Height());
    img_ = Other.img_.copy();
  }
  Name = Other.Name;
  Transparent = Other.Transparent;
  Alpha = Other.Alpha;
}

void TtwBitmap32::Assign(const QImage& Picture) {
  if (Picture.isNull()) return;
  SetSize(Picture.width(), Picture.height());
  ReleaseCanvas();
  const QImage::Format f = Picture.format();
  if (f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied) {
    img_ = Picture.convertToFormat(QImage::Format_ARGB32);
    bool partial = false;
    for (int y = 0; y < img_.height() && !partial; ++y) {
      const uint32_t* p = twpix::Row(img_, y);
      for (int x = 0; x < img_.width(); ++x) {
        const uint32_t a = p[x] >> 24;
        if (a != 0 && a != 255) {
          partial = true;
          break;
        }
      }
    }
    Alpha = partial;
  } else {
    img_ = Picture.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32);
  }
}

void TtwBitmap32::AssignGraphic(int W, int H, const std::function<void(QPainter&, const QRect&)>& Paint) {
  if (W <= 0 || H <= 0 || !Paint) return;
  SetSize(W, H);
  QImage canvas = TwNewSurface(Width(), Height(), QImage::Format_RGB32);
  if (canvas.isNull()) return;
  canvas.fill(0xFFFF00FFu);
  {
    QPainter p(&canvas);
    Paint(p, QRect(0, 0, Width(), Height()));
  }
  for (int y = 0; y < Height(); ++y) {
    const uint32_t* s = twpix::Row(canvas, y);
    uint32_t* d = RowOf(img_, y);
    for (int x = 0; x < Width(); ++x)
      if ((s[x] & 0x00FFFFFFu) != 0x00FF00FFu) d[x] = s[x] | 0xFF000000u;
  }
}

void TtwBitmap32::AssignTo(QImage& Target) const { Target = img_.copy(); }

void TtwBitmap32::FillAlpha(uint8_t Value) {
  const uint32_t a = uint32_t(Value) << 24;
  for (int y = 0; y < img_.height(); ++y) {
    uint32_t* p = RowOf(img_, y);
    for (int x = 0; x < img_.width(); ++x) p[x] = (p[x] & 0x00FFFFFFu) | a;
  }
}

uint32_t TtwBitmap32::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  return twpix::Row(img_, y)[x];
}

void TtwBitmap32::SetPixel(int x, int y, uint32_t Value) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  RowOf(img_, y)[x] = Value;
}

uint32_t* TtwBitmap32::ScanLine(int y) {
  if (y < 0 || y >= Height()) return nullptr;
  return RowOf(img_, y);
}

void TtwBitmap32::DrawOnto(QImage& D, const TRect& s, const TRect& d, const QRect& Clip) const {
  if (img_.isNull() || D.isNull() || !twpix::Sane(s) || !twpix::Sane(d) || s.IsEmpty() || d.IsEmpty()) return;
  if (!twpix::Is32(D.format())) D = D.convertToFormat(QImage::Format_ARGB32);
  const int SW = Width(), SH = Height();
  int cl = std::max(0, d.Left), cr = std::min(D.width(), d.Right);
  int ct = std::max(0, d.Top), cb = std::min(D.height(), d.Bottom);
  if (!Clip.isNull()) {
    cl = std::max(cl, Clip.left());
    cr = std::min(cr, Clip.left() + Clip.width());
    ct = std::max(ct, Clip.top());
    cb = std::min(cb, Clip.top() + Clip.height());
  }
  if (cl >= cr || ct >= cb) return;
  const bool same = s.Width() == d.Width() && s.Height() == d.Height();
  auto srcIndex = [same](int i, int sStart, int sLen, int dLen) {
    return sStart + (same ? i : StretchSourceIndex(i, sLen, dLen));
  };
  // Destination columns that have a source column inside the picture.
  std::vector<int> cols;
  cols.reserve(size_t(cr - cl));
  int firstCol = -1;
  for (int x = cl; x < cr; ++x) {
    const int sx = srcIndex(x - d.Left, s.Left, s.Width(), d.Width());
    if (sx < 0 || sx >= SW) {
      if (firstCol >= 0) break;
      continue;
    }
    if (firstCol < 0) firstCol = x;
    cols.push_back(sx);
  }
  if (cols.empty()) return;
  const int n = int(cols.size());
  const uint32_t orMask = D.format() == QImage::Format_RGB32 ? 0xFF000000u : 0u;
  const int mode = Alpha ? 1 : (Transparent ? 2 : 0);
  int prevSy = -1;
  uint32_t* prevRow = nullptr;
  for (int y = ct; y < cb; ++y) {
    const int sy = srcIndex(y - d.Top, s.Top, s.Height(), d.Height());
    if (sy < 0 || sy >= SH) continue;
    const uint32_t* sp = twpix::Row(img_, sy);
    uint32_t* dp = RowOf(D, y) + firstCol;
    if (mode == 0) {
      // Plain copies may reuse the row above; blends depend on what lies under each row.
      if (sy == prevSy && prevRow) {
        std::memcpy(dp, prevRow, size_t(n) * 4);
      } else {
        for (int i = 0; i < n; ++i) dp[i] = sp[cols[size_t(i)]] | orMask;
      }
      prevSy = sy;
      prevRow = dp;
    } else if (mode == 1) {
      for (int i = 0; i < n; ++i) {
        const uint32_t sv = sp[cols[size_t(i)]];
        const uint32_t A = sv >> 24;
        if (A == 255) {
          dp[i] = sv;
        } else if (A != 0) {
          const uint32_t dv = dp[i], iA = 255 - A;
          const uint32_t r = (((sv >> 16) & 0xFF) * A + ((dv >> 16) & 0xFF) * iA) >> 8;
          const uint32_t g = (((sv >> 8) & 0xFF) * A + ((dv >> 8) & 0xFF) * iA) >> 8;
          const uint32_t b = ((sv & 0xFF) * A + (dv & 0xFF) * iA) >> 8;
          dp[i] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
      }
    } else {
      for (int i = 0; i < n; ++i) {
        const uint32_t sv = sp[cols[size_t(i)]];
        if ((sv & 0x00FFFFFFu) != kKeyColour) dp[i] = sv | 0xFF000000u;
      }
    }
  }
}

void TtwBitmap32::Draw(TtwBitmap32& Dst, int x, int y) {
  Draw(Dst, TRect{0, 0, Width(), Height()}, TRect{x, y, x + Width(), y + Height()});
}

void TtwBitmap32::Draw(TtwBitmap32& Dst, const TRect& Src, const TRect& DstRect) {
  if (&Dst == this || Dst.Empty()) return;
  DrawOnto(Dst.img_, Src, DstRect);
}

void TtwBitmap32::Draw(QPainter& Dc, int x, int y) {
  Draw(Dc, TRect{0, 0, Width(), Height()}, TRect{x, y, x + Width(), y + Height()});
}

void TtwBitmap32::Draw(QPainter& Dc, const TRect& Src, const TRect& Dst) {
  if (img_.isNull() || !Dc.isActive()) return;
  QPaintDevice* dev = Dc.device();
  const QTransform t = Dc.combinedTransform();
  if (t.type() <= QTransform::TxTranslate && dev && dev->devType() == QInternal::Image) {
    QImage* target = static_cast<QImage*>(dev);
    if (target != &img_ && twpix::Is32(target->format())) {
      const int ox = int(std::lrint(t.dx())), oy = int(std::lrint(t.dy()));
      const TRect moved{Dst.Left + ox, Dst.Top + oy, Dst.Right + ox, Dst.Bottom + oy};
      if (!Dc.hasClipping()) {
        DrawOnto(*target, Src, moved);
      } else {
        // The painter's clip, in the image's pixels, one rectangle at a time.
        const QRegion clip = Dc.clipRegion().translated(ox, oy);
        for (const QRect& r : clip)
          if (!r.isEmpty()) DrawOnto(*target, Src, moved, r);
      }
      return;
    }
  }
  // Widgets and other devices: let the painter compose.
  Dc.save();
  Dc.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (Alpha) {
    Dc.setCompositionMode(QPainter::CompositionMode_SourceOver);
    Dc.drawImage(Dst.ToQ(), img_, Src.ToQ());
  } else if (Transparent) {
    QImage keyed = img_.copy(Src.ToQ());
    for (int y = 0; y < keyed.height(); ++y) {
      uint32_t* p = RowOf(keyed, y);
      for (int x = 0; x < keyed.width(); ++x)
        p[x] = (p[x] & 0x00FFFFFFu) == kKeyColour ? 0u : (p[x] | 0xFF000000u);
    }
    Dc.drawImage(Dst.ToQ(), keyed);
  } else {
    Dc.setCompositionMode(QPainter::CompositionMode_Source);
    Dc.drawImage(Dst.ToQ(), img_, Src.ToQ());
  }
  Dc.restore();
}

namespace {

void BlurLine(uint32_t* p, int n, qsizetype stride, int r, const std::vector<uint8_t>& tbl,
              std::vector<uint32_t>& tmp) {
  tmp.resize(size_t(n));
  for (int i = 0; i < n; ++i) tmp[size_t(i)] = p[i * stride];
  auto at = [&](int i) { return tmp[size_t(std::clamp(i, 0, n - 1))]; };
  uint32_t sum[3] = {0, 0, 0}, sin[3] = {0, 0, 0}, sout[3] = {0, 0, 0};
  auto add = [](uint32_t* acc, uint32_t px, uint32_t w) {
    acc[0] += ((px >> 16) & 0xFF) * w;
    acc[1] += ((px >> 8) & 0xFF) * w;
    acc[2] += (px & 0xFF) * w;
  };
  auto sub = [](uint32_t* acc, uint32_t px) {
    acc[0] -= (px >> 16) & 0xFF;
    acc[1] -= (px >> 8) & 0xFF;
    acc[2] -= px & 0xFF;
  };
  for (int i = -r; i <= r; ++i) {
    const uint32_t px = at(i);
    add(sum, px, uint32_t(r + 1 - std::abs(i)));
    add(i <= 0 ? sout : sin, px, 1);
  }
  for (int x = 0; x < n; ++x) {
    uint32_t& out = p[x * stride];
    out = (out & 0xFF000000u) | (uint32_t(tbl[sum[0]]) << 16) | (uint32_t(tbl[sum[1]]) << 8) | tbl[sum[2]];
    // Slide the window one pixel: the left half loses weight, the right gains.
    const uint32_t in = at(x + 1 + r);
    for (int c = 0; c < 3; ++c) sum[c] -= sout[c];
    add(sin, in, 1);
    for (int c = 0; c < 3; ++c) sum[c] += sin[c];
    sub(sout, at(x - r));
    add(sout, at(x + 1), 1);
    sub(sin, at(x + 1));
  }
}

}  // namespace

void TtwBitmap32::StackBlur(int Radius) {
  if (Radius < 1 || img_.isNull()) return;
  const int w = Width(), h = Height();
  const uint32_t div = uint32_t(Radius + 1) * uint32_t(Radius + 1);
  std::vector<uint8_t> tbl(size_t(256) * div);
  for (size_t i = 0; i < tbl.size(); ++i) tbl[i] = uint8_t(i / div);
  std::vector<uint32_t> tmp;
  uint32_t* base = RowOf(img_, 0);
  const qsizetype stride = img_.bytesPerLine() / 4;
  for (int y = 0; y < h; ++y) BlurLine(base + y * stride, w, 1, Radius, tbl, tmp);
  for (int x = 0; x < w; ++x) BlurLine(base + x, h, stride, Radius, tbl, tmp);
}

void TtwBitmap32::MakeColorTransparent(TColor Color) {
  const uint32_t key = ColorToPixel(Color) & 0x00FFFFFFu;
  for (int y = 0; y < Height(); ++y) {
    uint32_t* p = RowOf(img_, y);
    for (int x = 0; x < Width(); ++x)
      if ((p[x] & 0x00FFFFFFu) == key) p[x] &= 0x00FFFFFFu;
  }
}

void TtwBitmap32::AlphaFromMask(const QImage& Mask0) {
  const QImage Mask = twpix::As32(Mask0);
  if (Mask.isNull() || img_.isNull()) return;
  const int w = std::min(Width(), Mask.width()), h = std::min(Height(), Mask.height());
  for (int y = 0; y < h; ++y) {
    uint32_t* p = RowOf(img_, y);
    const uint32_t* m = twpix::Row(Mask, y);
    for (int x = 0; x < w; ++x) {
      const uint32_t a = uint32_t(R8(m[x]) + G8(m[x]) + B8(m[x])) / 3;
      p[x] = (p[x] & 0x00FFFFFFu) | (a << 24);
    }
  }
}

// ---- text effects -------------------------------------------------------------

namespace {

// Text in pure red on opaque black, so the red byte is the text's coverage.
void RedText(TtwBitmap32& bmp, const QFont& font, const QString& text, const QRect& at, int flags) {
  QPainter p(&bmp.Image());
  p.setFont(font);
  p.setPen(QColor(255, 0, 0));
  p.setBackgroundMode(Qt::TransparentMode);
  p.drawText(at, flags, text);
}

// Every pixel takes alpha = its red byte and the glow colour.
void RedToAlpha(TtwBitmap32& bmp, TColor colour) {
  const uint32_t rgb = ColorToPixel(colour) & 0x00FFFFFFu;
  for (int y = 0; y < bmp.Height(); ++y) {
    uint32_t* p = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x) p[x] = (((p[x] >> 16) & 0xFF) << 24) | rgb;
  }
  bmp.Alpha = true;
}

void PlainText(QPainter& Canvas, const QString& Text, const TRect& R, int Flags) {
  Canvas.save();
  Canvas.setBackgroundMode(Qt::TransparentMode);
  Canvas.drawText(R.ToQ(), Flags, Text);
  Canvas.restore();
}

}  // namespace

void DrawGlowText(QPainter& Canvas, const QString& Text, const TRect& R, int Flags, int GlowSize,
                  TColor GlowColor, int Offset) {
  const int s = std::max(0, GlowSize);
  if (!Text.isEmpty() && !R.IsEmpty()) {
    TtwBitmap32 glow(R.Width() + 2 * s, R.Height() + 2 * s);
    glow.Image().fill(0xFF000000u);
    RedText(glow, Canvas.font(), Text, QRect(s, s, R.Width(), R.Height()), Flags);
    glow.StackBlur(s);
    RedToAlpha(glow, GlowColor);
    glow.Draw(Canvas, R.Left - s + Offset, R.Top - s + Offset);
  }
  PlainText(Canvas, Text, R, Flags);
}

void DrawSoftGlowText(QPainter& Canvas, const QString& Text, const TRect& R, int Flags, TColor GlowColor) {
  constexpr int m = 12;
  if (!Text.isEmpty() && !R.IsEmpty()) {
    TtwBitmap32 glow(R.Width() + 2 * m, R.Height() + 2 * m);
    glow.Image().fill(0xFF000000u);
    const QRect at(m, m, R.Width(), R.Height());
    {
      // The block sits behind the text itself, not the whole (maybe much
      // wider) rectangle it is aligned in.
      const QRect tr = QFontMetrics(Canvas.font()).boundingRect(at, Flags, Text);
      QPainter p(&glow.Image());
      p.fillRect(QRect(QPoint(tr.left() - 3, tr.top() + 2), QPoint(tr.right() + 3, tr.bottom() - 2)), QColor(255, 0, 0));
    }
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) RedText(glow, Canvas.font(), Text, at.translated(dx, dy), Flags);
    glow.StackBlur(6);
    glow.StackBlur(6);
    RedToAlpha(glow, GlowColor);
    glow.Draw(Canvas, R.Left - m, R.Top - m);
  }
  PlainText(Canvas, Text, R, Flags);
}

void DrawReflectionText(QPainter& Canvas, const QString& Text, const TRect& R, int Flags, TColor Color,
                        int Offset) {
  if (!Text.isEmpty() && !R.IsEmpty()) {
    TtwBitmap32 refl(R.Width(), R.Height());
    refl.Image().fill(0xFF000000u);
    RedText(refl, Canvas.font(), Text, QRect(0, 0, R.Width(), R.Height()), Flags);
    int t = -1, b = -1;
    for (int y = 0; y < refl.Height(); ++y) {
      const uint32_t* p = refl.ScanLine(y);
      for (int x = 0; x < refl.Width(); ++x)
        if ((p[x] >> 16) & 0xFF) {
          if (t < 0) t = y;
          b = y;
          break;
        }
    }
    // Text with no visible row has nothing to reflect; a one-row text must
    // not divide by its zero height.
    if (t >= 0) {
      const double span = std::max(1, b - t);
      const uint32_t rgb = ColorToPixel(Color) & 0x00FFFFFFu;
      for (int y = 0; y < refl.Height(); ++y) {
        uint32_t* p = refl.ScanLine(y);
        const double f = std::max(0.0, 0.7 - (b + t - y) / span);
        for (int x = 0; x < refl.Width(); ++x) {
          if (y < t || y > b) {
            p[x] = 0;
          } else {
            const uint32_t a = uint32_t(std::clamp(int(((p[x] >> 16) & 0xFF) * f), 0, 255));
            p[x] = (a << 24) | rgb;
          }
        }
      }
      refl.Image() = refl.Image().mirrored(false, true);
      refl.Alpha = true;
      refl.Draw(Canvas, R.Left, (R.Top + b) + b + Offset - refl.Height());
    }
  }
  PlainText(Canvas, Text, R, Flags);
}

void BlendInactiveCover(TtwBitmap32& Veil, QImage& Snapshot) {
  if (Veil.Empty()) return;
  Veil.FillAlpha(170);
  Veil.Alpha = true;
  Veil.DrawOnto(Snapshot, TRect{0, 0, Veil.Width(), Veil.Height()}, TRect{0, 0, Veil.Width(), Veil.Height()});
}
