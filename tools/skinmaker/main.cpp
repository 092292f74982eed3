// tarnwick-skinmaker: draws the built-in skin and writes its folder.
//   tarnwick-skinmaker <skin folder> [<preview folder>]
// The preview folder receives PNG copies of every picture, 4x enlargements
// and mock-ups of a window at a few sizes.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "skin/data/twBmp.h"
#include "skin/data/twSkinIni.h"
#include "tools/skinmaker/Art.h"
#include "tools/skinmaker/Description.h"
#include "tools/skinmaker/Layout.h"
#include "tools/skinmaker/Mockup.h"

using namespace skinmaker;

namespace {

QList<QRgb> GreyTable(int entries) {
  QList<QRgb> t;
  for (int i = 0; i < entries; ++i) {
    const int v = entries == 1 ? 0 : i * 255 / (entries - 1);
    t.append(qRgb(v, v, v));
  }
  return t;
}

void WriteBmp(const QString& path, const QImage& img, int bits, QList<QRgb> table = {}) {
  QImage src = img;
  if (bits <= 8) src = img.convertToFormat(QImage::Format_RGB32);
  if (bits <= 8 && table.isEmpty()) table = GreyTable(1 << bits);
  const TtwBitmap bmp = bits <= 8 ? TtwBitmap::FromImage(src, bits, table)
                                  : TtwBitmap::FromImage(src.convertToFormat(QImage::Format_RGB32), bits);
  bmp.SaveToFile(path);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);  // fonts for the previews
  if (argc < 2) {
    std::fprintf(stderr, "usage: tarnwick-skinmaker <skin folder> [<preview folder>]\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.path())) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  SkinPictures pics{DrawFrame(), DrawFrameMask(),
                    {DrawButtons(), DrawSysMenu(), DrawGlow(), DrawCaptionButtons(), DrawControls(), DrawMenus(),
                     DrawGlowMask(), DrawSysMenuMask()}};
  const int depth[] = {24, 24, 24, 24, 24, 24, 4, 1};
  try {
    WriteBmp(out.filePath(kFrameFile), pics.frame, 24);
    WriteBmp(out.filePath(kMaskFile), pics.mask, 8);
    for (int i = 0; i < pics.active.size(); ++i)
      WriteBmp(out.filePath(kActiveFiles[i]), pics.active[i], depth[i], i == 6 ? GlowMaskTable() : QList<QRgb>());
  } catch (const EError& e) {
    std::fprintf(stderr, "cannot write a picture: %s\n", e.what());
    return 1;
  }
  const QByteArray text = DescriptionText(BuildDescription());
  if (!WriteFile(out.filePath("skin.ini"), text)) {
    std::fprintf(stderr, "cannot write skin.ini\n");
    return 1;
  }

  if (argc >= 3) {
    const QDir prev(QString::fromLocal8Bit(argv[2]));
    const TtwSkinIni ini = TtwSkinIni::FromText(QString::fromUtf8(text));
    QDir().mkpath(prev.path());
    auto save = [&](const QString& name, const QImage& img) {
      img.save(prev.filePath(name + ".png"));
      img.scaled(img.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(prev.filePath(name + "@4x.png"));
    };
    save("frame", pics.frame);
    save("mask", pics.mask);
    for (int i = 0; i < pics.active.size(); ++i) save(QString("%1-%2").arg(i).arg(kActiveFiles[i].chopped(4)), pics.active[i]);
    auto crop = [&](const QString& name, const QImage& img, QRect r, int k) {
      const QImage c = img.copy(r);
      c.scaled(c.size() * k, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(prev.filePath(name + ".png"));
    };
    crop("frame-left@8x", pics.frame, QRect(0, 0, 44, 34), 8);
    crop("frame-right@8x", pics.frame, QRect(kFrameW - 44, 0, 44, 34), 8);
    crop("frame-bottom@8x", pics.frame, QRect(0, kFrameH - 20, 44, 20), 8);
    MockWindow(800, 500, pics, ini, true).save(prev.filePath("mock-800x500.png"));
    MockWindow(800, 500, pics, ini, false).save(prev.filePath("mock-800x500-inactive.png"));
    MockWindow(1100, 680, pics, ini, true).save(prev.filePath("mock-1100x680.png"));
    MockWindow(480, 360, pics, ini, true).save(prev.filePath("mock-480x360.png"));
    const QImage m = MockWindow(800, 500, pics, ini, true).copy(0, 0, 260, 120);
    m.scaled(m.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(prev.filePath("mock-corner@4x.png"));
    const QImage r = MockWindow(800, 500, pics, ini, true).copy(800 - 180, 0, 180, 40);
    r.scaled(r.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(prev.filePath("mock-buttons@4x.png"));
  }
  return 0;
}
