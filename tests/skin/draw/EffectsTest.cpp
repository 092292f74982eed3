// Bitmap effects, morphing and alpha bitmaps against their pixel formulas.
#include <gtest/gtest.h>

#include <QPainter>
#include <QRandomGenerator>
#include <functional>

#include "platform/Errors.h"
#include "skin/draw/tweffects.h"
#include "tests/skin/draw/DrawFixtures.h"

namespace {

QImage Solid(int w, int h, QRgb c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

// Red channel of every pixel of row y.
std::vector<int> Reds(const QImage& img, int y = 0) {
  std::vector<int> v;
  for (int x = 0; x < img.width(); ++x) v.push_back(qRed(img.pixel(x, y)));
  return v;
}

std::vector<int> RedColumn(const QImage& img) {
  std::vector<int> v;
  for (int y = 0; y < img.height(); ++y) v.push_back(qRed(img.pixel(0, y)));
  return v;
}

// Row whose pixel x has red = base + x.
QImage Ramp(int w, int base) {
  QImage img(w, 1, QImage::Format_RGB32);
  for (int x = 0; x < w; ++x) img.setPixel(x, 0, qRgb(base + x, 0, 0));
  return img;
}

QFont TestFont() {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(14);
  f.setBold(true);
  return f;
}

}  // namespace

TEST(EffectFormulas, SinglePixelEffects) {
  using Op = std::function<void(TtwEffectBmp&)>;
  struct Case {
    const char* name;
    QRgb in;
    Op op;
    QRgb want;
  } cases[] = {
      {"brightness .5 of black: 127.5 to even", qRgb(0, 0, 0), [](TtwEffectBmp& e) { e.Brightness(0.5); }, qRgb(128, 128, 128)},
      {"brightness .5 of white", qRgb(255, 255, 255), [](TtwEffectBmp& e) { e.Brightness(0.5); }, qRgb(255, 255, 255)},
      {"brightness .25", qRgb(100, 0, 3), [](TtwEffectBmp& e) { e.Brightness(0.25); }, qRgb(139, 64, 66)},
      {"brightness clamps x", qRgb(10, 20, 30), [](TtwEffectBmp& e) { e.Brightness(7); }, qRgb(255, 255, 255)},
      {"darkness .3", qRgb(200, 5, 255), [](TtwEffectBmp& e) { e.Darkness(0.3); }, qRgb(140, 4, 178)},
      {"darkness clamps x", qRgb(200, 5, 255), [](TtwEffectBmp& e) { e.Darkness(-2); }, qRgb(200, 5, 255)},
      {"greyscale red: 76.5 to 76", qRgb(255, 0, 0), [](TtwEffectBmp& e) { e.Greyscale(); }, qRgb(76, 76, 76)},
      {"greyscale green", qRgb(0, 255, 0), [](TtwEffectBmp& e) { e.Greyscale(); }, qRgb(150, 150, 150)},
      {"greyscale blue", qRgb(0, 0, 255), [](TtwEffectBmp& e) { e.Greyscale(); }, qRgb(28, 28, 28)},
      {"invert", qRgb(10, 20, 30), [](TtwEffectBmp& e) { e.Invert(); }, qRgb(245, 235, 225)},
      {"inactive brightness", qRgb(0, 0, 0), [](TtwEffectBmp& e) { e.ApplyInactiveEffect(0); }, qRgb(128, 128, 128)},
      {"inactive darkness", qRgb(200, 5, 255), [](TtwEffectBmp& e) { e.ApplyInactiveEffect(1); }, qRgb(140, 4, 178)},
      {"unknown inactive effect is greyscale", qRgb(255, 0, 0), [](TtwEffectBmp& e) { e.ApplyInactiveEffect(42); }, qRgb(76, 76, 76)},
      {"inactive invert", qRgb(10, 20, 30), [](TtwEffectBmp& e) { e.ApplyInactiveEffect(5); }, qRgb(245, 235, 225)},
  };
  for (const Case& c : cases) {
    TtwEffectBmp e(Solid(2, 2, c.in));
    c.op(e);
    EXPECT_EQ(e.Image().pixel(1, 1), c.want) << c.name;
  }
}

TEST(EffectFormulas, NoiseAddsOneOffsetPerPixelToAllChannels) {
  TtwEffectBmp e(Solid(40, 10, qRgb(128, 100, 60)));
  QRandomGenerator rng(7);
  e.Noise(50, rng);
  bool varied = false;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 40; ++x) {
      const QRgb p = e.Image().pixel(x, y);
      const int d = qRed(p) - 128;
      EXPECT_GE(d, -25);
      EXPECT_LE(d, 24);
      EXPECT_EQ(qGreen(p) - 100, d);
      EXPECT_EQ(qBlue(p) - 60, d);
      varied |= d != 0;
    }
  EXPECT_TRUE(varied);
  TtwEffectBmp black(Solid(30, 1, qRgb(0, 0, 0)));
  black.Noise(50, rng);
  for (int x = 0; x < 30; ++x) EXPECT_GE(qRed(black.Image().pixel(x, 0)), 0);
  TtwEffectBmp none(Solid(3, 1, qRgb(9, 9, 9)));
  none.Noise(0, rng);
  EXPECT_EQ(none.Image().pixel(1, 0), qRgb(9, 9, 9));
}

TEST(EffectFormulas, SplitBlurReadsRowsAlreadyBlurred) {
  QImage img(3, 3, QImage::Format_RGB32);
  const int v[3][3] = {{0, 40, 80}, {120, 160, 200}, {240, 20, 60}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) img.setPixel(x, y, qRgb(v[y][x], 0, 0));
  TtwEffectBmp e(img);
  e.SplitBlur(1);
  EXPECT_EQ(Reds(e.Image(), 0), (std::vector<int>{80, 100, 120}));
  EXPECT_EQ(Reds(e.Image(), 1), (std::vector<int>{110, 125, 75}));
  EXPECT_EQ(Reds(e.Image(), 2), (std::vector<int>{123, 121, 70}));
  TtwEffectBmp same(img);
  same.SplitBlur(0);
  EXPECT_EQ(same.Image(), img);
}

TEST(Morphing, EndsShowTheNormalAndTheHotPictureForEveryKind) {
  for (QSize size : {QSize(7, 3), QSize(3, 7), QSize(1, 1), QSize(2, 5)}) {
    QImage normal(size, QImage::Format_RGB32), hot(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) {
        normal.setPixel(x, y, qRgb(x, y, 1));
        hot.setPixel(x, y, qRgb(x, y, 250));
      }
    for (int kind = 0; kind <= 6; ++kind) {
      TtwEffectBmp a(normal), b(normal);
      const TtwEffectBmp other(hot);
      a.Morph(other, 0.0, kind);
      b.Morph(other, 1.0, kind);
      EXPECT_EQ(a.Image(), normal) << "kind " << kind << " at 0, " << size.width() << "x" << size.height();
      EXPECT_EQ(b.Image(), hot) << "kind " << kind << " at 1, " << size.width() << "x" << size.height();
    }
  }
}

TEST(Morphing, InBetweenFormulas) {
  struct Case {
    const char* name;
    int kind;
    QImage normal, hot;
    double x;
    std::vector<int> want;
  } cases[] = {
      {"blend rounds 150.5 to 150", 0, Solid(1, 1, qRgb(100, 0, 0)), Solid(1, 1, qRgb(201, 0, 0)), 0.5, {150}},
      {"centre gradient", 1, Solid(8, 1, qRgb(0, 0, 0)), Solid(8, 1, qRgb(200, 0, 0)), 0.5,
       {0, 100, 200, 200, 200, 200, 200, 100}},
      {"left gradient", 2, Solid(4, 1, qRgb(0, 0, 0)), Solid(4, 1, qRgb(200, 0, 0)), 0.5, {200, 100, 0, 0}},
      {"right gradient", 3, Solid(4, 1, qRgb(0, 0, 0)), Solid(4, 1, qRgb(200, 0, 0)), 0.5, {0, 0, 100, 200}},
      {"left slide", 4, Ramp(4, 0), Ramp(4, 100), 0.5, {102, 103, 2, 3}},
      {"right slide", 5, Ramp(4, 0), Ramp(4, 100), 0.5, {0, 1, 100, 101}},
      {"push", 6, Ramp(4, 0), Ramp(4, 100), 0.5, {101, 102, 103, 0}},
  };
  for (const Case& c : cases) {
    TtwEffectBmp e(c.normal);
    e.Morph(TtwEffectBmp(c.hot), c.x, c.kind);
    EXPECT_EQ(Reds(e.Image()), c.want) << c.name;
  }
  // Taller than wide: the centre gradient runs over rows.
  TtwEffectBmp v(Solid(1, 8, qRgb(0, 0, 0)));
  v.Morph(TtwEffectBmp(Solid(1, 8, qRgb(200, 0, 0))), 0.5, TtwEffectBmp::mkGradient);
  EXPECT_EQ(RedColumn(v.Image()), (std::vector<int>{0, 0, 200, 200, 200, 200, 200, 0}));
  // Pictures of different sizes are left alone.
  TtwEffectBmp odd(Solid(3, 1, qRgb(5, 5, 5)));
  odd.Morph(TtwEffectBmp(Solid(4, 1, qRgb(200, 0, 0))), 0.5, 0);
  EXPECT_EQ(Reds(odd.Image()), (std::vector<int>{5, 5, 5}));
}

// ---- TtwBitmap32 ------------------------------------------------------------------

TEST(AlphaBitmap, SizingAndTheDeviceRegistry) {
  TtwBitmap32 b;
  b.SetSize(-3, 2);
  EXPECT_EQ(QSize(b.Width(), b.Height()), QSize(3, 2));
  b.SetPixel(1, 1, 0xFF123456u);
  b.SetPixel(7, 7, 1);  // outside: ignored
  b.SetSize(3, 2);
  EXPECT_EQ(b.Pixel(1, 1), 0xFF123456u);
  b.SetSize(0, 9);
  EXPECT_EQ(QSize(b.Width(), b.Height()), QSize(3, 2));
  EXPECT_EQ(TtwBitmap32::FromDevice(&b.Image()), &b);
  QImage stranger(3, 2, QImage::Format_ARGB32);
  EXPECT_EQ(TtwBitmap32::FromDevice(&stranger), nullptr);
  const QPaintDevice* dev = nullptr;
  {
    TtwBitmap32 gone(4, 4);
    dev = &gone.Image();
    EXPECT_EQ(TtwBitmap32::FromDevice(dev), &gone);
  }
  EXPECT_EQ(TtwBitmap32::FromDevice(dev), nullptr);
}

TEST(AlphaBitmap, AssignKeepsOrMakesAlpha) {
  QImage partial(2, 1, QImage::Format_ARGB32);
  partial.setPixel(0, 0, 0x80102030u);
  partial.setPixel(1, 0, 0xFF102030u);
  QImage binary(2, 1, QImage::Format_ARGB32);
  binary.setPixel(0, 0, 0x00102030u);
  binary.setPixel(1, 0, 0xFF102030u);
  QImage indexed = Solid(2, 1, qRgb(1, 2, 3)).convertToFormat(QImage::Format_Indexed8);
  TtwBitmap32 a, b, c;
  a.Assign(partial);
  b.Assign(binary);
  c.Assign(indexed);
  EXPECT_TRUE(a.Alpha);
  EXPECT_EQ(a.Pixel(0, 0), 0x80102030u);
  EXPECT_FALSE(b.Alpha);
  EXPECT_EQ(c.Pixel(1, 0), 0xFF010203u);

  TtwBitmap32 d;
  d.Name = "glow";
  d.Transparent = true;
  d.Assign(partial);
  TtwBitmap32 e;
  e.Assign(d);
  EXPECT_EQ(e.Name, "glow");
  EXPECT_TRUE(e.Transparent);
  EXPECT_EQ(e.Pixel(0, 0), 0x80102030u);

  // Other graphics are painted over magenta, which keeps what was there.
  drawtest::EnsureApp();
  TtwBitmap32 g(2, 1);
  g.SetPixel(0, 0, 0x11223344u);
  g.SetPixel(1, 0, 0x11223344u);
  g.AssignGraphic(2, 1, [](QPainter& p, const QRect&) { p.fillRect(QRect(1, 0, 1, 1), QColor(9, 8, 7)); });
  EXPECT_EQ(g.Pixel(0, 0), 0x11223344u);
  EXPECT_EQ(g.Pixel(1, 0), 0xFF090807u);
}

TEST(AlphaBitmap, DrawingModesOnChosenPixels) {
  const uint32_t dst = 0xFFC86432u;  // (200, 100, 50)
  struct Case {
    const char* name;
    bool alpha, transparent;
    uint32_t src, want;
  } cases[] = {
      {"alpha 255 copies", true, false, 0xFF00FF64u, 0xFF00FF64u},
      {"alpha 0 leaves", true, false, 0x0000FF64u, dst},
      // (s * 128 + d * 127) >> 8 per channel: 99, 177, 74 (not d + ((s - d) * A >> 8) = 100)
      {"alpha 128 blends", true, false, 0x8000FF64u, 0xFF63B14Au},
      {"alpha 1", true, false, 0x01FFFFFFu, 0xFFC76432u},
      {"key colour skipped", false, true, 0xFF7F007Fu, dst},
      {"key ignores alpha byte", false, true, 0x107F007Fu, dst},
      {"non-key copied opaque", false, true, 0x107F0080u, 0xFF7F0080u},
      {"plain copy", false, false, 0x107F0080u, 0x107F0080u},
      {"alpha wins over the key", true, true, 0xFF7F007Fu, 0xFF7F007Fu},
  };
  for (const Case& c : cases) {
    TtwBitmap32 s(1, 1), d(1, 1);
    s.SetPixel(0, 0, c.src);
    d.SetPixel(0, 0, dst);
    s.Alpha = c.alpha;
    s.Transparent = c.transparent;
    s.Draw(d, 0, 0);
    EXPECT_EQ(d.Pixel(0, 0), c.want) << c.name;
  }
}

TEST(AlphaBitmap, NearestPixelStretchAndClipping) {
  struct Case {
    int sw, dw;
    std::vector<int> cols;
  } cases[] = {
      {3, 4, {0, 1, 2, 2}},
      {2, 4, {0, 0, 1, 1}},  // rounding 1.5 up would read past the source
      {4, 2, {0, 2}},
      {3, 1, {1}},
  };
  TtwBitmap32 src(4, 1);
  for (int x = 0; x < 4; ++x) src.SetPixel(x, 0, 0xFF000000u | uint32_t(x * 10) << 16);
  for (const Case& c : cases) {
    TtwBitmap32 d(c.dw, 1);
    src.Draw(d, TRect{0, 0, c.sw, 1}, TRect{0, 0, c.dw, 1});
    std::vector<int> got;
    for (int x = 0; x < c.dw; ++x) got.push_back(int((d.Pixel(x, 0) >> 16) & 0xFF) / 10);
    EXPECT_EQ(got, c.cols) << c.sw << "->" << c.dw;
  }
  // Partly outside on both sides: only the overlap is drawn, 1:1.
  TtwBitmap32 d(3, 1);
  src.Draw(d, TRect{0, 0, 4, 1}, TRect{-2, 0, 2, 1});
  EXPECT_EQ(d.Pixel(0, 0), 0xFF140000u);
  EXPECT_EQ(d.Pixel(1, 0), 0xFF1E0000u);
  EXPECT_EQ(d.Pixel(2, 0), 0u);
  src.Draw(d, TRect{2, 0, 6, 1}, TRect{0, 0, 4, 1});  // source runs off its picture
  EXPECT_EQ(d.Pixel(0, 0), 0xFF140000u);
  EXPECT_EQ(d.Pixel(1, 0), 0xFF1E0000u);
}

TEST(AlphaBitmap, PainterTargetsUseTheSameFormulaWithTheirOrigin) {
  drawtest::EnsureApp();
  TtwBitmap32 s(1, 1);
  s.SetPixel(0, 0, 0x8000FF64u);
  s.Alpha = true;
  TtwBitmap32 owner(4, 4);
  owner.Image().fill(0xFFC86432u);
  {
    QPainter p(&owner.Image());
    p.translate(2, 1);
    s.Draw(p, 1, 1);
  }
  EXPECT_EQ(owner.Pixel(3, 2), 0xFF63B14Au);
  EXPECT_EQ(owner.Pixel(1, 1), 0xFFC86432u);
  QImage plain(2, 2, QImage::Format_RGB32);
  plain.fill(0xFFC86432u);
  {
    QPainter p(&plain);
    s.Draw(p, 0, 0);
  }
  EXPECT_EQ(plain.pixel(0, 0), 0xFF63B14Au);
}

TEST(AlphaBitmap, StretchedBlendsUseEachRowsOwnBackground) {
  // One half-transparent source row stretched over two destination rows of
  // different colours: each row blends with what lies under it.
  TtwBitmap32 s(1, 1), d(1, 2);
  s.SetPixel(0, 0, 0x80FFFFFFu);
  s.Alpha = true;
  d.SetPixel(0, 0, 0xFF000000u);
  d.SetPixel(0, 1, 0xFFFFFFFFu);
  s.Draw(d, TRect{0, 0, 1, 1}, TRect{0, 0, 1, 2});
  EXPECT_EQ(d.Pixel(0, 0), 0xFF7F7F7Fu);  // 255 * 128 >> 8
  EXPECT_EQ(d.Pixel(0, 1), 0xFFFEFEFEu);  // (255 * 128 + 255 * 127) >> 8
  s.Alpha = false;
  s.Transparent = true;
  s.SetPixel(0, 0, 0xFF102030u);
  d.SetPixel(0, 1, 0xFF7F007Fu);
  s.Draw(d, TRect{0, 0, 1, 1}, TRect{0, 0, 1, 2});
  EXPECT_EQ(d.Pixel(0, 1), 0xFF102030u);
}

TEST(AlphaBitmap, PainterClipIsHonoured) {
  drawtest::EnsureApp();
  TtwBitmap32 s(4, 1);
  s.Image().fill(0xFF00FF00u);
  QImage img(4, 1, QImage::Format_RGB32);
  img.fill(0xFF000000u);
  {
    QPainter p(&img);
    p.setClipRegion(QRegion(0, 0, 1, 1) + QRegion(2, 0, 1, 1));
    s.Draw(p, 0, 0);
  }
  EXPECT_EQ(img.pixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(img.pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(img.pixel(2, 0), 0xFF00FF00u);
  EXPECT_EQ(img.pixel(3, 0), 0xFF000000u);
}

TEST(AlphaBitmap, ASizeThatCannotBeAllocatedIsAnError) {
  TtwBitmap32 b(2, 2);
  try {
    b.SetSize(100000000, 1);
    FAIL() << "no error";
  } catch (const EError& e) {
    EXPECT_EQ(e.Message(), "Can't allocate the DIB handle");
  }
  EXPECT_TRUE(b.Empty());
  b.FillAlpha(3);  // operations on a bitmap without pixels do nothing
  b.StackBlur(2);
  EXPECT_EQ(b.Pixel(0, 0), 0u);
}

TEST(AlphaBitmap, InactiveCoverIsAVeilAt170) {
  TtwBitmap32 veil(2, 1);
  veil.Image().fill(0x00FF0000u);
  QImage snap(2, 1, QImage::Format_RGB32);
  snap.fill(qRgb(0, 0, 255));
  BlendInactiveCover(veil, snap);
  EXPECT_EQ(snap.pixel(1, 0), qRgb(169, 0, 84));  // 255 * 170 >> 8, 255 * 85 >> 8
}

TEST(AlphaBitmap, StackBlurWeightsAndEdges) {
  TtwBitmap32 b(3, 3);
  b.Image().fill(0x4D000000u);  // alpha 77, black
  b.SetPixel(1, 1, 0x4DFF0000u);
  b.StackBlur(1);
  const int want[3][3] = {{15, 31, 15}, {31, 63, 31}, {15, 31, 15}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(int((b.Pixel(x, y) >> 16) & 0xFF), want[y][x]) << x << "," << y;
      EXPECT_EQ(b.Pixel(x, y) >> 24, 0x4Du);
    }
  TtwBitmap32 flat(9, 5);
  flat.Image().fill(0xFFC8C8C8u);
  flat.StackBlur(4);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(flat.Pixel(x, 4), 0xFFC8C8C8u);
  TtwBitmap32 same(2, 2);
  same.SetPixel(0, 0, 0xFFFFFFFFu);
  same.StackBlur(0);
  EXPECT_EQ(same.Pixel(0, 0), 0xFFFFFFFFu);
}

TEST(AlphaBitmap, ColourKeyAndMaskAlpha) {
  TtwBitmap32 b(2, 1);
  b.SetPixel(0, 0, 0xFF0000FFu);
  b.SetPixel(1, 0, 0xFF0000FEu);
  b.MakeColorTransparent(0x00FF0000);  // blue as 0x00BBGGRR
  EXPECT_EQ(b.Pixel(0, 0), 0x000000FFu);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF0000FEu);
  QImage mask(2, 1, QImage::Format_RGB32);
  mask.setPixel(0, 0, qRgb(10, 20, 31));
  mask.setPixel(1, 0, qRgb(255, 255, 255));
  b.AlphaFromMask(mask);
  EXPECT_EQ(b.Pixel(0, 0), 0x140000FFu);  // trunc(61 / 3) = 20
  EXPECT_EQ(b.Pixel(1, 0), 0xFF0000FEu);
  EXPECT_EQ(ColorToPixel(0x00332211), 0xFF112233u);
}

// ---- text effects ---------------------------------------------------------------

namespace {

struct TextCanvas {
  QImage img;
  explicit TextCanvas(int w, int h) : img(w, h, QImage::Format_RGB32) { img.fill(0xFFFFFFFFu); }
  int Inked(int y0, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) != 0xFFFFFFFFu;
    return n;
  }
};

}  // namespace

TEST(TextEffects, ReflectionOfOneRowAndOfInvisibleText) {
  drawtest::EnsureApp();
  // The text clipped to one row: the reflection must not divide by its height.
  TextCanvas c(60, 10);
  {
    QPainter p(&c.img);
    p.setFont(TestFont());
    p.setPen(Qt::transparent);  // only the effect shows
    DrawReflectionText(p, QStringLiteral("HHHH"), TRect{0, 4, 60, 5}, Qt::AlignLeft | Qt::AlignVCenter, 0, 1);
  }
  EXPECT_GT(c.Inked(4, 5), 0);
  EXPECT_EQ(c.Inked(0, 4) + c.Inked(5, 10), 0);
  for (int x = 0; x < 60; ++x) EXPECT_GE(qRed(c.img.pixel(x, 4)), 76) << x;  // alpha at most 0.7 * 255

  for (const QString& t : {QString(), QStringLiteral("   ")}) {
    TextCanvas e(40, 20);
    QPainter p(&e.img);
    p.setFont(TestFont());
    DrawReflectionText(p, t, TRect{0, 0, 40, 16}, Qt::AlignLeft | Qt::AlignTop, 0, 2);
    p.end();
    EXPECT_EQ(e.Inked(0, 20), 0);
  }
}

TEST(TextEffects, ReflectionFallsBelowTheText) {
  drawtest::EnsureApp();
  TextCanvas c(80, 50);
  {
    QPainter p(&c.img);
    p.setFont(TestFont());
    p.setPen(Qt::black);
    DrawReflectionText(p, QStringLiteral("Hello"), TRect{0, 0, 80, 20}, Qt::AlignLeft | Qt::AlignTop, 0x000000FF, 2);
  }
  int reddish = 0;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 80; ++x) {
      const QRgb px = c.img.pixel(x, y);
      reddish += qRed(px) > qGreen(px);
    }
  EXPECT_GT(reddish, 10);
}

TEST(TextEffects, GlowsSurroundTheTextInTheGlowColour) {
  drawtest::EnsureApp();
  for (bool soft : {false, true}) {
    TextCanvas c(80, 44);
    const TRect r{20, 12, 60, 32};
    {
      QPainter p(&c.img);
      p.setFont(TestFont());
      p.setPen(Qt::transparent);
      if (soft)
        DrawSoftGlowText(p, QStringLiteral("Hi"), r, Qt::AlignCenter, 0x000000FF);
      else
        DrawGlowText(p, QStringLiteral("Hi"), r, Qt::AlignCenter, 4, 0x000000FF, 0);
    }
    // Blending red over white: red stays (255 * A + 255 * (255 - A)) >> 8 = 254.
    int tinted = 0;
    for (int y = 0; y < 44; ++y)
      for (int x = 0; x < 80; ++x) {
        const QRgb px = c.img.pixel(x, y);
        if (px == 0xFFFFFFFFu) continue;
        EXPECT_GE(qRed(px), 254) << soft;
        EXPECT_EQ(qGreen(px), qBlue(px)) << soft;
        ++tinted;
      }
    EXPECT_GT(tinted, 20) << soft;
    EXPECT_EQ(c.img.pixel(0, 0), 0xFFFFFFFFu) << soft;
  }
}

TEST(AlphaBitmap, ArbitraryRectanglesStayInsideBothBitmaps) {
  QRandomGenerator rng(99);
  auto v = [&](int lo, int hi) { return int(rng.bounded(lo, hi + 1)); };
  TtwBitmap32 src(7, 5), dst(9, 6);
  src.Image().fill(0x80FF0000u);
  for (int i = 0; i < 3000; ++i) {
    src.Alpha = v(0, 1) == 1;
    src.Transparent = v(0, 1) == 1;
    const TRect s{v(-10, 10), v(-10, 10), v(-10, 20), v(-10, 20)};
    const TRect d{v(-10, 12), v(-10, 12), v(-10, 24), v(-10, 24)};
    src.Draw(dst, s, d);
  }
  SUCCEED();
}

#include "skin/draw/twGuard.h"

TEST(HandlerGuard, AThrowStaysInTheHandlerAndIsReportedOnce) {
  int runs = 0;
  auto failing = [&] {
    ++runs;
    throw EError(QStringLiteral("Can't allocate the DIB handle"));
  };
  EXPECT_FALSE(TwGuarded("guard-test paint", failing));
  EXPECT_FALSE(TwReportOnce("guard-test paint", QStringLiteral("Can't allocate the DIB handle")));
  EXPECT_TRUE(TwReportOnce("guard-test resize", QStringLiteral("Can't allocate the DIB handle")));
  EXPECT_FALSE(TwGuarded("guard-test timer", [] { throw std::bad_alloc(); }));
  EXPECT_TRUE(TwGuarded("guard-test timer", [&] { ++runs; }));
  EXPECT_EQ(runs, 2);
}

TEST(HandlerGuard, SurfacesPastTheBudgetOrEmptyAreNull) {
  EXPECT_FALSE(TwNewSurface(64, 32, QImage::Format_ARGB32).isNull());
  EXPECT_TRUE(TwNewSurface(0, 32, QImage::Format_ARGB32).isNull());
  EXPECT_TRUE(TwNewSurface(30000, 30000, QImage::Format_ARGB32).isNull());
  EXPECT_TRUE(TwNewSurface(16777216, 1 << 20, QImage::Format_RGB32).isNull());
}

TEST(HandlerGuard, SurfacesAtAPixelRatioRoundUpAndKeepTheBudget) {
  const QImage img = TwNewSurface(QSize(11, 5), 1.5, QImage::Format_RGB32);
  EXPECT_EQ(img.size(), QSize(17, 8));
  EXPECT_EQ(img.devicePixelRatio(), 1.5);
  // Within the budget at 1x, past it at 2x; a size near int's limit never overflows.
  EXPECT_FALSE(TwNewSurface(QSize(8192, 8192), 1.0, QImage::Format_RGB32).isNull());
  EXPECT_TRUE(TwNewSurface(QSize(8192, 8192), 2.0, QImage::Format_RGB32).isNull());
  EXPECT_TRUE(TwNewSurface(QSize(2000000000, 2), 2.0, QImage::Format_RGB32).isNull());
  // Effect pictures take the same path; a bitmap past it throws for its handler's guard.
  EXPECT_TRUE(TtwEffectBmp(30000, 30000).Image().isNull());
  TtwBitmap32 b;
  EXPECT_THROW(b.SetSize(30000, 30000), EError);
  EXPECT_TRUE(b.Empty());
}
