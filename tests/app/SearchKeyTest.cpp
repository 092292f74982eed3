// Enter in the keyword box runs Find, as the Find button does; Enter anywhere
// else in the main window does not.
#include "tests/app/NotesWindows.h"

namespace tw_test {
namespace {

// The edit that takes the typing: the box itself, or the edit inside it.
QLineEdit* KeywordLine() {
  QWidget* box = Form1->twSkinEdit1;
  if (auto* line = qobject_cast<QLineEdit*>(box)) return line;
  return box->findChild<QLineEdit*>();
}

TEST_F(NotesWindows, EnterInTheKeywordBoxRunsFind) {
  Start();
  QLineEdit* line = KeywordLine();
  ASSERT_NE(line, nullptr);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    AboutBox1->Hide();
    line->setText("eggs");
    QTest::keyClick(line, key);
    EXPECT_TRUE(AboutBox1->isVisible()) << "key " << key;
    EXPECT_EQ(Results(), QStringList{"Shopping"});
  }
  // A key held down does not search again and again.
  AboutBox1->Hide();
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString("\r"), true);
  QApplication::sendEvent(line, &repeat);
  EXPECT_FALSE(AboutBox1->isVisible());

  // Other keys type; Enter in the tree does not search.
  line->clear();
  QTest::keyClicks(line, "Agenda");
  EXPECT_EQ(line->text(), "Agenda");
  EXPECT_FALSE(AboutBox1->isVisible());
  QTest::keyClick(Form1->TreeView1, Qt::Key_Return);
  EXPECT_FALSE(AboutBox1->isVisible());
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
}  // namespace tw_test
