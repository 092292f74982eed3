// Push button: clicks, Enter and Escape, modal result, groups.
#include <QLineEdit>
#include <QTest>

#include "QtApp.h"
#include "SkinFixture.h"
#include "platform/Form.h"
#include "skin/controls/twDialogButtons.h"
#include "skin/controls/twSkinButtons.h"

namespace {

class Button : public ::testing::Test {
 protected:
  void SetUp() override { twtest::ParkPointer(); }
};

struct Counter {
  int clicks = 0, signals_ = 0;
  void Attach(TtwSkinButton* b) {
    b->OnClick = [this] { ++clicks; };
    QObject::connect(b, &TtwSkinButton::clicked, [this] { ++signals_; });
  }
};

TEST_F(Button, MouseClickCallsHandlerAndSignalOnceOnRelease) {
  TForm form;
  auto* b = new TtwSkinButton(&form);
  b->SetBounds(10, 10, 96, 25);
  Counter c;
  c.Attach(b);
  form.show();
  QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(c.clicks, 0);
  EXPECT_TRUE(b->Down());
  QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_EQ(c.clicks, 1);
  EXPECT_EQ(c.signals_, 1);
  EXPECT_FALSE(b->Down());
}

TEST_F(Button, ReleasingOutsideOrDisabledDoesNotClick) {
  TForm form;
  auto* b = new TtwSkinButton(&form);
  b->SetBounds(10, 10, 96, 25);
  Counter c;
  c.Attach(b);
  form.show();
  QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(b, QPoint(200, 5));
  QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(200, 5));
  EXPECT_EQ(c.clicks, 0);
  EXPECT_FALSE(b->Down());

  b->SetEnabled(false);
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(c.clicks, 0);
}

TEST_F(Button, EnterPressesTheDefaultButtonUnlessAnotherButtonHasTheFocus) {
  TForm form;
  auto* edit = new QLineEdit(&form);
  auto* ok = new TtwSkinButton(&form);
  auto* other = new TtwSkinButton(&form);
  ok->SetDefault(true);
  other->SetBounds(0, 40, 75, 25);
  Counter okC, otherC;
  okC.Attach(ok);
  otherC.Attach(other);
  form.show();
  QApplication::setActiveWindow(&form);
  edit->setFocus();
  QApplication::processEvents();

  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(okC.clicks, 1);
  QTest::keyClick(edit, Qt::Key_Enter);
  EXPECT_EQ(okC.clicks, 2);

  other->setFocus();
  QApplication::processEvents();
  QTest::keyClick(other, Qt::Key_Return);
  EXPECT_EQ(otherC.clicks, 1);
  EXPECT_EQ(okC.clicks, 2);

  // A hidden default button is not pressed.
  edit->setFocus();
  ok->SetVisible(false);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(okC.clicks, 2);
}

TEST_F(Button, DefaultButtonLooksHotWhileTheFocusIsOnAControlThatIsNoButton) {
  TForm form;
  auto* edit = new QLineEdit(&form);
  auto* ok = new TtwSkinButton(&form);
  auto* other = new TtwSkinButton(&form);
  ok->SetDefault(true);
  form.resize(400, 400);
  ok->SetBounds(300, 300, 75, 25);
  other->SetBounds(0, 40, 75, 25);
  form.show();
  QApplication::setActiveWindow(&form);
  const QRgb hotFrame = twDefaultColors::HotFrame.rgb() & 0xFFFFFF;
  const QRgb plainFrame = twDefaultColors::BtnShadow.rgb() & 0xFFFFFF;
  edit->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(ok->RenderFace().pixel(0, 0) & 0xFFFFFF, hotFrame);
  other->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(ok->RenderFace().pixel(0, 0) & 0xFFFFFF, plainFrame);
  EXPECT_EQ(other->RenderFace().pixel(0, 0) & 0xFFFFFF, hotFrame);
}

TEST_F(Button, DefaultAndCancelButtonsRegisterWithTheirOwnWindowOnly) {
  TForm a, b;
  auto* editA = new QLineEdit(&a);
  auto* okA = new TtwSkinButton(&a);
  auto* cancelA = new TtwSkinButton(&a);
  auto* okB = new TtwSkinButton(&b);
  okA->SetDefault(true);
  cancelA->SetCancel(true);
  okB->SetDefault(true);
  EXPECT_EQ(TtwDialogButtons::Of(&a)->Count(), 2);
  EXPECT_EQ(TtwDialogButtons::Of(&b)->Count(), 1);
  Counter cA, cB;
  cA.Attach(okA);
  cB.Attach(okB);
  a.show();
  b.show();
  editA->setFocus();
  QTest::keyClick(editA, Qt::Key_Return);
  EXPECT_EQ(cA.clicks, 1);
  EXPECT_EQ(cB.clicks, 0);
  // A button leaves its window's list when it stops being default or goes.
  cancelA->SetCancel(false);
  EXPECT_EQ(TtwDialogButtons::Of(&a)->Count(), 1);
  delete okA;
  QTest::keyClick(editA, Qt::Key_Return);
  EXPECT_EQ(TtwDialogButtons::Of(&a)->Count(), 0);
}

TEST_F(Button, EscapePressesCancelButtonOnlyWithoutModifiers) {
  TForm form;
  auto* edit = new QLineEdit(&form);
  auto* cancel = new TtwSkinButton(&form);
  cancel->SetCancel(true);
  Counter c;
  c.Attach(cancel);
  form.show();
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Escape, Qt::ControlModifier);
  EXPECT_EQ(c.clicks, 0);
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(c.clicks, 1);
}

TEST_F(Button, ClickSetsTheFormsModalResultAndSpaceClicksOnRelease) {
  TForm form;
  auto* b = new TtwSkinButton(&form);
  b->SetModalResult(mrOk);
  Counter c;
  c.Attach(b);
  form.show();
  b->setFocus();
  QTest::keyPress(b, Qt::Key_Space);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(c.clicks, 0);
  QTest::keyRelease(b, Qt::Key_Space);
  EXPECT_EQ(c.clicks, 1);
  EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST_F(Button, GroupedButtonsReleaseEachOtherUnlessAllUpIsAllowed) {
  QWidget parent;
  auto* a = new TtwSkinButton(&parent);
  auto* b = new TtwSkinButton(&parent);
  a->SetGroupIndex(2);
  b->SetGroupIndex(2);
  EXPECT_FALSE(a->CanFocused());
  parent.show();
  QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_TRUE(a->Down());
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  // Without AllowAllUp a down button stays down when pressed again.
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_TRUE(b->Down());
  b->SetAllowAllUp(true);
  int clicks = 0;
  b->OnClick = [&] { ++clicks; };
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(clicks, 1);
}

}  // namespace
