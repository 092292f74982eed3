// The datasets over real files: connection checks, snapshots, write-back,
// transactions and what is refused.
#include "platform/db/Dataset.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QRandomGenerator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/platform/db/TestDb.h"

namespace {

const QMap<QString, QStringList> kNotesSchema = {
    {QStringLiteral("类别"), {QStringLiteral("类别")}},
    {QStringLiteral("笔记"), {"类别", "日期", "标题", "内容"}},
};

void Connect(TADOConnection& c, const QString& path) {
  c.ConnectionString = QStringLiteral("Provider=x;Data Source=%1;Mode=Share Deny None").arg(path);
  c.RequiredTables = kNotesSchema;
}

QString ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EError& e) {
    return e.Message();
  }
  return QStringLiteral("<no error>");
}

// ---------------------------------------------------------------------------

TEST(ConnectionString, ParsesPairsInOrder) {
  struct Case {
    const char* text;
    QList<QPair<QString, QString>> pairs;
  } cases[] = {
      {"A=1;B=two words;C=\"\"", {{"A", "1"}, {"B", "two words"}, {"C", ""}}},
      {"Data Source=\"a;b.mdb\";X=y", {{"Data Source", "a;b.mdb"}, {"X", "y"}}},
      {" Key = v ; ;Q=\"say \"\"hi\"\"\";", {{"Key", "v"}, {"Q", "say \"hi\""}}},
      {"Jet OLEDB:Don't Copy Locale on Compact=False", {{"Jet OLEDB:Don't Copy Locale on Compact", "False"}}},
      {"", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TADOConnection::ParseConnectionString(QString::fromUtf8(c.text)), c.pairs) << c.text;

  TADOConnection conn;
  conn.ConnectionString = "Provider=P;data source=笔记本.mdb;Mode=Read";
  EXPECT_EQ(conn.DataSource(), QStringLiteral("笔记本.mdb"));
}

TEST(Connection, MissingFileIsAClearErrorAndIsNeverCreated) {
  QTemporaryDir dir;
  InFolder in(dir.path());
  TADOConnection c;
  Connect(c, "data.mdb");
  TADOTable t;
  t.Connection = &c;
  t.TableName = "笔记";
  const QString msg = ErrorOf([&] { t.Open(); });
  EXPECT_TRUE(msg.contains(QDir(dir.path()).filePath("data.mdb"))) << msg.toStdString();
  EXPECT_TRUE(msg.contains("does not exist")) << msg.toStdString();
  EXPECT_FALSE(c.Connected());
  EXPECT_FALSE(t.Active());
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(Connection, DataSourceIsRelativeToTheWorkingFolder) {
  TempDb db;
  RawDb(db.path).AddNote("c", "t", "b");
  InFolder in(db.dir.path());
  TADOConnection c;
  Connect(c, "data.mdb");
  TADOTable t;
  t.Connection = &c;
  t.TableName = "笔记";
  t.Open();
  EXPECT_TRUE(c.Connected());
  EXPECT_EQ(t.RecordCount(), 1);
}

// Files that are not ours are refused before anything could write to them.
TEST(Connection, ForeignFilesAreRefusedAndLeftUntouched) {
  QTemporaryDir dir;
  QByteArray jet(4096, '\0');
  jet.replace(0, 20, QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20));
  QByteArray random(8192, '\0');
  for (char& ch : random) ch = char(QRandomGenerator::global()->bounded(256));
  QByteArray fakeHeader = QByteArray("SQLite format 3\0", 16) + random;

  auto sqliteFile = [&](const char* name, const char* sql) {
    const QString p = dir.filePath(name);
    sqlite3* h = nullptr;
    sqlite3_open(QFile::encodeName(p).constData(), &h);
    sqlite3_exec(h, sql, nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return ReadAll(p);
  };

  struct Case {
    const char* name;
    QByteArray bytes;  // empty: already written by sqliteFile
    const char* why;
  };
  const QByteArray other = sqliteFile("other.db", "create table other(x); insert into other values (1);");
  const QByteArray partial = sqliteFile(
      "partial.db", "create table 类别(类别 text); create table 笔记(类别 text, 日期 text, 标题 text);");
  const QByteArray wal = sqliteFile("wal.db", "pragma journal_mode=wal; create table other(x);");
  ASSERT_EQ(wal[18], 2);
  const Case cases[] = {
      {"wal.db", wal, "table \"类别\""},
      {"jet.mdb", jet, "not an SQLite database"},
      {"random.mdb", random, "not an SQLite database"},
      {"empty.mdb", QByteArray(), "empty"},
      {"fake.mdb", fakeHeader, "damaged"},
      {"other.db", other, "table \"类别\""},
      {"partial.db", partial, "column \"内容\""},
  };
  for (const Case& cs : cases) {
    const QString p = dir.filePath(cs.name);
    if (!QFile::exists(p)) {
      QFile f(p);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(cs.bytes);
    }
    const QByteArray before = ReadAll(p);
    const QDateTime mtime = QFileInfo(p).lastModified();
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);

    TADOConnection c;
    Connect(c, p);
    TADOQuery q;
    q.Connection = &c;
    q.SetSQL({"select * from 笔记", {}});
    const QString msg = ErrorOf([&] { q.Open(); });
    EXPECT_TRUE(msg.contains("is not a notes database")) << cs.name << ": " << msg.toStdString();
    EXPECT_TRUE(msg.contains(cs.why)) << cs.name << ": " << msg.toStdString();
    EXPECT_TRUE(msg.contains(cs.name)) << msg.toStdString();
    EXPECT_FALSE(c.Connected());
    EXPECT_EQ(ReadAll(p), before) << cs.name;
    EXPECT_EQ(QFileInfo(p).lastModified(), mtime) << cs.name;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), filesBefore) << cs.name << ": a side file appeared";
  }
}

// Copies `from` with whatever side file a writer caught half way (`sql` run
// in an open transaction, or in a log not yet copied back) has left beside
// it, to `to`: a file in the state a crash leaves.
void CopyMidWrite(const QString& from, const QString& to, const char* setup, const char* sql,
                  const char* side) {
  sqlite3* w = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(from).constData(), &w), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(w, setup, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(w);
  ASSERT_EQ(sqlite3_exec(w, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(w);
  ASSERT_TRUE(QFile::copy(from, to));
  ASSERT_TRUE(QFile::copy(from + side, to + side)) << side;
  sqlite3_exec(w, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(w);
}

// A file that is not ours is never recovered, whatever lies beside it; our
// own notebook is, and one whose tables are still in its log is recognised.
TEST(Connection, OnlyOurOwnNotebookIsEverRecovered) {
  QTemporaryDir dir;
  const QString foreign = dir.filePath("foreign.db"), ours = dir.filePath("ours.db");
  {
    sqlite3* h = nullptr;
    sqlite3_open(QFile::encodeName(foreign).constData(), &h);
    sqlite3_exec(h, "create table other(x); insert into other values (1);", nullptr, nullptr, nullptr);
    sqlite3_close(h);
  }
  CreateNotesDatabase(ours, false);
  // A tiny cache makes the writer put pages into the file before it commits.
  const char* spill = "pragma cache_size=2; begin; "
                      "with recursive n(i) as (select 1 union all select i+1 from n where i<300) "
                      "insert into %1 select randomblob(3000)%2 from n;";
  const QByteArray foreignSpill = QString::fromLatin1(spill).arg("other", "").toUtf8();
  const QByteArray oursSpill = QString::fromLatin1(spill).arg("笔记", ", 1, 2, 3").toUtf8();
  const char* walSetup = "pragma journal_mode=wal; pragma wal_autocheckpoint=0;";
  struct Case {
    const char* name;
    QString from;
    const char* setup;
    QByteArray sql;
    const char* side;
    bool ours;
  } cases[] = {
      {"hot-journal.mdb", foreign, "", foreignSpill, "-journal", false},
      {"wal-without-shm.mdb", foreign, walSetup, "begin; insert into other values (2); commit; begin;", "-wal", false},
      {"our-hot-journal.mdb", ours, "", oursSpill, "-journal", true},
      {"our-tables-in-wal.mdb", dir.filePath("fresh.db"), walSetup,
       "create table 类别(类别); create table 笔记(类别, 日期, 标题, 内容); begin;", "-wal", true},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    const QString p = dir.filePath(cs.name);
    CopyMidWrite(cs.from, p, cs.setup, cs.sql.constData(), cs.side);
    const QByteArray before = ReadAll(p), sideBefore = ReadAll(p + cs.side);
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);

    TADOConnection c;
    Connect(c, p);
    TADOQuery q;
    q.Connection = &c;
    q.SetSQL({"select * from 笔记", {}});
    const QString msg = ErrorOf([&] { q.Open(); });
    if (!cs.ours) {
      EXPECT_TRUE(msg.contains("is not a notes database")) << msg.toStdString();
      EXPECT_EQ(ReadAll(p), before);
      EXPECT_EQ(ReadAll(p + cs.side), sideBefore);
      EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), filesBefore) << "a side file appeared or went";
    } else {
      EXPECT_EQ(msg, "<no error>");
      EXPECT_EQ(q.RecordCount(), 0) << "the half-written notes were rolled back";
    }
  }
}

// ---------------------------------------------------------------------------

class DatasetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    raw = std::make_unique<RawDb>(db.path);
    raw->AddNote("工作", "周报", "第一段\n第二段", "2026-03-04T05:06:07");
    raw->AddNote("生活", "清单", "牛奶");
    raw->AddNote("工作", "计划", "明年");
    Connect(conn, db.path);
    notes.Connection = query.Connection = &conn;
    notes.TableName = "笔记";
    notes.setObjectName("BZ");
    query.setObjectName("ADOQuery1");
  }
  QStringList Titles() { return raw->Column("select 标题 from 笔记 order by rowid"); }

  TempDb db;
  std::unique_ptr<RawDb> raw;
  TADOConnection conn;
  TADOTable notes;
  TADOQuery query;
};

TEST_F(DatasetTest, OpenIsASnapshotUntilReopened) {
  notes.Open();
  EXPECT_EQ(notes.RecordCount(), 3);
  raw->AddNote("x", "后来", "y");
  raw->Exec("update 笔记 set 内容='changed' where 标题='周报'");
  EXPECT_EQ(notes.RecordCount(), 3);
  EXPECT_EQ(notes.FieldByName("内容").AsString(), "第一段\n第二段");
  notes.Open();  // already open: still the old rows
  EXPECT_EQ(notes.RecordCount(), 3);
  notes.Close();
  notes.Open();
  EXPECT_EQ(notes.RecordCount(), 4);
  EXPECT_EQ(notes.FieldByName("内容").AsString(), "changed");
}

TEST_F(DatasetTest, AppendOnlyOpenCountsWhenAskedAndReadsNoRow) {
  auto add = [&](const QString& title) {
    notes.Insert();
    notes.FieldByName("标题").SetAsString(title);
    notes.Post();
  };
  notes.OpenForAppend();
  add("甲");
  EXPECT_EQ(notes.RecordCount(), 4);  // counted now, the new row included
  add("乙");
  EXPECT_EQ(notes.RecordCount(), 5);
  EXPECT_THROW(notes.First(), EDatabaseError);
  EXPECT_THROW(notes.FieldByName("标题").AsString(), EDatabaseError);
  notes.Close();
  notes.OpenForAppend();
  EXPECT_EQ(notes.RecordCount(), 5);
  EXPECT_EQ(Titles(), QStringList({"周报", "清单", "计划", "甲", "乙"}));
}

TEST_F(DatasetTest, ReadRowsHandsOverEachRowAsItComes) {
  raw->AddNote("工作", QVariant(), "无题");
  QStringList seen;
  conn.ReadRows({"select rowid, 标题, 内容 from 笔记 where 类别=? order by rowid", {"工作"}},
                [&](const TRowReader& row) {
                  seen << QString::number(row.Int(0)) + "|" + (row.IsNull(1) ? "<null>" : row.Text(1)) + "|" +
                              row.Text(2);
                });
  EXPECT_EQ(seen, QStringList({"1|周报|第一段\n第二段", "3|计划|明年", "4|<null>|无题"}));
  EXPECT_THROW(conn.ReadRows({"select nothing from 笔记", {}}, [](const TRowReader&) {}), ESqliteError);
  EXPECT_THROW(conn.ReadRows({"select * from 笔记 where 类别=?", {}}, [](const TRowReader&) {}), EDatabaseError);
}

TEST_F(DatasetTest, WalkingVisitsEveryRowOnce) {
  notes.Open();
  QStringList seen;
  notes.First();
  for (int i = 0; i < notes.RecordCount(); ++i) {
    EXPECT_FALSE(notes.Eof());
    seen << notes.FieldByName("标题").AsString();
    notes.Next();
  }
  EXPECT_TRUE(notes.Eof());
  EXPECT_EQ(seen, Titles());
  notes.Next();  // past the end stays on the last row
  EXPECT_EQ(notes.FieldByName("标题").AsString(), "计划");
  notes.First();
  EXPECT_TRUE(notes.Bof());
  EXPECT_EQ(notes.FieldByName("标题").AsString(), "周报");

  query.SetSQL({"select * from 笔记 where 标题=?", {"none"}});
  query.Open();
  EXPECT_EQ(query.RecordCount(), 0);
  EXPECT_TRUE(query.Eof());
  EXPECT_TRUE(query.Bof());
}

TEST_F(DatasetTest, FieldsReadTextAndDates) {
  query.SetSQL({"select * from 笔记 where 标题=?", {"周报"}});
  query.Open();
  EXPECT_EQ(query.FieldNames(), (QStringList{"类别", "日期", "标题", "内容"}));
  EXPECT_EQ(query.FieldByName("类别").AsString(), "工作");
  const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
  EXPECT_EQ(query.FieldByName("日期").AsDateTime(), when);
  EXPECT_EQ(query.FieldByName("日期").Value().toDateTime(), when);
  EXPECT_EQ(query.FieldByName("标题").Value().toString(), "周报");
  EXPECT_TRUE(ErrorOf([&] { query.FieldByName("作者"); }).contains("作者"));
}

TEST_F(DatasetTest, NullFieldCannotBeShownButEmptyTextCan) {
  raw->Exec("insert into 笔记 (类别,标题) values ('', '无内容')");
  query.SetSQL({"select * from 笔记 where 标题=?", {"无内容"}});
  query.Open();
  EXPECT_EQ(query.FieldByName("类别").AsString(), "");
  EXPECT_FALSE(query.FieldByName("类别").IsNull());
  EXPECT_TRUE(query.FieldByName("内容").IsNull());
  EXPECT_TRUE(ErrorOf([&] { query.FieldByName("内容").AsString(); }).contains("内容"));
  EXPECT_THROW(query.FieldByName("日期").AsDateTime(), EDatabaseError);

  raw->Exec("update 笔记 set 日期='not a date' where 标题='无内容'");
  query.Close();
  query.Open();
  EXPECT_THROW(query.FieldByName("日期").AsDateTime(), EConvertError);
}

TEST_F(DatasetTest, EditPostWritesBackToTheSourceRowOnly) {
  query.SetSQL({"select * from 笔记 where 类别=? order by 类别", {"工作"}});
  query.Open();
  query.Next();  // 计划
  query.Edit();
  query.FieldByName("标题").SetAsString("新计划");
  query.FieldByName("内容").SetAsString("");
  EXPECT_EQ(query.FieldByName("标题").AsString(), "新计划");
  query.Post();
  EXPECT_EQ(query.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(query.FieldByName("标题").AsString(), "新计划");
  EXPECT_EQ(raw->Rows("select 类别,标题,内容 from 笔记 order by rowid"),
            (QList<QStringList>{{"工作", "周报", "第一段\n第二段"}, {"生活", "清单", "牛奶"}, {"工作", "新计划", ""}}));

  // A table dataset writes back the same way.
  notes.Open();
  notes.Next();
  notes.Edit();
  notes.FieldByName("类别").SetAsString("工作");
  notes.Post();
  EXPECT_EQ(raw->Column("select 类别 from 笔记 order by rowid"), (QStringList{"工作", "工作", "工作"}));

  // Cancel and Close drop unposted changes.
  notes.Edit();
  notes.FieldByName("标题").SetAsString("never");
  notes.Cancel();
  EXPECT_EQ(notes.FieldByName("标题").AsString(), "清单");
  notes.Edit();
  notes.FieldByName("标题").SetAsString("never");
  notes.Close();
  EXPECT_FALSE(Titles().contains("never"));
}

TEST_F(DatasetTest, InsertAddsARowThroughTablesOnly) {
  notes.Open();
  notes.Insert();
  notes.Edit();  // no effect while inserting
  EXPECT_EQ(notes.State(), TDataSetState::dsInsert);
  const QDateTime when(QDate(2026, 12, 9), QTime(22, 30, 1));
  notes.FieldByName("类别").SetAsString("生活");
  notes.FieldByName("日期").SetAsDateTime(when);
  notes.FieldByName("标题").SetAsString("新的");
  notes.FieldByName("内容").SetAsString("");
  notes.Post();
  EXPECT_EQ(notes.RecordCount(), 4);
  EXPECT_EQ(notes.FieldByName("日期").AsDateTime(), when);
  EXPECT_EQ(raw->Rows("select 类别,日期,标题,内容 from 笔记 where 标题='新的'"),
            (QList<QStringList>{{"生活", "2026-12-09T22:30:01", "新的", ""}}));

  query.SetSQL({"select * from 笔记", {}});
  query.Open();
  EXPECT_THROW(query.Insert(), EDatabaseError);
  EXPECT_THROW(query.FieldByName("标题").SetAsString("x"), EDatabaseError);  // not editing
  EXPECT_THROW(query.Post(), EDatabaseError);
}

// Write permission binds only an unprivileged user: as root, the user's part
// runs in a child that has given root up.
TEST_F(DatasetTest, FileMadeWritableIsWrittenOnTheNextTry) {
  raw.reset();
  const QByteArray path = QFile::encodeName(db.path), dir = QFile::encodeName(db.dir.path());
  const bool root = geteuid() == 0;
  constexpr uid_t kNobody = 65534;
  if (root) {
    ASSERT_EQ(chown(path.constData(), kNobody, kNobody) | chmod(dir.constData(), 0777), 0);
  }
  ASSERT_EQ(chmod(path.constData(), 0444), 0);
  const pid_t child = fork();
  if (child == 0) {
    if (root && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(10);
    auto add = [&] {
      notes.Insert();
      notes.FieldByName("标题").SetAsString("typed while read-only");
      notes.Post();
    };
    try {
      notes.OpenForAppend();
      try {
        add();
        _exit(11);  // written to a read-only file
      } catch (const ESqliteError& e) {
        if (e.Code() != SQLITE_READONLY) _exit(12);
        notes.Cancel();
      }
      if (chmod(path.constData(), 0644) != 0) _exit(13);
      add();
    } catch (const EError& e) {
      std::fprintf(stderr, "%s\n", e.what());
      _exit(14);
    }
    _exit(0);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10 no user to become, 11 written while read-only, 12 another "
                                       "error, 13 no chmod, 14 the retry failed";
  EXPECT_EQ(RawDb(db.path).Column("select count(*) from 笔记 where 标题 = 'typed while read-only'"),
            QStringList{"1"});
}

TEST_F(DatasetTest, DeleteRemovesExactlyTheCurrentRow) {
  raw->AddNote("工作", "周报", "second copy");
  query.SetSQL({"select * from 笔记 where 标题=?", {"周报"}});
  query.Open();
  ASSERT_EQ(query.RecordCount(), 2);
  query.Delete();
  EXPECT_EQ(query.RecordCount(), 1);
  EXPECT_EQ(query.FieldByName("内容").AsString(), "second copy");
  EXPECT_EQ(raw->Column("select 内容 from 笔记 where 标题='周报'"), QStringList{"second copy"});
  EXPECT_EQ(raw->Column("select count(*) from 笔记"), QStringList{"3"});
  query.Delete();
  EXPECT_EQ(query.RecordCount(), 0);
  EXPECT_THROW(query.Delete(), EDatabaseError);  // nothing left to delete
  EXPECT_THROW(query.Edit(), EDatabaseError);
}

// A text of megabytes is held once: its field's bytes share the buffer read,
// and they are written back as text, never decoded on the way.
TEST_F(DatasetTest, LargeTextsAreSharedAndWrittenBackAsText) {
  const QString big = "开头" + QString(1 << 20, u'x') + "😀";
  raw->AddNote("大", "big", big);
  query.SetSQL({"select * from 笔记 where 类别=?", {"大"}});
  query.Open();
  const QByteArray bytes = query.FieldByName("内容").AsUtf8();
  EXPECT_EQ(query.FieldByName("内容").AsUtf8().constData(), bytes.constData());
  EXPECT_EQ(query.FieldByName("内容").ByteSize(), bytes.size());
  EXPECT_EQ(query.FieldByName("内容").AsString(), big);

  query.Edit();
  query.FieldByName("内容").SetAsUtf8(bytes + "!");
  EXPECT_EQ(query.FieldByName("内容").AsString(), big + "!");
  EXPECT_EQ(query.FieldByName("标题").AsString(), "big") << "a field not set reads as read";
  query.Post();
  EXPECT_EQ(query.FieldByName("内容").AsString(), big + "!");
  EXPECT_EQ(raw->Column("select typeof(内容) || length(内容) from 笔记 where 类别='大'"),
            QStringList{"text" + QString::number(big.size())});  // the emoji is one character
  query.Delete();
  EXPECT_EQ(raw->Column("select count(*) from 笔记 where 类别='大'"), QStringList{"0"});
}

// An edit or a delete taken away is written on a connection of its own, with
// the same checks as Post; each commit moves the file's change counter by one.
TEST_F(DatasetTest, TakenWritesAreWrittenElsewhereWithTheSameChecks) {
  query.SetSQL({"select * from 笔记 where 标题=?", {"周报"}});
  query.Open();
  conn.BeginReadTrans();
  const qint64 counter = conn.ChangeCounter();
  conn.CommitTrans();
  ASSERT_GE(counter, 0);

  query.Edit();
  query.FieldByName("内容").SetAsUtf8("改过");
  TRowWrite edit = query.TakeEdit();
  EXPECT_EQ(query.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(query.FieldByName("内容").AsString(), "第一段\n第二段") << "still the row as read";
  EXPECT_EQ(WriteRow(edit), counter);
  EXPECT_EQ(raw->Column("select 内容 from 笔记 where 标题='周报'"), QStringList{"改过"});
  conn.BeginReadTrans();
  EXPECT_EQ(conn.ChangeCounter(), counter + 1);
  conn.CommitTrans();

  // The row as read is gone: the other columns are checked, as by Post.
  raw->Exec("update 笔记 set 日期='2020-01-01T00:00:00' where 标题='周报'");
  edit.statement.params[0] = QStringLiteral("again");
  EXPECT_EQ(ErrorOf([&] { WriteRow(edit); }), edit.gone);
  const TRowWrite remove = query.TakeDelete();
  EXPECT_EQ(remove.kind, TRowChange::Delete);
  EXPECT_EQ(ErrorOf([&] { WriteRow(remove); }), remove.gone) << "the row changed since it was read";
  query.Close();
  query.Open();
  EXPECT_NO_THROW(WriteRow(query.TakeDelete()));
  EXPECT_EQ(raw->Column("select count(*) from 笔记 where 标题='周报'"), QStringList{"0"});
}

// Since the row was read, it was changed elsewhere or replaced by a new row
// under the same rowid: a save of a field still wins, but nothing is ever
// written over a row that is not the one shown.
TEST_F(DatasetTest, RowsChangedElsewhereAreNeverMistakenForOthers) {
  query.SetSQL({"select * from 笔记 where 类别=? order by 类别", {"工作"}});
  query.Open();
  raw->Exec("update 笔记 set 类别='改名' where 类别='工作'");  // e.g. re-filed
  query.Edit();
  query.FieldByName("类别").SetAsString("生活");
  query.FieldByName("内容").SetAsString("mine");
  query.Post();
  EXPECT_EQ(raw->Rows("select 类别,内容 from 笔记 where 标题='周报'"), (QList<QStringList>{{"生活", "mine"}}));

  query.Next();  // 计划, the last rowid: deleted and its rowid reused
  raw->Exec("delete from 笔记 where 标题='计划'");
  raw->AddNote("工作", "别人的", "theirs", "2026-05-05T05:05:05");
  query.Edit();
  query.FieldByName("内容").SetAsString("mine");
  EXPECT_TRUE(ErrorOf([&] { query.Post(); }).contains("deleted or replaced"));
  EXPECT_EQ(raw->Column("select 内容 from 笔记 where 标题='别人的'"), QStringList{"theirs"});

  // Deleting goes by the whole row.
  notes.Open();
  notes.Next();
  notes.Next();  // 别人的, the last rowid
  raw->Exec("delete from 笔记 where 标题='别人的'");
  raw->AddNote("工作", "第三个", "x");
  EXPECT_THROW(notes.Delete(), EDatabaseError);
  EXPECT_EQ(raw->Column("select count(*) from 笔记 where 标题='第三个'"), QStringList{"1"});
}

TEST_F(DatasetTest, QueryTextChangesOnlyWhileClosed) {
  query.SetSQL({"select * from 笔记", {}});
  query.Open();
  EXPECT_THROW(query.SetSQL({"select * from 类别", {}}), EDatabaseError);
  EXPECT_THROW(query.ClearSQL(), EDatabaseError);
  EXPECT_THROW(query.AddSQL("where 1"), EDatabaseError);
  EXPECT_EQ(query.SQLText(), "select * from 笔记");
  query.Close();
  query.ClearSQL();
  query.AddSQL({"select * from 笔记", {}});
  query.AddSQL({"where 标题=?", {"计划"}});
  query.Open();
  EXPECT_EQ(query.RecordCount(), 1);

  // A field kept across a reopen with fewer columns must not read past them.
  const TField body = query.FieldByName("内容");
  query.Close();
  query.SetSQL({"select 标题 from 笔记", {}});
  query.Open();
  EXPECT_THROW(body.AsString(), EDatabaseError);
}

TEST_F(DatasetTest, OnlyWholeRowsOfOneTableCanBeChanged) {
  const char* readOnly[] = {
      "select 标题 from 笔记",
      "select * from 笔记, 类别",
      "select * from 笔记 group by 类别",
      "select * from 笔记 union all select * from 笔记",
  };
  raw->Exec("insert into 类别 values ('工作')");
  for (const char* sql : readOnly) {
    query.Close();
    query.SetSQL({sql, {}});
    query.Open();
    EXPECT_GT(query.RecordCount(), 0) << sql;
    EXPECT_THROW(query.Edit(), EDatabaseError) << sql;
    EXPECT_THROW(query.Delete(), EDatabaseError) << sql;
  }
  EXPECT_EQ(Titles().size(), 3);
}

// Callers keeping copies of rows learn which rows this connection changed,
// and when they cannot know.
TEST_F(DatasetTest, ChangesAreNamedUntilTheyCannotBe) {
  bool complete = true;
  notes.Open();
  conn.TakeChanges(complete);
  EXPECT_FALSE(complete) << "nothing is known of the time before the connection opened";
  const qint64 version = conn.DataVersion();

  notes.Edit();
  notes.FieldByName("标题").SetAsString("改");
  notes.Post();
  notes.Insert();
  notes.FieldByName("标题").SetAsString("新");
  notes.Post();
  notes.Delete();
  auto changes = conn.TakeChanges(complete);
  EXPECT_TRUE(complete);
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(changes[0].kind, TRowChange::Update);
  EXPECT_EQ(changes[0].rowid, 1);
  EXPECT_EQ(changes[1].kind, TRowChange::Insert);
  EXPECT_EQ(changes[2].kind, TRowChange::Delete);
  EXPECT_EQ(changes[2].rowid, changes[1].rowid);
  EXPECT_EQ(changes[0].table, "笔记");
  EXPECT_EQ(conn.DataVersion(), version) << "our own commits";

  query.SetSQL({"update 笔记 set 内容 = 'x'", {}});
  query.ExecSQL();
  conn.TakeChanges(complete);
  EXPECT_FALSE(complete) << "an executed statement changes rows nobody names";

  conn.TakeChanges(complete);
  notes.Close();
  notes.Open();
  conn.BeginTrans();
  notes.Edit();
  notes.FieldByName("标题").SetAsString("回滚");
  notes.Post();
  conn.RollbackTrans();
  conn.TakeChanges(complete);
  EXPECT_FALSE(complete) << "a rolled back post did not happen";

  raw->AddNote("x", "别处", "y");
  EXPECT_NE(conn.DataVersion(), version) << "another connection's commit";
}

TEST_F(DatasetTest, StatementMisuseChangesNothing) {
  // Opening is for reading: a change is refused before it runs.
  query.SetSQL({"update 笔记 set 内容='x'", {}});
  EXPECT_THROW(query.Open(), EDatabaseError);
  EXPECT_FALSE(query.Active());
  // Only one statement per text.
  query.SetSQL({"update 笔记 set 内容='x'; delete from 笔记", {}});
  EXPECT_TRUE(ErrorOf([&] { query.ExecSQL(); }).contains("one statement"));
  // The values must match the placeholders.
  query.SetSQL({"update 笔记 set 内容=? where 标题=?", {"x"}});
  EXPECT_THROW(query.ExecSQL(), EDatabaseError);
  EXPECT_EQ(raw->Column("select 内容 from 笔记 order by rowid"), (QStringList{"第一段\n第二段", "牛奶", "明年"}));

  query.SetSQL({"update 笔记 set 内容=? where 类别=?", {"done", "工作"}});
  query.ExecSQL();
  EXPECT_EQ(query.RowsAffected(), 2);
  EXPECT_FALSE(query.Active());
}

}  // namespace
