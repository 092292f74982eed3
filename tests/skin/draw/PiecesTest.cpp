// Piece geometry and composition on pictures whose pixels name their source.
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "skin/draw/twUtils.h"
#include "tests/skin/draw/DrawFixtures.h"

using drawtest::Coded;
using drawtest::From;

namespace {

// A 16 x 12 piece at (3, 2) of a 24 x 18 picture, with L-shaped corners:
// the corner points lie inside the client rectangle's corners.
const QImage kPic = Coded(24, 18);
const TRect kSR{3, 2, 19, 14};
const TPieceAnchors kA{{5, 4}, {11, 4}, {5, 8}, {11, 8}, {2, 2, 14, 10}};

// Source pixel of piece-relative (x, y).
QPoint P(int x, int y) { return QPoint(kSR.Left + x, kSR.Top + y); }

QImage Nine(int W, int H, TEdgeStretch e, bool centre, bool centreStretch, int type) {
  QImage t;
  ComposeNinePiece(kPic, kSR, kA, W, H, ShiftAnchors(pmNinePiece, kSR, kA, W, H), e, centre, centreStretch,
                   type, t);
  return t;
}

// Counts pixels of the region (l..r, t..b) whose source differs from want(x, y).
template <typename F>
int Mismatches(const QImage& img, int l, int t, int r, int b, F want) {
  int bad = 0;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x)
      if (From(img, x, y) != want(x, y)) ++bad;
  return bad;
}

int NotThePiece(const QImage& img) {
  if (img.width() != kSR.Width() || img.height() != kSR.Height()) return -1;
  return Mismatches(img, 0, 0, img.width(), img.height(), [](int x, int y) { return P(x, y); });
}

}  // namespace

TEST(PieceGeometry, ModeFollowsThePointsInOrder) {
  struct Case {
    TRect sr;
    TPieceAnchors a;
    int mode;
  } cases[] = {
      {{0, 0, 0, 5}, kA, pmNone},
      {{0, 0, 5, -1}, kA, pmNone},
      {kSR, kA, pmNinePiece},
      {kSR, {{1, 1}, {4, 0}, {1, 1}, {0, 3}, {}}, pmThreePieceH},  // RB.x = 0: not nine-piece
      {kSR, {{1, 1}, {0, 0}, {0, 2}, {3, 0}, {}}, pmThreePieceV},
      {kSR, {{1, 1}, {0, 0}, {0, 0}, {0, 0}, {1, 1, 2, 2}}, pmFixed},
  };
  for (const Case& c : cases) EXPECT_EQ(PieceMode(c.sr, c.a), c.mode);
}

TEST(PieceGeometry, ShiftAnchorsMovesOnlyWhatTheModeLets) {
  const int W = 16 + 7, H = 12 + 5;
  EXPECT_EQ(ShiftAnchors(pmNinePiece, kSR, kA, W, H),
            (TPieceAnchors{{5, 4}, {18, 4}, {5, 13}, {18, 13}, {2, 2, 21, 15}}));
  EXPECT_EQ(ShiftAnchors(pmThreePieceH, kSR, kA, W, H),
            (TPieceAnchors{{5, 4}, {18, 4}, {5, 8}, {11, 8}, {2, 2, 21, 10}}));
  EXPECT_EQ(ShiftAnchors(pmThreePieceV, kSR, kA, W, H),
            (TPieceAnchors{{5, 4}, {11, 4}, {5, 13}, {11, 8}, {2, 2, 14, 15}}));
  EXPECT_EQ(ShiftAnchors(pmFixed, kSR, kA, W, H), kA);
}

TEST(ComposePieces, TargetOfThePieceSizeReproducesItInEveryMode) {
  const TEdgeStretch tile{}, stretch{true, true, true, true};
  EXPECT_EQ(NotThePiece(Nine(16, 12, tile, true, false, stFull)), 0);
  EXPECT_EQ(NotThePiece(Nine(16, 12, stretch, true, true, stFull)), 0);
  EXPECT_EQ(NotThePiece(Nine(16, 12, stretch, true, true, stHorz)), 0);
  EXPECT_EQ(NotThePiece(Nine(16, 12, {true, false, false, true}, true, true, stVert)), 0);
  for (bool s : {false, true}) {
    QImage h, v;
    ComposeThreePieceH(kPic, kSR, kA.LT.X, kSR.Width() - kA.RT.X, s, 16, h);
    ComposeThreePieceV(kPic, kSR, kA.LT.Y, kSR.Height() - kA.LB.Y, s, 12, v);
    EXPECT_EQ(NotThePiece(h), 0) << s;
    EXPECT_EQ(NotThePiece(v), 0) << s;
  }
  QImage cs(16, 12, QImage::Format_RGB32);
  cs.fill(0);
  ComposeClientStretched(cs, kPic, kSR, kA.ClRect, true);
  EXPECT_EQ(NotThePiece(cs), 0);

  // Frame bands tile from the band's start, so only stretched edges give the piece back.
  QImage top, bottom, left, right;
  ComposeBorderBands(kPic, kSR, kA, kA, 16, 12, stretch, top, bottom, left, right);
  ASSERT_EQ(top.size(), QSize(16, 2));
  ASSERT_EQ(bottom.size(), QSize(16, 2));
  ASSERT_EQ(left.size(), QSize(2, 8));
  ASSERT_EQ(right.size(), QSize(2, 8));
  EXPECT_EQ(Mismatches(top, 0, 0, 16, 2, [](int x, int y) { return P(x, y); }), 0);
  EXPECT_EQ(Mismatches(bottom, 0, 0, 16, 2, [](int x, int y) { return P(x, y + 10); }), 0);
  EXPECT_EQ(Mismatches(left, 0, 0, 2, 8, [](int x, int y) { return P(x, y + 2); }), 0);
  EXPECT_EQ(Mismatches(right, 0, 0, 2, 8, [](int x, int y) { return P(x + 14, y + 2); }), 0);
}

TEST(ComposePieces, TiledEdgesAndCentreRepeatFromTheBandStartAndEndCut) {
  // 7 wider and 5 higher: the top edge band is 13 px of a 6 px piece (6, 6, 1),
  // the left band 9 px of a 4 px piece, the centre 19 x 13 of 12 x 8.
  const QImage t = Nine(23, 17, TEdgeStretch{}, true, false, stFull);
  ASSERT_EQ(t.size(), QSize(23, 17));
  EXPECT_EQ(Mismatches(t, 5, 0, 18, 2, [](int x, int y) { return P(5 + (x - 5) % 6, y); }), 0);
  EXPECT_EQ(Mismatches(t, 18, 0, 23, 2, [](int x, int y) { return P(11 + x - 18, y); }), 0);
  EXPECT_EQ(Mismatches(t, 0, 4, 2, 13, [](int x, int y) { return P(x, 4 + (y - 4) % 4); }), 0);
  EXPECT_EQ(Mismatches(t, 5, 15, 18, 17, [](int x, int y) { return P(5 + (x - 5) % 6, y - 5); }), 0);
  EXPECT_EQ(Mismatches(t, 21, 4, 23, 13, [](int x, int y) { return P(x - 7, 4 + (y - 4) % 4); }), 0);
  EXPECT_EQ(Mismatches(t, 2, 2, 21, 15, [](int x, int y) { return P(2 + (x - 2) % 12, 2 + (y - 2) % 8); }), 0);
  EXPECT_EQ(Mismatches(t, 18, 15, 23, 17, [](int x, int y) { return P(x - 7, y - 5); }), 0);
}

TEST(ComposePieces, TilesNeverDrawPastTheirBand) {
  QImage dst(12, 3, QImage::Format_RGB32);
  dst.fill(0xFF123456u);
  TileH(dst, TRect{2, 1, 9, 2}, kPic, TRect{4, 0, 7, 1});  // 7 px band, 3 px piece
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inBand = y == 1 && x >= 2 && x < 9;
      if (inBand)
        EXPECT_EQ(From(dst, x, y), QPoint(4 + (x - 2) % 3, 0)) << x;
      else
        EXPECT_EQ(dst.pixel(x, y), 0xFF123456u) << x << "," << y;
    }
  // Zero-length pieces and bands draw nothing (and never divide by zero).
  const QImage before = dst;
  TileH(dst, TRect{0, 0, 12, 3}, kPic, TRect{4, 0, 4, 1});
  TileV(dst, TRect{0, 0, 12, 3}, kPic, TRect{4, 2, 5, 2});
  TileH(dst, TRect{5, 0, 5, 3}, kPic, TRect{0, 0, 3, 3});
  CopyPixels(dst, TRect{6, 0, 2, 3}, kPic, TRect{0, 0, 4, 3});  // would be a mirrored copy
  EXPECT_EQ(dst, before);
}

TEST(ComposePieces, NearestPixelStretchStaysInsideTheSourcePiece) {
  // Source row: columns 0, 1, 2; the copies take columns 0..1 or 0..2 only.
  struct Case {
    int sw, dw;
    std::vector<int> cols;
  } cases[] = {
      {2, 4, {0, 0, 1, 1}},  // 3 * 2 / 4 = 1.5 rounds to 2: must stay at 1
      {2, 3, {0, 1, 1}},
      {3, 2, {0, 2}},
      {3, 1, {1}},  // a single column takes the middle
      {2, 5, {0, 0, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    QImage dst(c.dw, 1, QImage::Format_RGB32);
    dst.fill(0);
    CopyPixels(dst, TRect{0, 0, c.dw, 1}, kPic, TRect{0, 0, c.sw, 1});
    for (int x = 0; x < c.dw; ++x) EXPECT_EQ(From(dst, x, 0).x(), c.cols[size_t(x)]) << c.sw << "->" << c.dw;
  }
  // The middle of a three-piece strip is 2 px; stretched to 4 it must never
  // show the right end's first column.
  QImage t;
  ComposeThreePieceH(kPic, TRect{0, 0, 5, 1}, 2, 1, true, 7, t);
  EXPECT_EQ(Mismatches(t, 0, 0, 7, 1,
                       [](int x, int) {
                         static const int want[] = {0, 1, 2, 2, 3, 3, 4};
                         return QPoint(want[x], 0);
                       }),
            0);
}

TEST(ComposePieces, RightAndBottomCornersWinInATooSmallTarget) {
  // 6 wide: the right corners (5 px) start at x = 1 over the left ones.
  const QImage narrow = Nine(6, 12, TEdgeStretch{}, true, false, stFull);
  EXPECT_EQ(From(narrow, 0, 0), P(0, 0));
  EXPECT_EQ(Mismatches(narrow, 1, 0, 6, 2, [](int x, int y) { return P(11 + x - 1, y); }), 0);
  // 6 high: the bottom-left block (rows 8..11) lands on rows 2..5 over the top-left one.
  const QImage low = Nine(16, 6, TEdgeStretch{}, true, false, stFull);
  EXPECT_EQ(From(low, 0, 1), P(0, 1));
  EXPECT_EQ(Mismatches(low, 0, 2, 2, 6, [](int x, int y) { return P(x, y + 6); }), 0);
}

TEST(ComposePieces, StretchedCentreByStretchType) {
  // Centre 12 x 8 into 24 x 16 at (2, 2).
  const TEdgeStretch s{true, true, true, true};
  const QImage full = Nine(28, 20, s, true, true, stFull);
  EXPECT_EQ(From(full, 2, 2), P(2, 2));
  EXPECT_EQ(From(full, 25, 17), P(13, 9));
  const QImage horz = Nine(28, 20, s, true, true, stHorz);  // repeated strips, stretched rows
  for (int x = 2; x < 26; ++x) EXPECT_EQ(From(horz, x, 2).x(), P(2 + (x - 2) % 12, 0).x()) << x;
  EXPECT_EQ(From(horz, 14, 17), P(2, 9));
  const QImage vert = Nine(28, 20, s, true, true, stVert);
  for (int y = 2; y < 18; ++y) EXPECT_EQ(From(vert, 2, y).y(), P(0, 2 + (y - 2) % 8).y()) << y;
  EXPECT_EQ(From(vert, 25, 10), P(13, 2));
  // Without the draw-centre flag the client area stays unpainted.
  const QImage none = Nine(28, 20, s, false, true, stFull);
  EXPECT_EQ(From(none, 10, 10), QPoint(-1, -1));
}

TEST(ComposePieces, DegeneratePiecesOnlySizeTheTarget) {
  QImage t;
  TPieceAnchors flat = kA;
  flat.RB.X = flat.LT.X;
  ComposeNinePiece(kPic, kSR, flat, 20, 14, flat, TEdgeStretch{}, true, false, stFull, t);
  EXPECT_EQ(t.size(), QSize(20, 14));
  EXPECT_EQ(From(t, 0, 0), QPoint(-1, -1));
  QImage u;
  ComposeNinePiece(QImage(), kSR, kA, 20, 14, kA, TEdgeStretch{}, true, false, stFull, u);
  EXPECT_EQ(u.size(), QSize(20, 14));
}

TEST(ComposePieces, ThreePieceMiddles) {
  // Ends of 3 + 3 in a 6 px piece: the middle is taken one pixel wide.
  QImage h;
  ComposeThreePieceH(kPic, TRect{0, 0, 6, 1}, 3, 3, false, 10, h);
  EXPECT_EQ(Mismatches(h, 0, 0, 10, 1,
                       [](int x, int) {
                         static const int want[] = {0, 1, 2, 3, 3, 3, 3, 3, 4, 5};
                         return QPoint(want[x], 0);
                       }),
            0);
  // The vertical strip draws nothing for an empty middle.
  QImage v;
  ComposeThreePieceV(kPic, TRect{0, 0, 1, 6}, 3, 3, false, 10, v);
  EXPECT_EQ(From(v, 0, 2), QPoint(0, 2));
  for (int y = 3; y < 7; ++y) EXPECT_EQ(From(v, 0, y), QPoint(-1, -1)) << y;
  EXPECT_EQ(From(v, 0, 7), QPoint(0, 3));
  // Tiled middle cut at the right end; the middle-only variant tiles from 0.
  QImage t, m;
  ComposeThreePieceH(kPic, TRect{0, 0, 7, 1}, 2, 2, false, 9, t);
  EXPECT_EQ(Mismatches(t, 0, 0, 9, 1,
                       [](int x, int) {
                         static const int want[] = {0, 1, 2, 3, 4, 2, 3, 5, 6};
                         return QPoint(want[x], 0);
                       }),
            0);
  ComposeMiddleH(kPic, TRect{0, 0, 7, 1}, 2, 2, false, 5, m);
  EXPECT_EQ(Mismatches(m, 0, 0, 5, 1, [](int x, int) { return QPoint(2 + x % 3, 0); }), 0);
}

TEST(ComposeBands, TiledBandsStartAtZeroAndStretchedSidesKeepTheirEnds) {
  const int W = 23, H = 17;
  const TPieceAnchors n = ShiftAnchors(pmNinePiece, kSR, kA, W, H);
  QImage top, bottom, left, right;
  ComposeBorderBands(kPic, kSR, kA, n, W, H, TEdgeStretch{}, top, bottom, left, right);
  ASSERT_EQ(top.size(), QSize(23, 2));
  ASSERT_EQ(left.size(), QSize(2, 13));
  ASSERT_EQ(right.size(), QSize(2, 13));
  ASSERT_EQ(bottom.size(), QSize(23, 2));
  // The top edge's tiles run from x = 0 under the corner: x = 5 shows the
  // piece's sixth column (5 % 6 = 5 -> LT.x + 5).
  EXPECT_EQ(Mismatches(top, 5, 0, 18, 2, [](int x, int y) { return P(5 + x % 6, y); }), 0);
  EXPECT_EQ(Mismatches(top, 18, 0, 23, 2, [](int x, int y) { return P(11 + x - 18, y); }), 0);
  EXPECT_EQ(Mismatches(left, 0, 2, 2, 11, [](int x, int y) { return P(x, 4 + y % 4); }), 0);
  EXPECT_EQ(Mismatches(left, 0, 11, 2, 13, [](int x, int y) { return P(x, 8 + y - 11); }), 0);

  QImage sl, sr2, st, sb;
  ComposeBorderBands(kPic, kSR, kA, n, W, H, TEdgeStretch{true, true, true, true}, st, sb, sl, sr2);
  EXPECT_EQ(Mismatches(sl, 0, 0, 2, 2, [](int x, int y) { return P(x, 2 + y); }), 0);
  EXPECT_EQ(Mismatches(sl, 0, 11, 2, 13, [](int x, int y) { return P(x, 8 + y - 11); }), 0);
  EXPECT_EQ(From(sl, 0, 2), P(0, 4));
  EXPECT_EQ(From(sl, 0, 10), P(0, 7));
}

TEST(ComposeBands, BandsWhoseConditionFailsAreLeftAlone) {
  QImage top(3, 3, QImage::Format_RGB32), bottom, left, right;
  top.fill(0xFF010203u);
  TPieceAnchors noTop = kA;
  noTop.RT.X = noTop.LT.X;
  ComposeBorderBands(kPic, kSR, noTop, noTop, 16, 12, TEdgeStretch{}, top, bottom, left, right);
  EXPECT_EQ(top.size(), QSize(3, 3));
  EXPECT_EQ(top.pixel(1, 1), 0xFF010203u);
  EXPECT_EQ(bottom.size(), QSize(16, 2));
}

TEST(ComposeBands, MaskBandsTileFromTheNewCornerPointAndTheSideBandTop) {
  const QImage mask = kPic.copy(kSR.ToQ());
  const TPieceAnchors n = ShiftAnchors(pmNinePiece, kSR, kA, 23, 17);
  QImage top, bottom, left, right;
  ComposeMaskBands(mask, kA, n, 23, top, bottom, left, right);
  ASSERT_EQ(top.size(), QSize(23, 2));
  ASSERT_EQ(bottom.size(), QSize(23, 2));
  ASSERT_EQ(left.size(), QSize(2, 13));
  EXPECT_EQ(Mismatches(top, 5, 0, 18, 2, [](int x, int y) { return P(5 + (x - 5) % 6, y); }), 0);
  EXPECT_EQ(Mismatches(bottom, 0, 0, 5, 2, [](int x, int y) { return P(x, 10 + y); }), 0);
  EXPECT_EQ(Mismatches(left, 0, 0, 2, 2, [](int x, int y) { return P(x, 2 + y); }), 0);
  EXPECT_EQ(Mismatches(left, 0, 2, 2, 11, [](int x, int y) { return P(x, 4 + y % 4); }), 0);
}

TEST(ComposePieces, ClientStretchedKeepsCornersAndStretchesTheRest) {
  QImage t(30, 20, QImage::Format_RGB32);
  t.fill(0);
  ComposeClientStretched(t, kPic, kSR, kA.ClRect, true);
  // Corners are the client rectangle's corners, copied 1:1.
  EXPECT_EQ(Mismatches(t, 0, 0, 2, 2, [](int x, int y) { return P(x, y); }), 0);
  EXPECT_EQ(Mismatches(t, 28, 18, 30, 20, [](int x, int y) { return P(x - 14, y - 8); }), 0);
  EXPECT_EQ(Mismatches(t, 28, 0, 30, 2, [](int x, int y) { return P(x - 14, y); }), 0);
  // Edges and centre are stretched between them: their ends map to the piece's ends.
  EXPECT_EQ(From(t, 2, 0), P(2, 0));
  EXPECT_EQ(From(t, 27, 1), P(13, 1));
  EXPECT_EQ(From(t, 0, 17), P(0, 9));
  EXPECT_EQ(From(t, 27, 17), P(13, 9));
  QImage empty(30, 20, QImage::Format_RGB32);
  empty.fill(0);
  ComposeClientStretched(empty, kPic, kSR, kA.ClRect, false);
  EXPECT_EQ(From(empty, 15, 10), QPoint(-1, -1));
}

TEST(ComposePieces, PiecesReachingOffThePictureDrawOnlyWhatExists) {
  // A skin rectangle running 4 px past the picture's right edge: nothing is
  // read from outside, the missing columns stay unpainted.
  const QImage small = Coded(10, 8);
  const TRect sr{0, 0, 14, 8};
  const TPieceAnchors a{{2, 2}, {12, 2}, {2, 6}, {12, 6}, {2, 2, 12, 6}};
  QImage t;
  ComposeNinePiece(small, sr, a, 26, 8, ShiftAnchors(pmNinePiece, sr, a, 26, 8), TEdgeStretch{}, true, false,
                   stFull, t);
  ASSERT_EQ(t.size(), QSize(26, 8));
  for (int x = 2; x < 24; ++x) {
    const int col = 2 + (x - 2) % 10;  // centre tiles of 10 columns, of which 8 exist
    EXPECT_EQ(From(t, x, 3), col < 10 ? QPoint(col, 3) : QPoint(-1, -1)) << x;
  }
  EXPECT_EQ(From(t, 24, 0), QPoint(-1, -1));
}

TEST(ComposePieces, MalformedHugeValuesDrawNothing) {
  const int big = 2147483000;
  const TRect hugeSR{-big, 0, big, 10};
  const TPieceAnchors hugeA{{big, 1}, {-big, 1}, {1, big}, {big, big}, {-big, -big, big, big}};
  EXPECT_EQ(PieceMode(hugeSR, kA), pmNone);
  EXPECT_EQ(PieceMode(kSR, hugeA), pmNone);
  EXPECT_EQ(ShiftAnchors(pmNinePiece, kSR, hugeA, big, big), hugeA);
  QImage t, b, l, r;
  ComposeNinePiece(kPic, hugeSR, hugeA, 20, 10, hugeA, TEdgeStretch{}, true, false, stFull, t);
  EXPECT_EQ(From(t, 5, 5), QPoint(-1, -1));
  ComposeThreePieceH(kPic, kSR, big, -big, true, 30, t);
  ComposeBorderBands(kPic, kSR, hugeA, hugeA, 20, 10, TEdgeStretch{}, t, b, l, r);
  ComposeMaskBands(kPic, hugeA, hugeA, 20, t, b, l, r);
  EXPECT_TRUE(b.isNull() && l.isNull() && r.isNull());
  EXPECT_TRUE(FrameRegionFromMask(kPic, hugeA, hugeA, 20).isEmpty());
  QImage dst(4, 4, QImage::Format_RGB32);
  dst.fill(0);
  CopyPixels(dst, TRect{-big, -big, big, big}, kPic, TRect{0, 0, 3, 3});
  TileH(dst, TRect{0, 0, 4, 4}, kPic, TRect{-big, 0, big, 1});
  EXPECT_EQ(From(dst, 1, 1), QPoint(-1, -1));
}

TEST(ComposePieces, ArbitraryGeometryNeverTouchesPixelsOutsideItsImages) {
  // Skins can carry any numbers: inverted, negative or past the picture.
  // Under the address sanitizer a stray read or write shows up here.
  QRandomGenerator rng(1234);
  auto v = [&](int lo, int hi) { return int(rng.bounded(lo, hi + 1)); };
  const QImage pic = Coded(20, 16);
  for (int i = 0; i < 3000; ++i) {
    const TRect sr{v(-6, 12), v(-6, 10), v(-4, 28), v(-4, 22)};
    auto pt = [&] { return TPoint{v(-5, 24), v(-5, 20)}; };
    const TPieceAnchors a{pt(), pt(), pt(), pt(), {v(-5, 12), v(-5, 10), v(-3, 24), v(-3, 20)}};
    const int W = v(-3, 40), H = v(-3, 30);
    const int mode = PieceMode(sr, a);
    const TPieceAnchors n = ShiftAnchors(mode < 0 ? pmNinePiece : mode, sr, a, W, H);
    const TEdgeStretch e{v(0, 1) == 1, v(0, 1) == 1, v(0, 1) == 1, v(0, 1) == 1};
    QImage t, b, l, r;
    ComposeNinePiece(pic, sr, a, W, H, n, e, true, v(0, 1) == 1, v(0, 3), t);
    if (W > 0 && H > 0) {
      ASSERT_EQ(t.size(), QSize(W, H));
    }
    ComposeThreePieceH(pic, sr, a.LT.X, sr.Width() - a.RT.X, e.Top, W, t);
    ComposeThreePieceV(pic, sr, a.LT.Y, sr.Height() - a.LB.Y, e.Left, H, t);
    ComposeMiddleH(pic, sr, a.LT.X, sr.Width() - a.RT.X, e.Right, W, t);
    ComposeBorderBands(pic, sr, a, n, W, H, e, t, b, l, r);
    ComposeMaskBands(pic, a, n, W, t, b, l, r);
    FrameRegionFromMask(pic, a, n, W);
    QImage c(std::max(W, 1), std::max(H, 1), QImage::Format_ARGB32);
    ComposeClientStretched(c, pic, sr, a.ClRect, true);
  }
}
