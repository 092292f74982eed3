// The frame component's settings and where it may be placed.
#include "../controls/QtApp.h"
#include "platform/Errors.h"
#include "platform/Form.h"
#include "skin/form/twSkinForm.h"

namespace {

TEST(SkinForm, OnlyAFormCanCarryIt) {
  QObject notAForm;
  EXPECT_THROW(TtwSkinForm{&notAForm}, EError);
  EXPECT_THROW(TtwSkinForm{nullptr}, EError);
  TForm form;
  auto* frame = new TtwSkinForm(&form);
  EXPECT_EQ(frame->Form(), &form);
  EXPECT_EQ(frame->parent(), &form);
}

TEST(SkinForm, SettingsStartAtTheirDefaults) {
  TForm form;
  TtwSkinForm f(&form);
  EXPECT_EQ(f.BorderIcons, biSystemMenu | biMinimize | biMaximize | biRollUp);
  EXPECT_EQ(f.AlphaBlendValue, 200);
  EXPECT_EQ(f.MenusAlphaBlendValue, 200);
  EXPECT_EQ(f.MagneticSize, 5);
  EXPECT_TRUE(f.UseDefaultSysMenu);
  EXPECT_TRUE(f.UseDefaultObjectHint);
  EXPECT_FALSE(f.ShowIcon);
  EXPECT_EQ(f.DefCaptionFont.family(), QStringLiteral("Arial"));
  EXPECT_TRUE(f.DefCaptionFont.bold());
  EXPECT_EQ(f.DefCaptionFont.pixelSize(), 14);
  EXPECT_EQ(f.SkinData, nullptr);
}

}  // namespace
