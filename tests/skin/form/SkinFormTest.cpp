// The frame component on a real form: attaching, client coordinates, bands,
// the skin-change walk, the private messages and the window commands.
#include <QPainter>
#include <QTest>
#include <vector>

#include "../controls/QtApp.h"
#include "FrameFixtures.h"
#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinnable.h"
#include "skin/form/twHitMap.h"
#include "skin/form/twSkinForm.h"
#ifdef TW_HAVE_BUILTIN_SKIN
#include "skins/BuiltinSkin.h"
#endif

namespace {

TEST(SkinForm, OnlyAFormCanCarryIt) {
  QObject notAForm;
  EXPECT_THROW(TtwSkinForm{&notAForm}, EError);
  EXPECT_THROW(TtwSkinForm{nullptr}, EError);
  TForm form;
  auto* frame = new TtwSkinForm(&form);
  EXPECT_EQ(frame->Form(), &form);
  EXPECT_EQ(frame->parent(), &form);
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
}

TEST(SkinForm, SettingsStartAtTheirDefaults) {
  TForm form;
  TtwSkinForm f(&form);
  EXPECT_EQ(f.BorderIcons(), biSystemMenu | biMinimize | biMaximize | biRollUp);
  EXPECT_EQ(f.AlphaBlendValue, 200);
  EXPECT_EQ(f.MagneticSize, 5);
  EXPECT_TRUE(f.UseDefaultSysMenu);
  EXPECT_TRUE(f.DefCaptionFont.bold());
  EXPECT_EQ(f.DefCaptionFont.pixelSize(), 14);
  EXPECT_EQ(f.SkinData(), nullptr);
}

// A fixed-size form with one control at client coordinates (10, 20).
struct FixedForm {
  TForm form;
  QWidget* child = new QWidget(&form);
  FixedForm() {
    child->setGeometry(10, 20, 30, 10);
    form.setFixedSize(200, 80);
  }
};

TEST(SkinForm, ControlsKeepClientCoordinatesWhateverTheFrame) {
  FixedForm f;
  TtwSkinForm frame(&f.form);
  // Skinless: 3-pixel borders and a 19-pixel caption.
  EXPECT_EQ(f.form.size(), QSize(206, 105));
  EXPECT_EQ(f.child->pos(), QPoint(13, 42));
  EXPECT_EQ(f.form.ClientRect(), QRect(0, 0, 200, 80));

  twtest::FixtureSkin skin;
  frame.SetSkinData(&skin.data);
  EXPECT_TRUE(frame.SkinPresent());
  EXPECT_EQ(frame.Margins(), QMargins(3, 6, 3, 3));
  EXPECT_EQ(f.form.size(), QSize(206, 89));
  EXPECT_EQ(f.child->pos() - f.form.contentsRect().topLeft(), QPoint(10, 20));
  EXPECT_EQ(f.form.ClientWidth(), 200);
  EXPECT_EQ(f.form.ClientHeight(), 80);
}

TEST(SkinForm, BandsKeepTheCornersPixelIdenticalAtAnySize) {
  TForm form;
  form.resize(40, 30);
  TtwSkinForm frame(&form);
  twtest::FixtureSkin skin;
  frame.SetSkinData(&skin.data);
  form.show();
  const QImage picture = twtest::CoordinatePicture(20, 16);
  for (QSize s : {QSize(40, 30), QSize(77, 51), QSize(300, 200)}) {
    form.resize(s);
    QImage top, bottom, left, right;
    frame.ComposeBands(top, bottom, left, right, true);
    const int W = s.width(), H = s.height();
    ASSERT_EQ(top.size(), QSize(W, 6));
    ASSERT_EQ(bottom.size(), QSize(W, 3));
    ASSERT_EQ(left.size(), QSize(3, H - 9));
    ASSERT_EQ(right.size(), QSize(3, H - 9));
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(top.pixel(x, y), picture.pixel(x, y));
        EXPECT_EQ(top.pixel(W - 5 + x, y), picture.pixel(15 + x, y));
      }
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(bottom.pixel(x, y), picture.pixel(x, 13 + y));
        EXPECT_EQ(bottom.pixel(W - 5 + x, y), picture.pixel(15 + x, 13 + y));
      }
    EXPECT_EQ(frame.WindowRegion().boundingRect(), QRect(0, 0, W, H));
    EXPECT_FALSE(frame.WindowRegion().contains(QPoint(W - 1, 0)));
  }
}

#ifdef TW_HAVE_BUILTIN_SKIN
struct BuiltinSkin {
  TtwCompressedStoredSkin stored;
  TtwSkinData data;
  BuiltinSkin() {
    stored.SetCompressedData(BuiltinSkinPackage());
    data.SetCompressedStoredSkin(&stored);
  }
};

TEST(SkinForm, BuiltinSkinBordersAndCaptionButtons) {
  BuiltinSkin skin;
  TForm form;
  form.resize(600, 400);
  TtwSkinForm frame(&form);
  frame.SetSkinData(&skin.data);
  form.show();
  EXPECT_EQ(frame.Margins(), QMargins(4, 27, 4, 4));
  for (int W : {300, 900}) {
    form.resize(W, 500);
    EXPECT_EQ(form.contentsRect(), QRect(4, 27, W - 8, 500 - 31));
    // Close, maximise, minimise, roll-up from the caption's right, 2 apart.
    const int right = W - 6;
    const char* names[] = {"closebutton", "maxbutton", "minbutton", "rollupbutton"};
    for (int i = 0; i < 4; ++i) {
      const TRect r = frame.FindObject(QString::fromLatin1(names[i]))->ObjectRect;
      EXPECT_EQ(r, (TRect{right - 21 - i * 23, 3, right - i * 23, 24})) << names[i];
    }
    EXPECT_FALSE(frame.FindObject("traybutton")->Visible);
    EXPECT_EQ(frame.FindObject("caption")->ObjectRect.Right, right - 3 * 23 - 21);
  }
  // Without maximise the minimise button closes the gap.
  frame.SetBorderIcons(biSystemMenu | biMinimize | biRollUp);
  EXPECT_FALSE(frame.FindObject("maxbutton")->Visible);
  EXPECT_EQ(frame.FindObject("minbutton")->ObjectRect.Right, 900 - 6 - 23);
}
#endif

// The bands a frame keeps between resizes are the bands composed afresh for
// the whole frame, whichever sizes came before: for the coordinate fixture
// (stretched pieces) and the built-in skin (pieces alike along their band).
TEST(SkinForm, KeptBandsEqualTheWholeFrameComposedAfresh) {
  twtest::FixtureSkin fixture;
  std::vector<TtwSkinData*> skins{&fixture.data};
#ifdef TW_HAVE_BUILTIN_SKIN
  BuiltinSkin builtin;
  skins.push_back(&builtin.data);
#endif
  for (TtwSkinData* skin : skins) {
    TForm form;
    form.resize(400, 300);
    TtwSkinForm frame(&form);
    frame.SetSkinData(skin);
    form.show();
    const QImage picture = skin->FormPicture().convertToFormat(QImage::Format_RGB32);
    const TEdgeStretch edges{skin->leftstretch, skin->topstretch, skin->rightstretch, skin->bottomstretch};
    for (QSize s : {QSize(400, 300), QSize(401, 300), QSize(401, 333), QSize(700, 333), QSize(400, 300)}) {
      SCOPED_TRACE(QStringLiteral("%1 x %2").arg(s.width()).arg(s.height()).toStdString());
      form.resize(s);
      QImage top, bottom, left, right, wTop, wBottom, wLeft, wRight;
      frame.ComposeBands(top, bottom, left, right, true);
      ComposeBorderBands(picture, TRect{0, 0, picture.width(), picture.height()}, frame.Info().Anchors(),
                         frame.Geometry().Anchors(), s.width(), s.height(), edges, wTop, wBottom, wLeft, wRight);
      EXPECT_EQ(top, wTop);
      EXPECT_EQ(bottom, wBottom);
      EXPECT_EQ(left, wLeft);
      EXPECT_EQ(right, wRight);
    }
  }
}

// A skinned control stand-in that counts what the form tells it.
class CountingControl : public QWidget, public TtwSkinnable {
 public:
  CountingControl(QWidget* parent, TtwSkinData* data, bool windowed)
      : QWidget(parent), data_(data), windowed_(windowed) {}
  TtwSkinData* SkinData() const override { return data_; }
  void ApplySkin() override { ++applied; }
  void ForgetSkinRecord() override { ++forgotten; }
  bool IsWindowedSkinControl() const override { return windowed_; }
  int applied = 0, forgotten = 0;

 private:
  TtwSkinData* data_;
  bool windowed_;
};

TEST(SkinForm, SkinChangeWalksTheSkinnedControlsOfItsSkinData) {
  TApplication app;  // a reload is announced to the application's forms
  twtest::FixtureSkin skin, other;
  TForm form;
  auto* panel = new QWidget(&form);
  auto* windowed = new CountingControl(panel, &skin.data, true);
  auto* windowless = new CountingControl(&form, &skin.data, false);
  auto* foreign = new CountingControl(&form, &other.data, true);
  TtwSkinForm frame(&form);
  frame.SetSkinData(&skin.data);
  const auto wp = reinterpret_cast<intptr_t>(&skin.data);

  SendMessage(&form, SKIN_MSG_BEFORE_CHANGE, wp, kSkinMessageLParam);
  EXPECT_EQ(windowed->forgotten, 1);
  EXPECT_EQ(windowless->forgotten, 0);
  EXPECT_EQ(foreign->forgotten, 0);
  EXPECT_TRUE(frame.Objects().empty());
  EXPECT_FALSE(frame.SkinPresent());

  SendMessage(&form, SKIN_MSG_CHANGE, wp, kSkinMessageLParam);
  EXPECT_EQ(windowed->applied, 1);
  EXPECT_EQ(windowless->applied, 1);
  EXPECT_EQ(foreign->applied, 0);
  EXPECT_TRUE(frame.SkinPresent());
  EXPECT_NE(frame.FindObject("closebutton"), nullptr);

  // A real reload announces itself the same way.
  skin.data.LoadStoredSkin(&skin.stored);
  EXPECT_EQ(windowed->forgotten, 2);
  EXPECT_EQ(windowless->applied, 2);
  EXPECT_TRUE(frame.SkinPresent());
  EXPECT_EQ(frame.Margins(), QMargins(3, 6, 3, 3));
}

TEST(SkinForm, PrivateMessagesAnswerForOtherComponents) {
  twtest::FixtureSkin skin;
  TForm form;
  form.resize(40, 30);
  TtwSkinForm frame(&form);
  frame.SetSkinData(&skin.data);
  EXPECT_EQ(SendMessage(&form, TW_MSG_QUERY_SKINNED), 12853);

  QImage img(40, 30, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    EXPECT_EQ(SendMessage(&form, TW_MSG_PAINT_FRAME, reinterpret_cast<intptr_t>(&p)), 12851);
  }
  EXPECT_EQ(img.pixel(1, 3), twtest::CoordinatePicture(20, 16).pixel(1, 3));
  EXPECT_EQ(SendMessage(&form, TW_MSG_PAINT_FRAME, 0), 0);
  QPainter p(&img);
  EXPECT_EQ(SendMessage(&form, TW_MSG_PAINT_FRAME_EX, reinterpret_cast<intptr_t>(&p), kPaintFrameExKey),
            kPaintFrameExKey);
  EXPECT_EQ(SendMessage(&form, TW_MSG_PAINT_FRAME_EX, reinterpret_cast<intptr_t>(&p), 1), 0);
}

// A shown, active window with the fixture skin.
class ShownFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    form.resize(60, 40);
    form.SetCaption("Fixture");
    frame = new TtwSkinForm(&form);
    frame->SetSkinData(&skin.data);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  QPoint CentreOf(const QString& name) const { return frame->FindObject(name)->ObjectRect.ToQ().center(); }

  twtest::FixtureSkin skin;
  TForm form;
  TtwSkinForm* frame = nullptr;
};

TEST_F(ShownFrame, CloseButtonRunsItsCommandOnlyAfterTheClickHandlerReturned) {
  const QPoint close = CentreOf("closebutton");
  QTest::mouseMove(&form, close);
  EXPECT_EQ(frame->HotObject(), 0);
  QTest::mousePress(&form, Qt::LeftButton, {}, close);
  EXPECT_EQ(frame->PressedObject(), 0);
  QTest::mouseRelease(&form, Qt::LeftButton, {}, close);
  EXPECT_TRUE(form.isVisible());  // not inside the handler
  QCoreApplication::processEvents();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(ShownFrame, ReleasingOutsideAPressedButtonRunsNothing) {
  const QPoint close = CentreOf("closebutton");
  QTest::mouseMove(&form, close);
  QTest::mousePress(&form, Qt::LeftButton, {}, close);
  QTest::mouseMove(&form, QPoint(20, 3));
  QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(20, 3));
  QCoreApplication::processEvents();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(frame->PressedObject(), -1);
}

TEST_F(ShownFrame, DoubleClickOnTheCaptionRollsUpAndBack) {
  form.SetBorderStyle(TFormBorderStyle::bsSingle);
  const int height = form.height();
  QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(20, 3));
  EXPECT_TRUE(frame->RolledUp());
  EXPECT_EQ(form.height(), frame->MinimumHeight());
  EXPECT_EQ(form.height(), 16 - 7);  // the frame alone
  QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(20, 3));
  EXPECT_FALSE(frame->RolledUp());
  EXPECT_EQ(form.height(), height);
}

TEST_F(ShownFrame, MaximizeAndRestoreRememberTheNormalBounds) {
  const QRect normal = form.geometry();
  frame->RunCommand(TtwFrameCommand::Maximize);
  EXPECT_EQ(frame->FrameState(), TtwFrameState::Maximized);
  EXPECT_EQ(frame->NormalBounds(), normal);
  const QRect area = form.screen()->availableGeometry();
  EXPECT_TRUE(area.contains(form.geometry()));
  EXPECT_GE(form.width(), area.width() - 2);
  EXPECT_EQ(frame->HitTest(QPoint(0, 20)), htObject);  // no sizing edges while maximised
  frame->RunCommand(TtwFrameCommand::Maximize);
  EXPECT_EQ(frame->FrameState(), TtwFrameState::Normal);
  EXPECT_EQ(form.geometry(), normal);
  EXPECT_TRUE(frame->NormalBounds().isEmpty());
}

// A caption button's hint is the skinned timed hint: asked for on entering,
// shown after the pause below the cursor, gone on leaving or pressing, and
// never shown when the pointer left during the pause or hints are off.
TEST_F(ShownFrame, CaptionButtonHintIsTheTimedSkinnedHint) {
  TtwSkinHint hint;
  frame->SkinHint = &hint;
  form.move(200, 150);
  const QPoint close = CentreOf("closebutton"), client(30, 20);
  auto hover = [&](QPoint p) {
    QCursor::setPos(form.mapToGlobal(p));
    QTest::mouseMove(&form, p);
  };
  auto shows = [&] { return QTest::qWaitFor([&] { return hint.Window()->isVisible(); }, 3 * kHintPauseMs); };
  auto staysHidden = [&] {
    QTest::qWait(kHintPauseMs + 200);
    return !hint.Window()->isVisible();
  };

  hover(close);
  EXPECT_TRUE(staysHidden()) << "hints are off by default";
  hover(client);

  frame->ShowObjectHint = true;
  hover(close);
  QTest::qWait(kHintPauseMs / 2);
  EXPECT_FALSE(hint.Window()->isVisible()) << "shown before the pause";
  ASSERT_TRUE(shows());
  EXPECT_EQ(hint.Window()->Text(), QStringLiteral("Close"));
  EXPECT_EQ(hint.Window()->pos(), form.mapToGlobal(close) + QPoint(0, CursorHeight()));
  hover(client);
  EXPECT_FALSE(hint.Window()->isVisible());

  hover(close);
  hover(client);
  EXPECT_TRUE(staysHidden()) << "left during the pause";

  hover(close);
  ASSERT_TRUE(shows());
  QTest::mousePress(&form, Qt::LeftButton, {}, close);
  EXPECT_FALSE(hint.Window()->isVisible());
  QTest::mouseMove(&form, client);
  QTest::mouseRelease(&form, Qt::LeftButton, {}, client);
}

TEST_F(ShownFrame, HitMapHoldsTheCodesInItsRedChannel) {
  form.SetBorderStyle(TFormBorderStyle::bsSizeable);
  const QImage map = RenderHitMap(*frame);
  ASSERT_EQ(map.size(), form.size());
  EXPECT_EQ(qRed(map.pixel(0, 0)), htNowhere);
  EXPECT_EQ(qRed(map.pixel(30, 20)), htClient);
  EXPECT_EQ(qRed(map.pixel(0, 20)), htLeft);
  EXPECT_EQ(qRed(map.pixel(20, 3)), htCaption);
}

TEST(SkinFormStates, SecondaryWindowsMinimiseToBarsSideBySide) {
  TApplication app;
  TForm main;
  TForm a, b;
  twtest::FixtureSkin skin;
  TtwSkinForm fa(&a), fb(&b);
  for (TtwSkinForm* f : {&fa, &fb}) {
    f->SetSkinData(&skin.data);
    f->Form()->resize(80, 60);
    f->Form()->show();
  }
  fa.Minimize();
  fb.Minimize();
  const QRect area = a.screen()->availableGeometry();
  EXPECT_EQ(fa.FrameState(), TtwFrameState::Minimized);
  EXPECT_EQ(a.geometry(), QRect(area.left(), area.bottom() + 1 - 9, 20, 9));
  EXPECT_EQ(b.geometry(), QRect(area.left() + 20, area.bottom() + 1 - 9, 20, 9));
  fa.Restore();
  EXPECT_EQ(a.size(), QSize(80, 60));
}

}  // namespace
