// The combo box's edit style: the inner skinned edit, completion as the user
// types (not after deleting, not while an input method composes), the
// drop-down taking over the text, and the list keys.
#include <QInputMethodEvent>
#include <QTest>

#include "../controls/QtApp.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/boxes/twSkinEdits.h"

namespace {

struct EditCombo {
  TtwSkinComboBox box;
  TtwCustomEdit* edit = nullptr;
  EditCombo() {
    box.SetItems({QStringLiteral("Apple"), QStringLiteral("Apricot"), QStringLiteral("Banana"),
                  QStringLiteral("读书笔记"), QStringLiteral("读书会")});
    box.SetStyle(twcbEditStyle);
    box.SetBounds(10, 10, 160, 22);
    box.show();
    edit = box.InnerEdit();
    edit->setFocus();
  }
};

TEST(ComboEditStyle, TypedPrefixIsCompletedWithTheRestSelected) {
  EditCombo c;
  ASSERT_NE(c.edit, nullptr);
  QTest::keyClicks(c.edit, QStringLiteral("ap"));
  EXPECT_EQ(c.edit->text(), QStringLiteral("Apple"));
  EXPECT_EQ(c.edit->selectedText(), QStringLiteral("ple"));
  EXPECT_EQ(c.box.Text(), QStringLiteral("Apple"));
  EXPECT_EQ(c.box.ItemIndex(), 0);
  // The next letter replaces the completed rest and completes again.
  QTest::keyClicks(c.edit, QStringLiteral("r"));
  EXPECT_EQ(c.edit->text(), QStringLiteral("Apricot"));
  EXPECT_EQ(c.edit->selectedText(), QStringLiteral("icot"));
  EXPECT_EQ(c.box.ItemIndex(), 1);
  // Deleting the selection does not complete it back.
  QTest::keyClick(c.edit, Qt::Key_Backspace);
  EXPECT_EQ(c.edit->text(), QStringLiteral("Apr"));
  // A text no item begins is kept as typed.
  QTest::keyClicks(c.edit, QStringLiteral("z"));
  EXPECT_EQ(c.edit->text(), QStringLiteral("Aprz"));
  EXPECT_EQ(c.box.ItemIndex(), -1);
}

TEST(ComboEditStyle, NothingCompletesWhileAnInputMethodComposes) {
  EditCombo c;
  QInputMethodEvent compose(QStringLiteral("du"), {});
  QApplication::sendEvent(c.edit, &compose);
  EXPECT_TRUE(c.edit->Composing());
  EXPECT_EQ(c.box.Text(), QString());
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("读书"));
  QApplication::sendEvent(c.edit, &commit);
  EXPECT_FALSE(c.edit->Composing());
  // Committed text is typed text: it completes.
  EXPECT_EQ(c.edit->text(), QStringLiteral("读书笔记"));
  EXPECT_EQ(c.edit->selectedText(), QStringLiteral("笔记"));
}

TEST(ComboEditStyle, ListKeysAndTheDropDownTakeOverTheText) {
  EditCombo c;
  QTest::keyClick(c.edit, Qt::Key_Down);
  EXPECT_EQ(c.edit->text(), QStringLiteral("Apple"));
  QTest::keyClick(c.edit, Qt::Key_Down);
  EXPECT_EQ(c.edit->text(), QStringLiteral("Apricot"));
  EXPECT_EQ(c.edit->selectedText(), QStringLiteral("Apricot"));
  c.box.DropDown();
  ASSERT_TRUE(c.box.Dropped());
  c.box.PopupList()->SetItemIndex(2);
  c.box.CloseUp(true);
  EXPECT_EQ(c.edit->text(), QStringLiteral("Banana"));
  EXPECT_EQ(c.box.Text(), QStringLiteral("Banana"));
  // Enter stays out of the edit's text.
  QTest::keyClick(c.edit, Qt::Key_Return);
  EXPECT_EQ(c.edit->text(), QStringLiteral("Banana"));
}

}  // namespace
