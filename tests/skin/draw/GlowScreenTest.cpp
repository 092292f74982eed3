// On a real X server with a compositor: a glow frame over a window blends
// with what lies under it, and clicking it leaves the focus where it was.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QDir>
#include <QFile>
#include <QTest>

#include "skin/draw/twLayerWindow.h"
#include "tests/skin/draw/DrawFixtures.h"

namespace {

class Backdrop : public QWidget {
 public:
  Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint) {}
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(200, 200, 200));
    p.fillRect(QRect(150, 120, 100, 40), QColor(30, 40, 120));  // the "button"
  }
};

// A soft ring: white where the glow is strongest, fading out to black.
QImage GlowMask(int w, int h, int inset) {
  TtwBitmap32 ring(w, h);
  ring.Image().fill(0xFF000000u);
  {
    QPainter p(&ring.Image());
    p.setPen(QPen(Qt::white, 6));
    p.drawRoundedRect(QRect(inset, inset, w - 2 * inset, h - 2 * inset), 8, 8);
  }
  ring.StackBlur(5);
  return ring.Image().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(GlowScreen, GlowFrameBlendsOverTheWindowBelow) {
  drawtest::EnsureApp();
  Backdrop back;
  back.setGeometry(100, 100, 400, 300);
  QLineEdit edit(&back);
  edit.setGeometry(10, 10, 120, 24);
  back.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&back));
  back.activateWindow();
  edit.setFocus();
  QTest::qWait(200);
  QWidget* const focusBefore = QApplication::focusWidget();

  // The button is at (250, 220)-(350, 260) on screen; the glow reaches 20 px beyond it.
  const QRect glowAt(230, 200, 140, 80);
  QImage picture(glowAt.size(), QImage::Format_RGB32);
  picture.fill(qRgb(255, 140, 0));
  TtwLayerManager glow;
  glow.ShowLayer(glowAt.x(), glowAt.y(), 255, GlowMask(glowAt.width(), glowAt.height(), 14), picture);
  while (glow.Fading()) glow.FadeTick();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(glow.Window()));
  QTest::qWait(600);  // let the compositor catch up

  // A real click on the glow goes through to the window below.
  QProcess::execute("xdotool", {"mousemove", "300", "206", "click", "1"});
  QTest::qWait(300);
  EXPECT_NE(QApplication::activeWindow(), glow.Window());
  EXPECT_EQ(QApplication::focusWidget(), focusBefore);

  const QString shot = QDir::current().absoluteFilePath("glow-screenshot.png");
  QFile::remove(shot);
  ASSERT_EQ(QProcess::execute("import", {"-window", "root", shot}), 0);
  QImage screen(shot);
  ASSERT_FALSE(screen.isNull());
  // Far from the glow: the plain window; on the ring: orange over grey.
  EXPECT_EQ(screen.pixel(150, 350) & 0xFFFFFF, 0xC8C8C8u);
  const QRgb ring = screen.pixel(300, glowAt.y() + 17);
  EXPECT_GT(qRed(ring), 200) << std::hex << ring;
  EXPECT_LT(qBlue(ring), 150) << std::hex << ring;
  // Outside the picture nothing changes.
  EXPECT_EQ(screen.pixel(glowAt.x() - 3, glowAt.y() - 3) & 0xFFFFFF, 0xC8C8C8u);
  glow.HideLayer();
}
