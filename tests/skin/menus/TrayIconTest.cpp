// The tray icon on the injected clock with a fake tray: the click and
// double-click rules, the menu on a right click, cycling, index and hint
// limits, and never hiding a window with no way back.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include "MenuFixtures.h"
#include "platform/Clock.h"
#include "platform/ImageList.h"
#include "skin/menus/twSkinMenus.h"
#include "skin/menus/twTrayIcon.h"

namespace {

class TFakeTray : public TtwTrayBackend {
 public:
  bool available = true;
  bool shown = false;
  int adds = 0;
  QIcon icon;
  QString tip;
  bool Available() const override { return available; }
  void Add(const QIcon& i, const QString& t) override {
    ++adds;
    shown = true;
    icon = i;
    tip = t;
  }
  void Modify(const QIcon& i, const QString& t) override {
    icon = i;
    tip = t;
  }
  void Delete() override { shown = false; }
  void ShowBalloon(const QString&, const QString&, QSystemTrayIcon::MessageIcon, int) override {}
  void Send(TtwTrayMouseEvent::TKind kind, Qt::MouseButton button = Qt::LeftButton, QPoint at = {10, 10}) {
    emit Mouse(TtwTrayMouseEvent{kind, button, Qt::NoModifier, at});
  }
  void Host(bool on) {
    available = on;
    emit HostChanged(on);
  }
  QRgb Colour() const { return icon.pixmap(16, 16).toImage().pixel(8, 8); }
};

constexpr int kDoubleClickMs = 400;

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override { QApplication::setDoubleClickInterval(kDoubleClickMs); }
  TwManualClock clock;
  TFakeTray* fake = new TFakeTray;
  TtwTrayIcon tray{nullptr, fake};
};

// A script of tray messages at given times, and the moments OnClick fired.
struct TClickCase {
  const char* name;
  std::vector<std::pair<int, char>> steps;  // (ms from start, D down / U up / W double click)
  std::vector<int> clicksAt;
  int doubleClicks;
};

TEST_F(TrayIconTest, ClickAndDoubleClickRules) {
  const TClickCase cases[] = {
      {"a single click fires one double-click time after the press", {{0, 'D'}, {60, 'U'}}, {kDoubleClickMs}, 0},
      {"a double click fires no click", {{0, 'D'}, {60, 'U'}, {150, 'W'}, {200, 'U'}}, {}, 1},
      {"a press held longer fires at release", {{0, 'D'}, {700, 'U'}}, {700}, 0},
      {"two slow clicks are two clicks", {{0, 'D'}, {50, 'U'}, {900, 'D'}, {950, 'U'}}, {kDoubleClickMs, 1300}, 0},
  };
  for (const TClickCase& c : cases) {
    SCOPED_TRACE(c.name);
    TFakeTray* f = new TFakeTray;
    TtwTrayIcon t(nullptr, f);
    const qint64 start = clock.NowMs();
    std::vector<int> clicks;
    int dbl = 0;
    t.OnClick = [&] { clicks.push_back(int(clock.NowMs() - start)); };
    t.OnDblClick = [&] { ++dbl; };
    for (auto [at, kind] : c.steps) {
      clock.Advance(start + at - clock.NowMs());
      f->Send(kind == 'D' ? TtwTrayMouseEvent::Down : kind == 'U' ? TtwTrayMouseEvent::Up
                                                                  : TtwTrayMouseEvent::DoubleClick);
    }
    clock.Advance(3000);
    EXPECT_EQ(clicks, c.clicksAt);
    EXPECT_EQ(dbl, c.doubleClicks);
  }
}

TEST_F(TrayIconTest, MouseMessagesReachTheirEventsOnlyWhileEnabled) {
  std::vector<QString> log;
  tray.OnMouseDown = [&](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
    log.push_back(QString("down %1 %2,%3").arg(int(b)).arg(x).arg(y));
  };
  tray.OnMouseUp = [&](Qt::MouseButton b, Qt::KeyboardModifiers, int, int) { log.push_back(QString("up %1").arg(int(b))); };
  tray.OnMouseMove = [&](Qt::KeyboardModifiers, int x, int) { log.push_back(QString("move %1").arg(x)); };
  fake->Send(TtwTrayMouseEvent::Move, Qt::NoButton, {7, 8});
  fake->Send(TtwTrayMouseEvent::Down, Qt::MiddleButton, {3, 4});
  fake->Send(TtwTrayMouseEvent::Up, Qt::MiddleButton);
  EXPECT_EQ(log, (std::vector<QString>{"move 7", "down 4 3,4", "up 4"}));
  tray.Enabled = false;
  int clicks = 0;
  tray.OnClick = [&] { ++clicks; };
  fake->Send(TtwTrayMouseEvent::Down);
  fake->Send(TtwTrayMouseEvent::Up);
  clock.Advance(2000);
  EXPECT_EQ(log.size(), 3u);
  EXPECT_EQ(clicks, 0);
}

TEST_F(TrayIconTest, RightPressOpensTheSkinnedMenuAtThePointAndDoubleClickRunsTheDefaultEntry) {
  TtwSkinMenu controller(nullptr);
  controller.SetWorkAreaOverride(TRect{0, 0, 1600, 1200});
  TtwSkinPopupMenu menu;
  menu.SetSkinMenu(&controller);
  int restored = 0;
  QAction* restore = menu.addAction("&Restore");
  QObject::connect(restore, &QAction::triggered, [&] { ++restored; });
  menu.addAction("&Close");
  menu.setDefaultAction(restore);
  tray.SetPopupMenu(&menu);

  fake->Send(TtwTrayMouseEvent::Down, Qt::RightButton, {300, 200});
  ASSERT_TRUE(controller.Visible());
  EXPECT_EQ(controller.Level(0)->pos(), QPoint(300, 200));
  controller.CloseMenu();

  int clicks = 0;
  tray.OnClick = [&] { ++clicks; };
  fake->Send(TtwTrayMouseEvent::Down);
  fake->Send(TtwTrayMouseEvent::Up);
  fake->Send(TtwTrayMouseEvent::DoubleClick);
  fake->Send(TtwTrayMouseEvent::Up);
  clock.Advance(2000);
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(controller.Visible());  // the left button opens nothing by default
}

TEST_F(TrayIconTest, AMenuWithNoSkinnedFormStillOpens) {
  TtwSkinPopupMenu menu;
  menu.addAction("Only");
  tray.SetPopupMenu(&menu);
  fake->Send(TtwTrayMouseEvent::Down, Qt::RightButton, {100, 100});
  auto* level = tray.findChild<TtwSkinMenu*>();
  ASSERT_TRUE(level);
  EXPECT_TRUE(level->Visible());
  level->CloseMenu();
}

QPixmap Solid(QRgb c) {
  QPixmap p(16, 16);
  p.fill(QColor::fromRgb(c));
  return p;
}

TEST_F(TrayIconTest, CyclingShowsEachPictureInTurnAndTellsTheNextIndex) {
  TImageList list;
  const QRgb colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  for (QRgb c : colours) list.Add(Solid(c));
  tray.SetIconVisible(true);
  tray.SetIconList(&list);
  std::vector<int> next;
  std::vector<QRgb> shown;
  tray.OnCycle = [&](int n) { next.push_back(n); };
  tray.SetAnimateTimerInterval(100);
  tray.SetCycleIcons(true);
  for (int i = 0; i < 4; ++i) {
    clock.Advance(100);
    shown.push_back(fake->Colour());
  }
  EXPECT_EQ(shown, (std::vector<QRgb>{colours[0], colours[1], colours[2], colours[0]}));
  EXPECT_EQ(next, (std::vector<int>{1, 2, 0, 1}));
  tray.SetCycleIcons(false);
  EXPECT_EQ(clock.ArmedTimers(), 0);
}

TEST_F(TrayIconTest, IndexesStayInsideTheListAndNoIntervalRunsNoTimer) {
  TImageList list;
  tray.SetIconList(&list);  // empty
  tray.SetIconIndex(5);
  EXPECT_EQ(tray.IconIndex(), 0);
  int cycles = 0;
  tray.OnCycle = [&](int) { ++cycles; };
  tray.SetAnimateTimerInterval(50);
  tray.SetCycleIcons(true);
  clock.Advance(500);
  EXPECT_EQ(cycles, 0);

  for (QRgb c : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}) list.Add(Solid(c));
  tray.SetIconVisible(true);
  tray.SetIconIndex(-3);
  EXPECT_EQ(tray.IconIndex(), 0);
  tray.SetIconIndex(9);
  EXPECT_EQ(tray.IconIndex(), 2);
  EXPECT_EQ(fake->Colour(), 0xFF0000FFu);
  // The list shrinking under the cycle restarts it at the first picture.
  list.Delete(2);
  list.Delete(1);
  clock.Advance(50);
  EXPECT_EQ(fake->Colour(), 0xFFFF0000u);

  tray.SetAnimateTimerInterval(0);
  EXPECT_EQ(clock.ArmedTimers(), 0);
  const int before = cycles;
  clock.Advance(1000);
  EXPECT_EQ(cycles, before);
}

TEST(TrayTipTest, CutsAt127CharactersNeverInsideOne) {
  const QString han(QChar(0x5B57));                       // 字
  const QString wide = QString::fromUtf8("\xF0\xA0\x80\x80");  // U+20000, a surrogate pair
  const QString accented = QString::fromUtf8("e\xCC\x81");     // e + combining acute
  struct {
    QString text, expected;
  } cases[] = {
      {han.repeated(130), han.repeated(127)},
      {han.repeated(126) + wide + han.repeated(5), han.repeated(126) + wide},
      {han.repeated(126) + accented + han, han.repeated(126) + accented},
      {han.repeated(127), han.repeated(127)},
      {QString(), QString()},
  };
  for (const auto& c : cases) EXPECT_EQ(TwTrayTip(c.text), c.expected);
}

TEST_F(TrayIconTest, TheTipFollowsHintAndShowHint) {
  tray.SetIconVisible(true);
  tray.SetHint(QString(QChar(0x5B57)).repeated(200));
  EXPECT_EQ(fake->tip.size(), 127);
  tray.SetShowHint(false);
  EXPECT_TRUE(fake->tip.isEmpty());
  EXPECT_FALSE(fake->icon.isNull());  // a plain picture when the program has none
}

TEST_F(TrayIconTest, HoldingWindowsNeedsATrayAndEveryWayOutShowsThemAgain) {
  QWidget main, other;
  main.show();
  other.show();
  fake->available = false;
  EXPECT_FALSE(tray.HideMainWindow({&main}));
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(main.isMinimized());
  EXPECT_NE(tray.State(), TtwTrayState::HoldingMainWindow);
  main.showNormal();

  fake->available = true;
  ASSERT_TRUE(tray.HideMainWindow({&main, &other}));
  EXPECT_FALSE(main.isVisible());
  EXPECT_TRUE(fake->shown);
  tray.ShowMainWindow();
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(other.isVisible());
  EXPECT_EQ(tray.State(), TtwTrayState::Shown);

  // Hiding the icon, or the tray going away, gives the windows back.
  tray.HideMainWindow({&main});
  tray.SetIconVisible(false);
  EXPECT_TRUE(main.isVisible());
  EXPECT_FALSE(fake->shown);
  tray.HideMainWindow({&main});
  fake->Host(false);
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(tray.State(), TtwTrayState::Shown);
  // A restarted tray gets the icon back.
  const int adds = fake->adds;
  fake->Host(true);
  EXPECT_EQ(fake->adds, adds + 1);

  {
    TFakeTray* f = new TFakeTray;
    TtwTrayIcon gone(nullptr, f);
    gone.HideMainWindow({&other});
    EXPECT_FALSE(other.isVisible());
  }
  EXPECT_TRUE(other.isVisible());  // a destroyed tray icon lets its windows go
}

TEST_F(TrayIconTest, MinimisingTheOwnerGoesToTheTrayAndStartingMinimisedNeedsATray) {
  QWidget owner;
  owner.show();
  TFakeTray* f = new TFakeTray;
  auto* t = new TtwTrayIcon(&owner, f);
  owner.showMinimized();
  QCoreApplication::processEvents();
  EXPECT_FALSE(owner.isVisible());
  EXPECT_EQ(t->State(), TtwTrayState::HoldingMainWindow);
  t->ShowMainWindow({&owner});
  EXPECT_TRUE(owner.isVisible());
  EXPECT_FALSE(owner.isMinimized());

  for (bool available : {true, false}) {
    SCOPED_TRACE(available);
    QWidget start;
    TFakeTray* g = new TFakeTray;
    g->available = available;
    TtwTrayIcon s(&start, g);
    s.MinimizedOnStart = true;
    s.Loaded();
    EXPECT_EQ(s.State() == TtwTrayState::HoldingMainWindow, available);
    EXPECT_EQ(s.HeldWindows().contains(&start), available);
  }
}

}  // namespace
