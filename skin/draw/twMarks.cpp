// Colours, small marks, 3-D frames, the look under a control and monitor areas.
#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "skin/draw/twSystemColors.h"
#include "skin/draw/twUtils.h"

namespace {

void Fill(QPainter& Canvas, int x, int y, int w, int h, const QColor& c) {
  if (w > 0 && h > 0) Canvas.fillRect(QRect(x, y, w, h), c);
}

}  // namespace

TColor ColorToRGB(TColor c) {
  if ((c >> 24) != 0xFF) return c & 0x00FFFFFFu;
  const QColor q = SystemColor(int(c & 0xFF));
  return TColor(q.red()) | (TColor(q.green()) << 8) | (TColor(q.blue()) << 16);
}

TColor ShadeColor(TColor c0, int Percent) {
  const TColor c = ColorToRGB(c0);
  auto shade = [Percent](int v) {
    const int s = v - int(std::nearbyint(v * Percent / 100.0));
    return TColor(std::clamp(s, 0, 255));
  };
  return shade(int(c & 0xFF)) | (shade(int((c >> 8) & 0xFF)) << 8) | (shade(int((c >> 16) & 0xFF)) << 16);
}

void DrawDropMark(QPainter& Canvas, const TRect& R, TColor c) {
  const QColor q = ColorToQ(c);
  const int cx = R.Left + R.Width() / 2, cy = R.Top + R.Height() / 2;
  for (int i = 0; i < 3; ++i) Fill(Canvas, cx - (2 - i), cy + i, 5 - 2 * i, 1, q);
}

void DrawArrowMark(QPainter& Canvas, const TRect& R, TColor c, int Direction) {
  const QColor q = ColorToQ(c);
  const int cx = R.Left + R.Width() / 2, cy = R.Top + R.Height() / 2;
  for (int i = 0; i < 4; ++i) {
    switch (Direction) {
      case 1: Fill(Canvas, cx - 2 + i, cy - i, 1, 2 * i + 1, q); break;
      case 2: Fill(Canvas, cx - 1 + i, cy - (3 - i), 1, 7 - 2 * i, q); break;
      case 3: Fill(Canvas, cx - i, cy - 2 + i, 2 * i + 1, 1, q); break;
      case 4: Fill(Canvas, cx - (3 - i), cy - 1 + i, 7 - 2 * i, 1, q); break;
      default: return;
    }
  }
}

void DrawCheckMark(QPainter& Canvas, int x, int y, TColor c) {
  const QColor q = ColorToQ(c);
  // Two diagonal strokes; like a pen line, each leaves out its end point.
  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < 2; ++k) Fill(Canvas, x + k, y + 5 - i + k, 1, 1, q);
    for (int k = 0; k < 5; ++k) Fill(Canvas, x + 2 + k, y + 7 - i - k, 1, 1, q);
  }
}

void DrawFrame3D(QPainter& Canvas, const TRect& R, TColor Light, TColor Dark) {
  const int l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;
  if (r < l || b < t) return;
  const QColor lc = ColorToQ(Light), dc = ColorToQ(Dark);
  Fill(Canvas, l, t, r - l, 1, lc);
  Fill(Canvas, l, t, 1, b - t, lc);
  Fill(Canvas, r, t, 1, b - t + 1, dc);
  Fill(Canvas, l, b, r - l + 1, 1, dc);
}

void PaintUnderlay(QWidget* Control, QPainter& Canvas) {
  if (!Control) return;
  QWidget* parent = Control->parentWidget();
  if (!parent) return;
  const QPoint origin = Control->pos();
  // Widgets painting a copy of themselves for a child can tell by this flag.
  parent->setProperty("twPaintingCopy", true);
  Canvas.save();
  Canvas.translate(-origin);
  Canvas.setClipRect(QRect(QPoint(0, 0), parent->size()), Qt::IntersectClip);
  Canvas.fillRect(QRect(origin, Control->size()), parent->palette().brush(parent->backgroundRole()));
  // A skinned window paints its own client background (the skin's colour or
  // picture), which the palette does not know: let it paint the piece too.
  parent->render(&Canvas, origin, QRegion(QRect(origin, Control->size())), QWidget::DrawWindowBackground);
  Canvas.restore();
  parent->setProperty("twPaintingCopy", QVariant());

  const QRect bounds = Control->geometry();
  for (QObject* o : parent->children()) {
    if (o == Control) break;
    QWidget* sib = qobject_cast<QWidget*>(o);
    if (!sib || sib->isWindow() || !sib->isVisible() || !sib->geometry().intersects(bounds)) continue;
    sib->setProperty("twPaintingCopy", true);
    Canvas.save();
    const QPoint at = sib->pos() - origin;
    Canvas.translate(at);
    Canvas.setClipRect(QRect(QPoint(0, 0), sib->size()), Qt::IntersectClip);
    sib->render(&Canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    Canvas.restore();
    sib->setProperty("twPaintingCopy", QVariant());
  }
}

TRect GetMonitorArea(const QWidget* Window, bool WorkArea) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  QScreen* screen = nullptr;
  if (screens.size() > 1 && Window) {
    screen = QGuiApplication::screenAt(Window->frameGeometry().center());
    if (!screen) screen = Window->screen();
  }
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return TRect{};
  if (screens.size() > 1) return TRect::FromQ(WorkArea ? screen->availableGeometry() : screen->geometry());
  if (WorkArea) return TRect::FromQ(screen->availableGeometry());
  return TRect{0, 0, screen->geometry().width(), screen->geometry().height()};
}
