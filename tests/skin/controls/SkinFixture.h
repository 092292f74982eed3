#pragma once
// A small skin of our own for control tests: picture 0's pixel (x, y) is
// rgb(x, y, tag), so a face shows exactly which source pixel landed where;
// picture 1 is a mask with its top-left 3 x 3 corner cut away.
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <memory>

#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"

namespace twtest {

// Records: button (three-piece across, states stacked below), panel
// (nine-piece, tiled), groupbox (nine-piece with a caption that widens),
// label (three-piece), fixed (one piece with a mask), vsplitter (with a
// gripper), statusbar (nine-piece with a gripper), statuspanel, toolpanel,
// toolbutton, "odd" (a record of a non-piece class), resizebutton (the
// tool bar's scroll arrows: nine-piece, states stacked below).
inline const char kSkinText[] =
    "[VERSION]\r\nskinname=Fixture\r\n"
    "[PICTURES]\r\npicture=frame.bmp\r\ninactivepicture=\r\nmask=\r\n"
    "activepicturescount=2\r\n0=sheet.bmp\r\n1=mask.bmp\r\n"
    "[FORMINFO]\r\nclientrect=2,8,10,9\r\n"
    "[SKINCOLORS]\r\ncbtnface=15790320\r\ncbtntext=0\r\ncwindow=16777215\r\ncwindowtext=0\r\n"
    "chighlight=16711680\r\nchighlighttext=16777215\r\ncbtnhighlight=16777215\r\ncbtnshadow=8421504\r\n"
    "[SKINOBJECTS]\r\ncount=0\r\n"
    "[SKINCONTROLS]\r\ncount=12\r\n0=button:button\r\n1=panel:panel\r\n2=groupbox:panel\r\n3=label:label\r\n"
    "4=fixed:panel\r\n5=vsplitter:splitter\r\n6=statusbar:panel\r\n7=statuspanel:label\r\n8=toolpanel:panel\r\n"
    "9=toolbutton:button\r\n10=odd:stdlabel\r\n11=resizebutton:button\r\n"
    "[button]\r\npictureindex=0\r\nskinrect=0,0,20,10\r\nlefttoppoint=4,0\r\nrighttoppoint=16,0\r\n"
    "clientrect=4,2,16,8\r\nstretcheffect=1\r\nfontcolor=255\r\nactivefontcolor=65280\r\ndownfontcolor=16711680\r\n"
    "disabledfontcolor=255\r\nactiveskinrect=0,10,20,20\r\ndownskinrect=0,20,20,30\r\n"
    "disabledskinrect=0,30,20,40\r\nfocusedskinrect=0,40,20,50\r\n"
    "[toolbutton]\r\npictureindex=0\r\nskinrect=0,0,20,10\r\nlefttoppoint=4,2\r\nrighttoppoint=16,2\r\n"
    "leftbottompoint=4,8\r\nrightbottompoint=16,8\r\nclientrect=4,2,16,8\r\nstretcheffect=1\r\n"
    "activeskinrect=0,10,20,20\r\ndownskinrect=0,20,20,30\r\n"
    "[panel]\r\npictureindex=0\r\nskinrect=20,0,40,20\r\nlefttoppoint=3,3\r\nrighttoppoint=17,3\r\n"
    "leftbottompoint=3,17\r\nrightbottompoint=17,17\r\nclientrect=3,3,17,17\r\n"
    "[groupbox]\r\npictureindex=0\r\nskinrect=40,0,70,30\r\nlefttoppoint=4,12\r\nrighttoppoint=26,12\r\n"
    "leftbottompoint=4,26\r\nrightbottompoint=26,26\r\nclientrect=4,12,26,26\r\ncaptionrect=2,0,28,11\r\n"
    "alignment=taleftjustify\r\nfontcolor=255\r\n"
    "[label]\r\npictureindex=0\r\nskinrect=0,50,30,60\r\nlefttoppoint=5,0\r\nrighttoppoint=25,0\r\n"
    "clientrect=5,0,25,10\r\nstretcheffect=1\r\nfontcolor=255\r\n"
    "[fixed]\r\npictureindex=0\r\nmaskpictureindex=1\r\nskinrect=70,0,80,8\r\nclientrect=1,1,9,7\r\n"
    "[vsplitter]\r\npictureindex=0\r\nskinrect=80,0,85,20\r\nlefttoppoint=0,2\r\nleftbottompoint=0,18\r\n"
    "stretcheffect=1\r\ngripperrect=90,0,93,6\r\n"
    "[statusbar]\r\npictureindex=0\r\nskinrect=20,0,40,20\r\nlefttoppoint=3,3\r\nrighttoppoint=17,3\r\n"
    "leftbottompoint=3,17\r\nrightbottompoint=17,17\r\nclientrect=3,3,17,17\r\nstretcheffect=1\r\n"
    "gripperrect=90,10,96,16\r\n"
    "[statuspanel]\r\npictureindex=0\r\nskinrect=20,0,40,20\r\nlefttoppoint=3,3\r\nrighttoppoint=17,3\r\n"
    "leftbottompoint=3,17\r\nrightbottompoint=17,17\r\nclientrect=3,3,17,17\r\nstretcheffect=1\r\n"
    "[toolpanel]\r\npictureindex=0\r\nskinrect=20,0,40,20\r\nlefttoppoint=3,3\r\nrighttoppoint=17,3\r\n"
    "leftbottompoint=3,17\r\nrightbottompoint=17,17\r\nclientrect=3,3,17,17\r\nstretcheffect=1\r\n"
    "[odd]\r\nfontcolor=255\r\n"
    "[resizebutton]\r\npictureindex=0\r\nskinrect=0,0,20,10\r\nlefttoppoint=4,2\r\nrighttoppoint=16,2\r\n"
    "leftbottompoint=4,8\r\nrightbottompoint=16,8\r\nclientrect=4,2,16,8\r\nstretcheffect=1\r\n"
    "fontcolor=255\r\nactivefontcolor=65280\r\ndownfontcolor=16711680\r\n"
    "activeskinrect=0,10,20,20\r\ndownskinrect=0,20,20,30\r\n";

constexpr int kSheetTag = 200;

// Pixel (x, y) of picture 0 is rgb(x, y, tag).
inline QImage CodedSheet(int tag) {
  QImage img(100, 100, QImage::Format_RGB32);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) img.setPixel(x, y, qRgb(x, y, tag));
  return img;
}

// The source position a face pixel came from, or (-1, -1).
inline QPoint From(const QImage& face, int x, int y, int tag = kSheetTag) {
  const QRgb p = face.pixel(x, y);
  if (qBlue(p) != tag) return QPoint(-1, -1);
  return QPoint(qRed(p), qGreen(p));
}

// A loaded fixture skin; `tag` tells two skins' pictures apart.
class TFixtureSkin {
 public:
  // `from` -> `to` edits the description before it is loaded.
  explicit TFixtureSkin(int tag = kSheetTag, const QByteArray& from = {}, const QByteArray& to = {})
      : TFixtureSkin(tag, from.isEmpty() ? QList<QPair<QByteArray, QByteArray>>{}
                                         : QList<QPair<QByteArray, QByteArray>>{{from, to}}) {}
  // Each (from, to) edit in turn.
  TFixtureSkin(int tag, const QList<QPair<QByteArray, QByteArray>>& edits) {
    Save("frame.bmp", CodedSheet(tag).copy(0, 0, 12, 10));
    Save("sheet.bmp", CodedSheet(tag));
    QImage mask(10, 8, QImage::Format_RGB32);
    mask.fill(Qt::black);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) mask.setPixel(x, y, qRgb(255, 255, 255));
    Save("mask.bmp", mask);
    QByteArray text(kSkinText);
    for (const auto& [from, to] : edits) text.replace(from, to);
    Write("skin.ini", text);
    stored.LoadFromSkinFolder(dir_.filePath("skin.ini"));
    data.SetCompressedStoredSkin(&stored);
  }

  TtwCompressedStoredSkin stored;
  TtwSkinData data;

 private:
  void Save(const QString& name, const QImage& img) { img.save(dir_.filePath(name), "BMP"); }
  void Write(const QString& name, const QByteArray& bytes) {
    QFile f(dir_.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
  }
  QTemporaryDir dir_;
};

// Keeps the pointer away from every test window, so no test sees the
// enter events of a pointer an earlier test left behind.
inline void ParkPointer() { QCursor::setPos(-5000, -5000); }

}  // namespace twtest
