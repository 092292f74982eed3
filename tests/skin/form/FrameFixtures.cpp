// Builds the fixture skin's package; apart from the header so that tests
// may also include the drawing library, whose bitmap class shares a name
// with the package's.
#include "FrameFixtures.h"

#include "skin/data/twBmp.h"
#include "skin/data/twSkinPackage.h"

namespace twtest {

FixtureSkin::FixtureSkin(bool withMask, const QByteArray& extra, const QByteArray& closeExtra,
                         const QList<QImage>& morePictures) {
  TtwSkinPackage p;
  p.Picture = TtwBitmap::FromImage(CoordinatePicture(20, 16), 24);
  if (withMask) p.Mask = TtwBitmap::FromImage(CutCornerMask(20, 16), 24);
  QImage buttons(12, 4, QImage::Format_RGB32);
  buttons.fill(qRgb(200, 0, 0));
  p.ActivePictures.append(TtwBitmap::FromImage(buttons, 24));
  for (const QImage& more : morePictures) p.ActivePictures.append(TtwBitmap::FromImage(more, 24));
  QByteArray text = FixtureDescription(extra, closeExtra);
  QByteArray names;
  for (int i = 1; i <= morePictures.size(); ++i)
    names += QByteArray::number(i) + "=more" + QByteArray::number(i) + ".bmp\r\n";
  text.replace("activepicturescount=1\r\n0=buttons.bmp\r\n",
               "activepicturescount=" + QByteArray::number(1 + morePictures.size()) + "\r\n0=buttons.bmp\r\n" + names);
  p.Text = text;
  stored.SetCompressedData(TwCompressSkinPackage(p.Write()));
  data.SetCompressedStoredSkin(&stored);
}

}  // namespace twtest
