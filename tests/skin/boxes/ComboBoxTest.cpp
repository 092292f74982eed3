// Fixed-style combo box: the user picks one of the listed names with the
// mouse, the keys or by typing; the drop-down list opens where it fits.
#include <QTest>

#include "../controls/QtApp.h"
#include "BoxFixture.h"
#include "platform/Clock.h"
#include "platform/ImageList.h"
#include "skin/boxes/twBoxLooks.h"
#include "skin/boxes/twSkinComboBox.h"

namespace {

using namespace twtest;
using namespace twBoxLooks;

const QStringList kNames{QStringLiteral("Work"), QStringLiteral("Home"), QStringLiteral("Ideas")};

TEST(ComboBox, ItemIndexAndTextFollowEachOther) {
  TtwSkinComboBox box;
  box.SetItems(kNames);
  EXPECT_EQ(box.ItemIndex(), -1);
  int clicks = 0, changes = 0;
  box.OnClick = [&] { ++clicks; };
  box.OnChange = [&] { ++changes; };
  box.SetItemIndex(1);
  EXPECT_EQ(box.Text(), QStringLiteral("Home"));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);

  // A text naming an item selects it; any other selects nothing.
  box.SetText(QStringLiteral("Ideas"));
  EXPECT_EQ(box.ItemIndex(), 2);
  box.SetText(QStringLiteral("Gone"));
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.Text(), QStringLiteral("Gone"));
  box.SetItemIndex(7);  // out of range: nothing selected, text kept
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.Text(), QStringLiteral("Gone"));

  box.ClearItems();
  EXPECT_EQ(box.Count(), 0);
  EXPECT_EQ(box.ItemIndex(), -1);
}

TEST(ComboBox, FixedStyleOnlyEverTakesListedNames) {
  TtwSkinComboBox box;
  box.SetItems(kNames);
  box.show();
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_H);  // jumps to the item starting with it
  EXPECT_EQ(box.Text(), QStringLiteral("Home"));
  QTest::keyClicks(&box, QStringLiteral("zz"));  // no item: nothing changes
  EXPECT_EQ(box.Text(), QStringLiteral("Home"));
  QTest::keyClick(&box, Qt::Key_Down);
  EXPECT_EQ(box.Text(), QStringLiteral("Ideas"));
  QTest::keyClick(&box, Qt::Key_Down);  // already the last
  EXPECT_EQ(box.ItemIndex(), 2);
  QTest::keyClick(&box, Qt::Key_Home);
  EXPECT_EQ(box.Text(), QStringLiteral("Work"));
  EXPECT_TRUE(kNames.contains(box.Text()));
}

// The centre of a row of the open list, in screen coordinates.
QPoint RowCentre(TtwSkinComboBox& box, int row) {
  TtwListBox* inner = box.PopupList()->InnerList();
  return inner->viewport()->mapToGlobal(inner->visualItemRect(inner->item(row)).center());
}

TEST(ComboBox, DroppedListPicksOnClickAndCancelRestores) {
  TtwSkinComboBox box;
  box.SetItems(kNames);
  box.SetItemIndex(0);
  box.SetDropDownCount(2);
  box.show();
  QTest::mouseClick(&box, Qt::LeftButton, {}, box.ButtonArea().center());
  ASSERT_TRUE(box.Dropped());  // press and release without entering the list
  TtwPopupListBox* list = box.PopupList();
  EXPECT_TRUE(list->isVisible());
  EXPECT_EQ(list->InnerList()->VisibleRows(), 2);  // the third needs the bar
  EXPECT_TRUE(list->VScrollVisible());
  int closed = 0;
  box.OnCloseUp = [&] { ++closed; };
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  box.PopupKey(&down);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(box.Text(), QStringLiteral("Work"));  // the box shows its item until close-up
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  box.PopupKey(&esc);
  EXPECT_FALSE(box.Dropped());
  EXPECT_EQ(box.ItemIndex(), 0);
  EXPECT_EQ(box.Text(), QStringLiteral("Work"));
  EXPECT_EQ(closed, 0);  // a cancel is no close-up with a choice

  // A click on an item (press and release in the list) takes it.
  box.DropDown();
  const QPoint p = RowCentre(box, 1);
  box.PopupMouse(QEvent::MouseButtonPress, Qt::LeftButton, p, true);
  box.PopupMouse(QEvent::MouseButtonRelease, Qt::LeftButton, p, true);
  EXPECT_FALSE(box.Dropped());
  EXPECT_EQ(box.Text(), QStringLiteral("Home"));
  EXPECT_EQ(closed, 1);

  box.SetEnabled(false);
  box.DropDown();
  EXPECT_FALSE(box.Dropped());

  // A box destroyed with its list open takes the list with it quietly.
  auto* gone = new TtwSkinComboBox;
  gone->SetItems(kNames);
  gone->show();
  gone->DropDown();
  ASSERT_TRUE(gone->PopupList()->isVisible());
  delete gone;
}

TEST(ComboBox, PressDragReleaseTakesTheItemInOneGesture) {
  TtwSkinComboBox box;
  box.SetItems(kNames);
  box.SetItemIndex(0);
  box.show();
  QTest::mousePress(&box, Qt::LeftButton, {}, box.ButtonArea().center());
  ASSERT_TRUE(box.Dropped());
  EXPECT_TRUE(box.ButtonDown());
  // Beside the list, at the height of row 2: that row is the one taken.
  const QPoint beside = RowCentre(box, 2) + QPoint(box.PopupList()->width() + 40, 0);
  box.PopupMouse(QEvent::MouseMove, Qt::NoButton, beside, false);
  EXPECT_EQ(box.PopupList()->ItemIndex(), 2);
  box.PopupMouse(QEvent::MouseButtonRelease, Qt::LeftButton, RowCentre(box, 2), true);
  EXPECT_FALSE(box.Dropped());
  EXPECT_EQ(box.ItemIndex(), 2);
  EXPECT_EQ(box.Text(), QStringLiteral("Ideas"));
  EXPECT_FALSE(box.ButtonDown());

  // Released outside the list after entering it: closed, nothing taken.
  QTest::mousePress(&box, Qt::LeftButton, {}, box.ButtonArea().center());
  box.PopupMouse(QEvent::MouseMove, Qt::NoButton, RowCentre(box, 0), true);
  box.PopupMouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(-500, -500), false);
  EXPECT_FALSE(box.Dropped());
  EXPECT_EQ(box.Text(), QStringLiteral("Ideas"));
}

TEST(ComboBox, DraggingBelowTheListScrollsEvery25msUpToTheLastItem) {
  TwManualClock clock;
  TtwSkinComboBox box;
  QStringList many;
  for (int i = 0; i < 12; ++i) many << QStringLiteral("Name %1").arg(i);
  box.SetItems(many);
  box.SetItemIndex(0);
  box.show();
  // Below the list without having entered it: nothing moves.
  QTest::mousePress(&box, Qt::LeftButton, {}, box.ButtonArea().center());
  const QPoint below = box.PopupList()->mapToGlobal(QPoint(5, box.PopupList()->height() + 30));
  box.PopupMouse(QEvent::MouseMove, Qt::NoButton, below, false);
  clock.Advance(100);
  EXPECT_EQ(box.PopupList()->ItemIndex(), 0);
  box.PopupMouse(QEvent::MouseMove, Qt::NoButton, RowCentre(box, 7), true);
  EXPECT_EQ(box.PopupList()->ItemIndex(), 7);
  box.PopupMouse(QEvent::MouseMove, Qt::NoButton, below, false);
  EXPECT_EQ(box.ScrollDirection(), 2);
  clock.Advance(24);
  EXPECT_EQ(box.PopupList()->ItemIndex(), 7);
  clock.Advance(1);
  EXPECT_EQ(box.PopupList()->ItemIndex(), 8);
  clock.Advance(25 * 10);
  EXPECT_EQ(box.PopupList()->ItemIndex(), 11);
  EXPECT_EQ(box.ScrollDirection(), 0);  // stopped at the last item
  EXPECT_EQ(clock.ArmedTimers(), 0);
  EXPECT_EQ(box.ItemIndex(), 11);
  EXPECT_EQ(box.Text(), QStringLiteral("Name 0"));
  box.CloseUp(false);
}

TEST(ComboBox, TypingSearchesAndResetsAfterThePauseOnTheClock) {
  TwManualClock clock;
  TtwSkinComboBox box;
  box.SetItems({QStringLiteral("Apple"), QStringLiteral("Avocado"), QStringLiteral("Banana"),
                QStringLiteral("Blueberry")});
  box.show();
  QTest::keyClick(&box, Qt::Key_B);
  EXPECT_EQ(box.Text(), QStringLiteral("Banana"));
  clock.Advance(499);
  QTest::keyClick(&box, Qt::Key_L);  // within the delay: "bl"
  EXPECT_EQ(box.Text(), QStringLiteral("Blueberry"));
  clock.Advance(500);
  QTest::keyClick(&box, Qt::Key_A);  // a new search, wrapping to the first "a"
  EXPECT_EQ(box.Text(), QStringLiteral("Apple"));
  clock.Advance(500);
  QTest::keyClick(&box, Qt::Key_A);  // the same letter again steps on
  EXPECT_EQ(box.Text(), QStringLiteral("Avocado"));

  // Without AutoComplete every letter is a search of its own.
  box.SetAutoComplete(false);
  QTest::keyClick(&box, Qt::Key_B);
  QTest::keyClick(&box, Qt::Key_L);
  EXPECT_EQ(box.Text(), QStringLiteral("Banana"));
}

TEST(ComboBox, PageKeysMoveByTheirOwnAmounts) {
  TtwSkinComboBox box;
  QStringList many;
  for (int i = 0; i < 20; ++i) many << QStringLiteral("Name %1").arg(i);
  box.SetItems(many);
  box.show();
  struct Case {
    int from;
    Qt::Key key;
    int to;
  };
  const Case cases[] = {{10, Qt::Key_PageUp, 1}, {10, Qt::Key_PageDown, 17}, {3, Qt::Key_PageUp, 0},
                        {15, Qt::Key_PageDown, 19}, {5, Qt::Key_End, 19}, {5, Qt::Key_Home, 0}};
  for (const Case& c : cases) {
    box.SetItemIndex(c.from);
    QTest::keyClick(&box, c.key);
    EXPECT_EQ(box.ItemIndex(), c.to) << c.from;
  }
}

TEST(ComboBox, OpensAboveNearTheBottomAndInsideTheRightEdge) {
  QWidget window;
  const QRect work = GetMonitorArea(&window, true).ToQ();
  window.setGeometry(work.right() - 60, work.bottom() - 40, 60, 30);
  TtwSkinComboBox box(&window);
  box.SetItems(kNames);
  box.SetBounds(0, 0, 120, 20);  // wider than what is left of the screen
  window.show();
  box.DropDown();
  const QRect list = box.PopupList()->geometry();
  EXPECT_EQ(list.bottom() + 1, box.mapToGlobal(QPoint(0, 0)).y());  // above: its top is the box's minus its height
  EXPECT_EQ(list.right(), work.right());
  box.CloseUp(false);
}

TEST(ComboBoxLayout, PartsFromSizes) {
  TtwComboLayoutInput in;
  in.Width = 121;
  in.Height = 54;
  EXPECT_EQ(LayoutComboBox(in).ButtonArea, QRect(102, 2, 17, 50));
  EXPECT_EQ(LayoutComboBox(in).ItemArea, QRect(2, 2, 99, 50));
  // Bound: the button moves with the width; stretched, both bottoms follow the height.
  in.Bound = true;
  in.SkinRect = TRect{0, 60, 40, 70};
  in.ClientRect = TRect{3, 1, 28, 9};
  in.ButtonRect = TRect{30, 0, 40, 10};
  in.RightTopX = 28;
  in.Width = 100;
  in.Height = 10;
  EXPECT_EQ(LayoutComboBox(in).ButtonArea, QRect(90, 0, 10, 10));
  EXPECT_EQ(LayoutComboBox(in).ItemArea, QRect(3, 1, 85, 8));
  in.UseSkinSize = false;
  in.Height = 30;
  EXPECT_EQ(LayoutComboBox(in).ButtonArea, QRect(90, 0, 10, 30));
  EXPECT_EQ(LayoutComboBox(in).ItemArea, QRect(3, 1, 85, 28));
  for (int w : {0, 1, 5, 20})
    for (bool b : {false, true}) {
      in.Bound = b;
      in.Width = w;
      in.Height = 3;
      const TtwComboLayout l = LayoutComboBox(in);
      EXPECT_TRUE(l.ButtonArea.width() >= 0 && l.ItemArea.width() >= 0 && l.ItemArea.height() >= 0) << w;
    }
}

TEST(ComboBox, BoundFaceComesFromTheRecordsPieces) {
  TBoxSkin skin;
  TtwSkinComboBox box;
  box.SetSkinData(&skin.data);
  ASSERT_NE(box.RecordIndex(), -1);
  box.SetItems({QString()});
  box.SetItemIndex(0);
  box.SetBounds(0, 0, 60, 25);
  EXPECT_EQ(box.height(), 10);  // three-piece: the skin's height
  QImage face = box.RenderFace();
  EXPECT_EQ(From(face, 0, 0), QPoint(0, 60));    // the frame's left end
  EXPECT_EQ(From(face, 59, 0), QPoint(39, 60));  // its right end, moved with the width
  EXPECT_EQ(From(face, 3, 1), QPoint(0, 80));    // the item piece in the item area
  // Stretched to any height, the bound item piece fills the item area.
  box.SetUseSkinSize(false);
  box.SetBounds(0, 0, 60, 30);
  EXPECT_EQ(box.height(), 30);
  face = box.RenderFace();
  EXPECT_EQ(From(face, 0, 0), QPoint(0, 60));
  EXPECT_EQ(From(face, 3, 1), QPoint(0, 80));
  // The drop-down list takes the record the combo box names.
  EXPECT_EQ(box.PopupList()->SkinDataName(), QStringLiteral("listbox"));
  EXPECT_NE(box.PopupList()->RecordIndex(), -1);
}

TEST(ComboBox, SortedListsOrderByTheLocale) {
  TtwSkinComboBox box;
  box.SetItems({QStringLiteral("beta"), QStringLiteral("Alpha"), QStringLiteral("gamma")});
  box.SetItemIndex(0);
  box.SetSorted(true);
  EXPECT_EQ(box.Items(),
            (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma")}));
  EXPECT_EQ(box.Text(), QStringLiteral("beta"));  // the same item stays selected
  EXPECT_EQ(box.ItemIndex(), 1);
}

TEST(ComboBox, ToolButtonStyleDrawsTheWholeControlAsOneButton) {
  TBoxSkin skin;
  TtwSkinComboBox box;
  box.SetStyle(twcbEditStyle);
  box.SetItems(kNames);
  box.SetItemIndex(0);
  box.SetToolButtonStyle(true);
  // It takes the fixed style and any size.
  EXPECT_EQ(box.Style(), twcbFixedStyle);
  EXPECT_EQ(box.InnerEdit(), nullptr);
  EXPECT_FALSE(box.UseSkinSize());
  box.SetBounds(0, 0, 80, 24);
  // Bound or not, the item and button take the whole control.
  box.SetSkinData(&skin.data);
  ASSERT_NE(box.RecordIndex(), -1);
  EXPECT_EQ(box.height(), 24);
  EXPECT_EQ(box.ButtonArea(), QRect(61, 2, 17, 20));
  box.SetSkinData(nullptr);
  box.show();
  // Closed, hot and open: the fill of the whole control (clear of the
  // short item text) by state.
  EXPECT_EQ(box.RenderFace().pixelColor(50, 4), C::BtnFace);
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&box, &enter);
  EXPECT_EQ(box.RenderFace().pixelColor(50, 4), C::HotFill);
  // A press anywhere on it opens the list, even on its frame.
  QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(1, 1));
  QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(1, 1));
  ASSERT_TRUE(box.Dropped());
  EXPECT_EQ(box.RenderFace().pixelColor(50, 4), C::DownFill);
  box.CloseUp(false);
  box.SetToolButtonStyle(false);
  EXPECT_EQ(box.RenderFace().pixelColor(50, 4), box.DefaultColor());
}

TEST(ComboBox, TheShownItemHasItsPictureTabsOrTheOwnersDrawing) {
  TImageList images(nullptr, 8, 8);
  QPixmap red(8, 8);
  red.fill(Qt::red);
  images.Add(red);
  TtwSkinComboBox box;
  box.SetBounds(0, 0, 160, 20);
  box.SetItems({QStringLiteral("Work"), QStringLiteral("Home\tX")});
  box.SetImages(&images);
  box.SetItemIndex(0);
  // The list shares the pictures; item 0 has one at the text area's left.
  EXPECT_EQ(box.PopupList()->Images(), &images);
  const QRect a = box.ItemAreaRect();
  QImage face = box.RenderFace();
  EXPECT_EQ(face.pixelColor(a.left() + 3, a.center().y()), QColor(Qt::red));
  // Item 1 has none, but its text still leaves the picture's room.
  box.SetItemIndex(1);
  face = box.RenderFace();
  EXPECT_NE(face.pixelColor(a.left() + 3, a.center().y()), QColor(Qt::red));
  // A tab stop at 60 puts the part after the tab there, from the item's left.
  box.SetTabWidths({60});
  EXPECT_EQ(box.PopupList()->TabWidths(), QList<int>{60});
  face = box.RenderFace();
  bool ink = false;
  for (int x = a.left() + 60; x < a.left() + 66; ++x)
    for (int y = a.top(); y < a.bottom(); ++y) ink = ink || qGray(face.pixel(x, y)) < 128;
  EXPECT_TRUE(ink);

  // The owner's drawing replaces picture and text, for the shown item.
  int drawn = -1;
  QRect textRect;
  box.OnComboBoxDrawItem = [&](QPainter& p, int index, const QRect& r, TtwListItemState) {
    drawn = index;
    textRect = r;
    p.fillRect(r, Qt::blue);
  };
  face = box.RenderFace();
  EXPECT_EQ(drawn, 1);
  EXPECT_TRUE(a.contains(textRect));
  EXPECT_EQ(face.pixelColor(textRect.center()), QColor(Qt::blue));
}

TEST(ComboBox, ListBoxPropertiesReachTheDropDownList) {
  TtwSkinComboBox box;
  box.SetItems(kNames);
  box.SetListBoxCaption(QStringLiteral("Pick"));
  box.SetListBoxCaptionMode(true);
  box.SetListBoxCaptionAlignment(Qt::AlignRight);
  box.SetListBoxDefaultItemHeight(15);
  box.SetListBoxUseSkinItemHeight(false);
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(11);
  box.SetListBoxDefaultFont(f);
  bool rowsDrawn = false;
  box.SetOnListBoxDrawItem([&](QPainter&, int, const QRect&, TtwListItemState) { rowsDrawn = true; });
  TtwPopupListBox* list = box.PopupList();
  EXPECT_EQ(list->Caption(), QStringLiteral("Pick"));
  EXPECT_TRUE(list->CaptionMode());
  EXPECT_EQ(list->Alignment(), Qt::AlignRight);
  EXPECT_FALSE(list->UseSkinItemHeight());
  EXPECT_EQ(list->ItemHeight(), 15);
  EXPECT_EQ(list->InnerList()->font().pixelSize(), 11);
  // And the box reads them back from the list.
  EXPECT_EQ(box.ListBoxCaption(), QStringLiteral("Pick"));
  EXPECT_EQ(box.ListBoxDefaultItemHeight(), 15);
  box.show();
  box.DropDown();
  // The open list is three rows of 15 under its caption band.
  EXPECT_EQ(list->height(), 3 * 15 + 4 + list->DefaultCaptionHeight());
  list->InnerList()->viewport()->grab();
  EXPECT_TRUE(rowsDrawn);
  box.CloseUp(false);
}

}  // namespace
