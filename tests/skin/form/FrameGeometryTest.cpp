// Frame geometry, region, limits, placement and hit testing as pure
// functions, against a 20 x 16 fixture frame.
#include <gtest/gtest.h>

#include "skin/form/twFrameGeometry.h"
#include "skin/form/twFrameMover.h"
#include "FrameFixtures.h"
#include "../controls/QtApp.h"

namespace {

TtwFrameInfo FixtureInfo() {
  TtwFrameInfo i;
  i.PictureWidth = 20;
  i.PictureHeight = 16;
  i.LT = {5, 8};
  i.RT = {15, 8};
  i.LB = {5, 11};
  i.RB = {15, 11};
  i.ClientRect = {3, 6, 17, 13};
  i.CaptionRect = {3, 1, 17, 6};
  i.MaskRect = {2, 2, 18, 14};
  i.HitLT = {4, 4};
  i.HitRT = {15, 4};
  i.HitLB = {4, 12};
  i.HitRB = {15, 12};
  i.BorderWidth = 2;
  i.ButtonsOffset = 1;
  return i;
}

TEST(FrameGeometry, ShiftsEverythingRightOfAndBelowTheCornersBySizeDifference) {
  const TtwFrameInfo info = FixtureInfo();
  const TtwFrameGeometry same = FrameGeometry(info, 20, 16);
  EXPECT_EQ(same.ClientRect, info.ClientRect);
  EXPECT_EQ(same.MaskRect, info.MaskRect);

  const TtwFrameGeometry g = FrameGeometry(info, 50, 40);
  EXPECT_EQ(g.ClientRect, (TRect{3, 6, 47, 37}));
  EXPECT_EQ(g.CaptionRect, (TRect{3, 1, 47, 6}));
  EXPECT_EQ(g.MaskRect, (TRect{2, 2, 48, 38}));
  EXPECT_EQ(g.LT, (TPoint{5, 8}));
  EXPECT_EQ(g.RT, (TPoint{45, 8}));
  EXPECT_EQ(g.LB, (TPoint{5, 35}));
  EXPECT_EQ(g.RB, (TPoint{45, 35}));
  EXPECT_EQ(g.HitLT, (TPoint{4, 4}));
  EXPECT_EQ(g.HitRT, (TPoint{45, 4}));
  EXPECT_EQ(g.HitLB, (TPoint{4, 36}));
  EXPECT_EQ(g.HitRB, (TPoint{45, 36}));
  EXPECT_EQ(FrameMargins(info), QMargins(3, 6, 3, 3));
}

TEST(FrameGeometry, ButtonsRectMovesWithTheRightEdgeOrMarksTheButtonsLeft) {
  TtwFrameInfo info = FixtureInfo();
  info.ButtonsRect = {12, 1, 18, 5};
  TtwFrameGeometry g = FrameGeometry(info, 50, 40);
  EXPECT_EQ(g.ButtonsRect, (TRect{42, 1, 48, 5}));
  EXPECT_FALSE(g.ButtonsOnLeft);
  info.ButtonsRect = {2, 1, 8, 5};
  g = FrameGeometry(info, 50, 40);
  EXPECT_EQ(g.ButtonsRect, info.ButtonsRect);
  EXPECT_TRUE(g.ButtonsOnLeft);
}

TEST(FrameGeometry, RegionCutsTheMaskCornersAtAnySize) {
  const TtwFrameInfo info = FixtureInfo();
  const QImage mask = twtest::CutCornerMask(20, 16);
  for (QSize s : {QSize(20, 16), QSize(40, 30), QSize(333, 211)}) {
    SCOPED_TRACE(s.width());
    const int W = s.width(), H = s.height();
    const QRegion r = FrameRegion(info, mask, FrameGeometry(info, W, H));
    for (QPoint out : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(W - 1, 0), QPoint(W - 2, 0), QPoint(W - 1, 1)})
      EXPECT_FALSE(r.contains(out)) << out.x() << "," << out.y();
    for (QPoint in : {QPoint(2, 0), QPoint(0, 2), QPoint(W - 3, 0), QPoint(W - 1, 2), QPoint(0, H - 1),
                      QPoint(W - 1, H - 1), QPoint(W / 2, H / 2)})
      EXPECT_TRUE(r.contains(in)) << in.x() << "," << in.y();
    EXPECT_EQ(r.boundingRect(), QRect(0, 0, W, H));
  }
  EXPECT_TRUE(FrameRegion(info, QImage(), FrameGeometry(info, 40, 30)).isEmpty());
}

// The region kept band by band is the whole region, whichever axis a resize
// moves, for a mask whose rows differ all along its sides.
TEST(FrameGeometry, RegionKeptBandByBandEqualsTheWholeRegion) {
  const TtwFrameInfo info = FixtureInfo();
  QImage notched = twtest::CutCornerMask(20, 16);
  for (QPoint p : {QPoint(0, 9), QPoint(1, 9), QPoint(19, 10), QPoint(0, 12), QPoint(7, 15), QPoint(10, 0)})
    notched.setPixel(p, qRgb(255, 255, 255));
  TtwFrameRegionCache cache;
  for (const QImage& mask : {notched, twtest::CutCornerMask(20, 16)})
    for (QSize s : {QSize(20, 16), QSize(40, 30), QSize(41, 30), QSize(41, 17), QSize(333, 17), QSize(333, 211),
                    QSize(20, 211), QSize(20, 16)}) {
      SCOPED_TRACE(QStringLiteral("%1 x %2").arg(s.width()).arg(s.height()).toStdString());
      const TtwFrameGeometry g = FrameGeometry(info, s.width(), s.height());
      const QRegion whole = FrameRegion(info, mask, g);
      EXPECT_TRUE((cache.Region(info, mask, g) ^ whole).isEmpty());
      EXPECT_FALSE(whole.isEmpty());
    }
  EXPECT_TRUE(cache.Region(info, QImage(), FrameGeometry(info, 40, 30)).isEmpty());
}

TEST(FrameGeometry, SizeLimits) {
  TtwSizeLimitInput skinless;
  EXPECT_EQ(FrameMinWidth(skinless), 120);
  EXPECT_EQ(FrameMinHeight(skinless), 25);
  skinless.CaptionHeight = 15;
  skinless.MinHeight = 100;
  EXPECT_EQ(FrameMinHeight(skinless), 100);
  skinless.RolledUp = true;
  EXPECT_EQ(FrameMinHeight(skinless), 21);

  TtwSizeLimitInput s;
  s.Skin = true;
  s.PictureWidth = 285;
  s.PictureHeight = 210;
  s.ClientRectHeight = 179;
  EXPECT_EQ(FrameMinWidth(s), 285);
  s.FormMinWidth = 220;
  EXPECT_EQ(FrameMinWidth(s), 220);
  s.MinWidth = 250;
  EXPECT_EQ(FrameMinWidth(s), 250);
  s.MinWidth = 400;
  EXPECT_EQ(FrameMinWidth(s), 400);
  s.Minimized = true;
  EXPECT_EQ(FrameMinWidth(s), 220);
  EXPECT_EQ(FrameMinHeight(s), 31);
  s.MaxWidth = 500;
  EXPECT_EQ(FrameMaxSize(s, QRect(0, 0, 1920, 1040)), QSize(500, 1040));
}

TEST(FrameGeometry, ButtonsLineUpFromTheCaptionRightAndTheCaptionEndsBeforeThem) {
  TtwFrameInfo info = FixtureInfo();
  info.ButtonsOffset = 2;
  const TtwFrameGeometry g = FrameGeometry(info, 100, 40);
  auto button = [](int command, bool visible = true) {
    TtwLayoutItem it;
    it.kind = TtwLayoutItem::kButton;
    it.Command = command;
    it.Visible = visible;
    it.Size = QSize(4, 4);
    return it;
  };
  TtwLayoutItem caption;
  caption.kind = TtwLayoutItem::kCaption;
  caption.InPicture = true;
  caption.SkinRect = {3, 1, 17, 6};
  // List order differs from row order: close, maximise, minimise, roll-up.
  std::vector<TtwLayoutItem> items = {button(5), button(2), caption, button(0), button(1, false), button(3)};
  items[5].Size = QSize(3, 2);
  LayoutFrameObjects(info, g, items);
  EXPECT_EQ(items[3].Rect, (TRect{93, 1, 97, 5}));  // close
  EXPECT_EQ(items[1].Rect, (TRect{87, 1, 91, 5}));  // minimise: the hidden maximise leaves no gap
  EXPECT_EQ(items[0].Rect, (TRect{81, 1, 85, 5}));  // roll-up
  EXPECT_EQ(items[5].Rect, (TRect{3, 2, 6, 4}));    // system menu, centred at the caption's left
  EXPECT_EQ(items[2].Rect, (TRect{6, 1, 81, 6}));
}

TEST(FrameGeometry, FramePictureObjectsFollowTheirCorner) {
  const TtwFrameInfo info = FixtureInfo();
  struct Case { TRect in, out; } cases[] = {
      {{1, 1, 4, 4}, {1, 1, 4, 4}},          // top-left: stays
      {{16, 1, 19, 4}, {46, 1, 49, 4}},      // top-right: moves right
      {{1, 12, 4, 15}, {1, 36, 4, 39}},      // bottom-left: moves down
      {{16, 12, 19, 15}, {46, 36, 49, 39}},  // bottom-right: moves both ways
      {{1, 1, 16, 4}, {1, 1, 46, 4}},        // top-left to top-right: grows
      {{1, 1, 16, 12}, {1, 1, 46, 36}},      // top-left to bottom-right: grows both ways
      {{8, 8, 10, 10}, {8, 8, 10, 10}},      // inside: stays
  };
  for (const Case& c : cases) EXPECT_EQ(MapFramePictureRect(info, c.in, 30, 24), c.out) << c.in.Left;
}

struct HitCase {
  int x, y, code;
};

TtwHitTestInput FixtureHitInput(bool mask, bool sizeable) {
  const TtwFrameInfo info = FixtureInfo();
  TtwHitTestInput in;
  in.Skin = true;
  in.W = 50;
  in.H = 40;
  in.G = FrameGeometry(info, 50, 40);
  in.HasMask = mask;
  if (mask) in.Region = FrameRegion(info, twtest::CutCornerMask(20, 16), in.G);
  in.BorderWidth = 2;
  in.CaptionRect = {3, 1, 43, 6};
  in.Sizeable = sizeable;
  return in;
}

TEST(FrameHitTest, SizeableWindowWithMaskAnswersEveryEdgeAndCorner) {
  const TtwHitTestInput in = FixtureHitInput(true, true);
  const HitCase cases[] = {
      {0, 0, htNowhere},    {2, 0, htTopLeft},      {25, 0, htTop},      {47, 1, htTopRight},
      {0, 20, htLeft},      {49, 20, htRight},      {0, 39, htBottomLeft}, {25, 39, htBottom},
      {49, 39, htBottomRight}, {25, 20, htClient},  {20, 3, htCaption},  {44, 2, htObject},
      {50, 20, htNowhere},
  };
  for (const HitCase& c : cases) EXPECT_EQ(FrameHitTest(in, {c.x, c.y}), c.code) << c.x << "," << c.y;
}

TEST(FrameHitTest, WithoutMaskTheBorderWidthDecides) {
  const TtwHitTestInput in = FixtureHitInput(false, true);
  const HitCase cases[] = {{0, 0, htTopLeft}, {1, 20, htLeft}, {2, 20, htObject}, {48, 20, htRight},
                           {25, 38, htBottom}, {25, 20, htClient}};
  for (const HitCase& c : cases) EXPECT_EQ(FrameHitTest(in, {c.x, c.y}), c.code) << c.x << "," << c.y;
}

TEST(FrameHitTest, NotSizeableFrameHasNoEdges) {
  const TtwHitTestInput in = FixtureHitInput(true, false);
  for (int y = 0; y < in.H; ++y)
    for (int x = 0; x < in.W; ++x) {
      const int code = FrameHitTest(in, {x, y});
      EXPECT_FALSE(IsSizingHit(code)) << x << "," << y;
      if (code == htClient) {
        EXPECT_TRUE(x >= 3 && x < 47 && y >= 6 && y < 37);
      }
    }
  EXPECT_EQ(FrameHitTest(in, {20, 3}), htCaption);
}

TEST(FrameHitTest, HotObjectAnswersOnlyInsideItself) {
  TtwHitTestInput in = FixtureHitInput(true, true);
  in.HotRect = {43, 1, 47, 5};
  EXPECT_EQ(FrameHitTest(in, {44, 2}), htObject);
  EXPECT_EQ(FrameHitTest(in, {49, 20}), htRight);  // a stale hot object elsewhere
  in.SizingOrMoving = true;
  EXPECT_EQ(FrameHitTest(in, {44, 2}), htObject);  // from the shape, not the hot object
}

TEST(FrameHitTest, StatesWithoutEdges) {
  TtwHitTestInput in = FixtureHitInput(true, true);
  in.Maximized = true;
  EXPECT_EQ(FrameHitTest(in, {0, 20}), htObject);
  EXPECT_EQ(FrameHitTest(in, {25, 20}), htClient);
  in.Maximized = false;
  in.RolledUp = true;
  EXPECT_EQ(FrameHitTest(in, {20, 3}), htCaption);
  EXPECT_EQ(FrameHitTest(in, {25, 20}), htObject);
}

TEST(FrameHitTest, SkinlessFrameUsesThreePixelBorders) {
  TtwHitTestInput in;
  in.W = 200;
  in.H = 100;
  in.CaptionRect = {20, 3, 150, 22};
  in.Sizeable = true;
  const HitCase cases[] = {{0, 0, htTopLeft}, {199, 0, htTopRight}, {1, 50, htLeft},  {199, 50, htRight},
                           {100, 1, htTop},   {100, 99, htBottom},  {100, 10, htCaption}, {100, 50, htClient},
                           {10, 10, htObject}, {3, 50, htClient}};
  for (const HitCase& c : cases) EXPECT_EQ(FrameHitTest(in, {c.x, c.y}), c.code) << c.x << "," << c.y;
  in.Sizeable = false;
  EXPECT_EQ(FrameHitTest(in, {0, 0}), htObject);
}

TEST(FramePlacement, MinimizedBarsFillTheBottomRowThenRowsAboveAndEnd) {
  const QRect area(0, 0, 300, 100);
  const QSize bar(100, 30);
  QList<QPoint> taken;
  auto isTaken = [&](QPoint p) { return taken.contains(p); };
  EXPECT_EQ(MinimizedBarPosition(area, bar, isTaken), QPoint(0, 70));
  taken << QPoint(0, 70);
  EXPECT_EQ(MinimizedBarPosition(area, bar, isTaken), QPoint(100, 70));
  taken << QPoint(100, 70) << QPoint(200, 70);
  EXPECT_EQ(MinimizedBarPosition(area, bar, isTaken), QPoint(0, 40));
  // Every slot taken, or a bar without width: bottom-left, and it ends.
  EXPECT_EQ(MinimizedBarPosition(area, bar, [](QPoint) { return true; }), QPoint(0, 70));
  EXPECT_EQ(MinimizedBarPosition(area, QSize(0, 30), [](QPoint) { return true; }), QPoint(0, 70));
  EXPECT_EQ(MinimizedBarPosition(area, QSize(-5, 30), [](QPoint) { return true; }), QPoint(0, 70));
}

TEST(FramePlacement, MaximizedBoundsKeepAPixelOnlyOnAPrimaryScreenWithoutTaskBar) {
  const QRect primary(0, 0, 1920, 1080);
  EXPECT_EQ(MaximizedBounds(primary, primary, primary, false), QRect(1, 1, 1918, 1078));
  EXPECT_EQ(MaximizedBounds(primary, QRect(0, 0, 1920, 1040), primary, false), QRect(0, 0, 1920, 1040));
  const QRect second(1920, 0, 1280, 1024);
  EXPECT_EQ(MaximizedBounds(second, second, primary, false), second);
  EXPECT_EQ(MaximizedBounds(primary, QRect(0, 0, 1920, 1040), primary, true), primary);
}

TEST(FramePlacement, MagneticEdgesSnapWithinTheSizeAndLetGoAfterIt) {
  const QRect area(0, 0, 1000, 800);
  TtwMagnetState s;
  s.Remembered = QPoint(500, 500);
  // 4 pixels from the left edge: snaps.
  EXPECT_EQ(MagneticPosition(QRect(4, 100, 200, 100), area, QPoint(504, 500), 5, s).x(), 0);
  // The cursor moves 3 more pixels: stays snapped.
  EXPECT_EQ(MagneticPosition(QRect(7, 100, 200, 100), area, QPoint(507, 500), 5, s).x(), 0);
  // Further on it follows the cursor again.
  EXPECT_EQ(MagneticPosition(QRect(10, 100, 200, 100), area, QPoint(510, 500), 5, s).x(), 10);
  // 5 pixels away is not near (the test is strict).
  TtwMagnetState t;
  EXPECT_EQ(MagneticPosition(QRect(100, 5, 200, 100), area, QPoint(0, 0), 5, t).y(), 5);
  EXPECT_EQ(MagneticPosition(QRect(797, 100, 200, 100), area, QPoint(0, 0), 5, t).x(), 800);
}

TEST(FrameGeometry, SkinlessCaptionRowRunsFromTheRightBorder) {
  const TtwSkinlessCaption row = SkinlessCaptionLayout(200, 17, 19, 3, true);
  ASSERT_EQ(row.Buttons.size(), 3u);
  EXPECT_EQ(row.Buttons[0], (TRect{180, 4, 197, 21}));
  EXPECT_EQ(row.Buttons[2], (TRect{146, 4, 163, 21}));
  EXPECT_EQ(row.SystemButton, (TRect{3, 4, 20, 21}));
  EXPECT_EQ(row.Caption, (TRect{20, 3, 146, 22}));
  const TtwSkinlessCaption bare = SkinlessCaptionLayout(200, 13, 15, 0, false);
  EXPECT_TRUE(bare.Buttons.empty());
  EXPECT_TRUE(bare.SystemButton.IsEmpty());
  EXPECT_EQ(bare.Caption, (TRect{3, 3, 197, 18}));
}

// Sizing from each part moves only that part's edges, within the limits.
TEST(FrameMover, SizingMovesThePressedEdgesWithinTheLimits) {
  const QRect start(100, 100, 300, 200);
  TtwMoverLimits limits;
  limits.Minimum = QSize(120, 50);
  limits.Maximum = QSize(500, 400);
  const QPoint press(400, 300);
  struct Case {
    int hit;
    QPoint delta;
    QRect want;
  } cases[] = {
      {htBottomRight, {30, 20}, QRect(100, 100, 330, 220)},
      {htRight, {30, 20}, QRect(100, 100, 330, 200)},
      {htBottom, {30, 20}, QRect(100, 100, 300, 220)},
      {htLeft, {-30, 0}, QRect(70, 100, 330, 200)},
      {htTopLeft, {10, 10}, QRect(110, 110, 290, 190)},
      {htBottomRight, {500, 500}, QRect(100, 100, 500, 400)},   // at most the maximum
      {htLeft, {290, 0}, QRect(280, 100, 120, 200)},            // at least the minimum, right edge kept
      {htTopRight, {-400, -400}, QRect(100, -100, 120, 400)},
  };
  for (const Case& c : cases) {
    TtwFrameMover m;
    m.PressSizing(c.hit, press, start);
    EXPECT_EQ(m.Bounds(press + c.delta, limits), c.want) << c.hit;
    EXPECT_TRUE(m.Dragging());
  }
}

// A move answers bounds from the press: the first motion's distance counts,
// however far it is.
TEST(FrameMover, MoveFollowsThePointerFromTheFirstPixel) {
  TtwFrameMover m;
  const QRect start(100, 100, 300, 200);
  m.PressCaption(QPoint(250, 110), start);
  EXPECT_FALSE(m.StartsMove(QPoint(250, 110)));
  ASSERT_TRUE(m.StartsMove(QPoint(260, 110)));
  m.BeginMove();
  EXPECT_EQ(m.Bounds(QPoint(260, 110), {}), start.translated(10, 0));
  EXPECT_EQ(m.Bounds(QPoint(310, 150), {}), start.translated(60, 40));
  m.Release();
  EXPECT_EQ(m.State(), TtwFrameMover::Mode::Idle);
}

}  // namespace
