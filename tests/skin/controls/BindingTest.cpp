// Binding controls to the records of a loaded skin.
#include "QtApp.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinPanels.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skins/BuiltinSkin.h"

namespace {

struct LoadedSkin {
  TtwCompressedStoredSkin stored;
  TtwSkinData data;
  LoadedSkin() {
    stored.SetCompressedData(BuiltinSkinPackage());
    data.SetCompressedStoredSkin(&stored);
  }
};

TEST(Binding, RecordIsFoundByExactNameAndLookedUpAgainOnEveryPaint) {
  LoadedSkin skin;
  ASSERT_FALSE(skin.data.Empty());
  QWidget parent;
  auto* b = new TtwSkinButton(&parent);
  b->SetBounds(0, 0, 96, 25);
  b->SetSkinData(&skin.data);
  EXPECT_EQ(b->RecordIndex(), skin.data.FindControlIndex(QStringLiteral("button")));
  EXPECT_NE(b->RecordIndex(), -1);

  b->SetSkinDataName(QStringLiteral("Button"));  // letter case counts
  EXPECT_NE(b->RecordIndex(), -1);               // takes effect at the next lookup
  b->RenderFace();
  EXPECT_EQ(b->RecordIndex(), -1);

  b->SetSkinDataName(QStringLiteral("button"));
  b->RenderFace();
  EXPECT_NE(b->RecordIndex(), -1);
  b->ForgetSkinRecord();
  EXPECT_EQ(b->RecordIndex(), -1);

  skin.data.ClearSkin();  // an emptied skin unbinds at the next paint
  b->RenderFace();
  EXPECT_EQ(b->RecordIndex(), -1);
}

TEST(Binding, BoundPanelsTakeAnySizeAndDrawTheirNinePiece) {
  LoadedSkin skin;
  TtwSkinPanel panel;
  panel.SetBounds(0, 0, 20, 10);
  panel.SetSkinData(&skin.data);
  EXPECT_NE(panel.RecordIndex(), -1);
  panel.SetBounds(0, 0, 40, 30);
  EXPECT_EQ(panel.size(), QSize(40, 30));
  const QImage img = panel.RenderFace();
  const QImage& sheet = skin.data.ActivePictures()[4];  // the panel piece sits at 0,0
  EXPECT_EQ(img.pixel(0, 0), sheet.pixel(0, 0) | 0xFF000000u);
  EXPECT_EQ(img.pixel(39, 29), sheet.pixel(39, 39) | 0xFF000000u);
  EXPECT_EQ(panel.AlignClientRect(), QRect(1, 1, 38, 28));
}

TEST(Binding, EmptySkinDataDoesNotBind) {
  TtwSkinData empty;
  ASSERT_TRUE(empty.Empty());
  TtwSkinPanel panel;
  panel.SetSkinData(&empty);
  panel.ApplySkin();
  EXPECT_EQ(panel.RecordIndex(), -1);
  EXPECT_EQ(panel.SkinData(), &empty);
}

}  // namespace

namespace {

TEST(Binding, DisabledSpeedButtonShowsTheDisabledPiece) {
  LoadedSkin skin;
  TtwSkinToolBar parent;
  parent.SetSkinData(&skin.data);
  parent.SetBounds(0, 0, 300, 30);
  auto* b = new TtwSkinSpeedButton(&parent);
  b->SetSkinData(&skin.data);
  b->SetCaption(QStringLiteral("Disabled"));
  b->SetBounds(0, 0, 70, 25);
  b->SetUseSkinSize(false);
  b->SetEnabled(false);
  parent.show();
  const QImage face = b->RenderFace();
  const QImage& sheet = skin.data.ActivePictures()[0];
  EXPECT_EQ(b->ButtonSkin().disabledskinrect, (TRect{0, 150, 25, 175}));
  EXPECT_EQ(face.pixel(0, 12), sheet.pixel(0, 162) | 0xFF000000u);
}

}  // namespace

namespace {

// The main window's count panel: its whole text shows at any count.
TEST(Binding, AutoSizedStatusPanelShowsTheWholeCountSkinnedOrNot) {
  LoadedSkin skin;
  for (bool skinned : {false, true}) {
    SCOPED_TRACE(skinned);
    QWidget bar;
    auto* p = new TtwSkinStatusPanel(&bar);
    if (skinned) p->SetSkinData(&skin.data);
    p->SetBounds(0, 0, 120, 48);
    p->SetAlign(TAlign::alLeft);
    p->SetAutoSize(true);
    for (const char* count : {"8", "1234", "9999999"}) {
      p->SetCaption(QStringLiteral("现共有记录: ") + QLatin1String(count) + QStringLiteral(" 个"));
      const QFont font = skinned ? TwSkinFont(QStringLiteral("Arial"), 14, 0) : p->DefaultFont();
      const int text = QFontMetrics(font).horizontalAdvance(p->Caption());
      const int room = skinned ? p->Geometry().FitClientRect.Width() : p->width() - 6;
      EXPECT_GE(room, text) << count;
    }
  }
}

}  // namespace
