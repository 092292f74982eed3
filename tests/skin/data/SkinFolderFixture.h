#pragma once
// Small skin folders written into a temporary directory, for tests that
// build packages from them.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "skin/data/twBmp.h"

namespace twtest {

// A w x h picture with a few distinct colours, so depth and palette matter.
inline QImage Pattern(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, ((x + y) % 3 == 0) ? 0xFF204080 : (x % 2 ? 0xFFFFFFFF : 0xFF000000));
  return img;
}

inline QList<QRgb> GreyTable(int n) {
  QList<QRgb> t;
  for (int i = 0; i < n; ++i) t.append(qRgb(i * 255 / (n - 1), i * 255 / (n - 1), i * 255 / (n - 1)));
  return t;
}

inline TtwBitmap MakeBitmap(int w, int h, int bits) {
  if (bits > 8) return TtwBitmap::FromImage(Pattern(w, h), bits);
  QList<QRgb> table = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0x20, 0x40, 0x80)};
  if (bits == 1) table.removeLast();
  return TtwBitmap::FromImage(Pattern(w, h), bits, table);
}

// A skin folder: skin.ini with the given text plus the pictures it names.
class TSkinFolder {
 public:
  TSkinFolder() = default;
  QString Path(const QString& name = {}) const { return dir_.path() + '/' + name; }
  void Write(const QString& name, const QByteArray& bytes) const {
    QFile f(Path(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
  }
  void Picture(const QString& name, int w, int h, int bits) const { Write(name, MakeBitmap(w, h, bits).ToBytes()); }

  // A valid minimal skin: frame picture, mask, two active pictures and one
  // control and one object record.
  QString Standard(const QByteArray& extraText = {}) const {
    Picture("frame.bmp", 12, 10, 24);
    Picture("mask.bmp", 12, 10, 8);
    Picture("a0.bmp", 8, 6, 24);
    Picture("a1.bmp", 5, 3, 1);
    Write("skin.ini", QByteArray("[VERSION]\r\nskinname=Test\r\n"
                                 "[PICTURES]\r\npicture=frame.bmp\r\ninactivepicture=\r\nmask=mask.bmp\r\n"
                                 "activepicturescount=2\r\n0=a0.bmp\r\n1=a1.bmp\r\n"
                                 "[FORMINFO]\r\nclientrect=2,8,10,9\r\n"
                                 "[SKINOBJECTS]\r\ncount=1\r\n0=closebutton:stdbutton\r\n"
                                 "[SKINCONTROLS]\r\ncount=1\r\n0=button:button\r\n"
                                 "[button]\r\npictureindex=0\r\nskinrect=0,0,8,6\r\n"
                                 "[closebutton]\r\ncommand=cmclose\r\n") +
                          extraText);
    return Path("skin.ini");
  }

 private:
  QTemporaryDir dir_;
};

}  // namespace twtest
