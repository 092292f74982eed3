// Controls drawn from a fixture skin: fitted sizes, which source pixel each
// state shows, regions, composite panels, re-skinning and the 2x faces.
#include <QMenu>
#include <QTest>

#include "QtApp.h"
#include "SkinFixture.h"
#include "platform/Form.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinPanels.h"
#include "skin/data/twSkinRecords.h"

namespace {

using twtest::From;
using twtest::TFixtureSkin;

class SkinLook : public ::testing::Test {
 protected:
  void SetUp() override { twtest::ParkPointer(); }
  TFixtureSkin skin;
  QWidget parent;
};

TEST_F(SkinLook, FittingFollowsThePieceMode) {
  struct Case {
    const char* record;
    QSize asked, fitted;
    int mode;
  };
  const Case cases[] = {
      {"panel", {57, 33}, {57, 33}, pmNinePiece},    // any size
      {"button", {57, 33}, {57, 10}, pmThreePieceH},  // the height is the piece's
      {"fixed", {57, 33}, {10, 8}, pmFixed},          // snaps back to the piece
      {"odd", {57, 33}, {57, 33}, pmNone},            // not a piece record: never fitted
      {"missing", {57, 33}, {57, 33}, pmNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    auto* w = new TtwSkinPanel(&parent);
    w->SetSkinDataName(QString::fromLatin1(c.record));
    w->SetSkinData(&skin.data);
    w->SetBounds(0, 0, c.asked.width(), c.asked.height());
    EXPECT_EQ(w->size(), c.fitted);
    EXPECT_EQ(w->PieceMode(), c.mode);
  }
}

TEST_F(SkinLook, ButtonShowsTheStatePictureOfEachState) {
  auto* b = new TtwSkinButton(&parent);
  b->SetSkinData(&skin.data);
  b->SetBounds(0, 0, 40, 10);
  ASSERT_EQ(b->size(), QSize(40, 10));
  // The left end is copied 1:1: pixel (0, 0) names the state rectangle.
  EXPECT_EQ(From(b->RenderFace(), 0, 0), QPoint(0, 0));
  // The right end follows the width: its last pixel is the piece's last.
  EXPECT_EQ(From(b->RenderFace(), 39, 9), QPoint(19, 9));
  b->SetGroupIndex(1);
  b->SetDown(true);
  EXPECT_EQ(From(b->RenderFace(), 0, 0), QPoint(0, 20));
  b->SetDown(false);
  b->SetEnabled(false);
  EXPECT_EQ(From(b->RenderFace(), 0, 0), QPoint(0, 30));
  // A disabled colour equal to the normal one draws grey text.
  EXPECT_EQ(b->ButtonSkin().disabledfontcolor, 8421504u);
}

TEST_F(SkinLook, HotAndFocusedButtonsUseTheirPictures) {
  TForm form;
  form.resize(200, 100);
  auto* b = new TtwSkinButton(&form);
  b->SetSkinData(&skin.data);
  b->SetBounds(10, 10, 40, 10);
  auto* other = new TtwSkinButton(&form);
  other->SetBounds(10, 40, 40, 10);
  form.show();
  QApplication::setActiveWindow(&form);
  other->setFocus();
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(b, &enter);
  EXPECT_TRUE(b->PointerOver());
  EXPECT_EQ(From(b->RenderFace(), 0, 0), QPoint(0, 10));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(b, &leave);
  EXPECT_EQ(From(b->RenderFace(), 0, 0), QPoint(0, 0));
  b->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(b->hasFocus());
  EXPECT_EQ(From(b->RenderFace(), 0, 0), QPoint(0, 40));
}

TEST_F(SkinLook, UnfittedButtonStretchesItsPiecesToAnySize) {
  auto* b = new TtwSkinButton(&parent);
  b->SetUseSkinSize(false);
  b->SetSkinData(&skin.data);
  b->SetBounds(0, 0, 40, 20);
  EXPECT_EQ(b->size(), QSize(40, 20));
  const QImage face = b->RenderFace();
  EXPECT_EQ(From(face, 0, 0), QPoint(0, 0));
  EXPECT_EQ(From(face, 39, 19), QPoint(19, 9));
}

TEST_F(SkinLook, FixedPieceGetsItsRegionFromTheMaskAndLosesItWithoutOne) {
  auto* w = new TtwSkinPanel(&parent);
  w->SetSkinDataName(QStringLiteral("fixed"));
  w->SetSkinData(&skin.data);
  EXPECT_EQ(w->size(), QSize(10, 8));
  EXPECT_FALSE(w->mask().contains(QPoint(1, 1)));
  EXPECT_TRUE(w->mask().contains(QPoint(5, 5)));
  w->SetSkinDataName(QStringLiteral("panel"));
  w->ApplySkin();
  EXPECT_TRUE(w->mask().isEmpty());
}

TEST_F(SkinLook, CompositePanelDrawsCornersFixedAndTilesItsClient) {
  auto* p = new TtwSkinPanel(&parent);
  p->SetSkinData(&skin.data);
  p->SetBounds(0, 0, 50, 40);
  const QImage face = p->RenderFace();
  EXPECT_EQ(From(face, 0, 0), QPoint(20, 0));
  EXPECT_EQ(From(face, 49, 39), QPoint(39, 19));
  // The client piece is 14 x 14 from (23, 3), tiled from the client's corner.
  EXPECT_EQ(From(face, 3, 3), QPoint(23, 3));
  EXPECT_EQ(From(face, 3 + 14, 3 + 14), QPoint(23, 3));
  EXPECT_EQ(From(face, 3 + 15, 3), QPoint(24, 3));
  EXPECT_EQ(p->AlignClientRect(), QRect(3, 3, 44, 34));
}

TEST_F(SkinLook, GroupBoxCaptionWidensWithTheBoxAndIsDrawnInTheFontColour) {
  auto* g = new TtwSkinGroupBox(&parent);
  g->SetSkinData(&skin.data);
  g->SetBounds(0, 0, 130, 60);
  g->SetCaption(QStringLiteral("Wide caption text"));
  const QImage face = g->RenderFace();
  EXPECT_EQ(g->CaptionArea(), QRect(2, 0, 126, 11));
  int red = 0, farRight = 0;
  for (int y = 0; y < 11; ++y)
    for (int x = 2; x < 128; ++x)
      if (qRed(face.pixel(x, y)) > 200 && qGreen(face.pixel(x, y)) < 60 && qBlue(face.pixel(x, y)) < 60) {
        ++red;
        if (x > 60) ++farRight;
      }
  EXPECT_GT(red, 20);
  EXPECT_GT(farRight, 0);  // text past the piece's own caption width
}

TEST_F(SkinLook, CheckedGroupBoxWithoutCheckPiecesStillShowsItsState) {
  // The fixture's group box has no check pieces: a plain box stands in.
  auto* g = new TtwSkinGroupBox(&parent);
  g->SetSkinData(&skin.data);
  g->SetBounds(0, 0, 130, 60);
  g->SetCaption(QStringLiteral("Caption"));
  g->SetCheckedMode(true);
  const QImage off = g->RenderFace();
  g->SetChecked(true);
  const QImage on = g->RenderFace();
  int changed = 0;
  for (int y = 0; y < 11; ++y)
    for (int x = 2; x < 16; ++x) changed += off.pixel(x, y) != on.pixel(x, y);
  EXPECT_GT(changed, 4);                                     // the check mark
  EXPECT_EQ(QColor(on.pixel(2, 5)), QColor(0x80, 0x80, 0x80));  // the box's frame
  // The caption text starts after the box.
  for (int y = 0; y < 11; ++y)
    for (int x = 3; x < 16; ++x) EXPECT_FALSE(qRed(off.pixel(x, y)) > 200 && qGreen(off.pixel(x, y)) < 60) << x;
}

TEST_F(SkinLook, EmptyClientRectangleStillDrawsTheWholeFrame) {
  TFixtureSkin odd(150, "clientrect=3,3,17,17\r\n[groupbox]", "clientrect=0,0,0,0\r\n[groupbox]");
  auto* p = new TtwSkinPanel(&parent);
  p->SetSkinData(&odd.data);
  p->SetBounds(0, 0, 50, 40);
  EXPECT_EQ(p->Geometry().SkinClientRect, (TRect{3, 3, 17, 17}));  // what the corners leave
  const QImage face = p->RenderFace();
  EXPECT_EQ(From(face, 0, 0, 150), QPoint(20, 0));
  EXPECT_EQ(From(face, 49, 39, 150), QPoint(39, 19));
}

TEST_F(SkinLook, LabelAndStatusPanelDrawTextInTheirClientRectangle) {
  auto* l = new TtwSkinLabel(&parent);
  l->SetSkinData(&skin.data);
  l->SetBounds(0, 0, 80, 30);
  EXPECT_EQ(l->size(), QSize(80, 10));  // three-piece: the piece's height
  l->SetUseSkinSize(false);
  l->SetBounds(0, 0, 80, 30);
  EXPECT_EQ(l->size(), QSize(80, 30));
  EXPECT_EQ(From(l->RenderFace(), 0, 0), QPoint(0, 50));

  auto* s = new TtwSkinStatusPanel(&parent);
  s->SetSkinData(&skin.data);
  s->SetBounds(0, 0, 120, 24);
  s->SetCaption(QStringLiteral("Count: 1234567"));
  s->SetAutoSize(true);
  const int text = QFontMetrics(TwSkinFont(QStringLiteral("Arial"), 14, 0)).horizontalAdvance(s->Caption());
  EXPECT_EQ(s->Geometry().FitClientRect.Width(), text);
}

TEST_F(SkinLook, SplitterTakesThePieceWidthAndCentresItsGripper) {
  auto* area = new QWidget(&parent);
  area->resize(100, 60);
  auto* sp = new TtwSkinSplitter(area);
  sp->SetBounds(0, 0, 9, 60);
  sp->SetAlign(TAlign::alLeft);
  sp->SetSkinData(&skin.data);
  EXPECT_EQ(sp->width(), 5);
  const QImage face = sp->RenderFace();
  EXPECT_EQ(From(face, 0, 0), QPoint(80, 0));
  EXPECT_EQ(From(face, 1, 30 - 3), QPoint(90, 0));  // gripper 3 x 6 centred
  sp->SetTransparent(true);
  sp->ApplySkin();
  EXPECT_EQ(sp->width(), sp->DefaultSize());
  EXPECT_TRUE(sp->RenderFace().isNull());
}

TEST_F(SkinLook, StatusBarDrawsTheSkinsGripAtTheRightEnd) {
  auto* bar = new TtwSkinStatusBar(&parent);
  bar->SetSkinData(&skin.data);
  bar->SetBounds(0, 0, 100, 30);
  bar->SetSizeGrip(true);
  const QRect grip = bar->GripRect();
  EXPECT_EQ(grip.size(), QSize(6, 6));
  EXPECT_EQ(From(bar->RenderFace(), grip.left(), grip.top()), QPoint(90, 10));
}

TEST_F(SkinLook, ReskinningRepaintsFromTheNewSkinAndClearingFallsBackToTheDefaultLook) {
  TForm form;
  auto* b = new TtwSkinButton(&form);
  auto* p = new TtwSkinPanel(&form);
  for (TtwSkinWidget* w : {static_cast<TtwSkinWidget*>(b), static_cast<TtwSkinWidget*>(p)}) w->SetSkinData(&skin.data);
  b->SetBounds(0, 0, 40, 10);
  p->SetBounds(0, 20, 50, 40);
  EXPECT_EQ(From(b->RenderFace(), 0, 0), QPoint(0, 0));

  TFixtureSkin second(77);
  ForgetSkinRecords(&form, &skin.data);
  EXPECT_EQ(b->RecordIndex(), -1);
  skin.data.SetCompressedStoredSkin(&second.stored);
  ApplySkinToControls(&form, &skin.data);
  EXPECT_EQ(From(b->RenderFace(), 0, 0, 77), QPoint(0, 0));
  EXPECT_EQ(From(p->RenderFace(), 0, 0, 77), QPoint(20, 0));

  skin.data.ClearSkin();
  ApplySkinToControls(&form, &skin.data);
  for (const QImage& face : {b->RenderFace(), p->RenderFace()}) {
    EXPECT_EQ(From(face, 0, 0, 77), QPoint(-1, -1));
    EXPECT_EQ(face.pixel(0, 0), SystemColor(COLOR_BTNSHADOW).rgb());
  }
}

TEST_F(SkinLook, FacesAtTwiceThePixelRatioKeepPiecesCrispAndTextSharp) {
  auto* b = new TtwSkinButton(&parent);
  b->SetSkinData(&skin.data);
  b->SetBounds(0, 0, 40, 10);
  b->SetCaption(QStringLiteral("Hi"));
  const QImage face = b->RenderFace(2.0);
  ASSERT_EQ(face.size(), QSize(80, 20));
  // Each piece pixel becomes a 2 x 2 block of the same source pixel.
  for (int x : {0, 1}) EXPECT_EQ(From(face, x, 1), QPoint(0, 0));
  EXPECT_EQ(From(face, 2, 0), QPoint(1, 0));
  // Pieces scale as whole 2 x 2 blocks; only text drawn at full resolution
  // can make a block uneven.
  bool fine = false;
  for (int y = 0; y < 20; y += 2)
    for (int x = 0; x < 80; x += 2)
      fine |= face.pixel(x, y) != face.pixel(x + 1, y + 1) || face.pixel(x, y) != face.pixel(x + 1, y);
  EXPECT_TRUE(fine);
}

}  // namespace

namespace {

TEST_F(SkinLook, SpeedButtonsOnAToolBarDrawTheirPieceAndTheMenuArrow) {
  auto* bar = new TtwSkinToolBar(&parent);
  bar->SetSkinData(&skin.data);
  bar->SetBounds(0, 0, 200, 30);
  auto* b = new TtwSkinSpeedButton(bar);
  auto* m = new TtwSkinMenuSpeedButton(bar);
  TtwSkinPopupMenu menu;
  m->SetSkinPopupMenu(&menu);
  m->SetTrackButtonMode(true);
  for (TtwSkinSpeedButton* s : {b, static_cast<TtwSkinSpeedButton*>(m)}) {
    s->SetSkinDataName(QStringLiteral("toolbutton"));
    s->SetSkinData(&skin.data);
    s->SetUseSkinSize(false);
    s->SetBounds(0, 0, 60, 20);
    EXPECT_EQ(s->y(), bar->CentredTop(20));
    EXPECT_EQ(From(s->RenderFace(), 0, 0), QPoint(0, 0));
  }
  EXPECT_EQ(m->TrackArea(), QRect(45, 0, 15, 20));
}

}  // namespace
