// The menu controller on fixture menus: keyboard walks, accelerators,
// closing rules, messages, scrolling, the sub-menu delay and commands that
// run only after the menu has closed.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include "MenuFixtures.h"
#include "skin/menus/twSkinMenus.h"
#include "tests/support/EventWait.h"

namespace {

using namespace twtest;

class MenuController : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TMessageProbe>();
    opener = std::make_unique<TMessageProbe>();
    menu = new TtwSkinMenu(form.get());
    menu->SetWorkAreaOverride(TRect{0, 0, 1000, 800});
    // The mouse poll reads this point, far from every level unless moved.
    menu->CursorPos = [this] { return cursor; };
  }
  void TearDown() override {
    menus.clear();
    form.reset();
    QCoreApplication::processEvents();
  }
  QMenu* Menu(const QStringList& captions) {
    menus.push_back(MakeMenu(captions, &runs));
    return menus.back().get();
  }
  // A menu whose entry `at` opens `sub`.
  QMenu* WithSub(const QStringList& captions, int at, QMenu* sub) {
    QMenu* m = Menu(captions);
    sub->setTitle("Sub");
    m->insertMenu(m->actions().value(at), sub);
    return m;
  }
  void Open(QMenu* m, QPoint at = {100, 100}, TtwSkinData* data = nullptr) {
    menu->PopupMenuItems(opener.get(), data, false, m, TRect{at.x(), at.y(), at.x(), at.y()}, 0);
  }
  TtwSkinPopupWindow* L(int i) { return menu->Level(i); }
  void Key(int k, const QString& text = {}) { menu->KeyDown(k, text); }
  QPoint Centre(int level, int entry) {
    return L(level)->mapToGlobal(L(level)->At(entry).Rect.ToQ().center());
  }
  // Lets deferred commands and deletions run.
  static void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }

  QPoint cursor{-5000, -5000};
  std::unique_ptr<TMessageProbe> form, opener;
  TtwSkinMenu* menu = nullptr;  // owned by the form
  std::vector<std::unique_ptr<QMenu>> menus;
  QMap<QString, int> runs;
};

TEST_F(MenuController, KeyboardWalksThroughDividersDisabledEntriesAndLevels) {
  QMenu* sub = Menu({"A", "B"});
  QMenu* m = WithSub({"&Open", "-", "!Disabled", "&Save", "E&xit"}, 4, sub);
  Open(m);
  ASSERT_EQ(menu->LevelCount(), 1);
  EXPECT_EQ(L(0)->Count(), 6);
  EXPECT_EQ(L(0)->ActiveIndex(), 0);  // preselected at opening
  Key(Qt::Key_Down);
  EXPECT_EQ(L(0)->ActiveIndex(), 3);
  Key(Qt::Key_Down);
  EXPECT_EQ(L(0)->ActiveIndex(), 4);
  EXPECT_EQ(menu->LevelCount(), 1);  // highlighting a sub-menu does not open it
  Key(Qt::Key_Right);
  ASSERT_EQ(menu->LevelCount(), 2);
  EXPECT_TRUE(L(0)->At(4).State.Down);
  EXPECT_EQ(L(1)->ActiveIndex(), 0);
  Key(Qt::Key_Left);
  EXPECT_EQ(menu->LevelCount(), 1);
  EXPECT_FALSE(L(0)->At(4).State.Down);
  EXPECT_EQ(L(0)->ActiveIndex(), 4);
  Key(Qt::Key_Return);
  ASSERT_EQ(menu->LevelCount(), 2);
  Key(Qt::Key_Escape);  // closes only the sub-menu
  EXPECT_EQ(menu->LevelCount(), 1);
  EXPECT_TRUE(L(0)->At(4).State.Active);
  EXPECT_FALSE(L(0)->At(4).State.Down);
  Key(Qt::Key_Left);  // nothing on the first level
  EXPECT_TRUE(menu->Visible());
  Key(Qt::Key_Up);
  EXPECT_EQ(L(0)->ActiveIndex(), 3);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(menu->Visible());
  EXPECT_EQ(menu->LevelCount(), 0);
  EXPECT_EQ(opener->closed, 1);
  EXPECT_EQ(form->closed, 1);
  Settle();
  EXPECT_TRUE(runs.isEmpty());
  EXPECT_EQ(opener->done, 0);
}

TEST_F(MenuController, CommandRunsOnceAfterTheMenuClosed) {
  QMenu* m = Menu({"One", "Two"});
  bool visibleWhenRun = true;
  QObject::connect(m->actions()[1], &QAction::triggered, [&] { visibleWhenRun = menu->Visible(); });
  Open(m);
  Key(Qt::Key_Down);
  Key(Qt::Key_Return);
  EXPECT_FALSE(menu->Visible());
  EXPECT_EQ(runs["Two"], 0);  // not inside the key handler
  Settle();
  EXPECT_EQ(runs["Two"], 1);
  EXPECT_FALSE(visibleWhenRun);
  EXPECT_EQ(opener->closed, 1);
  EXPECT_EQ(opener->done, 1);
}

TEST_F(MenuController, CommandMayFreeTheFormAndItsMenu) {
  QMenu* m = Menu({"Close window"});
  QObject::connect(m->actions()[0], &QAction::triggered, [&] { form.reset(); });
  Open(m);
  Key(Qt::Key_Return);
  Settle();
  EXPECT_EQ(form, nullptr);
  EXPECT_EQ(runs["Close window"], 1);
}

TEST_F(MenuController, AcceleratorsRunAndDisabledOnesOnlyHighlight) {
  QMenu* m = Menu({"&Open", "!&Delete", "E&xit"});
  Open(m);
  Key('D', "d");
  EXPECT_TRUE(menu->Visible());
  EXPECT_EQ(L(0)->ActiveIndex(), 1);
  EXPECT_TRUE(L(0)->At(1).State.Active);
  Key('X', "X");
  EXPECT_FALSE(menu->Visible());
  Settle();
  EXPECT_EQ(runs["E&xit"], 1);
  EXPECT_EQ(runs["&Delete"], 0);
}

TEST_F(MenuController, FirstSelectableEntryIsPreselectedAndEnterRunsIt) {
  QMenu* m = Menu({"-", "!Gone", "-", "Here", "-"});
  Open(m);
  // Leading, doubled and trailing separators are tidied away.
  ASSERT_EQ(L(0)->Count(), 3);
  EXPECT_EQ(L(0)->ActiveIndex(), 2);
  Key(Qt::Key_Enter);
  Settle();
  EXPECT_EQ(runs["Here"], 1);
}

TEST_F(MenuController, DownStopsAtTheLastSelectableEntry) {
  Open(Menu({"A", "B", "!C", "!D"}));
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  EXPECT_EQ(L(0)->ActiveIndex(), 1);
}

TEST_F(MenuController, MaximumItemsScrollWithTheKeyboard) {
  menu->MaxMenuItemsInWindow = 3;
  QStringList ten;
  for (int i = 0; i < 10; ++i) ten << QString("Entry %1").arg(i);
  Open(Menu(ten));
  TtwSkinPopupWindow* w = L(0);
  EXPECT_TRUE(w->Scrolling());
  EXPECT_TRUE(w->Limited());
  EXPECT_EQ(w->VisibleCount(), 3);
  EXPECT_EQ(w->height(), 3 * 20 + 4 + 20);
  for (int i = 0; i < 3; ++i) Key(Qt::Key_Down);
  EXPECT_EQ(w->ActiveIndex(), 3);
  EXPECT_EQ(w->FirstVisible(), 1);
  EXPECT_TRUE(w->At(3).Shown);
  for (int i = 0; i < 6; ++i) Key(Qt::Key_Down);
  EXPECT_EQ(w->ActiveIndex(), 9);
  EXPECT_EQ(w->FirstVisible(), 7);
  Key(Qt::Key_Down);  // from the end the view returns to the top
  EXPECT_EQ(w->ActiveIndex(), 0);
  EXPECT_EQ(w->FirstVisible(), 0);
  Key(Qt::Key_Up);  // and from the top it jumps to the end
  EXPECT_EQ(w->ActiveIndex(), 9);
  EXPECT_TRUE(w->At(9).Shown);
}

TEST_F(MenuController, WheelScrollsALongLevel) {
  menu->MaxMenuItemsInWindow = 3;
  QStringList ten;
  for (int i = 0; i < 10; ++i) ten << QString("Entry %1").arg(i);
  Open(Menu(ten));
  TtwSkinPopupWindow* w = L(0);
  const QPoint g = w->mapToGlobal(QPoint(w->width() / 2, w->height() / 2));
  QWheelEvent down(w->mapFromGlobal(g), g, QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w, &down);
  EXPECT_EQ(w->FirstVisible(), 2);
  QWheelEvent up(w->mapFromGlobal(g), g, QPoint(), QPoint(0, 600), Qt::NoButton, Qt::NoModifier,
                 Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w, &up);
  EXPECT_EQ(w->FirstVisible(), 0);  // stops at the top
}

TEST_F(MenuController, RestingOnTheLowerBandScrollsToTheEnd) {
  menu->MaxMenuItemsInWindow = 3;
  QStringList ten;
  for (int i = 0; i < 10; ++i) ten << QString("Entry %1").arg(i);
  Open(Menu(ten));
  TtwSkinPopupWindow* w = L(0);
  const QPoint band = w->mapToGlobal(QPoint(w->width() / 2, w->height() - 6));
  cursor = band;
  menu->RouteMouse(band);
  EXPECT_EQ(w->ScrollDirection(), 2);
  QTest::qWait(100 * 9);
  for (int i = 0; i < 20 && !w->At(9).Shown; ++i) QTest::qWait(50);
  EXPECT_TRUE(w->At(9).Shown);
  EXPECT_EQ(w->FirstVisible(), 7);
}

TEST_F(MenuController, HoverOpensASubMenuAfterTheDelayAndASiblingCancelsIt) {
  QMenu* sub = Menu({"A", "B"});
  QMenu* m = WithSub({"One", "Two"}, 1, sub);
  Open(m);
  menu->RouteMouse(Centre(0, 1));
  QTest::qWait(kMenuWaitMs / 2);
  menu->RouteMouse(Centre(0, 0));
  QTest::qWait(kMenuWaitMs);
  EXPECT_EQ(menu->LevelCount(), 1);
  menu->RouteMouse(Centre(0, 1));
  QTest::qWait(kMenuWaitMs / 2);
  EXPECT_EQ(menu->LevelCount(), 1);
  QTest::qWait(kMenuWaitMs);
  ASSERT_EQ(menu->LevelCount(), 2);
  // The sub-menu lines its first entry up with its parent entry.
  EXPECT_EQ(L(1)->pos().y() + L(1)->Frame().Items.Top, L(0)->mapToGlobal(QPoint(0, L(0)->At(1).Rect.Top)).y());
  EXPECT_EQ(L(1)->pos().x(), L(0)->mapToGlobal(QPoint(L(0)->At(1).Rect.Right, 0)).x() + 1);
}

TEST_F(MenuController, ClickOutsideClosesEveryLevel) {
  QMenu* sub = Menu({"A"});
  Open(WithSub({"One"}, 0, sub));
  Key(Qt::Key_Right);
  ASSERT_EQ(menu->LevelCount(), 2);
  const QPoint outside(900, 700);
  QMouseEvent press(QEvent::MouseButtonPress, L(1)->mapFromGlobal(outside), outside, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(L(1), &press);
  EXPECT_FALSE(menu->Visible());
  EXPECT_EQ(menu->LevelCount(), 0);
  EXPECT_EQ(opener->closed, 1);
}

TEST_F(MenuController, MovingTheFormClosesTheMenu) {
  form->show();
  Open(Menu({"One"}));
  ASSERT_TRUE(menu->Visible());
  form->move(form->pos() + QPoint(30, 0));
  EXPECT_FALSE(menu->Visible());
  Open(Menu({"One"}));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), form->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &press);
  EXPECT_FALSE(menu->Visible());
}

TEST_F(MenuController, OwnerDrawnEntryDrawsItselfAlone) {
  QMenu* m = Menu({"Drawn", "Plain"});
  int calls = 0;
  TwSetMenuDrawItem(m->actions()[0], [&](QPainter& p, bool active, const TRect& r) {
    ++calls;
    EXPECT_TRUE(active);
    p.fillRect(r.ToQ(), Qt::green);
  });
  Open(m);
  const QImage img = L(0)->Render();
  EXPECT_GT(calls, 0);
  const TRect e = L(0)->At(0).Rect;
  EXPECT_EQ(img.pixel(e.Left + e.Width() / 2, e.Top + e.Height() / 2), qRgb(0, 255, 0));
}

TEST_F(MenuController, NothingVisibleOpensNothingAndLeavesNoMenuOpen) {
  QMenu* m = Menu({"Hidden"});
  m->actions()[0]->setVisible(false);
  Open(m);
  EXPECT_FALSE(menu->Visible());
  EXPECT_EQ(menu->LevelCount(), 0);
  EXPECT_EQ(opener->closed, 1);
  menu->PopupMenuItems(opener.get(), nullptr, false, Menu({"One"}), TRect{0, 0, 0, 0}, 5);
  EXPECT_FALSE(menu->Visible());
}

TEST_F(MenuController, MergedLevelListsTheSecondMenuFirst) {
  menu->PopupMergedItems(nullptr, nullptr, false, Menu({"Mine"}), Menu({"Theirs", "More"}), TRect{5, 5, 5, 5});
  ASSERT_EQ(menu->LevelCount(), 1);
  EXPECT_EQ(L(0)->Count(), 3);
  EXPECT_EQ(L(0)->At(0).Item.Caption, "Theirs");
}

TEST_F(MenuController, OpeningAnotherMenuClosesTheFirst) {
  Open(Menu({"One"}));
  TMessageProbe other;
  menu->PopupMenuItems(&other, nullptr, false, Menu({"Two"}), TRect{5, 5, 5, 5});
  EXPECT_EQ(opener->closed, 1);
  EXPECT_EQ(other.closed, 0);
  EXPECT_EQ(menu->LevelCount(), 1);
}

TEST_F(MenuController, SkinnedLevelTakesItsSizeAndLookFromTheSkin) {
  TMenuSkinFolder skin;
  ASSERT_FALSE(skin.data.Empty());
  Open(Menu({"One", "-", "Two"}), {100, 100}, &skin.data);
  TtwSkinPopupWindow* w = L(0);
  ASSERT_TRUE(w->Skinned());
  EXPECT_EQ(w->height(), 4 + 18 + 4 + 18);
  EXPECT_EQ(w->At(2).Rect, (TRect{2, 24, w->width() - 2, 42}));
  const QImage img = w->Render();
  EXPECT_EQ(img.pixel(0, 0), kFrameColour);
  EXPECT_EQ(img.pixel(w->width() - 4, 3), kActiveColour);  // the preselected first entry
  EXPECT_EQ(img.pixel(w->width() - 4, 30), kItemColour);
  EXPECT_EQ(img.pixel(w->width() / 2, 23), kDividerColour);
}

TEST_F(MenuController, FirstLevelFadesInWhileTheApplicationRuns) {
  menu->AlphaBlend = true;
  menu->AlphaBlendAnimation = true;
  menu->AlphaBlendValue = 200;
  QMenu* sub = Menu({"A"});
  Open(WithSub({"One"}, 0, sub));
  // Opening returns at once with the level still transparent.
  EXPECT_LT(L(0)->windowOpacity(), 0.5);
  ASSERT_TRUE(WaitFor([&] { return std::abs(L(0)->windowOpacity() - 200 / 255.0) < 0.01; }, 2000));
  Key(Qt::Key_Right);
  ASSERT_EQ(menu->LevelCount(), 2);
  EXPECT_NEAR(L(1)->windowOpacity(), 200 / 255.0, 0.01);  // only the first level fades
}

TEST_F(MenuController, EntriesMorphBetweenLooksWithSkinEffects) {
  TMenuSkinFolder skin("morphing=1\r\n");
  Open(Menu({"One", "Two"}), {100, 100}, &skin.data);
  EXPECT_LT(L(0)->At(0).State.Morph, 1.0);
  ASSERT_TRUE(WaitFor([&] { return L(0)->At(0).State.Morph == 1.0; }, 1000));
  Key(Qt::Key_Down);
  ASSERT_TRUE(WaitFor([&] { return L(0)->At(1).State.Morph == 1.0 && L(0)->At(0).State.Morph == 0.0; }, 1000));
}

TEST_F(MenuController, PopupMenuFindsTheControllerOfItsWindow) {
  TtwSkinPopupMenu pm(form.get());
  pm.addAction("One");
  int closes = 0;
  pm.OnMenuClose = [&] { ++closes; };
  pm.Popup(300, 200);
  ASSERT_TRUE(menu->Visible());
  EXPECT_EQ(L(0)->pos(), QPoint(300, 200));
  EXPECT_EQ(pm.LastPopupPoint(), QPoint(300, 200));
  menu->CloseMenu();
  menu->CloseMenu();
  EXPECT_EQ(closes, 1);
  // Without a skinned form nothing shows.
  TtwSkinPopupMenu lone;
  lone.addAction("One");
  lone.Popup(10, 10);
  EXPECT_EQ(lone.FindSkinMenu(), nullptr);
}

}  // namespace
