// The notes windows against a real notebook: refresh, commands, category
// editor, search and layout, each row of the state tables.
#include "tests/app/NotesWindows.h"
#include "skin/form/twSkinForm.h"

namespace {

int qtArgc = 1;
char qtArg0[] = "app_windows_test";
char* qtArgv[] = {qtArg0, nullptr};

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(qtArgc, qtArgv); }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] auto* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

using namespace tw_test;

// ---------------------------------------------------------------------------
// Main window: refresh, loading a note, closing

TEST_F(NotesWindows, RefreshBuildsSortedTreeCategoryListAndCount) {
  Start();
  EXPECT_EQ(Tree(), "Empty|Home[Agenda,Shopping]|Work[Agenda,Budget]");
  EXPECT_EQ(Form1->SeSkinComboBox1->Items(), QStringList({"Work", "Home", "Empty"}));
  EXPECT_EQ(Count(), QStringLiteral("现共有记录: 5 个"));
  EXPECT_EQ(Form1->TreeView1->Selected(), nullptr);
  for (const char* c : {"Empty", "Home", "Work"}) {
    TTreeNode* n = Node(c);
    EXPECT_FALSE(n->isExpanded()) << c;
    EXPECT_EQ(TtwSkinTreeView::ImageIndex(n), niCategory);
    EXPECT_EQ(TtwSkinTreeView::SelectedIndex(n), niSelected);
    for (int j = 0; j < n->childCount(); ++j) {
      EXPECT_EQ(TtwSkinTreeView::ImageIndex(n->child(j)), niNote);
      EXPECT_EQ(TtwSkinTreeView::SelectedIndex(n->child(j)), niSelected);
    }
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

  // A later refresh sees rows written meanwhile and comes back collapsed and
  // without a selection.
  Node("Home")->setExpanded(true);
  ClickNote("Home", "Shopping");
  Sql(db, "insert into 类别 (类别) values ('Archive')");
  Form1->FormShow();
  EXPECT_EQ(Tree(), "Archive|Empty|Home[Agenda,Shopping]|Work[Agenda,Budget]");
  EXPECT_FALSE(Node("Home")->isExpanded());
  EXPECT_EQ(Form1->TreeView1->Selected(), nullptr);
  EXPECT_EQ(Form1->SeSkinComboBox1->Items().last(), "Archive");
}

TEST_F(NotesWindows, ClickOnCategoryOrNothingChangesNothing) {
  Start();
  const EditorState before = Editor();
  ClickTree(Node("Work"));
  EXPECT_EQ(Editor(), before);
  ClickTree(nullptr);
  EXPECT_EQ(Editor(), before);
}

TEST_F(NotesWindows, MouseClickOnANoteLoadsIt) {
  Start();
  Node("Work")->setExpanded(true);
  QTreeWidget* t = Form1->TreeView1;
  const QRect r = t->visualItemRect(Node("Work", "Budget"));
  ASSERT_FALSE(r.isEmpty());
  QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, r.center());
  EXPECT_EQ(Editor().title, "Budget");
  EXPECT_EQ(Editor().current, "ADOQuery1:Budget");
}

TEST_F(NotesWindows, DuplicateTitlesLoadTheFirstRow) {
  Start();
  ClickNote("Home", "Agenda");
  EXPECT_EQ(Editor().category, "Work");
  EXPECT_EQ(Editor().body, "monday meeting");
}

TEST_F(NotesWindows, ClosingAsksAndCancelKeepsEverything) {
  Start();
  ClickNote("Work", "Budget");
  Form1->SeSkinMemo1->setPlainText("unsaved");
  dialogs.answers = {mrCancel};
  EXPECT_FALSE(Form1->close());
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text, QStringLiteral(" Confirm quit？"));
  EXPECT_EQ(dialogs.asked[0].caption, "Tips");
  EXPECT_EQ(dialogs.asked[0].flags, 0x40121u);
  EXPECT_TRUE(Form1->isVisible());
  EXPECT_EQ(Editor().title, "unsaved");
  EXPECT_FALSE(app->Terminated());

  dialogs.answers = {mrOk};
  EXPECT_TRUE(Form1->close());
  EXPECT_TRUE(app->Terminated());
}

TEST_F(NotesWindows, MissingDatabaseShowsErrorAndLeavesWindowUsable) {
  QFile::remove(db);
  Start();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains("data.mdb")) << errors[0].toStdString();
  EXPECT_EQ(Tree(), "");
  EXPECT_EQ(Count(), "twSkinStatusPanel1");
  EXPECT_TRUE(Form1->Button4->Visible());
  EXPECT_TRUE(Form1->isVisible());
  // Delete with no note loaded fails with a message and changes nothing.
  dialogs.answers = {mrYes};
  const EditorState before = Editor();
  Form1->Button4->Click();
  EXPECT_EQ(errors.size(), 2);
  EXPECT_EQ(Editor(), before);
}

// ---------------------------------------------------------------------------
// Editing commands: every row of the editor area's state table

struct EditorRow {
  const char* name;
  std::function<void(NotesWindows&)> setup;
  std::function<void(NotesWindows&)> event;
  V modify, save, del, popupDel, boxes;
  std::optional<QStringList> texts;  // category, title, body; none: as before
  const char* current;               // nullptr: as before
};

void Click(TtwSkinButton* b) { b->Click(); }

const EditorRow kEditorRows[] = {
    {"StartBeforeFirstRefresh", [](NotesWindows&) {}, [](NotesWindows&) {},
     No, No, Yes, No, No, QStringList{"", "", ""}, "none"},
    {"Refresh", [](NotesWindows& t) { t.Start(); t.ClickNote("Work", "Budget"); },
     [](NotesWindows&) { Form1->FormShow(); },
     No, No, No, No, Same, std::nullopt, nullptr},
    {"ClickOnNote", [](NotesWindows& t) { t.Start(); },
     [](NotesWindows& t) { t.ClickNote("Work", "Budget"); },
     Yes, No, Yes, Yes, Yes, QStringList{"Work", "Budget", "numbers for the first quarter"},
     "ADOQuery1:Budget"},
    {"OpenSearchResultAfterRefresh",
     [](NotesWindows& t) { auto& e = t; e.Start(); e.Find("Shop"); },
     [](NotesWindows& t) { t.OpenResult(0); },
     Yes, No, Same, Same, Yes, QStringList{"Home", "Shopping", "milk\neggs"}, "ADOQuery4:Shopping"},
    {"OpenSearchResultAfterTreeClick",
     [](NotesWindows& t) { auto& e = t; e.Start(); e.ClickNote("Work", "Budget"); e.Find("Shop"); },
     [](NotesWindows& t) { t.OpenResult(0); },
     Yes, No, Same, Same, Yes, QStringList{"Home", "Shopping", "milk\neggs"}, "ADOQuery4:Shopping"},
    {"NewNotes", [](NotesWindows& t) { auto& e = t; e.Start(); e.ClickNote("Home", "Shopping"); },
     [](NotesWindows&) { Click(Form1->twSkinSpeedButton1); },
     No, Yes, No, No, Yes, QStringList{"Work", "", ""}, nullptr},
    {"SaveAllEmpty", [](NotesWindows& t) {
       t.Start();
       Click(Form1->twSkinSpeedButton1);
       Form1->SeSkinComboBox1->SetText("");
     },
     [](NotesWindows&) { Click(Form1->Button2); }, Same, Same, Same, Same, Same, std::nullopt, nullptr},
    {"Save", [](NotesWindows& t) {
       t.Start();
       Click(Form1->twSkinSpeedButton1);
       Form1->SeSkinMemo1->setPlainText("New one");
     },
     [](NotesWindows&) { Click(Form1->Button2); }, No, No, No, No, No, QStringList{"", "", ""}, nullptr},
    {"Modify", [](NotesWindows& t) {
       t.ClickNote("Work", "Budget");
       Form1->SeSkinMemo1->setPlainText("Budget 2");
     },
     [](NotesWindows&) { Click(Form1->Button1); }, No, No, No, No, No, QStringList{"", "", ""},
     "ADOQuery1:Budget 2"},
    {"DeleteYes", [](NotesWindows& t) {
       auto& e = t;
       e.ClickNote("Work", "Budget");
       e.dialogs.answers = {mrYes};
     },
     [](NotesWindows&) { Click(Form1->Button4); }, No, No, No, No, No, QStringList{"", "", ""}, "none"},
    {"DeleteNo", [](NotesWindows& t) {
       auto& e = t;
       e.ClickNote("Work", "Budget");
       e.dialogs.answers = {mrNo};
     },
     [](NotesWindows&) { Click(Form1->Button4); }, Same, Same, Same, Same, Same, std::nullopt, nullptr},
    {"RefreshCommand", [](NotesWindows& t) { t.ClickNote("Work", "Budget"); },
     [](NotesWindows&) { Click(Form1->twSkinSpeedButton7); }, No, No, No, No, No,
     QStringList{"", "", ""}, nullptr},
    {"CategoryEditorCloses", [](NotesWindows& t) {
       t.ClickNote("Work", "Budget");
       Click(Form1->twSkinSpeedButton2);
     },
     [](NotesWindows&) { Box->twSkinButton2->Click(); }, No, No, No, No, Same, std::nullopt, nullptr},
};

class EditorStates : public NotesWindows, public ::testing::WithParamInterface<EditorRow> {};

TEST_P(EditorStates, FollowTheTable) {
  const EditorRow& row = GetParam();
  if (std::string(row.name) != "StartBeforeFirstRefresh") Start();
  row.setup(*this);
  const EditorState before = Editor();
  row.event(*this);
  const EditorState after = Editor();
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  auto pick = [](V v, bool was) { return v == Same ? was : v == Yes; };
  EditorState want = before;
  want.modify = pick(row.modify, before.modify);
  want.save = pick(row.save, before.save);
  want.del = pick(row.del, before.del);
  want.popupDel = pick(row.popupDel, before.popupDel);
  want.boxes = pick(row.boxes, before.boxes);
  if (row.texts) {
    want.category = (*row.texts)[0];
    want.title = (*row.texts)[1];
    want.body = (*row.texts)[2];
  }
  if (row.current) want.current = row.current;
  EXPECT_EQ(after, want) << "before: " << before;
  // From the first refresh on, the popup's Delete follows the Delete button.
  if (std::string(row.name) != "StartBeforeFirstRefresh") {
    EXPECT_EQ(after.popupDel, after.del);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, EditorStates, ::testing::ValuesIn(kEditorRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Editing commands: what reaches the database

TEST_F(NotesWindows, SaveStoresTheBoxesAndCounts) {
  Start();
  Click(Form1->twSkinSpeedButton1);
  Form1->SeSkinComboBox1->SetItemIndex(1);
  Form1->SeSkinMemo1->setPlainText("line one\nline two");
  Form1->twSkinMemo21->setPlainText("body");
  const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
  Click(Form1->Button2);
  EXPECT_EQ(Notes().last(), "Home|line one\nline two|body");
  const QDateTime saved = QDateTime::fromString(
      Rows(db, "select 日期 from 笔记 order by rowid desc limit 1").value(0), Qt::ISODate);
  EXPECT_GE(saved, before);
  EXPECT_EQ(Count(), QStringLiteral("现共有记录: 6 个"));
  EXPECT_NE(Node("Home", "line one\nline two"), nullptr);

  // Only a body, with no categories at all: stored, counted, not in the tree.
  Sql(db, "delete from 类别");
  Click(Form1->twSkinSpeedButton7);
  Click(Form1->twSkinSpeedButton1);
  EXPECT_EQ(Form1->SeSkinComboBox1->Text(), "");
  Form1->twSkinMemo21->setPlainText("just a body");
  Click(Form1->Button2);
  EXPECT_EQ(Notes().last(), "||just a body");
  EXPECT_EQ(Count(), QStringLiteral("现共有记录: 7 个"));
  EXPECT_EQ(Tree(), "");

  // All three empty writes nothing.
  Click(Form1->twSkinSpeedButton1);
  Click(Form1->Button2);
  EXPECT_EQ(Notes().size(), 7);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(NotesWindows, ModifyMovesTheNoteAndKeepsItsDate) {
  Start();
  ClickNote("Work", "Budget");
  Form1->SeSkinComboBox1->SetItemIndex(1);
  Form1->SeSkinMemo1->setPlainText("Accounts");
  Click(Form1->Button1);
  EXPECT_EQ(Notes().first(), "Home|Accounts|numbers for the first quarter");
  EXPECT_EQ(Rows(db, "select 日期 from 笔记 where rowid = 1").value(0), "2026-03-04T05:06:07");
  EXPECT_EQ(Tree(), "Empty|Home[Accounts,Agenda,Shopping]|Work[Agenda]");
  EXPECT_EQ(Count(), QStringLiteral("现共有记录: 5 个"));
}

TEST_F(NotesWindows, DeleteAsksThenRemovesTheLoadedNote) {
  Start();
  ClickNote("Work", "Budget");
  dialogs.answers = {mrNo};
  Click(Form1->Button4);
  EXPECT_EQ(Notes().size(), 5);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  const TMsgDlgRequest& ask = dialogs.asked[0].request;
  EXPECT_EQ(ask.text, "Really want to delete the record! ");
  EXPECT_EQ(ask.caption, "Tarnwick");
  EXPECT_EQ(ask.type, TMsgDlgType::Custom);
  EXPECT_EQ(ask.buttons, (std::vector<TMsgDlgBtn>{TMsgDlgBtn::Yes, TMsgDlgBtn::No}));
  EXPECT_EQ(ask.defaultButton, TMsgDlgBtn::Yes);
  EXPECT_EQ(ask.escapeButton, TMsgDlgBtn::No);

  dialogs.answers = {mrYes};
  Form1->N1->trigger();
  EXPECT_FALSE(Notes().join(';').contains("Budget"));
  EXPECT_EQ(Tree(), "Empty|Home[Agenda,Shopping]|Work[Agenda]");
  EXPECT_EQ(Count(), QStringLiteral("现共有记录: 4 个"));

  ClickNote("Work", "Agenda");
  dialogs.answers = {mrYes};
  Click(Form1->Button4);
  EXPECT_EQ(Tree(), "Empty|Home[Agenda,Shopping]|Work");
}

TEST_F(NotesWindows, DatabaseErrorStopsTheCommandAndIsShown) {
  Start();
  ClickNote("Work", "Budget");
  Form1->SeSkinMemo1->setPlainText("changed");
  Sql(db, "drop table 笔记");
  Click(Form1->Button1);
  ASSERT_EQ(errors.size(), 1);
  // The steps before the failure stay done; the window stays as it was.
  EXPECT_TRUE(Form1->Button1->Visible());
  EXPECT_EQ(Editor().title, "changed");
  Click(Form1->twSkinSpeedButton7);
  EXPECT_EQ(errors.size(), 2);
  EXPECT_EQ(Editor().title, "");
}

// ---------------------------------------------------------------------------
// Category editor

struct BoxRow {
  const char* name;
  std::function<void(NotesWindows&)> setup;
  std::function<void(NotesWindows&)> event;
  std::optional<TBox::TMode> mode;
  V del;
  const char* nameBox;  // nullptr: as before
  const char* message;  // nullptr: as before
};

void Select(NotesWindows& t, const char* name) { t.SelectCategory(name); }

const BoxRow kBoxRows[] = {
    {"Start", [](NotesWindows&) {}, [](NotesWindows&) {}, TBox::TMode::Adding, No, "", ""},
    {"ClickOnCategory", [](NotesWindows&) {}, [](NotesWindows& t) { Select(t, "Work"); },
     TBox::TMode::Renaming, Yes, "Work", ""},
    {"Add", [](NotesWindows& t) { Select(t, "Work"); }, [](NotesWindows&) { Box->twSkinButton3->Click(); },
     TBox::TMode::Adding, No, "", ""},
    {"SaveWithEmptyName", [](NotesWindows& t) { Select(t, "Work"); Box->edt1->clear(); },
     [](NotesWindows&) { Box->twSkinButton1->Click(); }, std::nullopt, Same, "", nullptr},
    {"Save", [](NotesWindows& t) { Select(t, "Work"); Box->edt1->setText("Job"); },
     [](NotesWindows&) { Box->twSkinButton1->Click(); }, std::nullopt, Same, "", nullptr},
    {"DelEmptyCategory", [](NotesWindows& t) { Select(t, "Empty"); },
     [](NotesWindows&) { Box->twSkinButton4->Click(); }, TBox::TMode::Adding, No, "", nullptr},
    {"DelCategoryWithNotes", [](NotesWindows& t) { Select(t, "Work"); },
     [](NotesWindows&) { Box->twSkinButton4->Click(); }, TBox::TMode::Adding, No, "",
     "The class have2 Article   of the lower content, cannot be deleted !"},
    {"HideAndShowAgain", [](NotesWindows& t) {
       Select(t, "Home");
       Box->twSkinButton4->Click();
       Select(t, "Work");
       Box->edt1->setText("typed");
     },
     [](NotesWindows&) { Box->twSkinButton2->Click(); Form1->twSkinSpeedButton2->Click(); },
     std::nullopt, Same, nullptr, nullptr},
};

class BoxStates : public NotesWindows, public ::testing::WithParamInterface<BoxRow> {};

TEST_P(BoxStates, FollowTheTable) {
  const BoxRow& row = GetParam();
  Start();
  Click(Form1->twSkinSpeedButton2);
  ASSERT_TRUE(Box->isVisible());
  row.setup(*this);
  const TBox::TMode mode = Box->Mode();
  const bool del = Box->twSkinButton4->Enabled();
  const QString nameBox = Box->edt1->text(), message = Box->Label1->Caption();
  row.event(*this);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_TRUE(Box->isVisible());
  EXPECT_EQ(Box->Mode(), row.mode.value_or(mode));
  EXPECT_EQ(Box->twSkinButton4->Enabled(), row.del == Same ? del : row.del == Yes);
  EXPECT_EQ(Box->edt1->text(), row.nameBox ? QString(row.nameBox) : nameBox);
  EXPECT_EQ(Box->Label1->Caption(), row.message ? QString(row.message) : message);
  EXPECT_EQ(Box->twSkinButton1->Caption(), "Save");
}

INSTANTIATE_TEST_SUITE_P(Rows, BoxStates, ::testing::ValuesIn(kBoxRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NotesWindows, EditorAddsRenamesAndDeletesCategories) {
  Start();
  Form1->N2->trigger();
  EXPECT_EQ(BoxList(), QStringList({"Work", "Home", "Empty"}));
  // Class Modify while shown only brings it forward: no refill.
  Sql(db, "insert into 类别 (类别) values ('Later')");
  Click(Form1->twSkinSpeedButton2);
  EXPECT_EQ(BoxList(), QStringList({"Work", "Home", "Empty"}));
  Sql(db, "delete from 类别 where 类别 = 'Later'");

  // Save right after opening adds.
  Box->edt1->setText("Garden");
  Click(Box->twSkinButton1);
  EXPECT_EQ(BoxList(), QStringList({"Work", "Home", "Empty", "Garden"}));

  // Renaming re-files the notes, and renames again on a second Save.
  SelectCategory("Work");
  Box->edt1->setText("Job");
  Click(Box->twSkinButton1);
  Box->edt1->setText("Office");
  Click(Box->twSkinButton1);
  EXPECT_EQ(Categories(), QStringList({"Office", "Home", "Empty", "Garden"}));
  EXPECT_EQ(Rows(db, "select 标题 from 笔记 where 类别 = 'Office' order by rowid"),
            QStringList({"Budget", "Agenda"}));

  // Del goes by the stored name, not by what was typed over it.
  SelectCategory("Empty");
  Box->edt1->setText("Home");
  Click(Box->twSkinButton4);
  EXPECT_EQ(BoxList(), QStringList({"Office", "Home", "Garden"}));
  SelectCategory("Home");
  Box->edt1->setText("Garden");
  Click(Box->twSkinButton4);
  EXPECT_EQ(Box->Label1->Caption(), "The class have2 Article   of the lower content, cannot be deleted !");
  EXPECT_EQ(Categories(), QStringList({"Office", "Home", "Garden"}));

  // Closing refreshes the main window.
  EXPECT_EQ(Tree(), "Empty|Home[Agenda,Shopping]|Work[Agenda,Budget]");
  Click(Box->twSkinButton2);
  EXPECT_FALSE(Box->isVisible());
  EXPECT_EQ(Tree(), "Garden|Home[Agenda,Shopping]|Office[Agenda,Budget]");
  EXPECT_EQ(Form1->SeSkinComboBox1->Items(), QStringList({"Office", "Home", "Garden"}));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(NotesWindows, DuplicateCategoriesEachListTheirNotes) {
  Sql(db, "insert into 类别 (类别) values ('Work')");
  Start();
  EXPECT_EQ(Tree(), "Empty|Home[Agenda,Shopping]|Work[Agenda,Budget]|Work[Agenda,Budget]");
}

// The editor's selected category and the main window's loaded note are held
// apart, whichever order the two windows are used in.
TEST_F(NotesWindows, EditorAndMainWindowNeverActOnEachOthersRow) {
  Start();
  Click(Form1->twSkinSpeedButton2);

  ClickNote("Work", "Budget");
  SelectCategory("Home");
  Form1->SeSkinMemo1->setPlainText("Budget 2");
  Click(Form1->Button1);
  EXPECT_EQ(Notes().first(), "Work|Budget 2|numbers for the first quarter");
  EXPECT_EQ(Categories(), QStringList({"Work", "Home", "Empty"}));

  SelectCategory("Home");
  ClickNote("Work", "Agenda");
  Box->edt1->setText("House");
  Click(Box->twSkinButton1);
  EXPECT_EQ(Categories(), QStringList({"Work", "House", "Empty"}));
  EXPECT_EQ(Notes()[1], "Work|Agenda|monday meeting");

  SelectCategory("Empty");
  ClickNote("Work", "Agenda");
  Click(Box->twSkinButton4);
  EXPECT_EQ(Categories(), QStringList({"Work", "House"}));
  dialogs.answers = {mrYes};
  Click(Form1->Button4);
  EXPECT_EQ(Notes().size(), 4);
  EXPECT_FALSE(Notes().join(';').contains("monday meeting"));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// ---------------------------------------------------------------------------
// Keyword search and results window

TEST_F(NotesWindows, FindListsTitlesFromTitlesAndBodies) {
  Start();
  struct Case {
    QString keyword;
    QStringList titles;
  } cases[] = {
      {"Please enter a keyword", {}},
      {"", {"Budget", "Agenda", "Shopping", "Agenda", "Orphan"}},
      {"eggs", {"Shopping"}},
      {"Agenda", {"Agenda", "Agenda"}},
      {"it's", {}},
      {"\"", {}},
  };
  Form1->twSkinSpeedButton4->Click();  // untouched keyword box
  EXPECT_EQ(Results(), cases[0].titles);
  for (const Case& c : cases) {
    Find(c.keyword);
    EXPECT_EQ(Results(), c.titles) << c.keyword.toStdString();
    EXPECT_TRUE(AboutBox1->isVisible());
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(NotesWindows, FindWhileShownRefillsAndEnterCloses) {
  Start();
  Find("eggs");
  ASSERT_TRUE(AboutBox1->isVisible());
  Find("Agenda");
  EXPECT_EQ(Results(), QStringList({"Agenda", "Agenda"}));
  EXPECT_TRUE(AboutBox1->isVisible());

  QTest::keyClick(AboutBox1->ListBox1, Qt::Key_Return);
  EXPECT_FALSE(AboutBox1->isVisible());
  // The list keeps the last search while hidden.
  EXPECT_EQ(Results(), QStringList({"Agenda", "Agenda"}));
}

TEST_F(NotesWindows, OpenedResultIsTheNoteModifyChanges) {
  Start();
  ClickNote("Work", "Budget");
  Find("eggs");
  OpenResult(0);
  EXPECT_TRUE(AboutBox1->isVisible());
  Form1->twSkinMemo21->setPlainText("milk\neggs\nbread");
  Click(Form1->Button1);
  EXPECT_EQ(Notes()[2], "Home|Shopping|milk\neggs\nbread");
  EXPECT_EQ(Notes()[0], "Work|Budget|numbers for the first quarter");

  // Double-clicking with no line selected does nothing.
  const EditorState before = Editor();
  AboutBox1->ListBox1->setCurrentRow(-1);
  AboutBox1->ListBox1DblClick();
  EXPECT_EQ(Editor(), before);
}

TEST_F(NotesWindows, OpeningAResultDeletedMeanwhileFailsWithoutANote) {
  Start();
  ClickNote("Work", "Budget");
  Find("eggs");
  Sql(db, "delete from 笔记 where 标题 = 'Shopping'");
  OpenResult(0);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("The note \"Shopping\" no longer exists")) << errors[0].toStdString();
  EditorState s = Editor();
  EXPECT_EQ(s.current, "none");
  EXPECT_EQ(s.title, "");
  EXPECT_EQ(s.body, "");
  EXPECT_TRUE(s.modify && s.del);  // buttons as they were
  Click(Form1->Button1);
  EXPECT_EQ(errors.size(), 2);
  EXPECT_EQ(Notes()[0], "Work|Budget|numbers for the first quarter");
}

// ---------------------------------------------------------------------------
// Layout

TEST_F(NotesWindows, WindowsCarryTheirDesignedControls) {
  struct Expect {
    QWidget* w;
    const char* name;
    bool shown;
    bool enabled;
  } controls[] = {
      {Form1->Button1, "Button1", false, true},
      {Form1->Button2, "Button2", false, true},
      {Form1->Button4, "Button4", true, true},
      {Form1->SeSkinComboBox1, "SeSkinComboBox1", true, false},
      {Form1->DateTimePicker1, "DateTimePicker1", false, false},
      {Form1->SeSkinMemo1, "SeSkinMemo1", true, false},
      {Form1->twSkinMemo21, "twSkinMemo21", true, false},
      {Box->twSkinButton4, "twSkinButton4", true, false},
  };
  for (const Expect& e : controls) {
    EXPECT_EQ(e.w->objectName(), e.name);
    EXPECT_EQ(!e.w->isHidden(), e.shown) << e.name;
    EXPECT_EQ(e.w->isEnabled(), e.enabled) << e.name;
  }
  EXPECT_EQ(Form1->Caption(), "Tarnwick ");
  EXPECT_EQ(Form1->twSkinForm1->FrameState(), TtwFrameState::Maximized);
  EXPECT_EQ(Form1->font().family(), "Tahoma");
  EXPECT_EQ(Form1->font().pixelSize(), 16);
  EXPECT_EQ(Box->Caption(), "Set");
  EXPECT_EQ(AboutBox1->Caption(), "Result");
  EXPECT_EQ(Form1->twSkinEdit1->text(), "Please enter a keyword");
  EXPECT_EQ(Form1->StatusBar1->height(), 48);
  EXPECT_EQ(Form1->ImageList2->Count(), 3);
  EXPECT_FALSE(Form1->N1->isEnabled());
  EXPECT_EQ(QSize(Box->ClientWidth(), Box->ClientHeight()), QSize(434, 287));  // the frame adds its margins
  EXPECT_EQ(AboutBox1->size(), QSize(477, 333));
  EXPECT_TRUE(AboutBox1->OKButton->Default());

  // Clicking into the keyword box selects its whole text.
  Start();
  QTest::mouseClick(Form1->twSkinEdit1, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(Form1->twSkinEdit1->selectedText(), "Please enter a keyword");
}

// The command row shows only its visible buttons, then "class" and the box.
TEST_F(NotesWindows, CommandRowLinesUpVisibleButtons) {
  Start();
  ClickNote("Work", "Budget");
  EXPECT_EQ(Form1->Button1->x(), Form1->twSkinPanel1->AlignClientRect().left());
  EXPECT_EQ(Form1->Button4->x(), Form1->Button1->x() + 104);
  EXPECT_EQ(Form1->lbl1->x(), Form1->Button4->x() + 104);
  EXPECT_EQ(Form1->SeSkinComboBox1->x(), Form1->lbl1->x() + Form1->lbl1->width());
  Click(Form1->twSkinSpeedButton1);
  EXPECT_EQ(Form1->Button2->x(), Form1->twSkinPanel1->AlignClientRect().left());
  EXPECT_EQ(Form1->lbl1->x(), Form1->Button2->x() + 104);
}

TEST_F(NotesWindows, LongNoteScrollsWithTheSkinnedBar) {
  QString body;
  for (int i = 1; i <= 80; ++i) body += QStringLiteral("line %1\n").arg(i);
  Sql(db, "insert into 笔记 (类别, 日期, 标题, 内容) values ('Work', '2026-03-04T05:06:07', 'Long', ?)", {body});
  Start();
  ClickNote("Work", "Long");
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  QScrollBar* hidden = Form1->twSkinMemo21->verticalScrollBar();
  TtwSkinScrollBar* bar = Form1->twSkinScrollBar5;
  ASSERT_FALSE(bar->isHidden());
  EXPECT_EQ(Form1->twSkinMemo21->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(bar->Max(), hidden->maximum() + hidden->pageStep() - 1);
  bar->SetPosition(bar->Max());
  EXPECT_EQ(hidden->value(), hidden->maximum());
  ClickNote("Work", "Budget");
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  EXPECT_TRUE(bar->isHidden());
  EXPECT_TRUE(Form1->twSkinScrollBar3->isHidden());  // a one-line title
  EXPECT_TRUE(Form1->twSkinScrollBar1->isHidden());  // a short tree
}

TEST(NoteImages, ThreeDistinctPicturesOnTheListBackground) {
  const QColor bg(0xCC, 0xE8, 0xCF);
  QList<QImage> pictures = NoteImages();
  ASSERT_EQ(pictures.size(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(pictures[i].size(), QSize(24, 24));
    EXPECT_EQ(pictures[i].pixelColor(0, 0), bg) << i;
    EXPECT_EQ(pictures[i].pixelColor(23, 23), bg) << i;
    int drawn = 0;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) drawn += pictures[i].pixelColor(x, y) != bg;
    EXPECT_GT(drawn, 150) << i;
    for (int j = 0; j < i; ++j) EXPECT_NE(pictures[i], pictures[j]);
  }
}

}  // namespace
