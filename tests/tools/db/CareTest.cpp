// tarnwick-db looking after notebooks: backup, restore, check, export and
// import, on Chinese and English names, and the export/import round trip.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <algorithm>

#include "app/NotesIndex.h"
#include "platform/db/Dataset.h"
#include "tests/platform/db/TestDb.h"
#include "tests/tools/db/ToolRun.h"

namespace {

QString Text(const ToolRun& r) { return r.out + r.err; }

// Every note as "category|date|title|body", sorted: a notebook's content
// whatever the order it was written in.
QStringList NoteSet(const QString& path) {
  RawDb db(path);
  QStringList out;
  for (const QStringList& row : db.Rows("select 类别, 日期, 标题, 内容 from 笔记")) out << row.join('|');
  out.sort();
  return out;
}

QStringList CategorySet(const QString& path) {
  RawDb db(path);
  QStringList out = db.Column("select 类别 from 类别");
  out.sort();
  return out;
}

// A notebook whose names are hard on file systems.
void AddAwkwardNotes(const QString& path) {
  RawDb db(path);
  for (const char* c : {"a/b", "..", "con", "Tab\tand\nline"}) db.Exec("insert into 类别 (类别) values (?)", {c});
  const QString longTitle = QString(300, QChar(u'长'));
  const std::pair<const char*, QString> notes[] = {
      {"a/b", "a/b"},          {"..", ".."},           {"..", "."},           {"con", "tab\there"},
      {"con", "line\nbreak"},  {"Tab\tand\nline", longTitle}, {"工作", "Same"},  {"工作", "Same"},
      {"工作", ""},             {"工作", "CON"},         {"a/b", ".hidden"},     {"a/b", "trailing. "},
      {"a/b", "C:\\x*?<>|\""},  {"工作", "周报 Weekly"},
  };
  int i = 0;
  for (const auto& [category, title] : notes) {
    db.AddNote(QString::fromUtf8(category), title, QStringLiteral("---\nbody %1 行\n\n末尾").arg(i),
               QStringLiteral("2026-0%1-1%1T08:09:10").arg(i % 9 + 1));
    ++i;
  }
  db.AddNote(QVariant(), "无类别", "a note with no category");
  db.AddNote("Recipes", QVariant(), "no title");
}

TEST(DbCare, BackupCopiesALiveNotebookUnderChineseNamesAndNeverReplaces) {
  TempDb db(true, QStringLiteral("笔记本.mdb"));
  RawDb live(db.path);  // Tarnwick holding it open
  live.Exec("insert into 笔记 (类别, 标题) values ('工作', 'open while copied')");
  QDir(db.dir.path()).mkdir("备份");
  const QString copy = db.File("备份/副本 2026.mdb");
  const ToolRun r = Tool({"backup", db.path, copy});
  ASSERT_EQ(r.code, 0) << Text(r).toStdString();
  EXPECT_TRUE(r.out.startsWith("Backed up")) << r.out.toStdString();
  EXPECT_EQ(NoteSet(copy), NoteSet(db.path));
  EXPECT_EQ(QFileInfo(copy).permissions() & 0x0077, 0);

  const QByteArray before = ReadAll(copy);
  const ToolRun again = Tool({"backup", db.path, copy});
  EXPECT_EQ(again.code, 1);
  EXPECT_TRUE(again.err.contains("already exists")) << again.err.toStdString();
  EXPECT_EQ(ReadAll(copy), before);
  EXPECT_EQ(QDir(db.File("备份")).entryList(QDir::Files | QDir::Hidden), QStringList{"副本 2026.mdb"});
}

TEST(DbCare, RestoreIsRefusedWhileTheNotebookIsOpenAndKeepsWhatItReplaces) {
  TempDb db(true);
  const QString copy = db.File("backup.mdb");
  ASSERT_EQ(Tool({"backup", db.path, copy}).code, 0);
  RawDb(db.path).AddNote("工作", "written after the backup", "keep me");
  const QStringList afterBackup = NoteSet(db.path);
  {
    RawDb program(db.path);  // another process holds the notebook
    program.Column("select count(*) from 笔记");
    const ToolRun r = Tool({"restore", copy, db.path});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("is open in") && r.err.contains("nothing was changed")) << r.err.toStdString();
    EXPECT_EQ(NoteSet(db.path), afterBackup);
  }
  const ToolRun r = Tool({"restore", copy, db.path});
  ASSERT_EQ(r.code, 0) << Text(r).toStdString();
  EXPECT_EQ(NoteSet(db.path), NoteSet(copy));
  EXPECT_EQ(NoteSet(db.path + ".before-restore"), afterBackup);

  // A second restore would lose the kept file: refused until it is moved.
  const ToolRun twice = Tool({"restore", copy, db.path});
  EXPECT_EQ(twice.code, 1);
  EXPECT_TRUE(twice.err.contains(".before-restore")) << twice.err.toStdString();
  EXPECT_EQ(NoteSet(db.path + ".before-restore"), afterBackup);

  // Only a notebook is put back.
  QFile junk(db.File("junk.mdb"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a notebook");
  junk.close();
  QFile::remove(db.path + ".before-restore");
  const ToolRun bad = Tool({"restore", db.File("junk.mdb"), db.path});
  EXPECT_EQ(bad.code, 1);
  EXPECT_EQ(NoteSet(db.path), NoteSet(copy));
}

TEST(DbCare, CheckReportsTheFileAndTheSearchIndex) {
  TempDb db(true);
  ToolRun r = Tool({"check", db.path});
  EXPECT_EQ(r.code, 0) << Text(r).toStdString();
  EXPECT_TRUE(r.out.contains("file: ok") && r.out.contains("search index: not built yet")) << r.out.toStdString();

  {
    TADOConnection conn;
    conn.ConnectionString = "Data Source=" + db.path;
    TNotesIndex index(&conn, nullptr);
    conn.Open();
    index.Upgrade();
    index.BuildAll();
  }
  r = Tool({"check", db.path});
  EXPECT_EQ(r.code, 0) << Text(r).toStdString();
  EXPECT_TRUE(r.out.contains("search index: ok")) << r.out.toStdString();

  // Changed behind the index's back: the check finds the note it misses.
  RawDb(db.path).Exec("delete from tw_notes_tails where id = (select max(rowid) from 笔记)");
  r = Tool({"check", db.path});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.out.contains("search index: damaged")) << r.out.toStdString();
  EXPECT_TRUE(r.err.contains("is damaged")) << r.err.toStdString();
}

TEST(DbCare, CheckFindsADamagedFile) {
  TempDb db;
  {
    RawDb w(db.path);
    w.Exec("begin");
    for (int i = 0; i < 400; ++i) w.AddNote("Travel", QStringLiteral("note %1").arg(i), QString(200, QChar('x')));
    w.Exec("commit");
  }
  {
    QFile f(db.path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(f.size() / 2);
    f.write(QByteArray(4096, '\x5a'));
  }
  const ToolRun r = Tool({"check", db.path});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.out.contains("file: damaged") || r.err.contains("malformed")) << Text(r).toStdString();

  const ToolRun missing = Tool({"check", db.File("nowhere.mdb")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_TRUE(missing.err.contains("does not exist")) << missing.err.toStdString();
}

TEST(DbCare, ExportWritesSafeNamesAndNeverReplacesAFile) {
  TempDb db(true);
  AddAwkwardNotes(db.path);
  const QString out = db.File("导出");
  QDir().mkpath(out + "/工作");
  QFile mine(out + "/工作/周会纪要.md");
  ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
  mine.write("my own file");
  mine.close();

  const ToolRun r = Tool({"export", db.path, out});
  ASSERT_EQ(r.code, 0) << Text(r).toStdString();
  EXPECT_EQ(ReadAll(out + "/工作/周会纪要.md"), "my own file");
  QStringList files;
  QDirIterator it(out, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo f(it.next());
    if (f.fileName() == ".tarnwick-category" || f.filePath() == out + "/工作/周会纪要.md") continue;
    files << f.filePath();
    const QString name = f.fileName();
    EXPECT_LE(name.toUtf8().size(), 255) << name.toStdString();
    EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
    for (const QChar c : name) EXPECT_FALSE(c.unicode() < 0x20 || QStringLiteral("<>:\"\\|?*").contains(c)) << name.toStdString();
  }
  EXPECT_EQ(files.size(), RawDb(db.path).Column("select count(*) from 笔记").value(0).toInt());
  // Folders: one per category, a taken one gets a new name.
  const QStringList folders = QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  EXPECT_TRUE(folders.contains("工作 (2)") && folders.contains("a_b") && folders.contains("_") &&
              folders.contains("_con") && folders.contains("Tab_and_line") && folders.contains("(no category)"))
      << folders.join(", ").toStdString();
  EXPECT_TRUE(QFileInfo::exists(out + "/工作 (2)/Same.md") && QFileInfo::exists(out + "/工作 (2)/Same (2).md"));
  for (const char* name : {"a_b/a_b.md", "a_b/_hidden.md", "a_b/trailing.md", "a_b/C__x______.md", "_/untitled.md",
                           "con/tab_here.md", "工作 (2)/_CON.md", "工作 (2)/untitled.md"})
    EXPECT_TRUE(QFileInfo::exists(out + "/" + QString::fromUtf8(name).replace("con/", "_con/")))
        << name << " among " << files.join(", ").toStdString();
  const QString note = QString::fromUtf8(ReadAll(out + "/工作 (2)/周报 Weekly.md"));
  EXPECT_EQ(note, "---\ntitle: \"周报 Weekly\"\ncategory: \"工作\"\ndate: \"2026-05-15T08:09:10\"\n---\n"
                  "---\nbody 13 行\n\n末尾");
}

TEST(DbCare, ExportThenImportIntoANewNotebookGivesTheSameNotes) {
  TempDb db(true);
  AddAwkwardNotes(db.path);
  const QString out = db.File("notes markdown");
  ASSERT_EQ(Tool({"export", db.path, out}).code, 0);
  const QString fresh = db.File("新笔记本.mdb");
  const ToolRun r = Tool({"import", out, fresh});
  ASSERT_EQ(r.code, 0) << Text(r).toStdString();
  EXPECT_EQ(NoteSet(fresh), NoteSet(db.path));
  EXPECT_EQ(CategorySet(fresh), CategorySet(db.path));

  // Into a notebook that has some of the categories: none twice.
  TempDb other;
  RawDb(other.path).Exec("insert into 类别 (类别) values ('工作')");
  ASSERT_EQ(Tool({"import", out, other.path}).code, 0);
  EXPECT_EQ(CategorySet(other.path), CategorySet(db.path));
}

TEST(DbCare, ImportTakesPlainFilesAndAddsNothingWhenItFails) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath("md/旅行");
  QFile plain(dir.filePath("md/旅行/Packing list.md"));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.write("passport\n");
  plain.close();
  QFile boom(dir.filePath("md/旅行/boom.md"));
  ASSERT_TRUE(boom.open(QIODevice::WriteOnly));
  boom.write("---\ntitle: \"boom\"\n---\nrefused");
  boom.close();

  TempDb db;
  // A notebook that refuses one of the notes part way through.
  RawDb(db.path).Exec("create trigger refuse before insert on 笔记 when new.标题 = 'boom' "
                      "begin select raise(abort, 'refused'); end");
  const ToolRun failed = Tool({"import", dir.filePath("md"), db.path});
  EXPECT_EQ(failed.code, 1);
  EXPECT_TRUE(failed.err.contains("refused")) << failed.err.toStdString();
  EXPECT_TRUE(NoteSet(db.path).isEmpty());
  EXPECT_TRUE(CategorySet(db.path).isEmpty());

  QFile::remove(dir.filePath("md/旅行/boom.md"));
  const ToolRun r = Tool({"import", dir.filePath("md"), db.path});
  ASSERT_EQ(r.code, 0) << Text(r).toStdString();
  RawDb check(db.path);
  EXPECT_EQ(check.Rows("select 类别, 标题, 内容 from 笔记"), (QList<QStringList>{{"旅行", "Packing list", "passport\n"}}));
  EXPECT_EQ(CategorySet(db.path), QStringList{"旅行"});
}

}  // namespace
