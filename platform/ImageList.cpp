// A list of same-sized pictures drawn by index, greyed when disabled.
#include "platform/ImageList.h"

#include <QPainter>

TImageList::TImageList(QObject* owner, int width, int height)
    : QObject(owner), width_(width), height_(height) {}

void TImageList::SetWidth(int w) {
  if (w == width_ || w <= 0) return;
  width_ = w;
  Clear();  // the pictures no longer fit
}

void TImageList::SetHeight(int h) {
  if (h == height_ || h <= 0) return;
  height_ = h;
  Clear();
}

static QPixmap Fit(const QPixmap& p, int w, int h) {
  if (p.isNull() || (p.width() == w && p.height() == h)) return p;
  return p.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int TImageList::Add(const QPixmap& picture) {
  images_.append(Fit(picture, width_, height_));
  emit Changed();
  return Count() - 1;
}

void TImageList::Replace(int index, const QPixmap& picture) {
  if (!Has(index)) return;
  images_[index] = Fit(picture, width_, height_);
  emit Changed();
}

void TImageList::Delete(int index) {
  if (!Has(index)) return;
  images_.removeAt(index);
  emit Changed();
}

void TImageList::Clear() {
  if (images_.isEmpty()) return;
  images_.clear();
  emit Changed();
}

QPixmap TImageList::Pixmap(int index) const { return Has(index) ? images_[index] : QPixmap(); }

void TImageList::Draw(QPainter& p, int x, int y, int index, bool enabled) const {
  if (!Has(index)) return;
  if (enabled) {
    p.drawPixmap(x, y, images_[index]);
    return;
  }
  // Greyed: luminance only, lightened towards the background.
  QImage img = images_[index].toImage().convertToFormat(QImage::Format_ARGB32);
  for (int yy = 0; yy < img.height(); ++yy) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(yy));
    for (int xx = 0; xx < img.width(); ++xx) {
      const QRgb c = line[xx];
      const int g = (qGray(c) + 2 * 255) / 3;
      line[xx] = qRgba(g, g, g, qAlpha(c));
    }
  }
  p.drawImage(x, y, img);
}
