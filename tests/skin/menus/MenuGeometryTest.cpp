// Popup-menu level geometry: sizes, the anchored frame, scrolled views and
// placement at the monitor's edges.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

#include "skin/data/twSkinRecords.h"
#include "skin/menus/twMenuGeometry.h"

namespace {

TtwMenuMetrics DefaultMetrics() { return TtwMenuMetrics{}; }

// A 40 x 60 window picture with a 2-pixel frame; 30 x 18 entries whose text
// runs from 4 to 26; 4-pixel dividers.
TtwMenuMetrics SkinnedMetrics() {
  TtwDataSkinPopupWindow w;
  w.lefttoppoint = {2, 2};
  w.righttoppoint = {38, 2};
  w.leftbottompoint = {2, 58};
  w.rightbottompoint = {38, 58};
  w.itemsrect = {2, 2, 38, 58};
  TtwDataSkinMenuItem item("menuitem");
  item.skinrect = {0, 0, 30, 18};
  item.textrect = {4, 0, 26, 18};
  item.dividerrect = {0, 36, 30, 40};
  return TtwMenuMetrics::From(&w, &item, 40, 60, 20, 19);
}

TEST(MenuSize, DefaultLookAddsColumnsFrameAndItemHeights) {
  const auto s = MenuWindowSize(DefaultMetrics(), {50, 0, 30}, {false, true, false}, 0, 1000);
  EXPECT_EQ(s.Size, QSize(50 + 19 + 19 + 10, 4 + 20 + 4 + 20));
  EXPECT_FALSE(s.Scrolling);
  // A merged level keeps the longer default frame.
  EXPECT_EQ(MenuWindowSize(DefaultMetrics(), {50}, {false}, 0, 1000, true).Size.height(), 6 + 20);
}

TEST(MenuSize, SkinnedLookAddsTheRecordsMargins) {
  const auto s = MenuWindowSize(SkinnedMetrics(), {50, 0}, {false, true}, 0, 1000);
  // text left 4 + (30 - 26) right of the text + (40 - 36) of the frame.
  EXPECT_EQ(s.Size.width(), 50 + 19 + 19 + 4 + 4 + 4);
  EXPECT_EQ(s.Size.height(), (60 - 56) + 18 + 4);
}

TEST(MenuSize, MaximumItemCountLimitsAndScrolls) {
  const std::vector<bool> ten(10, false);
  const std::vector<int> widths(10, 40);
  const auto s = MenuWindowSize(DefaultMetrics(), widths, ten, 3, 1000);
  EXPECT_EQ(s.Size.height(), 3 * 20 + 4 + 2 * kMenuScrollBand);
  EXPECT_TRUE(s.Scrolling);
  EXPECT_TRUE(s.Limited);
  // Exactly the maximum needs no scrolling.
  EXPECT_FALSE(MenuWindowSize(DefaultMetrics(), {40, 40, 40}, {false, false, false}, 3, 1000).Scrolling);
  // A merged level scrolls too rather than hiding its last entries.
  const auto merged = MenuWindowSize(DefaultMetrics(), widths, ten, 3, 1000, true);
  EXPECT_EQ(merged.Size.height(), 3 * 20 + 6 + 2 * kMenuScrollBand);
  EXPECT_TRUE(merged.Scrolling);
}

TEST(MenuSize, TallerThanTheWorkAreaIsCutToIt) {
  const std::vector<bool> many(60, false);
  const auto s = MenuWindowSize(DefaultMetrics(), std::vector<int>(60, 40), many, 0, 500);
  EXPECT_EQ(s.Size.height(), 500);
  EXPECT_TRUE(s.Scrolling);
  EXPECT_FALSE(s.Limited);
}

TEST(MenuSize, TextWidthCountsTheShortcutAndNotTheAccelerator) {
  QFont f("DejaVu Sans");
  f.setPixelSize(12);
  const QFontMetrics fm(f);
  EXPECT_EQ(MenuItemTextWidth(fm, "&Open", ""), fm.horizontalAdvance("Open") + 2);
  EXPECT_EQ(MenuItemTextWidth(fm, "Open", "Ctrl+O"), fm.horizontalAdvance("Open  Ctrl+O") + 2);
}

TEST(MenuFrame, AnchorsMoveWithTheWindowSize) {
  const TtwMenuFrame f = MenuFrame(SkinnedMetrics(), 100, 90);
  EXPECT_EQ(f.LT, (TPoint{2, 2}));
  EXPECT_EQ(f.RT, (TPoint{98, 2}));
  EXPECT_EQ(f.LB, (TPoint{2, 88}));
  EXPECT_EQ(f.RB, (TPoint{98, 88}));
  EXPECT_EQ(f.Items, (TRect{2, 2, 98, 88}));
  EXPECT_EQ(MenuFrame(DefaultMetrics(), 100, 90).Items, (TRect{2, 2, 98, 88}));
}

TEST(MenuView, ScrollingViewSitsBetweenTheBandsAndHidesTheRest) {
  const TRect items{2, 2, 98, 2 + 3 * 20 + 20};
  const std::vector<int> h(10, 20);
  TtwMenuView v = LayoutMenuView(items, h, 0, true);
  EXPECT_EQ(v.VisibleCount, 3);
  EXPECT_EQ(v.Rects[0], (TRect{2, 12, 98, 32}));
  EXPECT_TRUE(v.Shown[2]);
  EXPECT_FALSE(v.Shown[3]);
  v = LayoutMenuView(items, h, 7, true);
  EXPECT_FALSE(v.Shown[6]);
  EXPECT_TRUE(v.ShowsLast());
  EXPECT_EQ(v.Rects[7].Top, 12);
  EXPECT_EQ(MenuLastPageStart(items, h), 7);
  // Without scrolling every entry that fits is shown from the top.
  v = LayoutMenuView(TRect{2, 2, 98, 2 + 44}, {20, 4, 20}, 0, false);
  EXPECT_EQ(v.VisibleCount, 3);
  EXPECT_EQ(v.Rects[2], (TRect{2, 26, 98, 46}));
}

TEST(MenuView, AnEntryTallerThanTheViewStillShowsWhenFirst) {
  const TRect items{2, 2, 98, 102};
  const std::vector<int> h{20, 900, 20};
  TtwMenuView v = LayoutMenuView(items, h, 1, true);
  EXPECT_TRUE(v.Shown[1]);
  EXPECT_FALSE(v.Shown[2]);
  v = LayoutMenuView(items, h, 2, true);
  EXPECT_TRUE(v.ShowsLast());
}

TEST(MenuView, ScrollBandsOfBothLooks) {
  const TtwMenuFrame f = MenuFrame(SkinnedMetrics(), 100, 90);
  EXPECT_EQ(MenuTopBand(SkinnedMetrics(), f, 100), (TRect{2, 2, 98, 12}));
  EXPECT_EQ(MenuBottomBand(SkinnedMetrics(), f, 100, 90), (TRect{2, 78, 98, 88}));
  EXPECT_EQ(MenuTopBand(DefaultMetrics(), f, 100), (TRect{3, 3, 97, 13}));
  EXPECT_EQ(MenuBottomBand(DefaultMetrics(), f, 100, 90), (TRect{3, 80, 97, 87}));
}

struct PlaceCase {
  const char* what;
  TRect anchor;
  QSize size;
  bool scrolling, limited, sub, upward;
  QPoint expected;
};

TEST(MenuPlace, EdgesOfTheWorkArea) {
  const TRect wa{0, 0, 1000, 800};
  const PlaceCase cases[] = {
      {"point opens below and right", {100, 100, 100, 100}, {120, 200}, false, false, false, false, {100, 100}},
      {"near the right edge moves left", {950, 100, 950, 100}, {120, 200}, false, false, false, false, {880, 100}},
      {"near the bottom opens above", {100, 700, 100, 700}, {120, 200}, false, false, false, false, {100, 500}},
      {"cut to the screen goes to the top, beside", {100, 300, 100, 300}, {120, 800}, true, false, false, false,
       {101, 0}},
      {"limited scrolling places as usual", {100, 100, 100, 100}, {120, 84}, true, true, false, false, {100, 100}},
      {"sub-menu right of its entry", {200, 100, 320, 120}, {120, 200}, false, false, true, false, {321, 98}},
      {"sub-menu that does not fit opens left", {800, 100, 920, 120}, {120, 200}, false, false, true, false,
       {679, 98}},
      {"sub-menu low in the screen rises to end at its entry", {200, 700, 320, 720}, {120, 200}, false, false, true,
       false, {321, 522}},
      {"upward above its anchor", {100, 500, 180, 525}, {120, 200}, false, false, false, true, {100, 300}},
      {"upward without room opens below", {100, 50, 180, 75}, {120, 200}, false, false, false, true, {100, 75}},
  };
  for (const auto& c : cases) {
    TtwMenuPlaceInput in;
    in.Anchor = c.anchor;
    in.WorkArea = wa;
    in.Size = c.size;
    in.ItemsTop = 2;
    in.Scrolling = c.scrolling;
    in.Limited = c.limited;
    in.SubMenu = c.sub;
    in.Upward = c.upward;
    EXPECT_EQ(PlaceMenu(in), c.expected) << c.what;
  }
}

}  // namespace
