// Fixed-style combo box: the user picks one of the listed names.
#include <QListWidget>
#include <QTest>

#include "../controls/QtApp.h"
#include "skin/boxes/twSkinComboBox.h"

namespace {

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

TEST(ComboBox, DroppedListPicksOnClickAndCancelRestores) {
  TtwSkinComboBox box;
  box.SetItems(kNames);
  box.SetItemIndex(0);
  box.SetDropDownCount(2);
  box.show();
  QTest::mouseClick(&box, Qt::LeftButton, {}, box.ButtonArea().center());
  ASSERT_TRUE(box.Dropped());
  QListWidget* list = box.PopupList();
  EXPECT_TRUE(list->isVisible());
  // Two rows at most; the third needs the scroll bar.
  EXPECT_LT(list->height(), 3 * list->sizeHintForRow(0));
  int closed = 0;
  box.OnCloseUp = [&] { ++closed; };
  list->setCurrentRow(1);
  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_FALSE(box.Dropped());
  EXPECT_EQ(box.ItemIndex(), 0);
  EXPECT_EQ(closed, 1);

  box.DropDown();
  const QRect r = list->visualItemRect(list->item(1));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
  EXPECT_FALSE(box.Dropped());
  EXPECT_EQ(box.Text(), QStringLiteral("Home"));

  box.SetEnabled(false);
  box.DropDown();
  EXPECT_FALSE(box.Dropped());
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

}  // namespace
