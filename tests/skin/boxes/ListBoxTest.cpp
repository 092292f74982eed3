// The skinned list box: its parts from sizes, the bar that appears when an
// item no longer fits, rows that never collapse to nothing, the caption's
// repeating buttons on the manual clock, tab stops, and the pop-up's fade.
#include <QTest>

#include "../controls/QtApp.h"
#include "BoxFixture.h"
#include "platform/Clock.h"
#include "platform/ImageList.h"
#include "skin/boxes/twBoxLooks.h"
#include "skin/boxes/twSkinListBox.h"

namespace {

using namespace twtest;

QStringList Numbered(int n) {
  QStringList l;
  for (int i = 0; i < n; ++i) l << QStringLiteral("Item %1").arg(i);
  return l;
}

bool NonNegative(const QRect& r) { return r.width() >= 0 && r.height() >= 0; }

TEST(ListBoxLayout, PartsFromSizesNeverGoNegative) {
  struct Case {
    TtwListBoxLayoutInput in;
    QRect items, vbar, hbar;
  };
  TtwListBoxLayoutInput plain;
  plain.Width = 120;
  plain.Height = 100;
  TtwListBoxLayoutInput both = plain;
  both.VBar = both.HBar = true;
  TtwListBoxLayoutInput bound = both;
  bound.Bound = true;
  bound.ListRect = TRect{2, 2, 118, 98};
  const Case cases[] = {
      {plain, QRect(2, 2, 116, 96), QRect(), QRect()},
      // The vertical bar runs down to the horizontal one; items stop at both.
      {both, QRect(2, 2, 98, 78), QRect(100, 1, 19, 79), QRect(1, 80, 118, 19)},
      {bound, QRect(2, 2, 97, 77), QRect(99, 2, 19, 77), QRect(2, 79, 116, 19)},
  };
  for (const Case& c : cases) {
    const TtwListBoxLayout l = LayoutListBox(c.in);
    EXPECT_EQ(l.Items, c.items);
    EXPECT_EQ(l.VBar, c.vbar);
    EXPECT_EQ(l.HBar, c.hbar);
  }
  // Controls smaller than their bars and frame still get no negative part.
  for (int w : {0, 1, 3, 10, 25})
    for (int h : {0, 1, 3, 10, 25})
      for (bool b : {false, true}) {
        TtwListBoxLayoutInput in = both;
        in.Width = w;
        in.Height = h;
        in.CaptionHeight = 20;
        in.Bound = b;
        in.ListRect = TRect{2, 2, w - 2, h - 2};
        const TtwListBoxLayout l = LayoutListBox(in);
        EXPECT_TRUE(NonNegative(l.Items) && NonNegative(l.VBar) && NonNegative(l.HBar)) << w << "x" << h;
      }
}

TEST(ListBox, TheBarAppearsWithTheFirstItemThatDoesNotFit) {
  TtwSkinListBox box;
  box.SetDefaultItemHeight(20);
  box.SetBounds(0, 0, 120, 8 * 20 + 4);  // eight rows in the default frame
  box.show();
  ASSERT_EQ(box.InnerList()->VisibleRows(), 8);
  box.SetItems(Numbered(5));
  EXPECT_FALSE(box.VScrollVisible());
  for (int i = 5; i < 8; ++i) box.AddItem(QStringLiteral("Item %1").arg(i));
  EXPECT_FALSE(box.VScrollVisible());  // eight items, eight rows
  box.AddItem(QStringLiteral("Item 8"));
  EXPECT_TRUE(box.VScrollVisible());
  EXPECT_EQ(box.VScrollPage(), 8);

  // Sized by rows: exactly RowCount items never bring a bar.
  TtwSkinListBox rows;
  rows.SetItems(Numbered(8));
  rows.SetRowCount(8);
  rows.show();
  EXPECT_EQ(rows.height(), 8 * 20 + 4);
  EXPECT_FALSE(rows.VScrollVisible());
  rows.AddItem(QStringLiteral("Ninth"));
  EXPECT_TRUE(rows.VScrollVisible());
}

TEST(ListBox, AnItemHeightOfZeroStillGivesVisibleRows) {
  TBoxSkin skin;
  TtwSkinListBox unbound;
  unbound.SetDefaultItemHeight(0);
  TtwSkinListBox bound;
  bound.SetSkinDataName(QStringLiteral("zerolist"));  // its item piece is empty
  bound.SetSkinData(&skin.data);
  ASSERT_NE(bound.RecordIndex(), -1);
  for (TtwSkinListBox* box : {&unbound, &bound}) {
    box->SetItems(Numbered(30));
    box->SetRowCount(4);
    box->show();
    EXPECT_GT(box->ItemHeight(), 0);
    EXPECT_EQ(box->InnerList()->VisibleRows(), 4);
    EXPECT_TRUE(box->VScrollVisible());
    // Rows are stacked, not piled on the first.
    EXPECT_EQ(box->InnerList()->visualItemRect(box->InnerList()->item(1)).top(), box->ItemHeight());
    EXPECT_FALSE(box->RenderFace().isNull());
    EXPECT_FALSE(box->InnerList()->viewport()->grab().isNull());
  }
}

TEST(ListBox, BoundItemsAreDrawnFromTheItemPieces) {
  TBoxSkin skin;
  TtwSkinListBox box;
  box.SetSkinData(&skin.data);
  box.SetItems({QString(), QString()});
  box.SetItemIndex(1);
  box.SetBounds(0, 0, 60, 40);
  box.show();
  EXPECT_EQ(box.ItemHeight(), 10);  // the item piece's height
  const QImage rows = box.InnerList()->viewport()->grab().toImage();
  // Row 0 normal, row 1 selected: the left ends come 1:1 from their pieces.
  EXPECT_EQ(From(rows, 0, 0), QPoint(70, 60));
  EXPECT_EQ(From(rows, 1, 5), QPoint(71, 65));
  EXPECT_EQ(From(rows, 0, 10), QPoint(70, 70));
  // Below the last item the client piece is tiled.
  EXPECT_EQ(From(rows, 0, 20), QPoint(42, 82));
}

TEST(ListBox, CaptionDownButtonRepeatsOnTheClockAndStopsAtTheLastItem) {
  TwManualClock clock;
  TtwSkinListBox box;
  box.SetCaptionMode(true);
  box.SetItems(Numbered(4));
  box.SetItemIndex(0);
  box.show();
  const QRect down = box.CaptionButtonRect(1);
  ASSERT_FALSE(down.isEmpty());
  QTest::mousePress(&box, Qt::LeftButton, {}, down.center());
  clock.Advance(499);
  EXPECT_EQ(box.ItemIndex(), 0);
  clock.Advance(1);
  EXPECT_EQ(box.ItemIndex(), 1);  // after 500 ms
  clock.Advance(100);
  EXPECT_EQ(box.ItemIndex(), 2);  // then every 100 ms
  // Off the button the repeat pauses; back on it, it resumes at 50 ms.
  QTest::mouseMove(&box, QPoint(2, box.height() - 3));
  clock.Advance(300);
  EXPECT_EQ(box.ItemIndex(), 2);
  QTest::mouseMove(&box, down.center());
  clock.Advance(50);
  EXPECT_EQ(box.ItemIndex(), 3);
  clock.Advance(100);
  EXPECT_EQ(box.ItemIndex(), 3);
  EXPECT_EQ(clock.ArmedTimers(), 0);  // nothing left repeating at the end
  QTest::mouseRelease(&box, Qt::LeftButton, {}, down.center());
  EXPECT_EQ(box.ItemIndex(), 3);
  EXPECT_EQ(box.PressedButton(), -1);

  // A click on the up button moves once.
  QTest::mouseClick(&box, Qt::LeftButton, {}, box.CaptionButtonRect(0).center());
  EXPECT_EQ(box.ItemIndex(), 2);
}

TEST(ListBox, TabStopsCountFromTheItemsLeftEdge) {
  TtwSkinListBox box;
  box.SetBounds(0, 0, 200, 60);
  box.SetItems({QStringLiteral("\tI")});
  box.SetTabWidths({40});
  box.show();
  const QImage row = box.InnerList()->viewport()->grab().toImage();
  int first = -1;
  for (int x = 0; x < row.width() && first < 0; ++x)
    for (int y = 0; y < box.ItemHeight(); ++y)
      if (qGray(row.pixel(x, y)) < 128) {
        first = x;
        break;
      }
  EXPECT_GE(first, 40);
  EXPECT_LE(first, 43);
}

// The first column of a dark pixel in a rendered row, -1 when none.
int FirstInk(const QImage& row, int height, int from = 0) {
  for (int x = from; x < row.width(); ++x)
    for (int y = 0; y < height; ++y)
      if (qGray(row.pixel(x, y)) < 128) return x;
  return -1;
}

TEST(ListBox, ColumnsOverflowIntoTheHorizontalBar) {
  TtwSkinListBox box;
  box.SetColumns(3);
  box.SetBounds(0, 0, 182, 4 * 20 + 4);  // four rows
  box.show();
  box.SetItems(Numbered(12));  // three full columns of four
  EXPECT_FALSE(box.HScrollVisible());
  EXPECT_FALSE(box.VScrollVisible());
  EXPECT_EQ(box.RowWidth(), box.InnerList()->viewport()->width() / 3);
  // Item 4 heads the second column.
  const QRect r4 = box.InnerList()->visualItemRect(box.InnerList()->item(4));
  EXPECT_EQ(r4.topLeft(), QPoint(box.RowWidth(), 0));

  box.SetItems(Numbered(20));  // five columns
  ASSERT_TRUE(box.HScrollVisible());
  EXPECT_FALSE(box.VScrollVisible());
  const QRect bar = box.HScrollBar()->geometry();
  EXPECT_EQ(bar.height(), kDefaultListBarSize);
  EXPECT_LE(box.InnerList()->geometry().bottom(), bar.top());
  // The bar takes room from the rows; one step of it is one column.
  const int rows = box.InnerList()->VisibleRows();
  EXPECT_EQ(rows, 3);
  box.HScrollBar()->SetPosition(box.HScrollBar()->Position() + 1);
  EXPECT_EQ(box.ItemIndexAt(QPoint(2, 2)), rows);

  // Back to one column: the bar goes and rows span the list again.
  box.SetColumns(0);
  EXPECT_FALSE(box.HScrollVisible());
  EXPECT_TRUE(box.VScrollVisible());
}

TEST(ListBox, AWideItemBringsTheHorizontalBarAndShiftsOnlyText) {
  TtwSkinListBox box;
  box.SetBounds(0, 0, 100, 4 * 20 + 4);
  box.SetItems({QStringLiteral("short"), QStringLiteral("a")});
  box.SetHorizontalExtent(true);
  box.show();
  EXPECT_FALSE(box.HScrollVisible());  // every text fits
  box.AddItem(QStringLiteral("a text far wider than the list can show at once"));
  ASSERT_TRUE(box.HScrollVisible());
  EXPECT_EQ(box.InnerList()->HorizontalOffset(), 0);
  // The bar's range covers the widest text; its page is the list's room.
  TtwSkinScrollBar* bar = box.HScrollBar();
  EXPECT_GT(bar->Max(), box.InnerList()->viewport()->width());
  const QImage before = box.InnerList()->viewport()->grab().toImage();
  bar->SetPosition(bar->Max());
  EXPECT_GT(box.InnerList()->HorizontalOffset(), 0);
  const QImage after = box.InnerList()->viewport()->grab().toImage();
  // The text moved; the row backgrounds (their right ends) did not.
  EXPECT_NE(before.copy(0, 0, 40, 20), after.copy(0, 0, 40, 20));
  EXPECT_EQ(before.pixel(before.width() - 1, 50), after.pixel(after.width() - 1, 50));
  // Left and Right step the bar as well.
  const int at = bar->Position();
  QTest::keyClick(box.InnerList(), Qt::Key_Left);
  EXPECT_LT(bar->Position(), at);

  // Without the wide item, or with the property off, the bar goes and the
  // offset returns to 0.
  box.SetHorizontalExtent(false);
  EXPECT_FALSE(box.HScrollVisible());
  EXPECT_EQ(box.InnerList()->HorizontalOffset(), 0);

  // Bound, the bar beside a vertical one takes the record drawn to meet it.
  TBoxSkin skin;
  TtwSkinListBox bound;
  bound.SetSkinData(&skin.data);
  bound.SetHorizontalExtent(true);
  bound.SetBounds(0, 0, 60, 40);
  bound.show();
  bound.SetItems({QStringLiteral("a text far wider than the list")});
  ASSERT_TRUE(bound.HScrollVisible());
  EXPECT_FALSE(bound.VScrollVisible());
  EXPECT_EQ(bound.HScrollBar()->SkinDataName(), QStringLiteral("hscrollbar"));
  bound.SetItems(Numbered(20) << QStringLiteral("a text far wider than the list"));
  ASSERT_TRUE(bound.VScrollVisible());
  EXPECT_EQ(bound.HScrollBar()->SkinDataName(), QStringLiteral("bothhscrollbar"));
}

TEST(ListBox, ImagesComeBeforeTheTextAndKeepItsOffsetWithoutAPicture) {
  TImageList images(nullptr, 16, 16);
  QPixmap red(16, 16);
  red.fill(Qt::red);
  for (int i = 0; i < 3; ++i) images.Add(red);
  struct Case {
    int imageIndex, item;
    bool picture;
  };
  // The item's own index picks the picture; item 5 has none in a list of 3.
  const Case cases[] = {{-1, 1, true}, {-1, 5, false}, {2, 5, true}};
  for (const Case& c : cases) {
    TtwSkinListBox box;
    box.SetBounds(0, 0, 200, 8 * 20 + 4);
    box.SetItems(Numbered(6));
    box.SetImages(&images);
    box.SetImageIndex(c.imageIndex);
    box.show();
    const QRect r = box.InnerList()->visualItemRect(box.InnerList()->item(c.item));
    const QImage row = box.InnerList()->viewport()->grab(r).toImage();
    // Pictures sit at the text area's left (2), centred in the row.
    EXPECT_EQ(row.pixelColor(4, r.height() / 2) == QColor(Qt::red), c.picture) << c.imageIndex << "/" << c.item;
    const int text = FirstInk(row, r.height(), 19);
    EXPECT_GE(text, 2 + 16 + 2) << c.imageIndex << "/" << c.item;
    EXPECT_LE(text, 2 + 16 + 2 + 3);
  }
}

TEST(PopupListBox, TheFadeEndsAtAnyValueOnTheClock) {
  for (int target : {250, 255, 7, 0}) {
    TwManualClock clock;
    TtwPopupListBox list(nullptr);
    list.AlphaBlend = true;
    list.AlphaBlendAnimation = true;
    list.AlphaBlendValue = target;
    list.SetItems(Numbered(3));
    list.ShowAt(QPoint(10, 10));
    EXPECT_EQ(list.Alpha(), 0);
    clock.Advance(twBoxLooks::kDropDownFadeStepMs * 30);
    EXPECT_EQ(list.Alpha(), target);
    EXPECT_FALSE(list.Fading());
    EXPECT_EQ(clock.ArmedTimers(), 0);
    list.Hide();
  }
}

TEST(PlaceDropDown, BelowAboveAndInsideTheWorkArea) {
  const QRect work(0, 0, 800, 600);
  struct Case {
    QRect control;
    QSize list;
    QPoint at;
  };
  const Case cases[] = {
      {QRect(100, 100, 120, 20), QSize(120, 160), QPoint(100, 120)},  // below
      {QRect(100, 500, 120, 20), QSize(120, 160), QPoint(100, 340)},  // above: top minus the list
      {QRect(750, 100, 120, 20), QSize(120, 160), QPoint(680, 120)},  // kept left of the right edge
      {QRect(100, 40, 120, 20), QSize(120, 590), QPoint(100, 0)},     // fits nowhere: from the top
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceDropDown(c.control, c.list, work), c.at) << c.control.y();
}

}  // namespace

namespace {
// A narrow list of columns whose two bars took turns (each one shown resized
// the list so the other came or went) recursed until the stack ran out.
TEST(ListBox, TinyListsOfColumnsSettleTheirBars) {
  for (int h : {0, 1, 3, 19, 21})
    for (int w : {0, 1, 5, 20})
      for (int cols : {1, 3}) {
        TtwSkinListBox box;
        box.SetColumns(cols);
        box.SetBounds(0, 0, w, h);
        box.show();
        box.SetItems(Numbered(40));
        QApplication::processEvents();
        box.SetBounds(0, 0, w + 1, h + 1);
        QApplication::processEvents();
        EXPECT_GE(box.InnerList()->width(), 0);
      }
}
}  // namespace
