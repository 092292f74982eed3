// The main window's category box on a real X display with real pointer
// input (xdotool, through the drop-down list's grab): a click opens the
// list, a click on a category and a press dragged onto one and released
// both take it and close the list.
#include <QProcess>

#include "NotesWindows.h"
#include "tests/support/EventWait.h"

namespace tw_test {
namespace {

void Xdo(const QStringList& args) { ASSERT_EQ(QProcess::execute("xdotool", args), 0); }
QStringList At(const QPoint& p) { return {"mousemove", QString::number(p.x()), QString::number(p.y())}; }

class CategoryBoxScreen : public NotesWindows {
 protected:
  void SetUp() override {
    twtest::App();
    Xdo(At({5, 5}));
    NotesWindows::SetUp();
  }
  void Open() {
    Start();
    ClickNote("Work", "Budget");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    box = Form1->SeSkinComboBox1;
    ASSERT_TRUE(box->isEnabled());
    ASSERT_EQ(box->Text(), QStringLiteral("Work"));
    Xdo(At(box->mapToGlobal(box->rect().center())) << "click" << "1");
    ASSERT_TRUE(twtest::WaitFor([&] { return box->Dropped() && box->PopupList()->isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box->PopupList()));
    QTest::qWait(100);
  }
  QPoint Row(const QString& name) const {
    TtwListBox* inner = box->PopupList()->InnerList();
    const int i = int(box->PopupList()->Items().indexOf(name));
    return inner->viewport()->mapToGlobal(inner->visualItemRect(inner->item(i)).center());
  }
  TtwSkinComboBox* box = nullptr;
};

TEST_F(CategoryBoxScreen, AClickOpensTheListAndAClickOnACategoryTakesIt) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Xdo(At(Row("Home")) << "click" << "1");
  ASSERT_TRUE(twtest::WaitFor([&] { return !box->Dropped(); }));
  EXPECT_EQ(box->Text(), QStringLiteral("Home"));
  EXPECT_FALSE(box->PopupList()->isVisible());
}

TEST_F(CategoryBoxScreen, PressDragReleaseTakesACategoryInOneGesture) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Xdo(At(box->mapToGlobal(box->rect().center())) << "click" << "1");  // closed again
  ASSERT_TRUE(twtest::WaitFor([&] { return !box->Dropped(); }));
  Xdo(At(box->mapToGlobal(box->rect().center())) << "mousedown" << "1");
  ASSERT_TRUE(twtest::WaitFor([&] { return box->PopupList()->isVisible(); }));
  QTest::qWait(100);
  Xdo(At(Row("Empty") + QPoint(0, -2)));
  Xdo(At(Row("Empty")));
  Xdo({"mouseup", "1"});
  ASSERT_TRUE(twtest::WaitFor([&] { return !box->Dropped(); }));
  EXPECT_EQ(box->Text(), QStringLiteral("Empty"));
}

}  // namespace
}  // namespace tw_test
