// Regions from mask pictures, and glyph and text layout.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <functional>
#include <QPainter>
#include <QWidget>

#include "skin/draw/twUtils.h"
#include "tests/skin/draw/DrawFixtures.h"

using drawtest::Art;
using drawtest::Mask;

namespace {

int Area(const QRegion& r) {
  int a = 0;
  for (const QRect& q : r) a += q.width() * q.height();
  return a;
}

QImage White(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(0xFFFFFFFFu);
  return img;
}

QFont TestFont() {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(12);
  return f;
}

}  // namespace

// ---- regions ------------------------------------------------------------------

TEST(MaskRegions, OneRectanglePerRunPerRowAtTheOffset) {
  const QImage m = Mask({"#.##.#", "......", "######"});
  const TRegionData d = MaskToRunList(m, 10, 20);
  EXPECT_EQ(d.Bound, (TRect{10, 20, 16, 23}));
  const std::vector<QRect> want = {QRect(10, 20, 1, 1), QRect(12, 20, 2, 1), QRect(15, 20, 1, 1),
                                   QRect(10, 22, 6, 1)};
  EXPECT_EQ(d.Rects, want);
  EXPECT_EQ(d.SizeInBytes(), 32u + 16u * 4u);
  const QRegion r = RegionFromMask(m);
  EXPECT_EQ(Area(r), 10);
  EXPECT_TRUE(r.contains(QPoint(3, 0)));
  EXPECT_FALSE(r.contains(QPoint(4, 0)));
  EXPECT_FALSE(r.contains(QPoint(2, 1)));
}

TEST(MaskRegions, OnlyPureBlackIsInside) {
  QImage m = White(5, 1);
  m.setPixel(0, 0, qRgb(1, 0, 0));
  m.setPixel(1, 0, qRgb(0, 1, 0));
  m.setPixel(2, 0, qRgb(0, 0, 1));
  m.setPixel(3, 0, qRgb(0, 0, 0));
  const std::vector<QRect> want = {QRect(3, 0, 1, 1)};
  EXPECT_EQ(MaskToRunList(m, 0, 0).Rects, want);
  // Alpha plays no part; masks in other formats read the same way.
  QImage a(2, 1, QImage::Format_ARGB32);
  a.setPixel(0, 0, 0x00000000u);
  a.setPixel(1, 0, 0x80FFFFFFu);
  EXPECT_EQ(MaskToRunList(a, 0, 0).Rects, (std::vector<QRect>{QRect(0, 0, 1, 1)}));
  QImage g(3, 1, QImage::Format_Grayscale8);
  g.setPixel(0, 0, 1);
  g.fill(0);
  g.scanLine(0)[2] = 1;
  EXPECT_EQ(MaskToRunList(g, 0, 0).Rects, (std::vector<QRect>{QRect(0, 0, 2, 1)}));
}

TEST(MaskRegions, WhiteAndEmptyMasksGiveNoRegion) {
  const TRegionData white = MaskToRunList(White(8, 4), 0, 0);
  EXPECT_TRUE(white.Rects.empty());
  EXPECT_EQ(white.SizeInBytes(), 32u);
  EXPECT_TRUE(RegionFromMask(White(8, 4)).isEmpty());
  EXPECT_EQ(MaskToRunList(QImage(), 0, 0).SizeInBytes(), 0u);
  EXPECT_TRUE(RegionFromMask(QImage()).isEmpty());
}

TEST(MaskRegions, MoreThanTenThousandRunsStayInOneRegion) {
  QImage m = White(300, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 300; x += 2) m.setPixel(x, y, 0xFF000000u);
  const TRegionData d = MaskToRunList(m, 0, 0);
  EXPECT_EQ(d.Rects.size(), 15000u);
  const QRegion r = RegionFromRunList(d);
  EXPECT_EQ(Area(r), 15000);
  EXPECT_TRUE(r.contains(QPoint(298, 99)));
  EXPECT_FALSE(r.contains(QPoint(299, 99)));
}

TEST(MaskRegions, FrameRegionJoinsClientAndBands) {
  const QImage m = Mask({".####.", "######", "######", "######", "######", ".####."});
  const TRect sr{0, 0, 6, 6};
  const TPieceAnchors a{{2, 2}, {4, 2}, {2, 4}, {4, 4}, {1, 1, 5, 5}};
  const TPieceAnchors n = ShiftAnchors(pmNinePiece, sr, a, 10, 9);
  const QRegion r = FrameRegionFromMask(m, a, n, 10);
  EXPECT_EQ(Area(r), 10 * 9 - 4);
  for (QPoint out : {QPoint(0, 0), QPoint(9, 0), QPoint(0, 8), QPoint(9, 8)}) EXPECT_FALSE(r.contains(out)) << out.x();
  for (QPoint in : {QPoint(1, 0), QPoint(8, 8), QPoint(0, 4), QPoint(9, 7), QPoint(5, 5)})
    EXPECT_TRUE(r.contains(in)) << in.x() << "," << in.y();

  // Too narrow for its corners, or no client area: the window stays rectangular.
  EXPECT_TRUE(FrameRegionFromMask(m, a, ShiftAnchors(pmNinePiece, sr, a, 2, 9), 2).isEmpty());
  EXPECT_TRUE(FrameRegionFromMask(m, a, ShiftAnchors(pmNinePiece, sr, a, 10, 2), 10).isEmpty());
}

// ---- glyph and text layout ------------------------------------------------------

TEST(GlyphTextLayout, WithAndWithoutMargin) {
  const TRect R{10, 20, 110, 60};  // centre (60, 40)
  struct Case {
    int layout, margin, gw, gh;
    TGlyphTextLayout want;
  } cases[] = {
      {0, 4, 16, 12, {{14, 34}, {33, 35}}},
      {1, 4, 16, 12, {{90, 34}, {57, 35}}},
      {2, 4, 16, 12, {{52, 24}, {45, 39}}},
      {3, 4, 16, 12, {{52, 44}, {45, 31}}},
      {0, -1, 16, 12, {{36, 34}, {54, 35}}},
      {1, -1, 16, 12, {{68, 34}, {36, 35}}},
      {2, -1, 16, 12, {{52, 28}, {45, 42}}},
      {3, -1, 16, 12, {{52, 40}, {45, 28}}},
      {0, -1, 0, 0, {{45, 40}, {45, 35}}},  // no glyph: the spacing is dropped
      {2, 4, 0, 0, {{60, 24}, {45, 24}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LayoutGlyphText(c.layout, R, c.gw, c.gh, 30, 10, c.margin, 3), c.want)
        << "layout " << c.layout << " margin " << c.margin;
  // Halves truncate toward zero, also left of the origin.
  EXPECT_EQ(LayoutGlyphText(0, TRect{0, 0, 7, 5}, 3, 3, 2, 1, -1, 1), (TGlyphTextLayout{{0, 1}, {4, 2}}));
  EXPECT_EQ(LayoutGlyphText(0, TRect{-9, -9, 0, 0}, 3, 3, 2, 1, -1, 0), (TGlyphTextLayout{{-7, -6}, {-5, -5}}));
}

TEST(TextFitting, EllipsisKeepsWhatFits) {
  drawtest::EnsureApp();
  QImage img = White(10, 10);
  QPainter p(&img);
  p.setFont(TestFont());
  const QFontMetrics fm(p.font());
  // Widths are given as "the width of this text, plus delta" in each
  // variant's own measure.
  struct Case {
    QString text, widthOf;
    int delta;
    QString want;
  } cases[] = {
      {"Hello", "Hello", 0, "Hello"},
      {"WWWWW", "WW...", 0, "WW..."},
      {"WWWWW", "WW...", -1, "W..."},
      {"WWWWW", "...", -1, "..."},
      {"", "", 0, ""},
      {QString::fromUtf8("W\xF0\x9F\x98\x80" "WWWW"), "W...", 0, "W..."},  // never half a character
  };
  for (const Case& c : cases) {
    QString t = c.text;
    FitTextEllipsis(p, t, fm.horizontalAdvance(c.widthOf) + c.delta);
    EXPECT_EQ(t, c.want) << c.text.toStdString() << " in " << c.widthOf.toStdString() << c.delta;
    QString w = c.text;
    FitWideTextEllipsis(p, w, WideTextWidth(p, c.widthOf) + c.delta);
    EXPECT_EQ(w, c.want) << "wide " << c.text.toStdString();
  }
}

TEST(TextDrawing, IndentedAndCentredTextStayInTheirRectangle) {
  drawtest::EnsureApp();
  QImage img = White(60, 30);
  QPainter p(&img);
  p.setFont(TestFont());
  p.setPen(Qt::black);
  DrawTextIndented(p, QStringLiteral("WWWWWWWWWWWW"), TRect{10, 5, 30, 25}, 3);
  DrawTextVCenter(p, QString(), TRect{0, 0, 60, 30});
  p.end();
  int inkLeft = 60, inkRight = -1;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x)
      if (img.pixel(x, y) != 0xFFFFFFFFu) {
        inkLeft = std::min(inkLeft, x);
        inkRight = std::max(inkRight, x);
        EXPECT_TRUE(y >= 5 && y < 25) << y;
      }
  EXPECT_GE(inkLeft, 14);  // 10 + 2 + 3, less a pixel of side bearing
  EXPECT_LE(inkRight, 29);
}

TEST(TextDrawing, DottedFocusAlternatesAroundTheBorder) {
  drawtest::EnsureApp();
  struct Case {
    TRect r;
    QSize size;
    QString art;
  } cases[] = {
      // 5 x 4 after the inset: odd, so the first pixel is drawn.
      {{0, 0, 6, 5}, {7, 6}, "#.#.#..|.....#.|#......|.....#.|#.#.#..|......."},
      // 4 x 2: both even, the first pixel is skipped.
      {{0, 0, 5, 3}, {6, 4}, ".#.#..|#...#.|.#.#..|......"},
  };
  for (const Case& c : cases) {
    QImage img = White(c.size.width(), c.size.height());
    QPainter p(&img);
    p.setPen(QColor(0, 0, 255));
    DrawDottedFocus(p, c.r);
    p.end();
    EXPECT_EQ(Art(img, qRgb(0, 0, 255)), c.art);
  }
}

TEST(GlyphDrawing, StripFrameUsesItsBottomLeftColourAsKey) {
  drawtest::EnsureApp();
  // Two 3 x 2 frames; frame 2 has key colour green at its bottom-left.
  QImage strip(6, 2, QImage::Format_RGB32);
  strip.fill(qRgb(255, 0, 0));
  strip.setPixel(3, 1, qRgb(0, 255, 0));
  strip.setPixel(4, 0, qRgb(0, 255, 0));
  strip.setPixel(5, 0, qRgb(0, 0, 255));
  QImage img = White(5, 4);
  QPainter p(&img);
  DrawStripFrame(p, 1, 1, 2, 2, strip);
  DrawStripFrame(p, 0, 0, 3, 2, strip);  // no such frame
  p.end();
  EXPECT_EQ(Art(img, qRgb(255, 0, 0)), ".....|.#...|..##.|.....");
  EXPECT_EQ(Art(img, qRgb(0, 0, 255)), ".....|...#.|.....|.....");
  EXPECT_EQ(Art(img, qRgb(0, 255, 0)), ".....|.....|.....|.....");
}

TEST(GlyphDrawing, GlyphPositionPressedOffsetAndMarkers) {
  drawtest::EnsureApp();
  QImage strip(8, 4, QImage::Format_RGB32);  // two 4 x 4 frames, key = white corner
  strip.fill(qRgb(0, 0, 255));
  strip.setPixel(0, 3, qRgb(255, 255, 255));
  strip.setPixel(4, 3, qRgb(255, 255, 255));
  QImage img = White(20, 12);
  QPainter p(&img);
  // Centred pair without caption: width 4 + spacing 2 puts the glyph at
  // (7, 4); pressed, at (8, 5).
  DrawStripGlyphText(p, TRect{0, 0, 20, 12}, QString(), strip, 2, 1, 0, -1, 2, true, true, 0x0000FF);
  p.end();
  EXPECT_EQ(img.pixel(8, 5), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(7, 4), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(8, 6), qRgb(0, 0, 255));
  // Marker: three lines from the glyph's x over the whole strip width, at
  // glyph bottom - 2 .. glyph bottom (rows 7, 8, 9), drawn over the glyph.
  for (int y : {7, 8, 9})
    for (int x = 8; x < 16; ++x) EXPECT_EQ(img.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
  EXPECT_EQ(img.pixel(16, 8), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(8, 10), qRgb(255, 255, 255));

  // Neither glyph nor caption: a block (left + 4, top + 4, right - 2, bottom - 4);
  // the pressed strip variant uses top + 5 and bottom - 3.
  const QString plain = "........|........|........|........|....##..|....##..|........|........|........|........";
  const QString pressed = "........|........|........|........|........|....##..|....##..|........|........|........";
  for (bool isStrip : {false, true}) {
    QImage m = White(8, 10);
    QPainter q(&m);
    if (isStrip)
      DrawStripGlyphText(q, TRect{0, 0, 8, 10}, QString(), QImage(), 0, 1, 0, 0, 0, true, true, 0x00FF00);
    else
      DrawListGlyphText(q, TRect{0, 0, 8, 10}, QString(), {}, -1, 0, 0, 0, true, false, true, 0x00FF00);
    q.end();
    EXPECT_EQ(Art(m, qRgb(0, 255, 0)), isStrip ? pressed : plain) << isStrip;
  }
}

TEST(GlyphDrawing, ListGlyphAndCaptionFollowTheLayout) {
  drawtest::EnsureApp();
  QImage glyph(6, 6, QImage::Format_RGB32);
  glyph.fill(qRgb(0, 0, 255));
  QImage img = White(80, 20);
  QPainter p(&img);
  p.setFont(TestFont());
  p.setPen(Qt::black);
  // Glyph right of the caption, 3 px from the right edge.
  DrawListGlyphText(p, TRect{0, 0, 80, 20}, QStringLiteral("Ab"), {glyph}, 0, 1, 3, 4, true, false, false, 0);
  p.end();
  EXPECT_EQ(img.pixel(71, 7), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(76, 12), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(77, 7), qRgb(255, 255, 255));
  int inkRight = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 70; ++x)
      if (qRed(img.pixel(x, y)) < 128) inkRight = std::max(inkRight, x);
  EXPECT_GT(inkRight, 50);
  EXPECT_LE(inkRight, 68);  // the caption ends before glyph x - spacing (its box is 2 px wider)
}

// ---- colours and marks ---------------------------------------------------------

TEST(Marks, ShadeColorRoundsHalvesToEven) {
  drawtest::EnsureApp();
  EXPECT_EQ(ShadeColor(0x00C08040, 50), 0x00604020u);
  EXPECT_EQ(ShadeColor(0x00000503, 50), 0x00000301u);  // 1.5 -> 2, 2.5 -> 2
  EXPECT_EQ(ShadeColor(0x00C08040, 0), 0x00C08040u);
  EXPECT_EQ(ShadeColor(0x00C08040, 100), 0u);
  const QColor face = SystemColor(COLOR_BTNFACE);
  EXPECT_EQ(ShadeColor(0xFF00000F, 0), TColor(face.red() | (face.green() << 8) | (face.blue() << 16)));
}

TEST(Marks, PixelPatterns) {
  drawtest::EnsureApp();
  const TRect r{0, 0, 9, 9};
  struct Case {
    std::function<void(QPainter&)> draw;
    QString art;
  } cases[] = {
      {[&](QPainter& p) { DrawDropMark(p, r, 0); },
       ".........|.........|.........|.........|..#####..|...###...|....#....|.........|........."},
      {[&](QPainter& p) { DrawArrowMark(p, r, 0, 1); },
       ".........|.....#...|....##...|...###...|..####...|...###...|....##...|.....#...|........."},
      {[&](QPainter& p) { DrawArrowMark(p, r, 0, 2); },
       ".........|...#.....|...##....|...###...|...####..|...###...|...##....|...#.....|........."},
      {[&](QPainter& p) { DrawArrowMark(p, r, 0, 3); },
       ".........|.........|....#....|...###...|..#####..|.#######.|.........|.........|........."},
      {[&](QPainter& p) { DrawArrowMark(p, r, 0, 4); },
       ".........|.........|.........|.#######.|..#####..|...###...|....#....|.........|........."},
      {[&](QPainter& p) { DrawCheckMark(p, 0, 0, 0); },
       ".........|......#..|.....##..|#...###..|##.###...|#####....|.###.....|..#......|........."},
      {[&](QPainter& p) { DrawFrame3D(p, TRect{1, 1, 6, 5}, 0x00FFFFFF, 0); },
       ".........|.....#...|.....#...|.....#...|.#####...|.........|.........|.........|........."},
  };
  for (const Case& c : cases) {
    QImage img = White(9, 9);
    img.fill(qRgb(128, 128, 128));
    QPainter p(&img);
    c.draw(p);
    p.end();
    EXPECT_EQ(Art(img, qRgb(0, 0, 0)), c.art);
  }
  QImage img(9, 9, QImage::Format_RGB32);
  img.fill(qRgb(128, 128, 128));
  QPainter p(&img);
  DrawFrame3D(p, TRect{1, 1, 6, 5}, 0x00FFFFFF, 0);
  p.end();
  EXPECT_EQ(Art(img, qRgb(255, 255, 255)),
            ".........|.####....|.#.......|.#.......|.........|.........|.........|.........|.........");
}

TEST(Underlay, ParentBackgroundAndEarlierSiblingsShowThrough) {
  drawtest::EnsureApp();
  QWidget parent;
  parent.resize(60, 40);
  QPalette pal;
  pal.setColor(QPalette::Window, QColor(255, 0, 0));
  parent.setPalette(pal);
  parent.setAutoFillBackground(true);
  class Solid : public QWidget {
   public:
    Solid(QWidget* p, QColor c) : QWidget(p), c_(c) {}
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), c_); }
    QColor c_;
  };
  Solid below(&parent, QColor(0, 0, 255));
  below.setGeometry(10, 10, 10, 10);
  QWidget control(&parent);
  control.setGeometry(5, 5, 20, 20);
  Solid above(&parent, QColor(0, 255, 0));  // created later: not part of the underlay
  above.setGeometry(5, 5, 5, 5);
  parent.show();

  QImage img(20, 20, QImage::Format_RGB32);
  img.fill(0xFFFFFFFFu);
  QPainter p(&img);
  PaintUnderlay(&control, p);
  p.end();
  EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(14, 14), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(15, 15), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(19, 19), qRgb(255, 0, 0));
}

TEST(Underlay, AChildParentPaintsItsOwnFaceUnderTheControl) {
  drawtest::EnsureApp();
  class Halves : public QWidget {
   public:
    using QWidget::QWidget;
    void paintEvent(QPaintEvent*) override {
      QPainter p(this);
      p.fillRect(rect(), QColor(255, 255, 0));
      p.fillRect(QRect(0, 0, width() / 2, height()), QColor(0, 128, 0));
    }
  };
  QWidget window;
  window.resize(100, 60);
  Halves panel(&window);
  panel.setGeometry(10, 10, 80, 40);  // green x < 40, yellow beyond
  QWidget control(&panel);
  control.setGeometry(30, 5, 20, 10);
  window.show();
  QImage img(20, 10, QImage::Format_RGB32);
  img.fill(0xFFFFFFFFu);
  QPainter p(&img);
  PaintUnderlay(&control, p);
  p.end();
  EXPECT_EQ(img.pixel(0, 0), qRgb(0, 128, 0));
  EXPECT_EQ(img.pixel(9, 9), qRgb(0, 128, 0));
  EXPECT_EQ(img.pixel(10, 0), qRgb(255, 255, 0));
  EXPECT_EQ(img.pixel(19, 9), qRgb(255, 255, 0));
}
