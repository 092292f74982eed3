// Writes PNGs of the notes windows over the demo database, for looking at.
// Usage: app_screenshots [OUTPUT_DIR]   (needs a display, e.g. tests/with-x)
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "app/Globals.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Application.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinTreeView.h"
#include "tools/db/NotesSchema.h"

namespace {

void Settle() {
  for (int i = 0; i < 10; ++i) {
    QApplication::processEvents();
    QTest::qWait(30);
  }
}

bool Save(QWidget* w, const QString& path) {
  Settle();
  const bool ok = w->grab().save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  const QString out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots")).absolutePath();
  QDir().mkpath(out);
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  CreateNotesDatabase(dir.filePath("data.mdb"), true);

  TApplication app;
  app.SetTitle(QStringLiteral("Tarnwick"));
  CreateNotesForms(app);
  Form1->Show();
  Settle();

  // A note loaded from the tree, its category expanded.
  for (int i = 0; i < Form1->TreeView1->topLevelItemCount(); ++i) {
    QTreeWidgetItem* c = Form1->TreeView1->topLevelItem(i);
    c->setExpanded(true);
    if (c->text(0) == QStringLiteral("读书笔记") && c->childCount() > 0) {
      Form1->TreeView1->SetSelected(c->child(0));
      emit Form1->TreeView1->clicked();
    }
  }
  bool ok = Save(Form1, out + "/main.png");
  // The category box open: its list is a pop-up, so the screen is grabbed.
  Form1->SeSkinComboBox1->DropDown();
  Settle();
  const QRect frame = Form1->frameGeometry();
  const bool open = Form1->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                        .save(out + "/main-category-open.png");
  std::printf("%s %s\n", open ? "wrote" : "FAILED", qPrintable(out + "/main-category-open.png"));
  ok &= open;
  Form1->SeSkinComboBox1->CloseUp(false);
  Form1->showNormal();
  Form1->resize(996, 642);
  ok &= Save(Form1, out + "/main-996x642.png");

  Form1->twSkinSpeedButton2->Click();
  Settle();
  if (Box->twSkinTreeView1->topLevelItemCount() > 1) {
    QTreeWidgetItem* item = Box->twSkinTreeView1->topLevelItem(0);
    Box->twSkinTreeView1->setCurrentItem(item);
    emit Box->twSkinTreeView1->itemClicked(item, 0);
    Box->twSkinButton4->Click();  // has notes: shows the count message (and refills)
    Box->twSkinTreeView1->setCurrentItem(Box->twSkinTreeView1->topLevelItem(0));
  }
  ok &= Save(Box, out + "/box.png");
  Box->twSkinButton2->Click();

  Form1->twSkinEdit1->setText(QString());
  Form1->twSkinSpeedButton4->Click();
  AboutBox1->ListBox1->setCurrentRow(1);
  ok &= Save(AboutBox1, out + "/results.png");
  return ok ? 0 : 1;
}
