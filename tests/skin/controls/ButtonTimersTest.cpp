// Button behaviour in time: auto-repeat, cross-fade and frame animation end
// by themselves, the glow goes with the button; panels keep their limits
// across a roll-up.
#include <QTest>

#include "QtApp.h"
#include "SkinFixture.h"
#include "platform/Form.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinPanels.h"
#include "skin/draw/twLayerWindow.h"

namespace {

class ButtonTimers : public ::testing::Test {
 protected:
  void SetUp() override { twtest::ParkPointer(); }
};

TEST_F(ButtonTimers, QuickClickInRepeatModeClicksOnceAndHoldingRepeatsAfterTheFirstDelay) {
  TForm form;
  auto* b = new TtwSkinButton(&form);
  b->SetRepeatMode(true);
  b->SetRepeatInterval(60);
  int clicks = 0;
  b->OnClick = [&] { ++clicks; };
  form.show();
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);

  clicks = 0;
  QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::qWait(kRepeatFirstDelayMs / 2);
  EXPECT_EQ(clicks, 0);  // nothing before the first delay
  QTRY_VERIFY_WITH_TIMEOUT(clicks >= 3, 5000);  // then every interval
  const int held = clicks;
  QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, held + 1);  // plus once on release
  EXPECT_FALSE(b->RepeatRunning());
}

TEST_F(ButtonTimers, AnimationWithAZeroIntervalOrFrameCountEnds) {
  for (const char* frames : {"framecount=3\r\nanimateinterval=0\r\n", "framecount=0\r\nanimateinterval=0\r\n"}) {
    SCOPED_TRACE(frames);
    twtest::TFixtureSkin skin(twtest::kSheetTag, "focusedskinrect=0,40,20,50\r\n",
                              QByteArray("focusedskinrect=0,40,20,50\r\nanimateskinrect=20,40,80,50\r\n") + frames);
    QWidget parent;
    auto* b = new TtwSkinButton(&parent);
    b->SetSkinData(&skin.data);
    b->SetBounds(0, 0, 40, 10);
    parent.show();
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(b, &enter);
    QTRY_COMPARE_WITH_TIMEOUT(b->FrameNumber(), 0, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!b->MorphRunning(), 2000);
  }
}

TEST_F(ButtonTimers, MorphFadesTheHotPictureInAndOut) {
  twtest::TFixtureSkin skin(twtest::kSheetTag, "focusedskinrect=0,40,20,50\r\n",
                            "focusedskinrect=0,40,20,50\r\nmorphing=1\r\n");
  QWidget parent;
  auto* b = new TtwSkinButton(&parent);
  b->SetCanFocused(false);  // a focused button stays hot
  b->SetSkinData(&skin.data);
  b->SetBounds(0, 0, 40, 10);
  parent.show();
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(b, &enter);
  EXPECT_TRUE(b->MorphRunning());
  QTRY_COMPARE_WITH_TIMEOUT(b->FadeLevel(), 1.0, 2000);
  EXPECT_FALSE(b->MorphRunning());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(b, &leave);
  QTRY_COMPARE_WITH_TIMEOUT(b->FadeLevel(), 0.0, 2000);
  EXPECT_FALSE(b->MorphRunning());
}

TEST_F(ButtonTimers, AlwaysShownGlowGoesWhenTheButtonHides) {
  if (!TtwLayerManager::LayeredSupported()) GTEST_SKIP() << "no translucent windows here";
  twtest::TFixtureSkin skin(twtest::kSheetTag, "focusedskinrect=0,40,20,50\r\n",
                            "focusedskinrect=0,40,20,50\r\nglowlayerpictureindex=0\r\nglowlayermaskpictureindex=1\r\n");
  skin.data.SetShowButtonGlowFrames(false);
  TForm form;
  auto* b = new TtwSkinButton(&form);
  b->SetAlwaysShowLayeredFrame(true);
  b->SetSkinData(&skin.data);
  b->SetBounds(0, 0, 40, 10);
  form.show();
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(b, &enter);
  QTRY_VERIFY_WITH_TIMEOUT(b->GlowLayer() && b->GlowLayer()->Visible(), 2000);
  b->hide();
  EXPECT_FALSE(b->GlowLayer()->Visible());
}

TEST_F(ButtonTimers, RollUpAndDownKeepsThePanelsSizeLimits) {
  TtwSkinGroupBox box;
  box.SetBounds(0, 0, 100, 90);
  box.setMinimumHeight(60);
  box.setMaximumWidth(300);
  box.SetRollUpMode(true);
  box.SetRollUpState(true);
  EXPECT_EQ(box.height(), 23);  // the caption band and its bottom line
  box.SetRollUpState(false);
  EXPECT_EQ(box.height(), 90);
  EXPECT_EQ(box.minimumHeight(), 60);
  EXPECT_EQ(box.maximumWidth(), 300);
}

}  // namespace
