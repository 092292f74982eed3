#pragma once
// Small pictures whose pixels name their own position, so a composed target
// shows exactly which source pixel each of its pixels came from.
#include <QImage>
#include <QPoint>
#include <QString>
#include <cstring>
#include <initializer_list>

#include "skin/data/twTypes.h"

namespace drawtest {

constexpr int kTag = 200;

// Pixel (x, y) is rgb(x, y, 200).
inline QImage Coded(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x, y, kTag));
  return img;
}

// The source position a target pixel came from, or (-1, -1) for an unpainted one.
inline QPoint From(const QImage& img, int x, int y) {
  const QRgb p = img.pixel(x, y);
  if (qBlue(p) != kTag) return QPoint(-1, -1);
  return QPoint(qRed(p), qGreen(p));
}

// Rows of '#' (inside, black) and '.' (outside, white).
inline QImage Mask(std::initializer_list<const char*> rows) {
  const int h = int(rows.size());
  const int w = h ? int(strlen(*rows.begin())) : 0;
  QImage img(w, h, QImage::Format_RGB32);
  int y = 0;
  for (const char* r : rows) {
    for (int x = 0; x < w; ++x) img.setPixel(x, y, r[x] == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    ++y;
  }
  return img;
}

// Pixels of one colour drawn as '#', others '.', row by row joined by '|'.
inline QString Art(const QImage& img, QRgb ink) {
  QString s;
  for (int y = 0; y < img.height(); ++y) {
    if (y) s += '|';
    for (int x = 0; x < img.width(); ++x) s += (img.pixel(x, y) & 0xFFFFFF) == (ink & 0xFFFFFF) ? '#' : '.';
  }
  return s;
}

}  // namespace drawtest

#include <QApplication>

namespace drawtest {
// Text, fonts and widgets need an application object.
inline void EnsureApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "drawtest";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}
}  // namespace drawtest
