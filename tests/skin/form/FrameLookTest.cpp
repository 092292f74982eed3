// The frame's looks that follow the pointer and the activation: glow frames
// of caption buttons, the caption animation and the inactive client cover,
// each against a fixture skin with pieces of one colour apiece.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include "../controls/QtApp.h"
#include "FrameFixtures.h"
#include "platform/Form.h"
#include "skin/draw/twLayerWindow.h"
#include "skin/form/twSkinForm.h"
#include "skin/form/twSkinObjects.h"

namespace {

QImage Solid(int w, int h, QRgb c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

// Another window takes the activation from the form, or gives it back.
void Activate(QWidget& w) {
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

class FrameLook : public ::testing::Test {
 protected:
  void Show(twtest::FixtureSkin& skin) {
    form.resize(60, 40);
    form.move(200, 150);
    frame = new TtwSkinForm(&form);
    frame->SetSkinData(&skin.data);
    Activate(form);
  }
  void Hover(QPoint p) {
    QCursor::setPos(form.mapToGlobal(p));
    QTest::mouseMove(&form, p);
  }
  QPoint CentreOf(const QString& name) const { return frame->FindObject(name)->ObjectRect.ToQ().center(); }

  TForm form;
  QWidget other;
  TtwSkinForm* frame = nullptr;
};

// ---- glow frames ---------------------------------------------------------------

const QByteArray kGlow =
    "glowlayerpictureindex=1\r\nglowlayeroffsetx=2\r\nglowlayeroffsety=3\r\nglowlayeralphablendvalue=180\r\n";

TEST_F(FrameLook, GlowShowsOverAHoveredButtonAndGoesOnLeaveDeactivationAndHiding) {
  twtest::FixtureSkin skin(true, {}, kGlow, {Solid(8, 8, qRgb(0, 200, 0))});
  Show(skin);
  TtwLayerManager* glow = frame->GlowLayer();
  const QPoint close = CentreOf("closebutton"), client(30, 20);
  const TRect r = frame->FindObject("closebutton")->ObjectRect;

  Hover(close);
  ASSERT_TRUE(glow->Visible());
  EXPECT_EQ(glow->TargetOpacity(), 180);
  EXPECT_EQ(glow->Window()->pos(), form.mapToGlobal(QPoint(r.Left, r.Top)) - QPoint(2, 3));
  Hover(client);
  EXPECT_FALSE(glow->Visible()) << "after leaving";

  Hover(close);
  ASSERT_TRUE(glow->Visible());
  Activate(other);
  // This test platform activates every window it shows, the glow layer too,
  // so the form was no longer the active window: tell it by hand.
  QEvent deactivated(QEvent::ActivationChange);
  QApplication::sendEvent(&form, &deactivated);
  EXPECT_FALSE(glow->Visible()) << "after deactivation";

  Activate(form);
  Hover(client);
  Hover(close);
  ASSERT_TRUE(glow->Visible());
  form.hide();
  EXPECT_FALSE(glow->Visible()) << "after hiding";
}

TEST_F(FrameLook, NoGlowWithoutTheSkinSettingOrAGlowPicture) {
  twtest::FixtureSkin off(true, {}, kGlow, {Solid(8, 8, qRgb(0, 200, 0))});
  off.data.SetShowCaptionButtonGlowFrames(false);
  twtest::FixtureSkin without;
  for (twtest::FixtureSkin* skin : {&off, &without}) {
    Show(*skin);
    Hover(QPoint(30, 20));
    Hover(CentreOf("closebutton"));
    EXPECT_EQ(frame->HotObject(), 0);
    EXPECT_FALSE(frame->GlowLayer()->Visible());
    delete frame;
  }
}

// ---- caption animation -----------------------------------------------------------

// Three frames of one colour each, side by side, then the active look.
const QRgb kFrames[] = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200)};
const QRgb kActiveLook = qRgb(200, 200, 0);
// An interval no test reaches by waiting: the test steps the frames itself.
const QByteArray kAnimation =
    "activepictureindex=1\r\nactiveskinrect=42,0,56,5\r\nanimateskinrect=0,0,42,5\r\nframecount=3\r\n"
    "animateinterval=600000\r\ninactiveanimation=1\r\n";

QImage AnimationStrip() {
  QImage img(56, 5, QImage::Format_RGB32);
  for (int x = 0; x < 56; ++x)
    for (int y = 0; y < 5; ++y) img.setPixel(x, y, x < 42 ? kFrames[x / 14] : kActiveLook);
  return img;
}

class CaptionAnimation : public FrameLook {
 protected:
  void SetUp() override {
    skin.data.SetEnableSkinEffects(true);
    form.SetCaption(QString());  // no text over the pixels looked at
    Show(skin);
    caption = dynamic_cast<TtwSkinCaptionObject*>(frame->FindObject("caption"));
    ASSERT_NE(caption, nullptr);
  }
  QRgb Shown() {
    const QPoint c = caption->ObjectRect.ToQ().center();
    return form.grab().toImage().pixel(c);
  }
  // The next frame, as the timer would step it once the interval is over.
  bool Step() {
    caption->Elapsed = 600000 - 25;
    return caption->AnimationTick();
  }
  twtest::FixtureSkin skin{true, kAnimation, {}, {AnimationStrip()}};
  TtwSkinCaptionObject* caption = nullptr;
};

TEST_F(CaptionAnimation, ActivationRunsTheFramesForwardThenShowsTheActiveLook) {
  EXPECT_TRUE(caption->Animating());
  EXPECT_EQ(Shown(), kFrames[0]);
  EXPECT_TRUE(Step());
  EXPECT_EQ(Shown(), kFrames[1]);
  EXPECT_TRUE(Step());
  EXPECT_EQ(Shown(), kFrames[2]);
  EXPECT_FALSE(Step()) << "the animation ends after its last frame";
  EXPECT_FALSE(caption->Animating());
  EXPECT_EQ(Shown(), kActiveLook);
}

TEST_F(CaptionAnimation, DeactivationRunsTheFramesBackToTheFramePicture) {
  while (Step()) {
  }
  Activate(other);
  EXPECT_EQ(Shown(), kFrames[2]);
  EXPECT_TRUE(Step());
  EXPECT_EQ(Shown(), kFrames[1]);
  EXPECT_TRUE(Step());
  EXPECT_EQ(Shown(), kFrames[0]);
  EXPECT_FALSE(Step());
  // Inactive and still: the caption is the frame picture's, as in the band.
  QImage top, bottom, left, right;
  frame->ComposeBands(top, bottom, left, right, false);
  EXPECT_EQ(Shown(), top.pixel(caption->ObjectRect.ToQ().center()));
}

TEST_F(CaptionAnimation, WithoutSkinEffectsActivationShowsTheActiveLookAtOnce) {
  skin.data.SetEnableSkinEffects(false);
  Activate(other);
  Activate(form);
  EXPECT_FALSE(caption->Animating());
  EXPECT_EQ(Shown(), kActiveLook);
}

// ---- inactive client cover ----------------------------------------------------------

class InactiveCover : public FrameLook {
 protected:
  void SetUp() override {
    // A red control on the left half of the client area; the skin's
    // background shows on the right.
    auto* control = new QWidget(&form);
    control->setAutoFillBackground(true);
    QPalette pal = control->palette();
    pal.setColor(QPalette::Window, qRgb(255, 0, 0));
    control->setPalette(pal);
    form.resize(60, 40);
    frame = nullptr;
    controlWidget = control;
  }
  void ShowWith(TtwClientInActiveEffectType type) {
    Show(skin);
    frame->ClientInActiveEffect = true;
    frame->ClientInActiveEffectType = type;
    const QRect client = form.contentsRect();
    controlWidget->setGeometry(client.x(), client.y(), client.width() / 2, client.height());
  }
  QImage Client() { return form.grab(form.contentsRect()).toImage(); }

  twtest::FixtureSkin skin;
  QWidget* controlWidget = nullptr;
};

TEST_F(InactiveCover, WashCoversTheClientAreaWithTheBackgroundWhileInactive) {
  ShowWith(twieSemiTransparent);
  controlWidget->hide();
  const QImage background = Client();
  controlWidget->show();
  const QImage before = Client();
  const int w = before.width(), h = before.height();
  Activate(other);
  QWidget* cover = frame->InactiveCover();
  ASSERT_NE(cover, nullptr);
  EXPECT_TRUE(cover->isVisible());
  EXPECT_EQ(cover->geometry(), form.contentsRect());
  const QImage covered = Client();
  // The control's red shows through a wash of the background at 170 / 255;
  // the background beside it stays what it was.
  for (QPoint p : {QPoint(w / 4, h / 2), QPoint(1, 1)})
    for (int shift : {16, 8, 0}) {
      auto channel = [shift](QRgb c) { return int(c >> shift) & 0xFF; };
      EXPECT_NEAR(channel(covered.pixel(p)), (channel(before.pixel(p)) * 85 + channel(background.pixel(p)) * 170) / 255,
                  2)
          << p.x() << "," << p.y();
    }
  EXPECT_EQ(covered.pixel(3 * w / 4, h / 2), before.pixel(3 * w / 4, h / 2));

  Activate(form);
  EXPECT_FALSE(cover->isVisible());
  EXPECT_EQ(Client(), before);
}

TEST_F(InactiveCover, BlurSoftensOnlyWhereTheClientAreaChanges) {
  ShowWith(twieBlur);
  const QImage before = Client();
  const int w = before.width(), h = before.height();
  Activate(other);
  ASSERT_NE(frame->InactiveCover(), nullptr);
  const QImage covered = Client();
  const QRgb edge = covered.pixel(w / 2 - 1, h / 2);
  EXPECT_LT(qRed(edge), 255);
  EXPECT_GT(qRed(edge), qRed(before.pixel(w / 2 + 4, h / 2)));
  EXPECT_EQ(covered.pixel(w / 2 - 8, h / 2), before.pixel(w / 2 - 8, h / 2));
}

TEST_F(InactiveCover, FollowsTheClientAreaWhenTheInactiveWindowIsResized) {
  ShowWith(twieSemiTransparent);
  Activate(other);
  QWidget* cover = frame->InactiveCover();
  ASSERT_NE(cover, nullptr);
  form.resize(90, 60);
  QCoreApplication::processEvents();
  EXPECT_TRUE(cover->isVisible());
  EXPECT_EQ(cover->geometry(), form.contentsRect());
  // A control reaching past the old client area is washed there too.
  controlWidget->setGeometry(0, 0, 400, 400);
  form.resize(100, 70);
  QCoreApplication::processEvents();
  EXPECT_EQ(cover->geometry(), form.contentsRect());
  const QImage covered = Client();
  const QRgb far = covered.pixel(covered.width() - 3, covered.height() - 3);
  EXPECT_GT(qRed(far), qGreen(far));
  EXPECT_LT(qRed(far), 255);
  Activate(form);
  EXPECT_FALSE(cover->isVisible());
}

TEST_F(InactiveCover, NothingForAHiddenWindowOrWithTheEffectOff) {
  ShowWith(twieSemiTransparent);
  frame->ClientInActiveEffect = false;
  Activate(other);
  EXPECT_TRUE(frame->InactiveCover() == nullptr || !frame->InactiveCover()->isVisible());
  Activate(form);
  frame->ClientInActiveEffect = true;
  form.hide();
  Activate(other);
  EXPECT_TRUE(frame->InactiveCover() == nullptr || !frame->InactiveCover()->isVisible());
}

}  // namespace
