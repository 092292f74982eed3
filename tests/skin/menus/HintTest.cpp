// Skinned hints: line separators, sizes, placement at the screen's edges, the
// title and image of a skinned control, and one active hint component.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHelpEvent>
#include <QListWidget>
#include <QProxyStyle>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

#include "MenuFixtures.h"
#include "platform/ImageList.h"
#include "skin/data/twSkinnable.h"
#include "skin/menus/twSkinHint.h"
#include "skin/menus/twSkinMenuItem.h"
#include "skins/BuiltinSkin.h"

namespace {

using namespace twtest;

TEST(HintText, EachSeparatorBecomesOneLineBreak) {
  EXPECT_EQ(HintLines("one@two", "@"), QString("one\ntwo"));
  EXPECT_EQ(HintLines("a@b@c", "@"), QString("a\nb\nc"));
  EXPECT_EQ(HintLines("a||b", "||"), QString("a\nb"));
  EXPECT_EQ(HintLines("a@b", ""), QString("a@b"));
}

TEST(HintSize, PlainAndTitleOrImageForms) {
  TtwHintLayoutInput in;
  in.Text = QSize(50, 14);
  // The default look adds 4 pixels left and right, 3 above and below.
  EXPECT_EQ(HintLayout(in).Size, QSize(58, 20));
  in.TitleOrImage = true;
  in.HasTitle = true;
  in.Title = QSize(70, 14);
  EXPECT_EQ(HintLayout(in).Size, QSize(70 + 8, 14 + 14 + 10 + 6));
  in.HasImage = true;
  in.Image = QSize(32, 32);
  EXPECT_EQ(HintLayout(in).Size, QSize(70 + 32 + 10 + 8, 32 + 14 + 5 + 6));
}

TEST(HintSize, SkinnedFrameGrowsAndNeverFolds) {
  TtwHintLayoutInput in;
  in.Text = QSize(50, 14);
  in.Skinned = true;
  in.Picture = QSize(40, 30);
  in.Anchors = TPieceAnchors{{5, 5}, {35, 5}, {5, 25}, {35, 25}, {4, 4, 36, 26}};
  TtwHintLayout out = HintLayout(in);
  // 50 + 4 + (40 - 36) + 5 wide, 14 + 4 + (30 - 26) high.
  EXPECT_EQ(out.Size, QSize(63, 22));
  EXPECT_EQ(out.Anchors.RT, (TPoint{35 + 23, 5}));
  EXPECT_EQ(out.Anchors.LB, (TPoint{5, 25 - 8}));
  EXPECT_EQ(out.Anchors.ClRect, (TRect{4, 4, 36 + 23, 26 - 8}));
  // Corners far apart: a short text still keeps the right corners right of
  // the left ones.
  in.Text = QSize(2, 2);
  in.Anchors = TPieceAnchors{{15, 5}, {25, 5}, {15, 25}, {25, 25}, {4, 4, 36, 26}};
  out = HintLayout(in);
  EXPECT_GE(out.Anchors.RT.X, out.Anchors.LT.X);
  EXPECT_GE(out.Anchors.LB.Y, out.Anchors.LT.Y);
  EXPECT_GE(out.Anchors.RB.Y, out.Anchors.RT.Y);
}

TEST(HintPlace, EdgesMoveTheHintBackByItsSize) {
  const TRect area{0, 0, 1000, 800};
  EXPECT_EQ(PlaceHint({100, 100}, {80, 20}, area), QPoint(100, 100));
  EXPECT_EQ(PlaceHint({950, 100}, {80, 20}, area), QPoint(950 - 82, 100));
  EXPECT_EQ(PlaceHint({100, 790}, {80, 20}, area), QPoint(100, 790 - 22));
}

// A skinned control offering a title and a picture for its hint.
class TTitledControl : public QWidget, public TtwSkinnable {
 public:
  TtwSkinData* SkinData() const override { return nullptr; }
  void ApplySkin() override {}
  void ForgetSkinRecord() override {}
  bool IsWindowedSkinControl() const override { return true; }
  QString HintTitle() const override { return title; }
  int HintImageIndex() const override { return 0; }
  TImageList* HintImageList() const override { return images; }
  QString title;
  TImageList* images = nullptr;
};

class Hints : public ::testing::Test {
 protected:
  void SetUp() override {
    hint = std::make_unique<TtwSkinHint>();
    hint->DefaultFont = TwRecordFont("DejaVu Sans", 12, 0);
  }
  QSize ShowFor(QWidget* w, QPoint at = QPoint(5, 5)) {
    QHelpEvent e(QEvent::ToolTip, at, w->mapToGlobal(at));
    QApplication::sendEvent(w, &e);
    return hint->Window()->size();
  }
  static void MoveOver(QWidget* w) {
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), w->mapToGlobal(QPointF(6, 6)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
  }
  std::unique_ptr<TtwSkinHint> hint;
};

TEST_F(Hints, TooltipsBecomeSkinnedHints) {
  QWidget w;
  w.setToolTip("one@two");
  w.show();
  const QSize two = ShowFor(&w);
  EXPECT_TRUE(hint->Window()->isVisible());
  EXPECT_FALSE(QToolTip::isVisible());
  EXPECT_EQ(hint->Window()->Text(), QString("one\ntwo"));
  w.setToolTip("one");
  const QSize one = ShowFor(&w);
  EXPECT_GT(two.height(), one.height());
  // The default look: tooltip colour inside a shadow-coloured frame.
  const QImage img = hint->Window()->Render();
  EXPECT_EQ(img.pixel(0, 0), Sys(twsys::clBtnShadow));
  EXPECT_EQ(img.pixel(1, 1), Sys(twsys::clInfoBk));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&w, &press);
  EXPECT_FALSE(hint->Window()->isVisible());
}

TEST_F(Hints, SkinnedControlAddsTitleAndImage) {
  TImageList images(nullptr, 24, 24);
  QPixmap red(24, 24);
  red.fill(Qt::red);
  images.Add(red);
  TTitledControl c;
  c.setToolTip("Saves the note");
  c.show();
  const QSize plain = ShowFor(&c);
  EXPECT_FALSE(hint->Window()->TitleOrImage());
  c.title = "Save";
  c.images = &images;
  const QSize titled = ShowFor(&c);
  EXPECT_TRUE(hint->Window()->TitleOrImage());
  EXPECT_GE(titled.width(), plain.width() + 24 + 10);
  EXPECT_GT(titled.height(), plain.height());
  // The image sits below the title, left of the text.
  const QImage img = hint->Window()->Render();
  bool red_found = false;
  for (int y = 0; y < img.height(); ++y) red_found |= img.pixel(10, y) == qRgb(255, 0, 0);
  EXPECT_TRUE(red_found);
  EXPECT_NE(img.pixel(10, 4), qRgb(255, 0, 0));
  // Taken per hint: nothing of it stays on the component.
  EXPECT_TRUE(hint->Title().isEmpty());
}

TEST_F(Hints, OnlyOneComponentIsActive) {
  TtwSkinHint second;
  EXPECT_TRUE(second.Active());
  EXPECT_FALSE(hint->Active());
  EXPECT_EQ(TtwSkinHint::ActiveHint(), &second);
  hint->SetActive(true);
  EXPECT_FALSE(second.Active());
  EXPECT_EQ(TtwSkinHint::ActiveHint(), hint.get());
}

TEST_F(Hints, NoActiveComponentShowsNothing) {
  hint->SetActive(false);
  hint->Window()->ActivateHint(TRect{10, 10, 10, 10}, "text");
  EXPECT_FALSE(hint->Window()->isVisible());
}

TEST_F(Hints, SkinnedHintUsesTheSkinPicture) {
  TMenuSkinFolder skin("[HINTWINDOW]\r\nwindowpictureindex=0\r\nlefttoppoint=2,2\r\nrighttoppoint=38,2\r\n"
                       "leftbottompoint=2,58\r\nrightbottompoint=38,58\r\nclientrect=2,2,38,58\r\n"
                       "fontname=DejaVu Sans\r\nfontheight=12\r\nfontcolor=0\r\n");
  hint->SkinData = &skin.data;
  hint->Window()->ActivateHint(TRect{10, 10, 10, 10}, "skinned");
  ASSERT_TRUE(hint->Window()->Skinned());
  const QImage img = hint->Window()->Render();
  EXPECT_EQ(img.pixel(0, 0), kFrameColour);
  EXPECT_EQ(img.pixel(img.width() - 1, img.height() - 1), kFrameColour);
  EXPECT_EQ(img.pixel(3, 3), kCentreColour);
}

// The built-in skin's hint face sits inside a see-through margin of its
// picture: the face, not the margin, goes to the point the hint is shown at.
TEST_F(Hints, TheVisibleFaceStartsAtTheHintPoint) {
  TtwCompressedStoredSkin stored;
  stored.SetCompressedData(BuiltinSkinPackage());
  TtwSkinData data;
  data.SetCompressedStoredSkin(&stored);
  hint->SkinData = &data;
  TtwSkinHintWindow* w = hint->Window();
  w->ActivateHint(TRect{100, 120, 100, 120}, "skinned");
  ASSERT_TRUE(w->Skinned());
  const QRect face = w->mask().boundingRect();
  ASSERT_FALSE(face.isEmpty());
  EXPECT_NE(face.topLeft(), QPoint(0, 0));
  EXPECT_EQ(w->pos() + face.topLeft(), QPoint(100, 120));
}

TEST_F(Hints, ApplicationTooltipDelaysAreTheHintPauses) {
  QStyle* style = QApplication::style();
  auto* proxy = qobject_cast<QProxyStyle*>(style);
  ASSERT_NE(proxy, nullptr);
  QStyle* base = proxy->baseStyle();
  EXPECT_EQ(style->styleHint(QStyle::SH_ToolTip_WakeUpDelay), kHintPauseMs);
  EXPECT_EQ(style->styleHint(QStyle::SH_ToolTip_FallAsleepDelay), kHintHidePauseMs);
  // Nothing else of the look changes.
  for (auto m : {QStyle::PM_ButtonMargin, QStyle::PM_ScrollBarExtent, QStyle::PM_MenuHMargin})
    EXPECT_EQ(style->pixelMetric(m), base->pixelMetric(m)) << m;
  EXPECT_EQ(style->standardPalette(), base->standardPalette());
  EXPECT_EQ(style->styleHint(QStyle::SH_ToolTipLabel_Opacity), base->styleHint(QStyle::SH_ToolTipLabel_Opacity));
  // Another component reuses the wrapper; without an active one the
  // platform's delays come back.
  TtwSkinHint second;
  EXPECT_EQ(QApplication::style(), style);
  second.SetActive(false);
  EXPECT_EQ(style->styleHint(QStyle::SH_ToolTip_WakeUpDelay), base->styleHint(QStyle::SH_ToolTip_WakeUpDelay));
  EXPECT_EQ(style->styleHint(QStyle::SH_ToolTip_FallAsleepDelay),
            base->styleHint(QStyle::SH_ToolTip_FallAsleepDelay));
}

TEST_F(Hints, NextControlHintWaitsForTheShortPause) {
  QWidget form;
  form.resize(200, 40);
  QWidget a(&form), b(&form);
  a.setGeometry(0, 0, 100, 40);
  b.setGeometry(100, 0, 100, 40);
  a.setToolTip("Alpha");
  b.setToolTip("Beta");
  form.show();
  ShowFor(&a);
  ASSERT_EQ(hint->Window()->Text(), QString("Alpha"));
  const QPoint where = hint->Window()->pos();
  // The platform asks again while the pointer rests on the same text: the
  // hint stays where it is.
  ShowFor(&a, QPoint(40, 20));
  EXPECT_EQ(hint->Window()->pos(), where);
  // The pointer moves on to the next control, which asks for its hint at
  // once: the hint changes only after the short pause.
  QElapsedTimer clock;
  clock.start();
  MoveOver(&b);
  ShowFor(&b);
  EXPECT_EQ(hint->Window()->Text(), QString("Alpha"));
  QTRY_COMPARE_WITH_TIMEOUT(hint->Window()->Text(), QString("Beta"), 2000);
  EXPECT_GE(clock.elapsed(), kHintShortPauseMs - 10);
  // Moving again before the pause is over cancels the waiting hint.
  b.setToolTip("Gamma");
  MoveOver(&b);
  ShowFor(&b);
  MoveOver(&b);
  QTest::qWait(kHintShortPauseMs + 100);
  EXPECT_EQ(hint->Window()->Text(), QString("Beta"));
}

TEST_F(Hints, ItemViewRowsShowTheirTooltipsAsSkinnedHints) {
  QTreeWidget tree;
  tree.setHeaderHidden(true);
  auto* tipped = new QTreeWidgetItem(&tree, {"Groceries"});
  tipped->setToolTip(0, "Milk@Bread");
  new QTreeWidgetItem(&tree, {"Plain"});
  QListWidget list;
  list.addItem("Result one");
  list.item(0)->setToolTip("Found in the body");
  list.addItem("Result two");
  struct Case {
    QAbstractItemView* view;
    QRect tipped, plain;
    QString shown;
  };
  tree.show();
  list.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  const Case cases[] = {
      {&tree, tree.visualItemRect(tipped), tree.visualItemRect(tree.topLevelItem(1)), "Milk\nBread"},
      {&list, list.visualItemRect(list.item(0)), list.visualItemRect(list.item(1)), "Found in the body"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view->metaObject()->className());
    ShowFor(c.view->viewport(), c.tipped.center());
    EXPECT_TRUE(hint->Window()->isVisible());
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_EQ(hint->Window()->Text(), c.shown);
    // A row without a tooltip ends the hint.
    ShowFor(c.view->viewport(), c.plain.center());
    EXPECT_FALSE(hint->Window()->isVisible());
    EXPECT_FALSE(QToolTip::isVisible());
  }
}

TEST_F(Hints, TimedHintShowsAfterThePause) {
  hint->ShowHintText("Minimise");
  EXPECT_FALSE(hint->Window()->isVisible());
  QTest::qWait(kHintPauseMs + 150);
  EXPECT_TRUE(hint->Window()->isVisible());
  hint->HideSkinHint();
  EXPECT_FALSE(hint->Window()->isVisible());
}

}  // namespace
