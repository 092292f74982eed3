// A process saving notes is killed at random moments; every note it was told
// had been saved must be there afterwards, in a file that checks clean.
#include <gtest/gtest.h>

#include <QMap>
#include <QRandomGenerator>
#include <chrono>
#include <thread>

#include "platform/db/Dataset.h"
#include "tests/platform/db/TestDb.h"
#include "tests/support/ChildProcess.h"

namespace {

using twtest::Child;
using twtest::ReadLine;

Child Spawn(const QString& path, int round) {
  return twtest::SpawnChild(TW_CRASH_CHILD, {path, QString::number(round)});
}

TEST(CrashSafety, KilledWriterLosesNoSavedNoteAndLeavesACleanFile) {
  TempDb db;
  QMap<QString, bool> saved;  // title -> edited afterwards
  int hotJournals = 0;
  for (int round = 0; round < 20; ++round) {
    Child c = Spawn(db.path, round);
    ASSERT_EQ(ReadLine(c.out), "R") << "round " << round << ": the writer did not start";
    std::this_thread::sleep_for(std::chrono::microseconds(QRandomGenerator::global()->bounded(300000)));
    const int status = twtest::KillAndReap(c);
    EXPECT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the writer stopped by itself";
    const QByteArray rest = twtest::ReadAll(c.out);
    close(c.out);
    for (const QByteArray& line : rest.split('\n')) {
      const QList<QByteArray> parts = line.split(' ');
      if (parts.size() != 2) continue;  // a line cut by the kill is not a report
      const QString title = QStringLiteral("r%1-n%2").arg(round).arg(QString::fromLatin1(parts[1]));
      if (parts[0] == "S") saved.insert(title, false);
      if (parts[0] == "E") saved[title] = true;
    }
    if (QFile::exists(db.path + "-journal")) ++hotJournals;
  }
  ASSERT_GT(saved.size(), 20);
  RecordProperty("hot_journals", hotJournals);

  // Our own open first: it must recover a journal left by the last kill.
  TADOConnection conn;
  conn.ConnectionString = "Data Source=" + db.path;
  conn.RequiredTables = {{QStringLiteral("笔记"), {"标题", "内容"}}};
  TADOTable notes;
  notes.Connection = &conn;
  notes.TableName = "笔记";
  notes.Open();
  QMap<QString, QString> bodies;
  for (notes.First(); !notes.Eof(); notes.Next())
    bodies.insert(notes.FieldByName("标题").AsString(), notes.FieldByName("内容").AsString());
  for (auto it = saved.begin(); it != saved.end(); ++it) {
    ASSERT_TRUE(bodies.contains(it.key())) << it.key().toStdString() << " was reported saved but is gone";
    if (it.value()) {
      EXPECT_EQ(bodies[it.key()], "edited") << it.key().toStdString();
    }
  }
  notes.Close();
  conn.Close();

  RawDb raw(db.path);
  EXPECT_EQ(raw.Column("pragma integrity_check"), QStringList{"ok"});
}

}  // namespace
