#pragma once
// The notes windows built over a small notebook in a temporary folder, with
// helpers to read the tree, the editor area and the results as text.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <optional>
#include "app/Globals.h"
#include "app/NotesIndex.h"
#include "app/NoteImages.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ImageList.h"
#include "skin/boxes/twCalendar.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinScrollBar.h"
#include "skin/controls/twSkinTreeView.h"
#include "tests/support/EventWait.h"
#include "tools/db/NotesSchema.h"

namespace tw_test {

struct Note {
  QString category, title, body;
};

// Table order differs from text order on purpose; "Agenda" is in two
// categories, "Empty" has no notes and "Nowhere" has no category row.
const QStringList kCategories = {"Work", "Home", "Empty"};
const std::vector<Note> kNotes = {
    {"Work", "Budget", "numbers for the first quarter"},
    {"Work", "Agenda", "monday meeting"},
    {"Home", "Shopping", "milk\neggs"},
    {"Home", "Agenda", "family dinner"},
    {"Nowhere", "Orphan", "no category row"},
};

inline void Sql(const QString& path, const QString& sql, const QStringList& values = {}) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 5000);  // the index worker may be writing
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  std::vector<QByteArray> keep;
  for (int i = 0; i < values.size(); ++i) {
    keep.push_back(values[i].toUtf8());
    sqlite3_bind_text(st, i + 1, keep.back().constData(), int(keep.back().size()), SQLITE_STATIC);
  }
  EXPECT_EQ(sqlite3_step(st), SQLITE_DONE) << sqlite3_errmsg(db);
  sqlite3_finalize(st);
  sqlite3_close(db);
}

// Rows of one table as "a|b|..." lines in rowid order.
inline QStringList Rows(const QString& path, const QString& sql) {
  QStringList out;
  sqlite3* db = nullptr;
  if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) return out;
  sqlite3_busy_timeout(db, 5000);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
    while (sqlite3_step(st) == SQLITE_ROW) {
      QStringList cells;
      for (int i = 0; i < sqlite3_column_count(st); ++i)
        cells << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
      out << cells.join('|');
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return out;
}

enum V { No, Yes, Same };

struct EditorState {
  bool modify = false, save = false, del = false, popupDel = false, boxes = false;
  QString category, title, body, current;
  bool operator==(const EditorState&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const EditorState& s) {
  return os << "modify=" << s.modify << " save=" << s.save << " delete=" << s.del
            << " popupDelete=" << s.popupDel << " boxes=" << s.boxes << " ["
            << s.category.toStdString() << "|" << s.title.toStdString() << "|"
            << s.body.toStdString() << "] current=" << s.current.toStdString();
}

class NotesWindows : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    db = dir.filePath("data.mdb");
    CreateNotesDatabase(db, false);
    for (const QString& c : kCategories) Sql(db, "insert into 类别 (类别) values (?)", {c});
    for (const Note& n : kNotes)
      Sql(db, "insert into 笔记 (类别, 日期, 标题, 内容) values (?, '2026-03-04T05:06:07', ?, ?)",
          {n.category, n.title, n.body});
    scope = std::make_unique<TDialogsScope>(&dialogs);
    app = std::make_unique<TApplication>();
    app->SetTitle("Tarnwick");
    app->SetErrorDisplay([this](const QString& t) { errors << t; });
    CreateNotesForms(*app);
  }
  void TearDown() override {
    app.reset();
    Form1 = nullptr;
    Data = nullptr;
    Box = nullptr;
    AboutBox1 = nullptr;
    scope.reset();
    QDir::setCurrent(oldCwd);
  }

  // The message loop's first show, which runs the first refresh.
  void Start() { Form1->Show(); }

  TTreeNode* Node(const QString& category, const QString& title = {}) {
    QTreeWidget* t = Form1->TreeView1;
    for (int i = 0; i < t->topLevelItemCount(); ++i) {
      TTreeNode* c = t->topLevelItem(i);
      if (c->text(0) != category) continue;
      if (title.isNull()) return c;
      for (int j = 0; j < c->childCount(); ++j)
        if (c->child(j)->text(0) == title) return c->child(j);
    }
    return nullptr;
  }
  void ClickTree(TTreeNode* node) {
    Form1->TreeView1->SetSelected(node);
    emit Form1->TreeView1->clicked();
  }
  void ClickNote(const QString& category, const QString& title) {
    TTreeNode* n = Node(category, title);
    ASSERT_NE(n, nullptr) << category.toStdString() << "/" << title.toStdString();
    ClickTree(n);
  }
  // "Cat[title,title]|Cat" in display order.
  QString Tree() {
    QStringList out;
    QTreeWidget* t = Form1->TreeView1;
    for (int i = 0; i < t->topLevelItemCount(); ++i) {
      TTreeNode* c = t->topLevelItem(i);
      QStringList kids;
      for (int j = 0; j < c->childCount(); ++j) kids << c->child(j)->text(0);
      out << (kids.isEmpty() ? c->text(0) : c->text(0) + "[" + kids.join(',') + "]");
    }
    return out.join('|');
  }
  // The count, without the note that the index is being built meanwhile.
  QString Count() { return Form1->twSkinStatusPanel1->Caption().remove(QStringLiteral("  indexing…")); }

  EditorState Editor() {
    EditorState s;
    s.modify = Form1->Button1->Visible();
    s.save = Form1->Button2->Visible();
    s.del = Form1->Button4->Visible();
    s.popupDel = Form1->N1->isEnabled();
    const bool c = Form1->SeSkinComboBox1->isEnabled(), t = Form1->SeSkinMemo1->isEnabled(),
               b = Form1->twSkinMemo21->isEnabled();
    EXPECT_TRUE(c == t && t == b) << "the three boxes are enabled together";
    s.boxes = c;
    s.category = Form1->SeSkinComboBox1->Text();
    s.title = Form1->SeSkinMemo1->toPlainText();
    s.body = Form1->twSkinMemo21->toPlainText();
    if (TADOQuery* q = Form1->CurrentNote()) {
      s.current = q->objectName() + ":" + q->FieldByName("标题").AsString();
    } else {
      s.current = "none";
    }
    return s;
  }

  // Find, and the rows it lists once the search has ended.
  void Find(const QString& keyword) {
    Form1->twSkinEdit1->setText(keyword);
    Form1->twSkinSpeedButton4->Click();
    WaitForSearch();
  }
  // The index worker has built and checked the notebook and rests.
  static void WaitForIndex() {
    EXPECT_TRUE(twtest::WaitFor([] { return !Data->NotesIndex->Busy(); }, 10000));
  }
  static void WaitForSearch() {
    EXPECT_TRUE(twtest::WaitFor([] { return !AboutBox1->Searching(); }, 10000));
  }
  QStringList Results() {
    QStringList out;
    WaitForSearch();
    for (int i = 0; i < AboutBox1->ListBox1->count(); ++i) out << AboutBox1->ListBox1->Text(i);
    return out;
  }
  void OpenResult(int row) {
    TResultList* l = AboutBox1->ListBox1;
    l->setCurrentRow(row);
    emit l->doubleClicked(l->model()->index(row, 0));
  }

  QTreeWidgetItem* Category(const QString& name) {
    auto found = Box->twSkinTreeView1->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
  }
  void SelectCategory(const QString& name) {
    QTreeWidgetItem* item = Category(name);
    ASSERT_NE(item, nullptr) << name.toStdString();
    Box->twSkinTreeView1->setCurrentItem(item);
    emit Box->twSkinTreeView1->itemClicked(item, 0);
  }
  QStringList BoxList() {
    QStringList out;
    for (int i = 0; i < Box->twSkinTreeView1->topLevelItemCount(); ++i)
      out << Box->twSkinTreeView1->topLevelItem(i)->text(0);
    return out;
  }

  QStringList Notes() { return Rows(db, "select 类别, 标题, 内容 from 笔记 order by rowid"); }
  QStringList Categories() { return Rows(db, "select 类别 from 类别 order by rowid"); }

  QTemporaryDir dir;
  QString oldCwd, db;
  TScriptedDialogs dialogs;
  std::unique_ptr<TDialogsScope> scope;
  std::unique_ptr<TApplication> app;
  QStringList errors;
};


}  // namespace tw_test
