// Writes PNGs of the notes windows over the demo database, for looking at.
// Usage: app_screenshots [OUTPUT_DIR]   (needs a display, e.g. tests/with-x)
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlQuery>
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
  while (AboutBox1->Searching()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  AboutBox1->ListBox1->setCurrentRow(1);
  ok &= Save(AboutBox1, out + "/results.png");
  AboutBox1->hide();

  // A long tree with a title wider than the tree, and a long note: the
  // skinned bars of the tree and the memo boxes.
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shots"));
    db.setDatabaseName(dir.filePath("data.mdb"));
    db.open();
    db.transaction();
    QSqlQuery q(db);
    auto insert = [&](const QString& sql, const QVariantList& values) {
      q.prepare(sql);
      for (const QVariant& v : values) q.addBindValue(v);
      q.exec();
    };
    QString body;
    for (int i = 1; i <= 60; ++i) body += QStringLiteral("Line %1 of a long note that needs a scroll bar.\n").arg(i);
    for (int i = 0; i < 60; ++i) {
      const QString c = QStringLiteral("Category %1").arg(i, 2, 10, QLatin1Char('0'));
      insert(QStringLiteral("insert into \"类别\" (\"类别\") values (?)"), {c});
      insert(QStringLiteral("insert into \"笔记\" values (?,?,?,?)"),
             {c, QStringLiteral("2024-05-01"), QStringLiteral("Note %1").arg(i), body});
    }
    insert(QStringLiteral("insert into \"笔记\" values (?,?,?,?)"),
           {QStringLiteral("Category 00"), QStringLiteral("2024-05-02"),
            QStringLiteral("A title much wider than the category tree of the main window"), body});
    db.commit();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("shots"));
  Form1->twSkinSpeedButton7->Click();
  Settle();
  QTreeWidgetItem* first = Form1->TreeView1->topLevelItem(0);
  for (int i = 0; first && i < Form1->TreeView1->topLevelItemCount(); ++i)
    if (Form1->TreeView1->topLevelItem(i)->text(0) == QStringLiteral("Category 00"))
      first = Form1->TreeView1->topLevelItem(i);
  if (first && first->childCount() > 0) {
    first->setExpanded(true);
    Form1->TreeView1->scrollToItem(first, QAbstractItemView::PositionAtTop);
    Form1->TreeView1->SetSelected(first->child(0));
    emit Form1->TreeView1->clicked();
  }
  ok &= Save(Form1, out + "/main-long.png");
  return ok ? 0 : 1;
}
