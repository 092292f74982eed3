// A process saving notes is killed at random moments; every note it was told
// had been saved must be there afterwards, in a file that checks clean.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QMap>
#include <QRandomGenerator>
#include <chrono>
#include <thread>

#include "platform/db/Dataset.h"
#include "tests/platform/db/TestDb.h"

extern char** environ;

namespace {

struct Child {
  pid_t pid = -1;
  int out = -1;
};

Child Spawn(const QString& path, int round) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
  posix_spawn_file_actions_addclose(&fa, fds[0]);
  const QByteArray exe = TW_CRASH_CHILD, db = path.toUtf8(), r = QByteArray::number(round);
  char* argv[] = {const_cast<char*>(exe.constData()), const_cast<char*>(db.constData()),
                  const_cast<char*>(r.constData()), nullptr};
  Child c;
  EXPECT_EQ(posix_spawn(&c.pid, exe.constData(), &fa, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&fa);
  close(fds[1]);
  c.out = fds[0];
  return c;
}

QByteArray ReadLine(int fd) {
  QByteArray line;
  char ch;
  while (read(fd, &ch, 1) == 1 && ch != '\n') line += ch;
  return line;
}

QByteArray ReadRest(int fd) {
  QByteArray all;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) all.append(buf, n);
  return all;
}

TEST(CrashSafety, KilledWriterLosesNoSavedNoteAndLeavesACleanFile) {
  TempDb db;
  QMap<QString, bool> saved;  // title -> edited afterwards
  int hotJournals = 0;
  for (int round = 0; round < 20; ++round) {
    Child c = Spawn(db.path, round);
    ASSERT_EQ(ReadLine(c.out), "R") << "round " << round << ": the writer did not start";
    std::this_thread::sleep_for(std::chrono::microseconds(QRandomGenerator::global()->bounded(300000)));
    kill(c.pid, SIGKILL);
    int status = 0;
    waitpid(c.pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the writer stopped by itself";
    const QByteArray rest = ReadRest(c.out);
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
