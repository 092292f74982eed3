// The tree's three pictures, drawn in code so they need no image files and
// stay crisp at 24 by 24 pixels.
#include "app/NoteImages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "skin/draw/twSystemColors.h"

namespace {

// Drawn on a half-pixel grid so 1-pixel outlines stay crisp at 24 by 24.
void DrawClosedFolder(QPainter& p) {
  const QColor edge(0xA8, 0x5A, 0x00);
  QPainterPath tab;
  tab.moveTo(2.5, 7.5);
  tab.lineTo(2.5, 5.0);
  tab.quadTo(2.5, 3.5, 4.0, 3.5);
  tab.lineTo(9.0, 3.5);
  tab.lineTo(11.0, 5.5);
  tab.lineTo(20.0, 5.5);
  tab.quadTo(21.5, 5.5, 21.5, 7.0);
  tab.lineTo(21.5, 8.5);
  p.setPen(QPen(edge, 1));
  p.setBrush(QColor(0xE8, 0x8A, 0x1C));
  p.drawPath(tab);

  QLinearGradient body(0, 7, 0, 21);
  body.setColorAt(0, QColor(0xFF, 0xC0, 0x5C));
  body.setColorAt(1, QColor(0xF0, 0x8C, 0x1A));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(1.5, 7.5, 21, 13), 1.5, 1.5);
  p.setPen(QPen(QColor(255, 230, 180, 200), 1));
  p.drawLine(QPointF(3, 9), QPointF(21, 9));
}

void DrawPage(QPainter& p) {
  const QColor edge(0x6B, 0x7A, 0x8C);
  QPainterPath page;
  page.moveTo(4.5, 1.5);
  page.lineTo(14.5, 1.5);
  page.lineTo(19.5, 6.5);
  page.lineTo(19.5, 22.5);
  page.lineTo(4.5, 22.5);
  page.closeSubpath();
  QLinearGradient face(0, 1, 0, 23);
  face.setColorAt(0, Qt::white);
  face.setColorAt(1, QColor(0xEE, 0xF2, 0xF7));
  p.setPen(QPen(edge, 1));
  p.setBrush(face);
  p.drawPath(page);

  QPainterPath fold;
  fold.moveTo(14.5, 1.5);
  fold.lineTo(14.5, 6.5);
  fold.lineTo(19.5, 6.5);
  p.setBrush(QColor(0xD5, 0xDD, 0xE8));
  p.drawPath(fold);

  p.fillRect(QRect(7, 5, 6, 1), QColor(0x4A, 0x6F, 0xA5));
  const QColor line(0x8A, 0x9A, 0xB0);
  for (int y : {9, 12, 15}) p.fillRect(QRect(7, y, 10, 1), line);
  p.fillRect(QRect(7, 18, 7, 1), line);
}

void DrawOpenFolder(QPainter& p) {
  const QColor edge(0xA8, 0x7A, 0x00);
  QPainterPath back;
  back.moveTo(1.5, 20.5);
  back.lineTo(1.5, 5.0);
  back.quadTo(1.5, 3.5, 3.0, 3.5);
  back.lineTo(8.0, 3.5);
  back.lineTo(10.0, 5.5);
  back.lineTo(18.0, 5.5);
  back.quadTo(19.5, 5.5, 19.5, 7.0);
  back.lineTo(19.5, 9.5);
  p.setPen(QPen(edge, 1));
  p.setBrush(QColor(0xE6, 0xB8, 0x1E));
  p.drawPath(back);

  // a sheet standing in the open folder
  p.setPen(QPen(QColor(0x9A, 0xA6, 0xB4), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 7.5, 13, 8));

  QPainterPath front;
  front.moveTo(1.5, 20.5);
  front.lineTo(5.0, 10.5);
  front.lineTo(22.5, 10.5);
  front.lineTo(19.0, 20.5);
  front.closeSubpath();
  QLinearGradient face(0, 10, 0, 21);
  face.setColorAt(0, QColor(0xFF, 0xE8, 0x7A));
  face.setColorAt(1, QColor(0xF7, 0xC8, 0x2A));
  p.setPen(QPen(edge, 1));
  p.setBrush(face);
  p.drawPath(front);
}

}  // namespace

QImage NoteImage(int index) {
  QImage image(kNoteImageSize, kNoteImageSize, QImage::Format_RGB32);
  image.fill(ColorToQ(kNoteImagesBackground));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  switch (index) {
    case niCategory: DrawClosedFolder(p); break;
    case niNote: DrawPage(p); break;
    case niSelected: DrawOpenFolder(p); break;
    default: break;
  }
  return image;
}

QList<QImage> NoteImages() { return {NoteImage(niCategory), NoteImage(niNote), NoteImage(niSelected)}; }
