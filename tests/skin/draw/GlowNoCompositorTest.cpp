// On a real X server without a compositing manager a translucent window would
// show black where it should be see-through: no glow frame is shown then, and
// glow frames come back as soon as a compositor runs.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include "skin/draw/twLayerWindow.h"
#include "tests/skin/draw/DrawFixtures.h"

namespace {

bool WaitFor(bool want) {
  QElapsedTimer t;
  t.start();
  while (TtwLayerManager::LayeredSupported() != want && t.elapsed() < 5000) QTest::qWait(50);
  return TtwLayerManager::LayeredSupported() == want;
}

void ShowGlow(TtwLayerManager& glow) {
  QImage picture(60, 40, QImage::Format_RGB32), mask(60, 40, QImage::Format_RGB32);
  picture.fill(qRgb(255, 140, 0));
  mask.fill(qRgb(128, 128, 128));
  glow.ShowLayer(100, 100, 255, mask, picture);
}

}  // namespace

TEST(GlowWithoutCompositor, NoGlowWindowUntilACompositorRuns) {
  drawtest::EnsureApp();
  ASSERT_TRUE(WaitFor(false)) << "a compositor already runs on this display";
  TtwLayerManager glow;
  ShowGlow(glow);
  EXPECT_EQ(glow.Window(), nullptr);

  QProcess compositor;
  compositor.start(QStringLiteral("xcompmgr"), {});
  ASSERT_TRUE(compositor.waitForStarted());
  ASSERT_TRUE(WaitFor(true));
  ShowGlow(glow);
  ASSERT_NE(glow.Window(), nullptr);
  EXPECT_TRUE(QTest::qWaitForWindowExposed(glow.Window()));
  glow.HideLayer();

  compositor.kill();
  compositor.waitForFinished();
  EXPECT_TRUE(WaitFor(false));
}
