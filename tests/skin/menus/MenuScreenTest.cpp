// Skinned menus on a real X display with real pointer input (xdotool): the
// menu opens at its point, a click on an entry runs it once and closes every
// level, a click outside closes the menu without reaching the window below,
// and resting on a sub-menu entry opens it after the delay.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QProcess>
#include <QTest>

#include "MenuFixtures.h"
#include "skin/menus/twSkinMenus.h"
#include "tests/support/EventWait.h"

namespace {

using namespace twtest;

// A window that counts the presses reaching it.
class TPressCounter : public QWidget {
 public:
  int presses = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++presses; }
};

void Xdo(const QStringList& args) { ASSERT_EQ(QProcess::execute("xdotool", args), 0); }
void MoveTo(const QPoint& p) { Xdo({"mousemove", QString::number(p.x()), QString::number(p.y())}); }
void ClickAt(const QPoint& p) {
  Xdo({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"});
}

class MenuScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    MoveTo({5, 5});
    form.setGeometry(100, 100, 500, 400);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    menu = new TtwSkinMenu(&form);
    sub = MakeMenu({"Alpha", "Beta"}, &runs);
    sub->setTitle("More");
    top = MakeMenu({"One", "Two"}, &runs);
    top->addMenu(sub.get());
  }
  void Open(QPoint at) {
    menu->PopupMenuItems(nullptr, nullptr, false, top.get(), TRect{at.x(), at.y(), at.x(), at.y()}, 0);
    ASSERT_TRUE(menu->Level(0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu->Level(0)));
    QTest::qWait(100);
  }
  QPoint Centre(int level, int entry) {
    TtwSkinPopupWindow* w = menu->Level(level);
    return w->mapToGlobal(w->At(entry).Rect.ToQ().center());
  }

  TPressCounter form;
  TtwSkinMenu* menu = nullptr;  // owned by the form
  std::unique_ptr<QMenu> top, sub;
  QMap<QString, int> runs;
};

TEST_F(MenuScreen, OpensAtTheGivenPoint) {
  Open({250, 180});
  EXPECT_EQ(menu->Level(0)->frameGeometry().topLeft(), QPoint(250, 180));
  EXPECT_TRUE(menu->Level(0)->isVisible());
}

TEST_F(MenuScreen, ClickOnAnEntryRunsItOnceAndClosesEveryLevel) {
  Open({250, 180});
  menu->KeyDown(Qt::Key_Down);
  menu->KeyDown(Qt::Key_Down);
  menu->KeyDown(Qt::Key_Right);
  ASSERT_EQ(menu->LevelCount(), 2);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(menu->Level(1)));
  ClickAt(Centre(1, 1));
  ASSERT_TRUE(WaitFor([&] { return runs["Beta"] > 0; }));
  QTest::qWait(200);
  EXPECT_EQ(runs["Beta"], 1);
  EXPECT_EQ(runs.size(), 1);
  EXPECT_FALSE(menu->Visible());
  EXPECT_EQ(menu->LevelCount(), 0);
  EXPECT_EQ(form.presses, 0);
}

TEST_F(MenuScreen, ClickOutsideClosesTheMenuAndIsNotPassedOn) {
  Open({250, 180});
  ClickAt({520, 450});  // on the form, away from the menu
  ASSERT_TRUE(WaitFor([&] { return !menu->Visible(); }));
  QTest::qWait(200);
  EXPECT_EQ(form.presses, 0);
  EXPECT_TRUE(runs.isEmpty());
  // The same click with no menu open does reach the form.
  ClickAt({520, 450});
  EXPECT_TRUE(WaitFor([&] { return form.presses == 1; }));
}

TEST_F(MenuScreen, RestingOnASubMenuEntryOpensItAfterTheDelay) {
  Open({250, 180});
  MoveTo(Centre(0, 2));
  QTest::qWait(kMenuWaitMs / 2);
  EXPECT_EQ(menu->LevelCount(), 1);
  ASSERT_TRUE(WaitFor([&] { return menu->LevelCount() == 2; }, kMenuWaitMs + 500));
  EXPECT_TRUE(menu->Level(0)->At(2).State.Down);
  EXPECT_TRUE(menu->Level(1)->isVisible());
  EXPECT_TRUE(runs.isEmpty());
}

TEST_F(MenuScreen, RealKeysReachTheOpenMenu) {
  form.activateWindow();
  QTest::qWait(100);
  Open({250, 180});
  Xdo({"key", "Down", "Down", "Right"});
  ASSERT_TRUE(WaitFor([&] { return menu->LevelCount() == 2; }));
  Xdo({"key", "Escape"});
  ASSERT_TRUE(WaitFor([&] { return menu->LevelCount() == 1; }));
  Xdo({"key", "Up", "Return"});
  ASSERT_TRUE(WaitFor([&] { return runs["Two"] == 1; }));
  EXPECT_FALSE(menu->Visible());
}

}  // namespace
