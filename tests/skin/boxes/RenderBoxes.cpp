// Writes PNGs of the list box and the combo box (closed, hot, open) in the
// built-in skin and the default look, grabbed from the screen so the open
// list and any QT_SCALE_FACTOR show as a user sees them.
// Usage: tw_render_box_looks OUTPUT_DIR   (needs a display, e.g. tests/with-x)
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "platform/ImageList.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/boxes/twSkinListBox.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skins/BuiltinSkin.h"

namespace {

void Settle() {
  for (int i = 0; i < 10; ++i) QTest::qWait(30);
}

bool Shoot(QWidget& form, const QString& path) {
  Settle();
  const QRect r(form.mapToGlobal(QPoint(0, 0)), form.size());
  const QPixmap shot = form.screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
  const bool ok = shot.save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")).absolutePath();
  QDir().mkpath(out);
  TtwCompressedStoredSkin stored;
  stored.SetCompressedData(BuiltinSkinPackage());
  TtwSkinData data;
  data.SetCompressedStoredSkin(&stored);
  const QStringList names{"Work", "Home", "Ideas", "Reading", "Travel", "Recipes", "Letters", "Music", "Garden",
                          "读书笔记"};
  bool ok = true;
  for (bool skinned : {true, false}) {
    QWidget form;
    form.setGeometry(50, 50, 420, 260);
    form.setPalette(QPalette(QColor(0xF3, 0xF5, 0xF8)));
    form.setAutoFillBackground(true);
    auto* list = new TtwSkinListBox(&form);
    list->SetSkinDataName(QStringLiteral("captionlistbox"));
    list->SetCaptionMode(true);
    list->SetCaption(QStringLiteral("List box"));
    if (skinned) list->SetSkinData(&data);
    list->SetItems(names);
    list->SetItemIndex(2);
    list->SetBounds(10, 10, 160, 150);
    auto* closed = new TtwSkinComboBox(&form);
    if (skinned) closed->SetSkinData(&data);
    closed->SetItems(names);
    closed->SetItemIndex(0);
    closed->SetBounds(190, 10, 140, 22);
    // The main window's category box: stretched to 121 x 54.
    auto* open = new TtwSkinComboBox(&form);
    open->SetUseSkinSize(false);
    if (skinned) open->SetSkinData(&data);
    open->SetItems(names);
    open->SetItemIndex(9);
    open->SetBounds(190, 44, 121, 54);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    open->DropDown();
    open->PopupList()->SetItemIndex(7);
    const QString look = skinned ? QStringLiteral("builtin") : QStringLiteral("default");
    ok &= Shoot(form, out + "/boxes-" + look + ".png");
    open->CloseUp(false);
    closed->setFocus();
    ok &= Shoot(form, out + "/boxes-" + look + "-focused.png");

    // Columns, a wide row, pictures, and the tool-button combo box.
    QWidget more;
    more.setGeometry(50, 50, 520, 200);
    more.setPalette(form.palette());
    more.setAutoFillBackground(true);
    TImageList images(&more, 12, 12);
    for (QColor c : {QColor(Qt::red), QColor(Qt::darkGreen), QColor(Qt::blue)}) {
      QPixmap px(12, 12);
      px.fill(c);
      images.Add(px);
    }
    auto* cols = new TtwSkinListBox(&more);
    cols->SetColumns(2);
    if (skinned) cols->SetSkinData(&data);
    cols->SetItems(names);
    cols->SetBounds(10, 10, 170, 84);  // four rows: the columns overflow
    auto* wide = new TtwSkinListBox(&more);
    wide->SetHorizontalExtent(true);
    wide->SetImages(&images);
    if (skinned) wide->SetSkinData(&data);
    wide->SetItems({"Short", "A title far wider than this list can show", "Three"});
    wide->SetItemIndex(1);
    wide->SetBounds(190, 10, 150, 110);
    auto* tool = new TtwSkinComboBox(&more);
    tool->SetToolButtonStyle(true);
    tool->SetImages(&images);
    if (skinned) tool->SetSkinData(&data);
    tool->SetItems(names);
    tool->SetItemIndex(1);
    tool->SetBounds(350, 10, 140, 24);
    more.show();
    if (!QTest::qWaitForWindowExposed(&more)) return 1;
    ok &= Shoot(more, out + "/boxes-" + look + "-more.png");
    cols->HScrollBar()->SetPosition(cols->HScrollBar()->Max());
    wide->HScrollBar()->SetPosition(40);
    tool->DropDown();
    ok &= Shoot(more, out + "/boxes-" + look + "-more-scrolled.png");
    tool->CloseUp(false);
  }
  return ok ? 0 : 1;
}
