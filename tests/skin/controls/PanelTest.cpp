// Default looks (pixel checks on small controls) and panel, label and bar
// behaviour.
#include <QFontMetrics>

#include "QtApp.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinPanels.h"

namespace {
namespace C {
using namespace twDefaultColors;
const QColor Face = SystemColor(COLOR_BTNFACE), Shadow = SystemColor(COLOR_BTNSHADOW),
             Light = SystemColor(COLOR_BTNHIGHLIGHT);
}  // namespace C

QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
QRgb Rgb(const QColor& c) { return c.rgb() & 0xFFFFFF; }

TEST(DefaultLook, PanelBorderStylesOnASmallPanel) {
  struct Case {
    TBevelCut style;
    QColor topLeft, bottomRight;
  };
  const Case cases[] = {
      {bvFrame, C::Shadow, C::Shadow},
      {bvRaised, C::Light, C::Shadow},
      {bvLowered, C::Shadow, C::Light},
      {bvNone, C::Face, C::Face},
  };
  for (const Case& c : cases) {
    TtwSkinPanel panel;
    panel.SetBounds(0, 0, 20, 10);
    panel.SetBorderStyle(c.style);
    const QImage img = panel.RenderFace();
    ASSERT_EQ(img.size(), QSize(20, 10));
    SCOPED_TRACE(int(c.style));
    EXPECT_EQ(Px(img, 0, 5), Rgb(c.topLeft));
    EXPECT_EQ(Px(img, 10, 0), Rgb(c.topLeft));
    EXPECT_EQ(Px(img, 19, 5), Rgb(c.bottomRight));
    EXPECT_EQ(Px(img, 10, 9), Rgb(c.bottomRight));
    EXPECT_EQ(Px(img, 10, 5), Rgb(C::Face));
  }
}

TEST(DefaultLook, GroupBoxDrawsAFramedCaptionBandOfTheCaptionHeight) {
  TtwSkinGroupBox box;
  box.SetBounds(0, 0, 60, 40);
  box.SetCaption(QString());  // no text: the band alone
  const QImage img = box.RenderFace();
  EXPECT_EQ(Px(img, 30, 0), Rgb(C::Shadow));      // outer edge
  EXPECT_EQ(Px(img, 30, 1), Rgb(C::Light));     // band highlight
  EXPECT_EQ(Px(img, 30, 10), Rgb(C::Face));     // band face
  EXPECT_EQ(Px(img, 30, 21), Rgb(C::Shadow));     // band bottom line
  EXPECT_EQ(Px(img, 30, 22), Rgb(C::Face));       // below the band
  EXPECT_EQ(Px(img, 30, 39), Rgb(C::Shadow));     // panel frame
}

TEST(DefaultLook, GroupBoxCaptionTextIsDrawnInTheBand) {
  TtwSkinGroupBox box;
  box.SetBounds(0, 0, 80, 40);
  box.SetCaption(QStringLiteral("Notes"));
  const QImage img = box.RenderFace();
  int dark = 0;
  for (int y = 2; y < 20; ++y)
    for (int x = 2; x < 60; ++x)
      if (qGray(img.pixel(x, y)) < 110) ++dark;
  EXPECT_GT(dark, 10);
  for (int x = 2; x < 78; ++x) EXPECT_EQ(Px(img, x, 30), Rgb(C::Face)) << x;
}

TEST(DefaultLook, ButtonStatesFrameAndFill) {
  QWidget parent;
  auto* b = new TtwSkinButton(&parent);
  b->SetBounds(0, 0, 20, 10);
  QImage img = b->RenderFace();
  EXPECT_EQ(Px(img, 0, 0), Rgb(C::BtnShadow));
  EXPECT_EQ(Px(img, 19, 9), Rgb(C::BtnShadow));
  EXPECT_EQ(Px(img, 2, 2), Rgb(C::BtnFace));
  b->SetDown(true);
  b->SetGroupIndex(1);  // a grouped button shows down whatever the pointer does
  img = b->RenderFace();
  EXPECT_EQ(Px(img, 0, 0), Rgb(C::HotFrame));
  EXPECT_EQ(Px(img, 2, 2), Rgb(C::DownFill));
}

TEST(DefaultLook, ButtonCaptionIsCentred) {
  QWidget parent;
  auto* b = new TtwSkinButton(&parent);
  b->SetBounds(0, 0, 96, 25);
  b->SetCaption(QStringLiteral("Refresh"));
  const QImage img = b->RenderFace();
  int minX = 96, maxX = -1, minY = 25, maxY = -1;
  for (int y = 1; y < 24; ++y)
    for (int x = 1; x < 95; ++x)
      if (qGray(img.pixel(x, y)) < 128) {
        minX = qMin(minX, x); maxX = qMax(maxX, x);
        minY = qMin(minY, y); maxY = qMax(maxY, y);
      }
  ASSERT_GE(maxX, 0);
  EXPECT_NEAR((minX + maxX) / 2.0, 47.5, 2.5);
  EXPECT_NEAR((minY + maxY) / 2.0, 12.0, 3.0);
}

TEST(DefaultLook, StatusBarIsAPlainFaceWithAGripWhenAsked) {
  TtwSkinStatusBar bar;
  bar.SetBounds(0, 0, 100, 21);
  QImage img = bar.RenderFace();
  EXPECT_EQ(Px(img, 50, 0), Rgb(C::Face));
  EXPECT_EQ(Px(img, 50, 10), Rgb(C::Face));
  const QRect clientBefore = bar.AlignClientRect();
  bar.SetSizeGrip(true);
  EXPECT_EQ(bar.AlignClientRect().width(), clientBefore.width() - clientBefore.height());
  img = bar.RenderFace();
  int lines = 0;
  for (int x = 80; x < 100; ++x)
    for (int y = 1; y < 21; ++y)
      if (Px(img, x, y) == Rgb(C::BtnShadow)) ++lines;
  EXPECT_GT(lines, 5);
}

TEST(Label, AutoSizeFitsTheTextWithItsMargins) {
  QWidget parent;
  auto* l = new TtwSkinLabel(&parent);
  l->SetCaption(QStringLiteral("class"));
  l->SetAutoSize(true);
  const int tw = QFontMetrics(l->DefaultFont()).horizontalAdvance(QStringLiteral("class"));
  EXPECT_EQ(l->width(), tw + 6);
  l->SetCaption(QStringLiteral("Class Name"));
  EXPECT_EQ(l->width(),
            QFontMetrics(l->DefaultFont()).horizontalAdvance(QStringLiteral("Class Name")) + 6);
  // A client-aligned label keeps the width it is given.
  l->SetAlign(TAlign::alClient);
  SetWidgetBounds(&parent, 0, 0, 300, 40);
  l->SetCaption(QStringLiteral("x"));
  EXPECT_EQ(l->width(), 300);
}

TEST(Label, EllipsisShortensLongCaptions) {
  QWidget parent;
  auto* l = new TtwSkinLabel(&parent);
  l->SetBounds(0, 0, 60, 21);
  l->SetBorderStyle(bvNone);
  l->SetCaption(QStringLiteral("A rather long caption for a label"));
  const QImage plain = l->RenderFace();
  l->SetEllipsType(twetEllips);
  const QImage shortened = l->RenderFace();
  EXPECT_NE(plain, shortened);
}

TEST(Panel, RollUpHidesChildrenAndRestoresTheExactHeight) {
  TtwSkinGroupBox box;
  box.SetBounds(0, 0, 100, 90);
  auto* child = new QWidget(&box);
  SetWidgetAlign(child, TAlign::alClient);
  box.SetRollUpMode(true);
  box.SetRollUpState(true);
  EXPECT_EQ(box.height(), 23);
  EXPECT_TRUE(child->isHidden());
  box.SetRollUpState(false);
  EXPECT_EQ(box.height(), 90);
  EXPECT_FALSE(child->isHidden());
  EXPECT_EQ(child->geometry(), QRect(1, 23, 98, 66));
}

TEST(Panel, CheckedTogglesChildrenWhenAutoEnabled) {
  TtwSkinGroupBox box;
  auto* child = new QWidget(&box);
  box.SetCheckedMode(true);
  int fired = 0;
  box.OnChecked = [&](QObject*) { ++fired; };
  box.SetChecked(false);
  EXPECT_FALSE(child->isEnabled());
  box.SetChecked(true);
  EXPECT_TRUE(child->isEnabled());
  EXPECT_EQ(fired, 2);
}

TEST(ControlBase, DefaultsAndDefaultSizesApplyWithoutARecord) {
  TtwSkinPanel panel;
  EXPECT_EQ(panel.RecordIndex(), -1);
  EXPECT_EQ(panel.SkinDataName(), QStringLiteral("panel"));
  EXPECT_EQ(panel.DefaultFont().family(), QStringLiteral("Arial"));
  EXPECT_EQ(panel.DefaultFont().pixelSize(), 14);
  EXPECT_TRUE(panel.UseSkinFont());
  panel.SetDefaultHeight(33);
  EXPECT_EQ(panel.height(), 33);
  panel.SetDefaultWidth(0);  // 0 means none
  EXPECT_EQ(panel.width(), 150);
  panel.ApplySkin();
  EXPECT_EQ(panel.size(), QSize(150, 33));
  EXPECT_TRUE(panel.RenderFace().isNull() == false);
  panel.SetBounds(0, 0, 0, 10);
  EXPECT_TRUE(panel.RenderFace().isNull());
}

TEST(ToolBar, ShowCaptionsSwitchesBetweenTheTwoWidths) {
  TtwSkinToolBar bar;
  bar.SetWidthWithCaptions(200);
  bar.SetWidthWithoutCaptions(80);
  bar.SetShowCaptions(true);
  EXPECT_EQ(bar.width(), 200);
  bar.SetShowCaptions(false);
  EXPECT_EQ(bar.width(), 80);
  bar.SetWidthWithoutCaptions(0);
  bar.SetShowCaptions(true);
  EXPECT_EQ(bar.width(), 80);
}

}  // namespace
