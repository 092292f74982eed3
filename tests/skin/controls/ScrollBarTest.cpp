// Scroll bar: the part layout as a table, the position rules, auto-repeat on
// the manual clock, dragging, keys and wheel.
#include <QTest>

#include "QtApp.h"
#include "platform/Clock.h"
#include "skin/controls/twSkinScrollBar.h"

void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}

namespace {

TScrollBarLayoutInput Unbound(TScrollBarKind kind, int length, int min, int max, int pos, int page) {
  TScrollBarLayoutInput in;
  in.Kind = kind;
  in.Width = kind == sbHorizontal ? length : 19;
  in.Height = kind == sbHorizontal ? 19 : length;
  in.Min = min;
  in.Max = max;
  in.Position = pos;
  in.PageSize = page;
  return in;
}

// A record 60 x 17: arrows 17 wide at both ends, a thumb piece 20 x 11 and a
// minimum thumb of 24.
TScrollBarLayoutInput Bound(int width, int pos, int page) {
  TScrollBarLayoutInput in = Unbound(sbHorizontal, width, 0, 100, pos, page);
  in.Height = 17;
  in.Bound = true;
  in.SkinRect = {0, 0, 60, 17};
  in.RightTopPoint = {30, 0};
  in.TrackArea = {17, 0, 43, 17};
  in.DownButton = {0, 0, 17, 17};
  in.UpButton = {43, 0, 60, 17};
  in.ThumbRect = {0, 0, 20, 11};
  in.ThumbMinSize = 24;
  return in;
}

bool Inside(const TRect& inner, const TRect& outer) {
  return inner.Left >= outer.Left && inner.Right <= outer.Right && inner.Top >= outer.Top &&
         inner.Bottom <= outer.Bottom;
}

void ExpectSane(const TScrollBarLayoutInput& in, const TScrollBarParts& p) {
  const TRect bar{0, 0, std::max(0, in.Width), std::max(0, in.Height)};
  for (const TRect& r : {p.Down, p.Up, p.Track}) {
    EXPECT_GE(r.Width(), 0);
    EXPECT_GE(r.Height(), 0);
    if (!in.Bound) {
      EXPECT_TRUE(Inside(r, bar));
    }
  }
  if (p.ThumbShown()) {
    EXPECT_TRUE(in.Kind == sbHorizontal ? p.Thumb.Left >= p.Track.Left && p.Thumb.Right <= p.Track.Right
                                        : p.Thumb.Top >= p.Track.Top && p.Thumb.Bottom <= p.Track.Bottom);
  }
}

struct LayoutCase {
  const char* what;
  TScrollBarLayoutInput in;
  TRect down, up, track, thumb;
};

TEST(ScrollBarLayout, TableOfParts) {
  TScrollBarLayoutInput both = Unbound(sbHorizontal, 200, 0, 100, 0, 0);
  both.Both = true;
  const LayoutCase cases[] = {
      // 17 + round(0.5 x (166 - 16)) = 92
      {"worked example", Unbound(sbHorizontal, 200, 0, 100, 50, 0), {1, 1, 17, 18}, {183, 1, 199, 18},
       {17, 1, 183, 18}, {92, 1, 108, 18}},
      {"vertical", Unbound(sbVertical, 200, 0, 100, 50, 0), {1, 1, 18, 17}, {1, 183, 18, 199},
       {1, 17, 18, 183}, {1, 92, 18, 108}},
      // L = round(166 x 20 / 101) = 33, h = 16
      {"page at the start", Unbound(sbHorizontal, 200, 0, 100, 0, 20), {1, 1, 17, 18}, {183, 1, 199, 18},
       {17, 1, 183, 18}, {17, 1, 49, 18}},
      {"page at the last position", Unbound(sbHorizontal, 200, 0, 100, 81, 20), {1, 1, 17, 18},
       {183, 1, 199, 18}, {17, 1, 183, 18}, {151, 1, 183, 18}},
      {"page larger than the range", Unbound(sbHorizontal, 200, 0, 9, 0, 20), {1, 1, 17, 18},
       {183, 1, 199, 18}, {17, 1, 183, 18}, {17, 1, 183, 18}},
      {"Max below Min", Unbound(sbHorizontal, 200, 10, 5, 10, 0), {1, 1, 17, 18}, {183, 1, 199, 18},
       {17, 1, 183, 18}, {17, 1, 33, 18}},
      {"Max below Min with a page", Unbound(sbHorizontal, 200, 10, 5, 10, 5), {1, 1, 17, 18},
       {183, 1, 199, 18}, {17, 1, 183, 18}, {167, 1, 183, 18}},
      {"both leaves the marker", both, {1, 1, 17, 18}, {164, 1, 180, 18}, {17, 1, 164, 18}, {17, 1, 33, 18}},
      // The arrows share a narrow bar; the track is empty or too short for a thumb.
      {"width 34", Unbound(sbHorizontal, 34, 0, 100, 50, 0), {1, 1, 17, 18}, {17, 1, 33, 18},
       {17, 1, 17, 18}, {}},
      {"width 33", Unbound(sbHorizontal, 33, 0, 100, 50, 0), {1, 1, 16, 18}, {17, 1, 32, 18},
       {16, 1, 17, 18}, {}},
      {"width 20", Unbound(sbHorizontal, 20, 0, 100, 50, 0), {1, 1, 10, 18}, {10, 1, 19, 18},
       {10, 1, 10, 18}, {}},
      {"width 0", Unbound(sbHorizontal, 0, 0, 100, 50, 0), {0, 1, 0, 18}, {0, 1, 0, 18}, {0, 1, 0, 18}, {}},
      // Bound: the middle takes the extra 60 px; thumb 24 long, centred across.
      {"bound", Bound(120, 50, 0), {0, 0, 17, 17}, {103, 0, 120, 17}, {17, 0, 103, 17}, {48, 3, 72, 14}},
      // A 24-px minimum cannot fit a 16-px track: no thumb over the arrows.
      {"bound minimum above the track", Bound(50, 50, 10), {0, 0, 17, 17}, {33, 0, 50, 17},
       {17, 0, 33, 17}, {}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.what);
    const TScrollBarParts p = LayoutScrollBar(c.in);
    EXPECT_EQ(p.Down, c.down);
    EXPECT_EQ(p.Up, c.up);
    EXPECT_EQ(p.Track, c.track);
    EXPECT_EQ(p.Thumb, c.thumb);
    ExpectSane(c.in, p);
  }
}

TEST(ScrollBarLayout, ThumbStaysInsideTheTrackForAnySizeAndRange) {
  const int ranges[][2] = {{0, 100}, {0, 0}, {5, -5}, {0, 99'999}, {-2'000'000'000, 2'000'000'000}};
  for (TScrollBarKind kind : {sbHorizontal, sbVertical})
    for (int length = 0; length <= 80; length += 3)
      for (const auto& r : ranges)
        for (int page : {0, 1, 7, 100, 1'000'000})
          for (double f : {0.0, 0.37, 1.0}) {
            const int pos = int(r[0] + (double(r[1]) - r[0]) * f);
            TScrollBarLayoutInput in = Unbound(kind, length, r[0], r[1], pos, page);
            SCOPED_TRACE(testing::Message() << length << " " << r[0] << ".." << r[1] << " @" << pos << " p" << page);
            ExpectSane(in, LayoutScrollBar(in));
            TScrollBarLayoutInput b = Bound(length, pos, page);
            b.Kind = kind;
            ExpectSane(b, LayoutScrollBar(b));
          }
}

TEST(ScrollBarLayout, HitTestFollowsTheParts) {
  const TScrollBarParts p = LayoutScrollBar(Unbound(sbHorizontal, 200, 0, 100, 50, 0));
  EXPECT_EQ(PartAt(p, {5, 9}), spDown);
  EXPECT_EQ(PartAt(p, {190, 9}), spUp);
  EXPECT_EQ(PartAt(p, {92, 9}), spThumb);
  EXPECT_EQ(PartAt(p, {108, 9}), spTrackAfter);  // the right edge is outside the thumb
  EXPECT_EQ(PartAt(p, {91, 9}), spTrackBefore);
  EXPECT_EQ(PartAt(p, {199, 9}), spNone);
  EXPECT_EQ(PartAt(LayoutScrollBar(Unbound(sbHorizontal, 33, 0, 100, 0, 0)), {16, 9}), spNone);
}

// ---------------------------------------------------------------- the control

class ScrollBarControl : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.resize(200, 19);
    bar.OnChange = [this](QObject*) { ++changes; };
  }
  void Press(QPoint at) { Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton); }
  void Move(QPoint at) { Send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
  void Release(QPoint at) { Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
  void Send(QEvent::Type t, QPoint at, Qt::MouseButton b, Qt::MouseButtons held) {
    QMouseEvent e(t, QPointF(at), bar.mapToGlobal(QPointF(at)), b, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &e);
  }

  TwManualClock clock;
  TtwSkinScrollBar bar;
  int changes = 0;
};

TEST_F(ScrollBarControl, PositionRulesAndParameters) {
  bar.SetPageSize(20);
  bar.SetPosition(82);
  EXPECT_EQ(bar.Position(), 81);  // Max - PageSize + 1
  EXPECT_EQ(changes, 1);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetParams(0, 99'999 + 30 - 1, 30, 70'000);
  EXPECT_EQ(bar.Position(), 70'000);
  EXPECT_EQ(changes, 2);  // the parameters never report a change
  bar.SetMax(-10);  // below Min: the position keeps to Min
  EXPECT_EQ(bar.Position(), 0);
}

TEST_F(ScrollBarControl, HeldArrowStepsAtOnceThenRepeatsAndPausesOffTheArrow) {
  const QPoint up(190, 9), track(120, 9);
  Press(up);
  EXPECT_EQ(bar.Position(), 1);
  clock.Advance(549);  // 500 ms first delay, then the 50-ms rate
  EXPECT_EQ(bar.Position(), 1);
  clock.Advance(1);
  EXPECT_EQ(bar.Position(), 2);
  clock.Advance(50);
  EXPECT_EQ(bar.Position(), 3);
  Move(track);
  clock.Advance(500);
  EXPECT_EQ(bar.Position(), 3);
  Move(up);
  clock.Advance(49);
  EXPECT_EQ(bar.Position(), 3);
  clock.Advance(1);
  EXPECT_EQ(bar.Position(), 4);
  Release(up);
  clock.Advance(500);
  EXPECT_EQ(bar.Position(), 4);
  EXPECT_FALSE(bar.RepeatRunning());
}

TEST_F(ScrollBarControl, RepeatEndsWhenAStepChangesNothing) {
  bar.SetSmallChange(0);
  Press({190, 9});
  clock.Advance(1000);
  EXPECT_FALSE(bar.RepeatRunning());
  EXPECT_EQ(clock.ArmedTimers(), 0);
  Release({190, 9});
  // At the end of the range, too.
  bar.SetSmallChange(1);
  bar.SetPosition(99);
  Press({190, 9});
  clock.Advance(1000);
  EXPECT_EQ(bar.Position(), 100);
  EXPECT_FALSE(bar.RepeatRunning());
}

TEST_F(ScrollBarControl, TrackPagesUntilTheThumbPassesThePointer) {
  bar.SetLargeChange(10);
  Press({170, 9});  // after the thumb at 0
  EXPECT_EQ(bar.Position(), 10);
  clock.Advance(2000);
  // The thumb (16 px over 150 px of travel) has passed x = 170 by position 100.
  const TScrollBarParts p = bar.Parts();
  EXPECT_LE(p.Thumb.Left, 170);
  EXPECT_FALSE(bar.RepeatRunning());
  Release({170, 9});
  // Paging forward stops when the pointer leaves the bar.
  bar.SetPosition(0);
  Press({170, 9});
  Move({170, 40});
  clock.Advance(2000);
  EXPECT_EQ(bar.Position(), 10);
}

TEST_F(ScrollBarControl, DraggingTheThumbMapsTravelToPositions) {
  bar.SetParams(0, 100'029, 30, 0);  // 100,000 rows, 30 visible
  const TScrollBarParts p = bar.Parts();
  const int x = p.Thumb.Left + 2;
  Press({x, 9});
  EXPECT_TRUE(bar.Dragging());
  Move({x + (p.ThumbCentreMax - p.ThumbCentreMin), 9});
  EXPECT_EQ(bar.Position(), 100'000);  // the last row's page, exactly
  Move({x - 500, 9});
  EXPECT_EQ(bar.Position(), 0);
  int last = 0;
  bar.OnLastChange = [&](QObject*) { ++last; };
  Release({x, 9});
  EXPECT_EQ(last, 1);
  EXPECT_FALSE(bar.Dragging());
}

TEST_F(ScrollBarControl, KeysNeedCanFocusedAndTheWheelSteps) {
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QCoreApplication::sendEvent(&bar, &right);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetCanFocused(true);
  EXPECT_EQ(bar.focusPolicy(), Qt::StrongFocus);
  QCoreApplication::sendEvent(&bar, &right);
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QCoreApplication::sendEvent(&bar, &up);
  QCoreApplication::sendEvent(&bar, &right);
  EXPECT_EQ(bar.Position(), 1);
  // A focusable bar takes the wheel only when focused; others always do.
  bar.SetCanFocused(false);
  QWheelEvent down(QPointF(50, 9), QPointF(50, 9), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&bar, &down);
  EXPECT_EQ(bar.Position(), 2);
}

}  // namespace
