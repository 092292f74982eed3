// Values a skin gives are held within bounds once, where a load reads them.
#include <gtest/gtest.h>

#include "skin/data/twSkinBounds.h"
#include "skin/data/twSkinDescription.h"

namespace {

const char kSkin[] =
    "[FORMINFO]\r\nclientrect=4,27,281,206\r\nformminwidth=%1\r\n"
    "[SKINOBJECTS]\r\ncount=1\r\n0=menuitem:menuitem\r\n"
    "[SKINCONTROLS]\r\ncount=1\r\n0=vsplitter:splitter\r\n"
    "[menuitem]\r\nskinrect=%2\r\nfontheight=%3\r\n"
    "[vsplitter]\r\nskinrect=340,0,345,40\r\ngripperrect=%4\r\nlefttoppoint=%5\r\n";

struct Case {
  const char* what;
  const char* minWidth;
  const char* itemRect;
  const char* fontHeight;
  const char* gripper;
  const char* point;
  int bounded;  // values put back to their defaults
};

TEST(SkinBounds, OutOfBoundsValuesTakeTheirDefaults) {
  const Case cases[] = {
      {"a real skin", "220", "10,10,110,32", "13", "348,0,353,24", "2,2", 0},
      {"edges on the pictures' far sides", "8192", "0,0,556,410", "-512", "0,0,556,410", "556,410", 0},
      {"one past the pictures", "220", "0,0,557,20", "13", "0,0,20,411", "557,0", 3},
      {"huge sizes", "16777216", "0,0,30000,30000", "30000", "0,0,16777216,16777216", "2,2", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TtwSkinDescription d;
    d.LoadFromText(QString::fromLatin1(kSkin).arg(c.minWidth, c.itemRect, c.fontHeight, c.gripper, c.point));
    const QStringList log = TwBoundSkinValues(d, TtwSkinExtent{556, 410});
    EXPECT_EQ(log.size(), c.bounded) << log.join("; ").toStdString();
    // Whatever came in, what stays lies within the pictures and a screen.
    EXPECT_LE(d.form.formminwidth, kMaxSkinExtent);
    auto* item = static_cast<TtwDataSkinMenuItem*>(d.objects[0]);
    auto* split = static_cast<TtwDataSkinSplitterControl*>(d.controls[0]);
    EXPECT_LE(item->skinrect.Bottom, 410);
    EXPECT_LE(std::abs(item->fontheight), kMaxSkinFontHeight);
    EXPECT_LE(split->gripperrect.Right, 556);
    EXPECT_LE(split->lefttoppoint.X, 556);
  }
}

TEST(SkinBounds, ALogLineNamesTheSectionKeyAndValue) {
  TtwSkinDescription d;
  d.LoadFromText(QString::fromLatin1(kSkin).arg("1000000", "0,0,1,1", "13", "0,0,1,1", "0,0"));
  EXPECT_EQ(TwBoundSkinValues(d, TtwSkinExtent{556, 410}), QStringList{"[FORMINFO] formminwidth: 1000000"});
  EXPECT_EQ(d.form.formminwidth, 0);
}

TEST(SkinBounds, IntervalsAndAlphaHaveTheirOwnRanges) {
  TtwSkinDescription d;
  d.LoadFromText(
      "[SKINOBJECTS]\r\ncount=2\r\n0=closebutton:stdbutton\r\n1=menuitem:menuitem\r\n"
      "[closebutton]\r\nglowlayeralphablendvalue=300\r\n[menuitem]\r\nanimateinterval=-5\r\n");
  const QStringList log = TwBoundSkinValues(d, TtwSkinExtent{});
  EXPECT_EQ(log.size(), 2) << log.join("; ").toStdString();
}

}  // namespace
