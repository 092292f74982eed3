#pragma once
// Small skins of our own for frame tests: a 20 x 16 frame picture whose
// pixels encode their own coordinates, a mask with cut top corners, one
// caption button and a caption.
#include <QImage>
#include <QList>
#include <memory>

#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"

namespace twtest {

// Red = x * 10, green = y * 10: a pixel tells where it came from.
inline QImage CoordinatePicture(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 10, y * 10, 77));
  return img;
}

// Black inside; the two top corners are cut by a one-pixel step.
inline QImage CutCornerMask(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::black);
  for (QPoint p : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(w - 1, 0), QPoint(w - 2, 0), QPoint(w - 1, 1)})
    img.setPixel(p, qRgb(255, 255, 255));
  return img;
}

// extra goes into the caption's section, closeExtra into the close button's.
inline QByteArray FixtureDescription(const QByteArray& extra = {}, const QByteArray& closeExtra = {}) {
  return QByteArray(
             "[VERSION]\r\nskinname=Fixture\r\n"
             "[PICTURES]\r\npicture=frame.bmp\r\ninactivepicture=\r\nmask=mask.bmp\r\n"
             "activepicturescount=1\r\n0=buttons.bmp\r\n"
             "[FORMINFO]\r\nlefttoppoint=5,8\r\nrighttoppoint=15,8\r\nleftbottompoint=5,11\r\n"
             "rightbottompoint=15,11\r\nclientrect=3,6,17,13\r\nmaskrectarea=2,2,18,14\r\n"
             "hittestlefttoppoint=4,4\r\nhittestrighttoppoint=15,4\r\nhittestleftbottompoint=4,12\r\n"
             "hittestrightbottompoint=15,12\r\ncaptionrect=3,1,17,6\r\nbuttonsrect=0,0,0,0\r\n"
             "buttonsoffset=1\r\nborderwidth=2\r\nformminwidth=0\r\n"
             "leftstretch=1\r\nrightstretch=1\r\ntopstretch=1\r\nbottomstretch=1\r\n"
             "[SKINOBJECTS]\r\ncount=2\r\n0=closebutton:stdbutton\r\n1=caption:caption\r\n"
             "[SKINCONTROLS]\r\ncount=0\r\n"
             "[closebutton]\r\nskinrectinapicture=1\r\nactivepictureindex=0\r\nskinrect=0,0,4,4\r\n"
             "activeskinrect=4,0,8,4\r\ndownrect=8,0,12,4\r\ncommand=cmclose\r\n" +
         closeExtra +
         "[caption]\r\nskinrectinapicture=0\r\nskinrect=3,1,17,6\r\ntextrect=0,0,14,5\r\nfontheight=4\r\n") +
         extra;
}

// A loaded fixture skin; withMask false leaves the window rectangular.
// morePictures follow the buttons picture (active picture 0) as 1, 2, ...
struct FixtureSkin {
  TtwCompressedStoredSkin stored;
  TtwSkinData data;
  explicit FixtureSkin(bool withMask = true, const QByteArray& extra = {}, const QByteArray& closeExtra = {},
                       const QList<QImage>& morePictures = {});
};

}  // namespace twtest
