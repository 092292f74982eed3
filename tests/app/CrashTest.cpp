// A process killed in the middle of a save or of a category rename leaves
// the notebook, and its search index, as if the command ran whole or not at all.
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <chrono>
#include <thread>

#include "app/NotesIndex.h"
#include "app/Statements.h"
#include "app/Unit2.h"
#include "tests/platform/db/TestDb.h"
#include "tests/support/ChildProcess.h"

namespace {

using twtest::Child;
using twtest::ReadAll;

Child Spawn(const QStringList& args) { return twtest::SpawnChild(TW_SAVE_CHILD, args); }

// Waits for the child's "R", so a kill lands while it works.
bool Ready(int fd) { return twtest::ReadLine(fd) == "R"; }

QStringList Found(TData& data, const TStatement& st) {
  RunStatement(*data.ADOQuery3, st);
  QStringList out;
  for (int i = 0; i < data.ADOQuery3->RecordCount(); ++i, data.ADOQuery3->Next())
    out << data.ADOQuery3->FieldByName("rowid").Value().toString();
  return out;
}

TEST(AppCrash, KilledSaveLeavesIndexAndNotesInStep) {
  TempDb db;
  InFolder in{db.dir.path()};
  {
    TData data;
    data.ADOConnection1->Open();
    data.NotesIndex->BuildAll();
  }
  QStringList saved;
  for (int round = 0; round < 6; ++round) {
    Child c = Spawn({"save", db.dir.path(), QString::number(round)});
    ASSERT_TRUE(Ready(c.out)) << "round " << round;
    std::this_thread::sleep_for(std::chrono::microseconds(QRandomGenerator::global()->bounded(200000)));
    twtest::KillAndReap(c);
    for (const QByteArray& line : ReadAll(c.out).split('\n'))
      if (line.startsWith("S ") && line.size() > 2) saved << QStringLiteral("crash%1-%2").arg(round).arg(QString::fromLatin1(line.mid(2)));
    close(c.out);

    TData data;  // our own notebook: a journal left by the kill is rolled back
    ASSERT_TRUE(data.NotesIndex->Ready() || (data.ADOConnection1->Open(), data.NotesIndex->Ready()));
    for (const QString& k : QStringList{"共同词", "crash1-", "记记记", "sh", QStringLiteral("crash%1-").arg(round)}) {
      SCOPED_TRACE(k.toStdString());
      EXPECT_EQ(Found(data, KeywordSearch(k, true)), Found(data, KeywordSearch(k, false)));
    }
    data.ADOConnection1->Close();
    RawDb raw(db.path);
    raw.Exec("insert into tw_notes_fts(tw_notes_fts, rank) values ('integrity-check', 1)");
    const QStringList titles = raw.Column("select 标题 from 笔记");
    for (const QString& t : saved) EXPECT_TRUE(titles.contains(t)) << t.toStdString() << " was lost";
  }
  EXPECT_GT(saved.size(), 0);
}

TEST(AppCrash, RenameKilledBetweenItsStepsChangesNothing) {
  TempDb db;
  InFolder in{db.dir.path()};
  {
    RawDb raw(db.path);
    raw.Exec("insert into 类别 values ('Old')");
    raw.AddNote("Old", "a", "x");
    raw.AddNote("Old", "b", "y");
  }
  Child c = Spawn({"rename", db.dir.path(), "Old", "New"});
  ASSERT_TRUE(Ready(c.out));
  const int status = twtest::Reap(c);
  close(c.out);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child was to die between the steps";

  TData data;
  data.ADOConnection1->Open();  // rolls the half-done rename back
  data.ADOConnection1->Close();
  RawDb raw(db.path);
  EXPECT_EQ(raw.Column("select 类别 from 类别"), QStringList{"Old"});
  EXPECT_EQ(raw.Column("select 类别 from 笔记"), QStringList({"Old", "Old"}));
}

TEST(AppCrash, RenameFailingBetweenItsStepsChangesNothing) {
  TempDb db;
  InFolder in{db.dir.path()};
  {
    RawDb raw(db.path);
    raw.Exec("insert into 类别 values ('Old')");
    raw.AddNote("Old", "a", "x");
  }
  TData data;
  RunStatement(*data.ADOQuery1, CategoryByName("Old"));
  EXPECT_THROW(data.RenameCategory(*data.ADOQuery1, "New", [] { throw EDatabaseError("disk gone"); }),
               EDatabaseError);
  EXPECT_FALSE(data.ADOConnection1->InTransaction());
  RawDb raw(db.path);
  EXPECT_EQ(raw.Column("select 类别 from 笔记"), QStringList{"Old"});
  // The selected row is still the old one: renaming again works.
  data.RenameCategory(*data.ADOQuery1, "New");
  EXPECT_EQ(raw.Column("select 类别 from 类别"), QStringList{"New"});
  EXPECT_EQ(raw.Column("select 类别 from 笔记"), QStringList{"New"});
}

}  // namespace
