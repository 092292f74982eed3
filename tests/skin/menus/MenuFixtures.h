#pragma once
// Shared pieces of the menu and hint tests: one QApplication with a fixed
// palette, a small fixture skin of flat colours, and fixture menus.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPalette>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "platform/Message.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/draw/twUtils.h"
#include "skin/menus/twSkinMenuItem.h"

namespace twtest {

// Fixed system colours, so pixel checks do not depend on the machine.
inline QPalette FixedPalette() {
  QPalette p;
  p.setColor(QPalette::Button, QColor(0xC0, 0xC0, 0xC0));
  p.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xFF));
  p.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
  p.setColor(QPalette::Text, QColor(0, 0, 0));
  p.setColor(QPalette::ButtonText, QColor(0, 0, 0));
  p.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Light, QColor(0xFF, 0xFF, 0xFF));
  p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
  p.setColor(QPalette::ToolTipText, QColor(0, 0, 0));
  return p;
}

// A system colour as the pixels default looks paint with it.
inline QRgb Sys(TColor c) { return ColorToQ(c).rgb(); }

class MenuAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QApplication::instance()) {
      static int argc = 1;
      static char name[] = "menutest";
      static char* argv[] = {name, nullptr};
      new QApplication(argc, argv);
    }
    QApplication::setPalette(FixedPalette());
  }
};
inline const bool kMenuAppRegistered = (::testing::AddGlobalTestEnvironment(new MenuAppEnvironment), true);

// Colours of the fixture skin (0xAARRGGBB).
inline constexpr QRgb kFrameColour = 0xFF203040;
inline constexpr QRgb kCentreColour = 0xFFF8F8F8;
inline constexpr QRgb kItemColour = 0xFFE0E0E0;
inline constexpr QRgb kActiveColour = 0xFF3060C0;
inline constexpr QRgb kDividerColour = 0xFF808080;

inline void FillRect(QImage& img, int l, int t, int r, int b, QRgb c) {
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) img.setPixel(x, y, c);
}

// A skin folder with a 40 x 60 popup picture (2-pixel frame) and 30-pixel
// menu-item pieces: normal 18 high, active 18 high, divider 4 high.
class TMenuSkinFolder {
 public:
  explicit TMenuSkinFolder(const QByteArray& itemExtra = {}) {
    QImage frame(12, 10, QImage::Format_RGB32);
    frame.fill(0xFF000000);
    frame.save(Path("frame.bmp"), "BMP");
    QImage window(40, 60, QImage::Format_RGB32);
    window.fill(kFrameColour);
    FillRect(window, 2, 2, 38, 58, kCentreColour);
    window.save(Path("window.bmp"), "BMP");
    QImage items(120, 40, QImage::Format_RGB32);
    items.fill(kItemColour);
    FillRect(items, 0, 18, 30, 36, kActiveColour);
    FillRect(items, 0, 36, 30, 40, kDividerColour);
    // Four animation frames side by side, each its own shade of red.
    for (int k = 0; k < 4; ++k) FillRect(items, 30 + 20 * k, 0, 50 + 20 * k, 18, qRgb(0x40 * (k + 1) - 1, 0, 0));
    items.save(Path("items.bmp"), "BMP");
    QByteArray ini =
        "[VERSION]\r\nskinname=MenuFixture\r\n"
        "[PICTURES]\r\npicture=frame.bmp\r\ninactivepicture=\r\nmask=\r\n"
        "activepicturescount=2\r\n0=window.bmp\r\n1=items.bmp\r\n"
        "[FORMINFO]\r\nclientrect=2,8,10,9\r\n"
        "[POPUPWINDOW]\r\nwindowpictureindex=0\r\nmaskpictureindex=-1\r\nlefttoppoint=2,2\r\n"
        "righttoppoint=38,2\r\nleftbottompoint=2,58\r\nrightbottompoint=38,58\r\nitemsrect=2,2,38,58\r\n"
        "scrollmarkercolor=0\r\nscrollmarkeractivecolor=255\r\ntopstretch=1\r\nleftstretch=1\r\n"
        "rightstretch=1\r\nbottomstretch=1\r\nstretcheffect=1\r\n"
        "[SKINOBJECTS]\r\ncount=1\r\n0=menuitem:menuitem\r\n"
        "[SKINCONTROLS]\r\ncount=0\r\n"
        "[menuitem]\r\nactivepictureindex=1\r\nskinrect=0,0,30,18\r\nactiveskinrect=0,18,30,36\r\n"
        "dividerrect=0,36,30,40\r\nitemleftoffset=2\r\nitemrightoffset=2\r\ntextrect=4,0,26,18\r\n"
        "fontname=DejaVu Sans\r\nfontheight=11\r\nfontcolor=0\r\nactivefontcolor=16777215\r\n"
        "unenabledfontcolor=8421504\r\nstretcheffect=1\r\ninactivestretcheffect=1\r\n"
        "dividerstretcheffect=1\r\n" +
        itemExtra;
    QFile f(Path("skin.ini"));
    f.open(QIODevice::WriteOnly);
    f.write(ini);
    f.close();
    stored.LoadFromSkinFolder(Path("skin.ini"));
    data.SetCompressedStoredSkin(&stored);
  }
  QString Path(const QString& name) const { return dir_.path() + '/' + name; }

  TtwCompressedStoredSkin stored;
  TtwSkinData data;

 private:
  QTemporaryDir dir_;
};

// Counts the engine messages a widget receives.
class TMessageProbe : public QWidget {
 public:
  int closed = 0, done = 0;
  bool event(QEvent* e) override {
    if (TMessage* m = MessageOf(e)) {
      if (m->Msg == 1228) ++closed;
      if (m->Msg == 1229) ++done;
      return true;
    }
    return QWidget::event(e);
  }
};

// A menu of the given captions ("-" a separator, "!x" disabled, "*x"
// checked), counting triggers per caption in `runs`.
inline std::unique_ptr<QMenu> MakeMenu(const QStringList& captions, QMap<QString, int>* runs = nullptr) {
  auto m = std::make_unique<QMenu>();
  for (QString c : captions) {
    if (c == "-") {
      m->addSeparator();
      continue;
    }
    bool disabled = c.startsWith('!'), checked = c.startsWith('*');
    if (disabled || checked) c = c.mid(1);
    QAction* a = m->addAction(c);
    a->setEnabled(!disabled);
    if (checked) {
      a->setCheckable(true);
      a->setChecked(true);
    }
    if (runs) QObject::connect(a, &QAction::triggered, [runs, c] { (*runs)[c]++; });
  }
  return m;
}

}  // namespace twtest
