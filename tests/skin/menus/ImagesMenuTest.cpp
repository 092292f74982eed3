// The images menu: its grid, the arrow keys' walk and the popup's place as
// tables, then the open popup: choices and their events, opening with
// nothing to show, destruction while open, and its two looks.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "MenuFixtures.h"
#include "platform/Clock.h"
#include "platform/ImageList.h"
#include "skin/menus/twSkinImagesMenu.h"

namespace {

using K = TtwImagesEntryKind;

// "P" a picture, "B" a text button, "H" a header.
std::vector<K> Kinds(const char* s) {
  std::vector<K> k;
  for (; *s; ++s) k.push_back(*s == 'H' ? K::Header : *s == 'B' ? K::Button : K::Picture);
  return k;
}

TtwImagesGrid Grid(const char* kinds, int columns, int headerHeight = 0) {
  TtwImagesGridInput in;
  in.Image = QSize(16, 16);  // cells 26 x 26, rows 27 apart
  in.Columns = columns;
  in.HeaderHeight = headerHeight;
  in.Kinds = Kinds(kinds);
  return LayoutImagesGrid(in);
}

TEST(ImagesGridTest, CellsRowsHeadersAndButtons) {
  struct {
    const char* name;
    const char* kinds;
    int columns, headerHeight;
    std::vector<std::pair<int, TRect>> rects;
    QSize extent;
  } cases[] = {
      {"twelve pictures in four columns make three rows", "PPPPPPPPPPPP", 4, 0,
       {{0, {5, 5, 31, 31}}, {3, {83, 5, 109, 31}}, {4, {5, 32, 31, 58}}, {11, {83, 59, 109, 85}}},
       {104, 80}},
      {"a header after the sixth picture ends that row", "PPPPPPHPPPPPP", 4, 0,
       {{5, {31, 32, 57, 58}}, {6, {5, 59, 109, 85}}, {7, {5, 86, 31, 112}}, {11, {5, 113, 31, 139}}},
       {104, 134}},
      {"a header takes the label's height", "PPHP", 4, 20, {{2, {5, 32, 109, 52}}, {3, {5, 53, 31, 79}}}, {104, 74}},
      {"a button ends a row and takes one of its own", "PBP", 3, 0,
       {{0, {5, 5, 31, 31}}, {1, {5, 32, 83, 58}}, {2, {5, 59, 31, 85}}}, {78, 80}},
      {"a header first needs no row before it", "HPP", 2, 0, {{0, {5, 5, 57, 31}}, {1, {5, 32, 31, 58}}}, {52, 53}},
      {"no columns is one column", "PP", 0, 0, {{1, {5, 32, 31, 58}}}, {26, 53}},
      {"no entries have no extent", "", 4, 0, {}, {104, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TtwImagesGrid g = Grid(c.kinds, c.columns, c.headerHeight);
    ASSERT_EQ(g.Rects.size(), strlen(c.kinds));
    for (auto [i, r] : c.rects) EXPECT_EQ(g.Rects[size_t(i)], r) << "entry " << i;
    EXPECT_EQ(g.Extent, c.extent);
  }
}

TEST(ImagesGridTest, PopupSizeAndPlace) {
  EXPECT_EQ(ImagesMenuWindowSize(false, {}, {}, {104, 80}), QSize(114, 90));
  EXPECT_EQ(ImagesMenuWindowSize(true, {40, 60}, {2, 2, 38, 58}, {104, 80}), QSize(108, 84));
  const TRect area{0, 0, 800, 600};
  struct {
    const char* name;
    TRect anchor;
    QSize size;
    QPoint at;
  } cases[] = {
      {"below the anchor", {100, 100, 180, 125}, {120, 90}, {100, 125}},
      {"above when it does not fit below", {100, 550, 180, 575}, {120, 90}, {100, 460}},
      {"moved left at the right edge", {750, 100, 790, 125}, {120, 90}, {680, 125}},
      {"never above or left of the area", {-50, 10, 0, 20}, {120, 700}, {0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlaceImagesMenu(c.anchor, c.size, area), c.at) << c.name;
}

TEST(ImagesWalkTest, ArrowKeysNeverLandOnHeaders) {
  struct {
    const char* name;
    const char* kinds;
    int columns, hot, key, expected;
  } cases[] = {
      {"right from none goes to the first", "PPPP", 2, -1, Qt::Key_Right, 0},
      {"right from none skips a first header", "HPPP", 2, -1, Qt::Key_Right, 1},
      {"right from the last wraps past a header", "HPPP", 2, 3, Qt::Key_Right, 1},
      {"right steps over a header", "PPHPP", 2, 1, Qt::Key_Right, 3},
      {"left from none goes to the last", "PPPP", 2, -1, Qt::Key_Left, 3},
      {"left from the first wraps to the last that is no header", "PPPH", 2, 0, Qt::Key_Left, 2},
      {"up from none goes to the last", "PPPP", 2, -1, Qt::Key_Up, 3},
      {"up keeps the column", "PPPPPP", 2, 5, Qt::Key_Up, 3},
      {"up over a header into the column", "PPHPP", 2, 4, Qt::Key_Up, 1},
      {"up from the top row stays", "PPPP", 2, 1, Qt::Key_Up, 1},
      {"up from a button into its row's column", "PPPB", 3, 3, Qt::Key_Up, 0},
      {"down lands on a button from any column", "PPPB", 3, 2, Qt::Key_Down, 3},
      {"down from none skips a header", "HPP", 2, -1, Qt::Key_Down, 1},
      {"down from the bottom row stays", "PPPP", 2, 2, Qt::Key_Down, 2},
      {"only headers: nowhere to go", "HHH", 2, -1, Qt::Key_Right, -1},
      {"only headers: left neither", "HH", 2, -1, Qt::Key_Left, -1},
      {"no entries", "", 2, -1, Qt::Key_Down, -1},
  };
  for (const auto& c : cases) {
    const TtwImagesGrid g = Grid(c.kinds, c.columns);
    const std::vector<K> k = Kinds(c.kinds);
    std::vector<TtwImagesWalkEntry> e;
    for (size_t i = 0; i < k.size(); ++i) e.push_back({g.Rects[i], k[i]});
    EXPECT_EQ(ImagesMenuWalk(e, c.hot, c.key), c.expected) << c.name;
  }
}

// ---- the open popup --------------------------------------------------------------

class ImagesMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (QRgb c : {0xFFFF0000u, 0xFF00A000u, 0xFF0000FFu, 0xFFA0A000u}) {
      QPixmap p(16, 16);
      p.fill(QColor::fromRgb(c));
      images.Add(p);
    }
    menu.SetImages(&images);
    menu.SetColumnsCount(2);
    menu.SetWorkAreaOverride(TRect{0, 0, 1600, 1200});
    for (int i = 0; i < 4; ++i) {
      TtwImagesMenuItem it;
      it.ImageIndex = i;
      it.OnClick = [this, i] { log += QString("click%1 ").arg(i); };
      menu.ImagesItems.push_back(it);
    }
    TtwImagesMenuItem more;
    more.Button = true;
    more.Caption = "More colours";
    menu.ImagesItems.push_back(more);
    menu.OnItemClick = [this] { log += "item "; };
    menu.OnChange = [this] { log += "change "; };
    menu.OnMenuClose = [this] { log += "close "; };
  }
  TtwSkinImagesMenuPopupWindow* Open() {
    menu.Popup(TRect{100, 100, 180, 125});
    return menu.PopupWindow();
  }
  QPoint Centre(int i) { return menu.PopupWindow()->EntryRect(i).ToQ().center(); }

  TImageList images;
  TtwSkinImagesMenu menu;
  QString log;
};

TEST_F(ImagesMenuTest, AClickChoosesTheEntryAndTellsInOrder) {
  QSignalSpy changed(&menu, &TtwSkinImagesMenu::ChoiceChanged);
  QSignalSpy closed(&menu, &TtwSkinImagesMenu::PopupClosed);
  TtwSkinImagesMenuPopupWindow* w = Open();
  ASSERT_TRUE(w);
  EXPECT_EQ(w->pos(), QPoint(100, 125));
  QTest::mouseMove(w, Centre(2));
  EXPECT_EQ(w->HotEntry(), 2);
  QTest::mouseClick(w, Qt::LeftButton, {}, Centre(2));
  EXPECT_FALSE(menu.Opened());
  EXPECT_EQ(menu.ItemIndex(), 2);
  EXPECT_EQ(log, "close click2 item change ");
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(closed.count(), 1);
}

TEST_F(ImagesMenuTest, KeysWalkChooseAndCancel) {
  menu.SetItemIndex(1);
  log.clear();
  Open();
  // Enter with no hot entry chooses the previous choice again: no change.
  menu.PopupWindow()->KeyDown(Qt::Key_Return);
  EXPECT_EQ(log, "close click1 item ");
  log.clear();
  Open();
  for (int key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}) menu.PopupWindow()->KeyDown(key);
  EXPECT_EQ(menu.PopupWindow()->HotEntry(), 4);  // 0, 2, then the button
  menu.PopupWindow()->KeyDown(Qt::Key_Escape);
  EXPECT_EQ(log, "close ");
  EXPECT_EQ(menu.ItemIndex(), 1);
  Open();
  menu.PopupWindow()->KeyDown(Qt::Key_Alt);
  EXPECT_FALSE(menu.Opened());
}

TEST_F(ImagesMenuTest, NothingToShowOpensNothingAndStillCloses) {
  QSignalSpy closed(&menu, &TtwSkinImagesMenu::PopupClosed);
  int popups = 0;
  menu.OnMenuPopup = [&] { ++popups; };
  TImageList none;
  menu.SetImages(&none);
  EXPECT_FALSE(Open());
  menu.SetImages(&images);
  menu.ImagesItems.clear();
  EXPECT_FALSE(Open());
  EXPECT_EQ(popups, 2);
  EXPECT_EQ(closed.count(), 2);
  EXPECT_EQ(log, "close close ");
}

TEST_F(ImagesMenuTest, DestroyingAnOpenMenuTakesItsPopupFilterAndGrabAlong) {
  auto* m = new TtwSkinImagesMenu;
  m->SetImages(&images);
  m->ImagesItems = menu.ImagesItems;
  int closed = 0;
  QObject::connect(m, &TtwSkinImagesMenu::PopupClosed, [&] { ++closed; });
  m->Popup(TRect{10, 10, 20, 20});
  QPointer<QWidget> popup = m->PopupWindow();
  ASSERT_TRUE(popup && popup->isVisible());
  delete m;
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(!popup || !popup->isVisible());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  QWidget other;  // its moves would reach a filter left behind
  other.show();
  other.move(40, 40);
  QCoreApplication::processEvents();
}

TEST_F(ImagesMenuTest, AnotherWindowMovingClosesThePopupWithoutAChoice) {
  QWidget other;
  other.show();
  QCoreApplication::processEvents();
  Open();
  other.move(other.pos() + QPoint(5, 5));
  QCoreApplication::processEvents();
  EXPECT_FALSE(menu.Opened());
  EXPECT_EQ(log, "close ");
}

TEST_F(ImagesMenuTest, FadesInOnTheInjectedClock) {
  TwManualClock clock;
  menu.AlphaBlend = true;
  menu.AlphaBlendAnimation = true;
  menu.AlphaBlendValue = 200;
  TtwSkinImagesMenuPopupWindow* w = Open();
  EXPECT_EQ(w->windowOpacity(), 0.0);
  clock.Advance(kImagesMenuFadeStepMs * 10);
  EXPECT_NEAR(w->windowOpacity(), 100 / 255.0, 0.01);
  clock.Advance(kImagesMenuFadeStepMs * 100);
  EXPECT_NEAR(w->windowOpacity(), 200 / 255.0, 0.01);
  EXPECT_EQ(clock.ArmedTimers(), 0);
  menu.CloseUp(false);
}

TEST_F(ImagesMenuTest, PlainLookPaintsHotAndChosenCells) {
  menu.SetItemIndex(0);
  TtwSkinImagesMenuPopupWindow* w = Open();
  w->SetHotEntry(3);
  const QImage img = w->Render();
  // For looking at: TW_IMAGES_SHOT=file.png saves the plain popup.
  if (const QString shot = qEnvironmentVariable("TW_IMAGES_SHOT"); !shot.isEmpty()) img.save(shot);
  const TRect chosen = w->EntryRect(0), hot = w->EntryRect(3);
  EXPECT_EQ(img.pixel(chosen.Left + 1, chosen.Top + 1), ColorToQ(11899781).rgb());
  EXPECT_EQ(img.pixel(hot.Left + 1, hot.Top + 1), ColorToQ(13811126).rgb());
  EXPECT_EQ(img.pixel(hot.Left, hot.Top), ColorToQ(8388608).rgb());
  EXPECT_EQ(img.pixel(hot.Left + 6, hot.Top + 6), 0xFFA0A000u);  // the picture, 5 pixels in
  EXPECT_EQ(img.pixel(0, 0), twtest::Sys(twsys::clBtnShadow));
  menu.CloseUp(false);
}

TEST_F(ImagesMenuTest, SkinnedPopupGrowsTheWindowPicture) {
  twtest::TMenuSkinFolder skin;
  menu.SetSkinData(&skin.data);
  TtwSkinImagesMenuPopupWindow* w = Open();
  ASSERT_TRUE(w->Skinned());
  // 40 x 60 picture with a 36 x 56 items rectangle; the grid is 52 x 80.
  EXPECT_EQ(w->size(), QSize(56, 84));
  EXPECT_EQ(w->EntryRect(0), (TRect{2, 2, 28, 28}));
  const QImage img = w->Render();
  EXPECT_EQ(img.pixel(0, 0), twtest::kFrameColour);
  EXPECT_EQ(img.pixel(55, 83), twtest::kFrameColour);
  EXPECT_EQ(img.pixel(30, 40), twtest::Sys(twsys::clWindow));  // the centre is not the picture's
  menu.CloseUp(false);
}

}  // namespace
