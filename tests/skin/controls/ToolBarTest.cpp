// The tool bar's scroll arrows (when they show, how far a step goes, the
// held arrow's repeat, their looks) and the menu speed button's skinned menu.
#include <algorithm>
#include <QTest>

#include "QtApp.h"
#include "SkinFixture.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/menus/twSkinMenus.h"
#include "tests/support/EventWait.h"

namespace {

using twtest::From;
using twtest::TFixtureSkin;

constexpr int kLeft = 0, kRight = 1;

class ToolBarScroll : public ::testing::Test {
 protected:
  void SetUp() override {
    twtest::ParkPointer();
    window.resize(400, 100);
    // Hidden widgets hear of their moves only once shown.
    window.show();
    bar = new TtwSkinToolBar(&window);
    bar->SetBounds(0, 0, 200, 30);
    bar->show();
  }
  // `count` buttons of 60 pixels side by side from x = 0. Controls are placed
  // before scrolling is switched on, as a stored window does; the arrows then
  // move them into the room between them.
  void AddButtons(int count) {
    for (int i = 0; i < count; ++i) {
      auto* b = new TtwSkinSpeedButton(bar);
      b->SetUseSkinSize(false);
      b->SetBounds(60 * i, 0, 60, 25);
      b->show();
      buttons << b;
    }
  }
  int LastRight() const { return buttons.last()->x() + buttons.last()->width(); }
  QWidget* Arrow(int side) const { return bar->childAt(bar->ScrollButtonRect(side).center()); }

  QWidget window;
  TtwSkinToolBar* bar = nullptr;
  QList<TtwSkinSpeedButton*> buttons;
};

TEST_F(ToolBarScroll, ArrowsShowOnlyWhileTheControlsOverflow) {
  struct Case {
    int buttons;
    bool canScroll, shown;
  };
  const Case cases[] = {
      {3, true, false},   // 180 of 200: fits
      {5, true, true},    // 300 of 200
      {5, false, false},  // scrolling off: the controls are cut, no arrows
  };
  for (const Case& c : cases) {
    SetUp();
    AddButtons(c.buttons);
    bar->SetCanScroll(c.canScroll);
    EXPECT_EQ(bar->ScrollButtonsShown(), c.shown) << c.buttons;
    // The arrows take the bar's ends; the controls keep their place in the
    // room between them.
    EXPECT_EQ(buttons.first()->x(), c.shown ? kScrollButtonWidth : 0) << c.buttons;
    EXPECT_EQ(bar->ScrollClientWidth(), c.shown ? 200 - 2 * kScrollButtonWidth : 200);
    delete bar;
    buttons.clear();
  }
  SetUp();
  AddButtons(5);
  bar->SetCanScroll(true);
  bar->ScrollStep(true);
  ASSERT_GT(bar->ScrollPos(), 0);
  // Fitting again (buttons hidden, the bar widened) scrolls back and hides
  // the arrows.
  for (int i : {4, 3, 2}) buttons[i]->hide();
  EXPECT_FALSE(bar->ScrollButtonsShown());
  EXPECT_EQ(bar->ScrollPos(), 0);
  EXPECT_EQ(buttons.first()->x(), 0);
  for (int i : {2, 3, 4}) buttons[i]->show();
  ASSERT_TRUE(bar->ScrollButtonsShown());
  bar->SetWidth(250);  // still too narrow: the right arrow follows the bar's right end
  ASSERT_TRUE(bar->ScrollButtonsShown());
  EXPECT_EQ(Arrow(kRight)->geometry(), QRect(250 - kScrollButtonWidth, 0, kScrollButtonWidth, 30));
  bar->SetWidth(330);
  EXPECT_FALSE(bar->ScrollButtonsShown());
  EXPECT_EQ(LastRight(), 300);
}

TEST_F(ToolBarScroll, StepsGoOneClientWidthOrTheOffsetAndStopAtBothEnds) {
  struct Case {
    int offset;
    std::vector<int> right;  // positions after each step right
  };
  // 300 pixels of buttons in 176 between the arrows: the last position is 124.
  const Case cases[] = {{0, {124, 124}}, {50, {50, 100, 124, 124}}};
  for (const Case& c : cases) {
    SetUp();
    bar->SetScrollOffset(c.offset);
    AddButtons(5);
    bar->SetCanScroll(true);
    EXPECT_EQ(bar->ScrollMax() - bar->ScrollPage() + 1, 124);
    for (int pos : c.right) {
      bar->ScrollStep(true);
      EXPECT_EQ(bar->ScrollPos(), pos) << c.offset;
    }
    // At the end the last button meets the right arrow.
    EXPECT_EQ(LastRight(), 200 - kScrollButtonWidth);
    for (size_t i = 0; i < c.right.size(); ++i) bar->ScrollStep(false);
    EXPECT_EQ(bar->ScrollPos(), 0);
    EXPECT_EQ(buttons.first()->x(), kScrollButtonWidth);
    delete bar;
    buttons.clear();
  }
  SetUp();
  AddButtons(5);
  bar->SetCanScroll(true);
  for (auto [x, hit] : {std::pair{0, kHitScrollLeft}, {11, kHitScrollLeft}, {12, kHitClient}, {187, kHitClient},
                        {188, kHitScrollRight}, {199, kHitScrollRight}})
    EXPECT_EQ(bar->HitTest(QPoint(x, 5)), hit) << x;
}

TEST_F(ToolBarScroll, AHeldArrowRepeatsAndItsReleaseStepsOnce) {
  bar->SetScrollOffset(10);
  bar->SetScrollTimerInterval(5);
  AddButtons(5);
  bar->SetCanScroll(true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QWidget* right = Arrow(kRight);
  ASSERT_NE(right, nullptr);
  ASSERT_TRUE(std::none_of(buttons.begin(), buttons.end(), [&](QWidget* b) { return b == right; }));

  // A quick click: one step, on release.
  QTest::mousePress(right, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(bar->ScrollButtonPressed(kRight));
  EXPECT_EQ(bar->ScrollTimerMode(), 2);
  QTest::mouseRelease(right, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(bar->ScrollPos(), 10);
  EXPECT_EQ(bar->ScrollTimerMode(), 0);
  EXPECT_FALSE(bar->ScrollButtonPressed(kRight));

  // Held: the timer keeps stepping until the end, then stops by itself.
  QTest::mousePress(right, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(twtest::WaitFor([this] { return bar->ScrollPos() == 124 && bar->ScrollTimerMode() == 0; }));
  QTest::mouseRelease(right, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(bar->ScrollPos(), 124);

  // Released away from the arrow: no step.
  QWidget* left = Arrow(kLeft);
  QTest::mousePress(left, Qt::LeftButton, {}, QPoint(5, 5));
  bar->ScrollMouseLeave();  // dragged off: the repeat stops at once
  EXPECT_EQ(bar->ScrollTimerMode(), 0);
  const int held = bar->ScrollPos();
  QTest::mouseRelease(left, Qt::LeftButton, {}, QPoint(50, 5));
  EXPECT_EQ(bar->ScrollPos(), held);

  // Hot scrolling: being over an arrow is enough; leaving it stops.
  bar->SetHotScroll(true);
  bar->ScrollMouseMove(kHitScrollLeft);
  EXPECT_EQ(bar->ScrollTimerMode(), 1);
  bar->ScrollMouseMove(kHitClient);
  EXPECT_EQ(bar->ScrollTimerMode(), 0);
  EXPECT_FALSE(bar->ScrollButtonHot(kLeft));
}

TEST_F(ToolBarScroll, ArrowLooksComeFromTheRecordOrTheDefaultColours) {
  enum Look { Cold, Hot, Pressed };
  struct Case {
    Look look;
    QPoint source;  // skin: where the arrow's corner comes from
    QRgb arrow;     // skin: the arrow's colour
    QColor frame, fill;  // default look
  };
  const Case cases[] = {
      {Cold, {0, 0}, qRgb(255, 0, 0), SystemColor(COLOR_BTNSHADOW), SystemColor(COLOR_BTNFACE)},
      {Hot, {0, 10}, qRgb(0, 255, 0), twDefaultColors::HotFrame, twDefaultColors::HotFill},
      {Pressed, {0, 20}, qRgb(0, 0, 255), twDefaultColors::HotFrame, twDefaultColors::DownFill},
  };
  TFixtureSkin skin;
  AddButtons(5);
  bar->SetCanScroll(true);
  for (bool bound : {false, true}) {
    bar->SetSkinData(bound ? &skin.data : nullptr);
    bar->RenderFace();  // binds
    for (const Case& c : cases) {
      bar->ScrollMouseLeave();
      bar->ScrollMouseUp(kHitClient);
      if (c.look == Hot) bar->ScrollMouseMove(kHitScrollLeft);
      if (c.look == Pressed) bar->ScrollMouseDown(kHitScrollLeft);
      const QImage img = bar->RenderScrollButton(kLeft);
      ASSERT_EQ(img.size(), QSize(kScrollButtonWidth, 30));
      // The left arrow's tip, left of the centre.
      const QRgb tip = img.pixel(4, 15);
      if (bound) {
        EXPECT_EQ(From(img, 0, 0), c.source) << c.look;
        EXPECT_EQ(tip, c.arrow) << c.look;
      } else {
        EXPECT_EQ(QColor(img.pixel(0, 0)), c.frame) << c.look;
        EXPECT_EQ(QColor(img.pixel(2, 2)), c.fill) << c.look;
        EXPECT_EQ(QColor(tip), SystemColor(COLOR_BTNTEXT)) << c.look;
      }
    }
  }
  bar->ScrollMouseUp(kHitClient);
}

// ---------------------------------------------------------------- menu button

class MenuButton : public ::testing::Test {
 protected:
  void SetUp() override {
    twtest::ParkPointer();
    window.resize(300, 200);
    controller = new TtwSkinMenu(&window, &window);
    controller->SetWorkAreaOverride(TRect{-10000, -10000, 10000, 10000});
    menu = new TtwSkinPopupMenu(&window);
    button = new TtwSkinMenuSpeedButton(&window);
    button->SetBounds(40, 30, 80, 25);
    button->SetSkinPopupMenu(menu);
    button->OnShowTrackMenu = [this](QObject*) { ++shown; };
    button->OnHideTrackMenu = [this](QObject*) { ++hidden; };
    window.show();
  }
  void TearDown() override {
    if (controller) controller->CloseMenu();
    QCoreApplication::processEvents();
  }
  QWidget window;
  TtwSkinMenu* controller = nullptr;
  TtwSkinPopupMenu* menu = nullptr;
  TtwSkinMenuSpeedButton* button = nullptr;
  int shown = 0, hidden = 0;
};

TEST_F(MenuButton, StaysDownWhileItsSkinnedMenuIsOpenUnderIt) {
  menu->addAction(QStringLiteral("First"));
  menu->addAction(QStringLiteral("Second"));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  ASSERT_TRUE(controller->Visible());
  EXPECT_TRUE(button->Down());
  EXPECT_TRUE(button->MenuTracked());
  EXPECT_EQ(shown, 1);
  const QRect level = controller->Level(0)->geometry();
  EXPECT_EQ(level.topLeft(), button->mapToGlobal(QPoint(0, button->height())));
  // The release of the opening click belongs to the menu, not the button.
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(button->Down());

  controller->CloseMenu();
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->MenuTracked());
  EXPECT_EQ(hidden, 1);
}

TEST_F(MenuButton, AMenuWithNothingToShowLeavesTheButtonUp) {
  menu->addAction(QStringLiteral("Hidden"))->setVisible(false);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(controller->Visible());
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->MenuTracked());
  EXPECT_EQ(hidden, 1);
}

TEST_F(MenuButton, WithoutASkinnedFormThePlainMenuOpensAndReleasesTheButton) {
  delete controller;
  controller = nullptr;
  menu->addAction(QStringLiteral("First"));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  ASSERT_TRUE(menu->isVisible());
  EXPECT_TRUE(button->Down());
  menu->hide();
  EXPECT_TRUE(twtest::WaitFor([this] { return !button->Down(); }));
  EXPECT_FALSE(button->MenuTracked());
  EXPECT_EQ(hidden, 1);
}

}  // namespace
