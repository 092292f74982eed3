// Glow layers: fading, alpha from the mask, and windows that never take input.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

#include "skin/draw/twLayerWindow.h"
#include "tests/skin/draw/DrawFixtures.h"

namespace {

QImage Filled(int w, int h, QRgb c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

std::vector<int> FadeToEnd(TtwLayerManager& m) {
  std::vector<int> seen;
  for (int i = 0; i < 300 && m.Fading(); ++i) {
    m.FadeTick();
    seen.push_back(m.CurrentOpacity());
  }
  return seen;
}

}  // namespace

TEST(GlowLayer, FadesInToTheTargetInTenthSteps) {
  drawtest::EnsureApp();
  TtwLayerManager m;
  m.ShowLayer(30, 40, 255, Filled(8, 6, qRgb(90, 90, 90)), Filled(8, 6, qRgb(255, 128, 0)));
  ASSERT_NE(m.Window(), nullptr);
  EXPECT_TRUE(m.Visible());
  EXPECT_TRUE(m.Window()->isVisible());
  EXPECT_EQ(m.Window()->geometry(), QRect(30, 40, 8, 6));
  EXPECT_EQ(m.CurrentOpacity(), 0);
  EXPECT_DOUBLE_EQ(m.Window()->windowOpacity(), 0.0);
  EXPECT_TRUE(m.Fading());
  EXPECT_EQ(FadeToEnd(m), (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 255}));
  EXPECT_FALSE(m.Fading());
  EXPECT_NEAR(m.Window()->windowOpacity(), 1.0, 0.01);
}

TEST(GlowLayer, SmallTargetsStillEnd) {
  drawtest::EnsureApp();
  // Below 10 the step would be 0: the fade jumps to the target in one tick.
  const struct {
    int target;
    size_t ticks;
  } cases[] = {{0, 1}, {1, 1}, {9, 1}, {10, 10}, {19, 19}, {100, 10}};
  for (const auto& c : cases) {
    TtwLayerManager m;
    m.ShowLayer(0, 0, c.target, Filled(2, 2, 0), Filled(2, 2, 0));
    const std::vector<int> seen = FadeToEnd(m);
    ASSERT_EQ(seen.size(), c.ticks) << c.target;
    EXPECT_FALSE(m.Fading()) << c.target;
    EXPECT_EQ(seen.back(), c.target);
  }
}

TEST(GlowLayer, PictureTakesItsAlphaFromTheMask) {
  drawtest::EnsureApp();
  QImage mask = Filled(3, 1, qRgb(0, 0, 0));
  mask.setPixel(1, 0, qRgb(30, 60, 91));
  mask.setPixel(2, 0, qRgb(255, 255, 255));
  TtwLayerManager m;
  m.ShowLayer(0, 0, 200, mask, Filled(3, 1, qRgb(255, 128, 0)));
  ASSERT_NE(m.Bitmap(), nullptr);
  EXPECT_EQ(m.Bitmap()->Pixel(0, 0), 0x00FF8000u);
  EXPECT_EQ(m.Bitmap()->Pixel(1, 0), 0x3CFF8000u);  // trunc(181 / 3) = 60
  EXPECT_EQ(m.Bitmap()->Pixel(2, 0), 0xFFFF8000u);
  EXPECT_EQ(m.Window()->Picture().pixel(1, 0), 0x3CFF8000u);
}

TEST(GlowLayer, WindowNeverTakesInputOrFocus) {
  drawtest::EnsureApp();
  TtwLayerManager m;
  m.ShowLayer(0, 0, 255, Filled(2, 2, 0), Filled(2, 2, 0));
  const Qt::WindowFlags f = m.Window()->windowFlags();
  EXPECT_TRUE(f & Qt::WindowTransparentForInput);
  EXPECT_TRUE(f & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(f & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(f & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(m.Window()->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_TRUE(m.Window()->testAttribute(Qt::WA_TranslucentBackground));

  TtwLayerManager low;
  low.TopMost = false;
  low.ShowLayer(0, 0, 255, Filled(2, 2, 0), Filled(2, 2, 0));
  EXPECT_FALSE(low.Window()->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(GlowLayer, ShowAgainStartsOverAndHideFreesEverything) {
  drawtest::EnsureApp();
  TtwLayerManager m;
  m.ShowLayer(0, 0, 255, Filled(2, 2, 0), Filled(2, 2, 0));
  FadeToEnd(m);
  QPointer<TtwLayerWindow> first = m.Window();
  m.ShowLayer(5, 5, 100, Filled(4, 4, 0), Filled(4, 4, 0));
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(m.CurrentOpacity(), 0);
  EXPECT_EQ(m.OpacityStep(), 10);
  EXPECT_TRUE(m.Fading());
  QPointer<TtwLayerWindow> second = m.Window();
  m.HideLayer();
  EXPECT_TRUE(second.isNull());
  EXPECT_FALSE(m.Visible());
  EXPECT_FALSE(m.Fading());
  EXPECT_EQ(m.Bitmap(), nullptr);
  m.FadeTick();  // a stray tick after hiding does nothing
  m.HideLayer();
}

TEST(GlowLayer, TheTimerRunsTheFadeEvery25Ms) {
  drawtest::EnsureApp();
  TtwLayerManager m;
  m.ShowLayer(0, 0, 50, Filled(2, 2, 0), Filled(2, 2, 0));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !m.Fading(); }, 2000));
  EXPECT_EQ(m.CurrentOpacity(), 50);
}
