// The main window's refresh over notebooks that make ordering hard, in place
// after changes, and the search and save failures as the user sees them.
#include <sqlite3.h>

#include "app/NotesIndex.h"
#include "tests/app/NotesWindows.h"

namespace {

using namespace tw_test;

// Names that sort differently by code unit, by case and by locale, with
// duplicates at both levels, an empty title, and notes no category lists.
const QStringList kHardCategories = {"中文", "English", "english", "Ärger", "😀", "？full", "Work", ""};
const std::vector<Note> kHardNotes = {
    {"中文", "笔记", "a"},   {"中文", "笔记", "b"},     {"中文", "Zebra", "c"}, {"中文", "apple", "d"},
    {"English", "", "e"},    {"English", "Éclair", "f"}, {"english", "eclair", "g"},
    {"Ärger", "😀 smile", "h"}, {"Ärger", "？ mark", "i"}, {"😀", "10", "j"}, {"😀", "9", "k"},
    {"Nowhere", "unlisted", "l"},
};

class Refresh : public NotesWindows {
 public:
  void SetUp() override {
    NotesWindows::SetUp();
    for (const QString& c : kHardCategories) Sql(db, "insert into 类别 (类别) values (?)", {c});
    for (const Note& n : kHardNotes)
      Sql(db, "insert into 笔记 (类别, 日期, 标题, 内容) values (?, '2026-03-04T05:06:07', ?, ?)",
          {n.category, n.title, n.body});
    Sql(db, "insert into 笔记 (类别, 日期, 标题, 内容) values (null, '2026-03-04T05:06:07', 'no category', 'm')");
  }

  // Text, pictures and expansion of every node, depth first.
  static QString Dump(QTreeWidget* tree) {
    QStringList out;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* n, int depth) {
      out << QString(depth, ' ') + n->text(0) +
                 QStringLiteral(" [%1/%2%3]")
                     .arg(TtwSkinTreeView::ImageIndex(n))
                     .arg(TtwSkinTreeView::SelectedIndex(n))
                     .arg(n->isExpanded() ? " open" : "");
      for (int i = 0; i < n->childCount(); ++i) walk(n->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) walk(tree->topLevelItem(i), 0);
    return out.join('\n');
  }

  // The tree the view's own node-by-node sorted insertion builds from the
  // tables, with the window's own addition handler: what a refresh must show.
  QString Expected() {
    TtwSkinTreeView oracle;
    oracle.SetSortType(stText);
    QObject::connect(&oracle, &TtwSkinTreeView::addition, [](TTreeNode* n) { Form1->TreeView1Addition(n); });
    for (const QString& c : Rows(db, "select 类别 from 类别 order by rowid")) {
      TTreeNode* node = oracle.Items().Add(nullptr, c);
      for (const QString& t :
           Rows(db, QStringLiteral("select 标题 from 笔记 where 类别 = '%1' order by rowid").arg(c)))
        oracle.Items().AddChild(node, t);
    }
    return Dump(&oracle);
  }

  // Every node shows the image list's pictures for its level.
  void ExpectPictures() {
    for (QTreeWidgetItemIterator it(Form1->TreeView1); *it; ++it) {
      const QIcon icon = (*it)->icon(0);
      const QImage normal = Form1->ImageList2->Pixmap(TtwSkinTreeView::ImageIndex(*it)).toImage();
      const QImage selected = Form1->ImageList2->Pixmap(niSelected).toImage();
      ASSERT_EQ(icon.pixmap(QSize(24, 24), QIcon::Normal).toImage().convertToFormat(normal.format()), normal)
          << (*it)->text(0).toStdString();
      ASSERT_EQ(icon.pixmap(QSize(24, 24), QIcon::Selected).toImage().convertToFormat(selected.format()),
                selected);
    }
  }

  void ExpectAsRebuilt(const char* when, bool inPlace) {
    SCOPED_TRACE(when);
    EXPECT_EQ(Form1->LastRefreshWasInPlace(), inPlace);
    EXPECT_EQ(Dump(Form1->TreeView1), Expected());
    EXPECT_EQ(Form1->TreeView1->Selected(), nullptr);
    EXPECT_EQ(Form1->TreeView1->currentItem(), nullptr);
    ExpectPictures();
    EXPECT_EQ(Count(), QStringLiteral("现共有记录: %1 个").arg(Rows(db, "select count(*) from 笔记").value(0)));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  }
};

TEST_F(Refresh, GivesTheTreeOfSortedInsertionOnAHardNotebook) {
  Start();
  ExpectAsRebuilt("first refresh", false);
  EXPECT_EQ(Form1->SeSkinComboBox1->Items(), Rows(db, "select 类别 from 类别 order by rowid"));
}

TEST_F(Refresh, AfterChangesInPlaceEqualsARebuild) {
  Start();
  // Whatever the user opened or selected, a refresh closes it.
  Node("中文")->setExpanded(true);
  ClickNote("中文", "Zebra");

  Form1->twSkinSpeedButton1->Click();  // New notes: the first category, "Work"
  Form1->SeSkinMemo1->setPlainText("Aardvark");
  Form1->Button2->Click();
  ExpectAsRebuilt("after Save", true);

  ClickNote("中文", "apple");
  Form1->SeSkinComboBox1->SetText("Ärger");
  Form1->SeSkinMemo1->setPlainText("zzz moved");
  Form1->Button1->Click();
  ExpectAsRebuilt("after Modify", true);

  ClickNote("中文", "笔记");
  dialogs.answers = {mrYes};
  Form1->Button4->Click();
  ExpectAsRebuilt("after Delete", true);

  // Another process's changes, seen at the next refresh.
  Sql(db, "insert into 笔记 (类别, 标题) values ('English', 'from elsewhere')");
  Sql(db, "update 笔记 set 类别 = 'Home' where 标题 = 'Zebra'");
  Sql(db, "update 笔记 set 标题 = 'Budget 2' where 标题 = 'Budget'");
  Sql(db, "delete from 笔记 where 标题 = '9'");
  Node("Work")->setExpanded(true);
  Form1->twSkinSpeedButton7->Click();
  ExpectAsRebuilt("after Refresh", true);

  // New categories, or many changed notes, rebuild from scratch.
  Sql(db, "insert into 类别 (类别) values ('Later')");
  Form1->FormShow();
  ExpectAsRebuilt("after a new category", false);
  Sql(db, "with recursive n(i) as (select 1 union all select i + 1 from n where i < 300) "
          "insert into 笔记 (类别, 标题) select 'Later', 'bulk ' || i from n");
  Form1->FormShow();
  ExpectAsRebuilt("after many notes", false);
}

TEST_F(Refresh, DamagedSearchIndexStillFindsAndIsRebuilt) {
  Start();
  Data->NotesIndex->BuildAll();
  ASSERT_TRUE(Data->NotesIndex->Ready());
  Sql(db, "delete from tw_notes_fts_data where id > 10");  // the index's pages lost
  Find("Agenda");
  EXPECT_EQ(Results(), QStringList({"Agenda", "Agenda"}));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  // Built again off the window's thread.
  EXPECT_TRUE(twtest::WaitFor([] { return !Data->NotesIndex->Busy(); }, 10000));
  EXPECT_TRUE(Data->NotesIndex->Ready());
  Find("Agenda");
  EXPECT_EQ(Results(), QStringList({"Agenda", "Agenda"}));
}

// At start the worker builds a missing index, finds damage by the totals,
// and gives an older notebook its totals, while the status bar says so.
TEST_F(Refresh, IndexIsBuiltCheckedAndRepairedByTheWorker) {
  auto settled = [] { return twtest::WaitFor([] { return !Data->NotesIndex->Busy(); }, 10000); };
  auto reopen = [&](const QString& change) {
    Data->ADOConnection1->Close();
    Sql(db, change);
    Form1->FormShow();
  };
  Start();
  EXPECT_TRUE(Data->NotesIndex->Busy());
  const auto status = [] { return Form1->twSkinStatusPanel1->Caption(); };
  EXPECT_TRUE(status().endsWith("indexing…")) << status().toStdString();
  ASSERT_TRUE(settled());
  EXPECT_TRUE(Data->NotesIndex->Ready());
  EXPECT_FALSE(status().contains("indexing")) << status().toStdString();
  EXPECT_FALSE(Data->NotesIndex->FoundDamage());

  reopen("update tw_notes_tails set b = 'zz' where id = 3");
  ASSERT_TRUE(settled());
  EXPECT_TRUE(Data->NotesIndex->FoundDamage());
  ASSERT_TRUE(Data->NotesIndex->Ready());
  sqlite3* h = Data->ADOConnection1->Handle();
  EXPECT_EQ(CompareIndexTotals(h), TIndexTotals::Agree);
  EXPECT_EQ(CheckIndexAgainstNotes(h), "");

  reopen("drop table tw_notes_check");  // an older notebook
  ASSERT_TRUE(settled());
  EXPECT_EQ(CompareIndexTotals(Data->ADOConnection1->Handle()), TIndexTotals::Agree);
  Find("Agenda");
  EXPECT_EQ(Results(), QStringList({"Agenda", "Agenda"}));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(NotesWindows, FailedSaveSaysWhyAndKeepsTheText) {
  Start();
  WaitForIndex();  // the file's size must hold still
  Form1->twSkinSpeedButton1->Click();
  Form1->SeSkinMemo1->setPlainText("my title");
  Form1->twSkinMemo21->setPlainText("my long body");
  sqlite3_exec(Data->ADOConnection1->Handle(), "PRAGMA query_only=1", nullptr, nullptr, nullptr);
  Form1->Button2->Click();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("The note was not saved: the notebook file cannot be written"))
      << errors[0].toStdString();
  EXPECT_TRUE(errors[0].endsWith("Your text is still in the window.")) << errors[0].toStdString();
  EXPECT_EQ(Editor().title, "my title");
  EXPECT_EQ(Editor().body, "my long body");
  EXPECT_TRUE(Editor().save && Editor().boxes);

  // A full disk: the file may not grow by another page.
  sqlite3_exec(Data->ADOConnection1->Handle(), "PRAGMA query_only=0", nullptr, nullptr, nullptr);
  const QString pages = Rows(db, "pragma page_count").value(0);
  sqlite3_exec(Data->ADOConnection1->Handle(), qPrintable("PRAGMA max_page_count=" + pages), nullptr, nullptr,
               nullptr);
  Form1->twSkinMemo21->setPlainText(QString(20000, QChar(u'满')));
  Form1->Button2->Click();
  ASSERT_EQ(errors.size(), 2);
  EXPECT_TRUE(errors[1].startsWith("The note was not saved: the disk is full")) << errors[1].toStdString();
  EXPECT_EQ(Editor().title, "my title");
  EXPECT_EQ(Notes().size(), 5);
}

// What the boxes cannot show (a CR before a line feed, the end of a very long
// body) is written back as it was, whether or not the note was edited.
TEST_F(NotesWindows, ModifyKeepsLineEndsAndTheBodyNotShown) {
  const QString body = "start\r\n" + QString(TNoteText::kShownChars, u'x') + "\r\nthe end";
  Sql(db, "insert into 笔记 (类别, 日期, 标题, 内容) values ('Work', '2026-03-04T05:06:07', ?, ?)",
      {"two\r\nlines", body});
  const QString row = "select 标题 || '|' || 内容 from 笔记 where 类别 = 'Work' and 标题 like 'two%'";
  Start();
  ClickNote("Work", "two\r\nlines");
  EXPECT_EQ(Editor().title, "two\nlines");
  EXPECT_LT(Editor().body.size(), body.size());
  EXPECT_TRUE(Form1->twSkinGroupBox2->Caption().contains("Modify keeps the rest"));
  Form1->Button1->Click();
  EXPECT_EQ(Rows(db, row), QStringList{"two\r\nlines|" + body});

  ClickNote("Work", "two\r\nlines");
  Form1->SeSkinMemo1->setPlainText("two\nlines\nthree");
  Form1->twSkinMemo21->setPlainText("new " + Editor().body);
  Form1->Button1->Click();
  EXPECT_EQ(Rows(db, row), QStringList{"two\r\nlines\r\nthree|new " + body});
  EXPECT_EQ(Form1->twSkinGroupBox2->Caption(), "Content");
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// A body at the threshold or beyond is written on the worker: Modify returns
// at once with the notebook's controls locked and "saving…" shown, and the
// note arrives whole, its CR LF and the part the box did not show kept. The
// body is too wide for the index too.
class HugeSave : public NotesWindows {
 public:
  const QString body = "start\r\n" + QString(5 * TNoteText::kShownChars, u'x') + "\r\nthe end";
  const QString row = "select 标题 || '|' || 内容 from 笔记 where length(内容) > 1000";
  void SetUp() override {
    NotesWindows::SetUp();
    Sql(db, "insert into 笔记 (类别, 日期, 标题, 内容) values ('Work', '2026-03-04T05:06:07', 'big', ?)", {body});
    Start();
    // The index worker's commits come first; a refresh then knows the file.
    WaitForIndex();
    Form1->twSkinSpeedButton7->Click();
    Form1->SetBackgroundSaveBytes(1024);
    ClickNote("Work", "big");
    Form1->SeSkinMemo1->setPlainText("bigger");
    Form1->twSkinMemo21->setPlainText("new " + Editor().body);
  }
  void Modify() {
    Form1->Button1->Click();
    EXPECT_TRUE(Form1->Saving());
    EXPECT_FALSE(Form1->TreeView1->isEnabled());
    EXPECT_FALSE(Form1->twSkinSpeedButton4->isEnabled());
    EXPECT_FALSE(Form1->twSkinMemo21->isEnabled());
    EXPECT_TRUE(Form1->twSkinStatusPanel1->Caption().endsWith("saving…"));
    ASSERT_TRUE(twtest::WaitFor([] { return !Form1->Saving(); }, 20000));
    EXPECT_TRUE(Form1->TreeView1->isEnabled());
    EXPECT_FALSE(Form1->twSkinStatusPanel1->Caption().contains("saving"));
  }
};

TEST_F(HugeSave, ModifyWritesOnTheWorkerWhileTheWindowGoesOn) {
  Modify();
  EXPECT_EQ(Rows(db, row), QStringList{"bigger|new " + body});
  EXPECT_NE(Node("Work", "bigger"), nullptr);
  EXPECT_TRUE(Form1->LastRefreshReadOnlyChanges()) << "the save was the only commit since the last refresh";
  EditorState idle;
  idle.current = "none";
  EXPECT_EQ(Editor(), idle) << "idle and cleared";
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(HugeSave, AFailedSaveKeepsTheTextForAnotherTry) {
  Sql(db, "create trigger tw_test_full before update on 笔记 "
          "begin select raise(abort, 'database or disk is full'); end");
  Modify();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains("not saved")) << errors[0].toStdString();
  EXPECT_EQ(Rows(db, row), QStringList{"big|" + body});
  const EditorState typed = Editor();
  EXPECT_TRUE(typed.modify && typed.boxes);
  EXPECT_EQ(typed.title, "bigger");
  EXPECT_TRUE(typed.body.startsWith("new start"));

  Sql(db, "drop trigger tw_test_full");
  errors.clear();
  Modify();
  EXPECT_EQ(Rows(db, row), QStringList{"bigger|new " + body});
  EXPECT_FALSE(Form1->LastRefreshReadOnlyChanges()) << "another connection wrote too: everything is read";
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(HugeSave, DeleteRemovesOnTheWorkerToo) {
  const QString before = Count();
  dialogs.answers = {mrYes};
  Form1->Button4->Click();
  EXPECT_TRUE(Form1->Saving());
  EXPECT_TRUE(Form1->twSkinStatusPanel1->Caption().endsWith("deleting…"));
  ASSERT_TRUE(twtest::WaitFor([] { return !Form1->Saving(); }, 20000));
  EXPECT_EQ(Rows(db, row), QStringList{});
  EXPECT_EQ(Node("Work", "big"), nullptr);
  EXPECT_NE(Count(), before);
  EXPECT_TRUE(Form1->LastRefreshReadOnlyChanges());
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(HugeSave, RenamingTheCategoryOfAHugeNoteRunsOnTheWorker) {
  Form1->N2->trigger();
  SelectCategory("Work");
  Box->edt1->setText("Job");
  Box->twSkinButton1->Click();
  EXPECT_TRUE(Form1->Saving());
  EXPECT_FALSE(Box->isEnabled());
  ASSERT_TRUE(twtest::WaitFor([] { return !Form1->Saving(); }, 20000));
  EXPECT_TRUE(Box->isEnabled());
  EXPECT_EQ(Categories(), QStringList({"Work", "Home", "Empty"}).replaceInStrings("Work", "Job"));
  EXPECT_EQ(Rows(db, "select 标题 from 笔记 where 类别 = 'Job' order by rowid"),
            QStringList({"Budget", "Agenda", "big"}));
  EXPECT_EQ(BoxList(), QStringList({"Job", "Home", "Empty"}));
  EXPECT_TRUE(Box->edt1->text().isEmpty());
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

  // A category of small notes is renamed at once.
  SelectCategory("Home");
  Box->edt1->setText("House");
  Box->twSkinButton1->Click();
  EXPECT_FALSE(Form1->Saving());
  EXPECT_EQ(BoxList(), QStringList({"Job", "House", "Empty"}));
}

// Closing during a save would hide its outcome: the window closes once the
// note is written.
TEST_F(HugeSave, ClosingWaitsForTheSave) {
  Form1->Button1->Click();
  dialogs.answers = {mrOk};
  EXPECT_FALSE(Form1->close());
  EXPECT_FALSE(app->Terminated());
  ASSERT_TRUE(twtest::WaitFor([&] { return app->Terminated(); }, 20000));
  EXPECT_EQ(Rows(db, row), QStringList{"bigger|new " + body});
  EXPECT_EQ(dialogs.asked.size(), 1u) << "asked once";
}

}  // namespace
