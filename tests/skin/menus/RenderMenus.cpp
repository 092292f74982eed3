// Writes screenshots of a skinned popup menu with an open sub-menu and of a
// skinned hint with a title, with the built-in skin and without a skin, for
// looking at them. Under X (tests/with-x) the real windows are grabbed from
// the screen; elsewhere their off-screen pictures are written.
//   tw_render_menu_looks [output folder]
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QTemporaryDir>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "platform/ImageList.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinnable.h"
#include "skin/menus/twSkinHint.h"
#include "skin/menus/twSkinMenus.h"
#include "skins/BuiltinSkin.h"

namespace {

class TTitledButton : public QWidget, public TtwSkinnable {
 public:
  TtwSkinData* SkinData() const override { return nullptr; }
  void ApplySkin() override {}
  void ForgetSkinRecord() override {}
  bool IsWindowedSkinControl() const override { return true; }
  QString HintTitle() const override { return QStringLiteral("Save note"); }
  int HintImageIndex() const override { return 0; }
  TImageList* HintImageList() const override { return images; }
  TImageList* images = nullptr;
};

QImage Glyph(QColor c) {
  QImage img(16, 16, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(c);
  p.setPen(c.darker(150));
  p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
  return img;
}

void BuildMenus(QMenu& top, QMenu& view) {
  QAction* n = top.addAction("&New note");
  n->setShortcut(QKeySequence("Ctrl+N"));
  n->setIcon(QIcon(QPixmap::fromImage(Glyph(QColor(0x3D, 0x7B, 0xD9)))));
  top.addAction("&Open...")->setShortcut(QKeySequence("Ctrl+O"));
  top.addSeparator();
  view.setTitle("&View");
  auto* group = new QActionGroup(&view);
  for (const char* c : {"By &title", "By &date"}) {
    QAction* a = view.addAction(c);
    a->setCheckable(true);
    a->setActionGroup(group);
  }
  group->actions()[0]->setChecked(true);
  view.addSeparator();
  view.addAction("-Columns-")->setEnabled(false);
  view.addAction("&Category");
  view.addAction("&Size");
  top.addMenu(&view);
  QAction* wrap = top.addAction("&Word wrap");
  wrap->setCheckable(true);
  wrap->setChecked(true);
  top.addAction("&Print")->setEnabled(false);
  top.addSeparator();
  QAction* close = top.addAction("&Close");
  close->setObjectName("TWF_CLOSE");
  close->setShortcut(QKeySequence("Alt+F4"));
}

QImage Grab(const QRect& r, const QList<QWidget*>& windows) {
  if (QGuiApplication::platformName() == QLatin1String("xcb"))
    return QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
  QImage img(r.size(), QImage::Format_RGB32);
  img.fill(QColor(0xF3, 0xF5, 0xF8));
  QPainter p(&img);
  for (QWidget* w : windows) {
    if (auto* m = qobject_cast<TtwSkinPopupWindow*>(w)) p.drawImage(w->pos() - r.topLeft(), m->Render());
    else if (auto* h = qobject_cast<TtwSkinHintWindow*>(w)) p.drawImage(w->pos() - r.topLeft(), h->Render());
  }
  return img;
}

void Save(const QImage& img, const QString& path) {
  img.save(path);
  std::printf("%s\n", qPrintable(path));
}

void ShootMenu(TtwSkinMenu& menu, TtwSkinData* data, QMenu& top, const QString& path) {
  menu.PopupMenuItems(nullptr, data, false, &top, TRect{40, 40, 40, 40}, 0);
  for (int i = 0; i < 2; ++i) menu.KeyDown(Qt::Key_Down);
  menu.KeyDown(Qt::Key_Right);
  menu.KeyDown(Qt::Key_Down);
  QTest::qWait(300);
  if (!menu.Visible()) return;  // the platform closed it (another grab)
  QRect r;
  QList<QWidget*> windows;
  for (int i = 0; i < menu.LevelCount(); ++i) {
    r |= menu.Level(i)->geometry();
    windows << menu.Level(i);
  }
  Save(Grab(r.adjusted(-20, -20, 20, 20), windows), path);
  menu.CloseMenu();
  QTest::qWait(100);
}

void ShootHint(TtwSkinHint& hint, QWidget& control, const QString& path) {
  hint.ShowControlHint(&control, "Writes the note to the database@Ctrl+S", QPoint(60, 300));
  QTest::qWait(300);
  const QRect r = hint.Window()->geometry().adjusted(-20, -20, 20, 20);
  Save(Grab(r, {hint.Window()}), path);
  hint.HideSkinHint();
}

// A skin whose only use is a hint picture: a 40 x 30 rounded box with a
// soft top band, 6-pixel corners.
bool WriteHintSkin(const QString& dir) {
  QImage frame(12, 10, QImage::Format_RGB32);
  frame.fill(Qt::black);
  QImage pic(40, 30, QImage::Format_RGB32);
  pic.fill(QColor(0xF3, 0xF5, 0xF8));
  QPainter p(&pic);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QColor(0x6F, 0x95, 0xC9));
  QLinearGradient g(0, 0, 0, 30);
  g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
  g.setColorAt(1, QColor(0xE4, 0xEC, 0xF7));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(0.5, 0.5, 39, 29), 5, 5);
  p.end();
  QImage mask(40, 30, QImage::Format_RGB32);
  mask.fill(Qt::white);
  QPainter m(&mask);
  m.setPen(Qt::NoPen);
  m.setBrush(Qt::black);
  m.drawRoundedRect(QRectF(0, 0, 40, 30), 5, 5);
  m.end();
  frame.save(dir + "/frame.bmp", "BMP");
  pic.save(dir + "/hint.bmp", "BMP");
  mask.save(dir + "/hintmask.bmp", "BMP");
  QFile f(dir + "/skin.ini");
  if (!f.open(QIODevice::WriteOnly)) return false;
  f.write("[VERSION]\r\nskinname=Hint\r\n[PICTURES]\r\npicture=frame.bmp\r\ninactivepicture=\r\nmask=\r\n"
          "activepicturescount=2\r\n0=hint.bmp\r\n1=hintmask.bmp\r\n[FORMINFO]\r\nclientrect=2,8,10,9\r\n"
          "[HINTWINDOW]\r\nwindowpictureindex=0\r\nmaskpictureindex=1\r\nlefttoppoint=6,6\r\n"
          "righttoppoint=34,6\r\nleftbottompoint=6,24\r\nrightbottompoint=34,24\r\nclientrect=6,5,34,25\r\n"
          "fontname=Arial\r\nfontheight=13\r\nfontcolor=3680798\r\ntopstretch=1\r\nleftstretch=1\r\n"
          "rightstretch=1\r\nbottomstretch=1\r\nstretcheffect=1\r\n"
          "[SKINOBJECTS]\r\ncount=0\r\n[SKINCONTROLS]\r\ncount=0\r\n");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
  QDir().mkpath(out);

  QWidget form;
  form.setStyleSheet("background: #F3F5F8");
  form.setGeometry(0, 0, 900, 700);
  form.show();
  QTest::qWait(200);

  TtwCompressedStoredSkin stored;
  stored.SetCompressedData(BuiltinSkinPackage());
  TtwSkinData data;
  data.SetCompressedStoredSkin(&stored);

  TtwSkinMenu menu(&form);
  QMenu top, view;
  BuildMenus(top, view);
  ShootMenu(menu, &data, top, out + "/menu-skinned.png");
  ShootMenu(menu, nullptr, top, out + "/menu-default.png");

  // A long menu cut to five entries between scroll bands, scrolled a little.
  QMenu longMenu;
  for (int i = 1; i <= 12; ++i) longMenu.addAction(QStringLiteral("Category %1").arg(i));
  menu.MaxMenuItemsInWindow = 5;
  for (TtwSkinData* d : {&data, static_cast<TtwSkinData*>(nullptr)}) {
    menu.PopupMenuItems(nullptr, d, false, &longMenu, TRect{40, 40, 40, 40}, 0);
    for (int i = 0; i < 6; ++i) menu.KeyDown(Qt::Key_Down);
    QTest::qWait(300);
    if (!menu.Level(0)) continue;  // the platform closed it (another grab)
    Save(Grab(menu.Level(0)->geometry().adjusted(-20, -20, 20, 20), {menu.Level(0)}),
         out + (d ? "/menu-scrolling-skinned.png" : "/menu-scrolling-default.png"));
    menu.CloseMenu();
    QTest::qWait(100);
  }
  menu.MaxMenuItemsInWindow = 0;

  TImageList images(nullptr, 24, 24);
  images.Add(QPixmap::fromImage(Glyph(QColor(0x3D, 0x7B, 0xD9)).scaled(24, 24)));
  TTitledButton button;
  button.images = &images;
  TtwSkinHint hint;
  hint.DefaultFont = TwRecordFont("Arial", 13, 0);
  hint.SkinData = &data;
  ShootHint(hint, button, out + "/hint-skinned.png");
  QWidget plain;  // no title, no picture: the plain form
  ShootHint(hint, plain, out + "/hint-plain-skinned.png");
  hint.SkinData = nullptr;
  ShootHint(hint, button, out + "/hint-default.png");
  ShootHint(hint, plain, out + "/hint-plain-default.png");

  // The skinned path, with a hint picture and mask of its own.
  QTemporaryDir dir;
  TtwCompressedStoredSkin hintStored;
  TtwSkinData hintData;
  if (WriteHintSkin(dir.path()) && hintStored.LoadFromSkinFolder(dir.path() + "/skin.ini")) {
    hintData.SetCompressedStoredSkin(&hintStored);
    hint.SkinData = &hintData;
    ShootHint(hint, button, out + "/hint-picture.png");
    hint.SkinData = nullptr;
  }
  return 0;
}
