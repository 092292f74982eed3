// Backups of a live notebook: when they are made, which are kept, and that a
// copy is whole whatever happens to the program or the disk meanwhile.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <thread>

#include "platform/Clock.h"
#include "platform/db/Backup.h"
#include "tests/platform/db/TestDb.h"

// Readable failure messages for lists of names.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

QDate D(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }

QList<QDate> Days(QDate last, int count) {
  QList<QDate> out;
  for (int i = 0; i < count; ++i) out << last.addDays(-i);
  return out;
}

TEST(BackupRotation, KeepsSevenDailyAndTheNewestOfFourEarlierWeeks) {
  struct Case {
    const char* what;
    QList<QDate> dates;
    QList<QDate> kept;
  };
  // 2026-12-10 is a Thursday; the seventh newest of 60 days, 12-04, is in the
  // week of Monday 11-30, so the weekly copies come from the four weeks before.
  const Case cases[] = {
      {"fewer than seven", Days(D("2026-12-10"), 5), Days(D("2026-12-10"), 5)},
      {"exactly seven", Days(D("2026-12-10"), 7), Days(D("2026-12-10"), 7)},
      {"sixty days in a row", Days(D("2026-12-10"), 60),
       Days(D("2026-12-10"), 7) + QList<QDate>{D("2026-11-29"), D("2026-11-22"), D("2026-11-15"), D("2026-11-08")}},
      {"gaps of weeks",
       {D("2026-12-10"), D("2026-12-01"), D("2026-11-20"), D("2026-11-10"), D("2026-11-01"), D("2026-10-20"),
        D("2026-10-10"), D("2026-09-30"), D("2026-09-29"), D("2026-09-01"), D("2026-08-01"), D("2026-07-01"),
        D("2026-06-01")},
       {D("2026-12-10"), D("2026-12-01"), D("2026-11-20"), D("2026-11-10"), D("2026-11-01"), D("2026-10-20"),
        D("2026-10-10"), D("2026-09-30"), D("2026-09-01"), D("2026-08-01"), D("2026-07-01")}},
  };
  for (const Case& c : cases) {
    const QList<QDate> removed = BackupsToRemove(c.dates);
    QList<QDate> kept;
    for (const QDate& d : c.dates)
      if (!removed.contains(d)) kept << d;
    EXPECT_EQ(kept, c.kept) << c.what;
  }
}

// A notebook with a few notes, Chinese and English, and its keeper on a
// manual clock whose wall time starts now.
struct KeeperFixture : ::testing::Test {
  TwManualClock clock;
  TempDb db{true};
  QDateTime base = QDateTime::currentDateTime();
  std::unique_ptr<TBackupKeeper> keeper;
  QStringList failures;

  void SetUp() override { keeper = NewKeeper(); }
  std::unique_ptr<TBackupKeeper> NewKeeper() {
    auto k = std::make_unique<TBackupKeeper>(db.path);
    k->WallClock = [this] { return base.addMSecs(clock.NowMs() - 1'000'000); };
    k->OnFinished = [this](const QString& failure) { failures << failure; };
    return k;
  }
  QDate Today() const { return keeper->WallClock().date(); }
  void WaitIdle(TBackupKeeper& k) {
    QElapsedTimer waited;
    waited.start();
    while (k.Busy() && waited.elapsed() < 60'000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_FALSE(k.Busy()) << "the backup did not finish";
  }
  void StartAndLook() {
    keeper->Start();
    clock.Advance(TBackupKeeper::kFirstLookDelayMs);
    WaitIdle(*keeper);
  }
  QStringList Copies() const {
    return QDir(keeper->Folder()).entryList({"data-*"}, QDir::Files | QDir::Hidden, QDir::Name);
  }
  void MakeOldCopy(QDate day, qint64 ageMs) {
    QDir().mkpath(keeper->Folder());
    QFile f(keeper->CopyPath(day));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("an older copy");
    f.close();  // a buffered write would set the time again
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(f.setFileTime(base.addMSecs(-ageMs), QFileDevice::FileModificationTime));
  }
};

QString QuickCheck(const QString& path) {
  RawDb copy(path);
  return copy.Column("pragma quick_check").value(0);
}

QList<QStringList> Notes(const QString& path) {
  RawDb db(path);
  return db.Rows("select 类别, 日期, 标题, 内容 from 笔记 order by rowid");
}

TEST_F(KeeperFixture, FirstStartCopiesTheNotebookPrivatelyAndLaterOnlyWhenADayHasPassed) {
  StartAndLook();
  ASSERT_EQ(failures, QStringList{QString()});
  const QString copy = keeper->CopyPath(Today());
  EXPECT_EQ(Copies(), QStringList{QFileInfo(copy).fileName()});
  EXPECT_EQ(QuickCheck(copy), "ok");
  EXPECT_EQ(Notes(copy), Notes(db.path));
  EXPECT_EQ(QFileInfo(copy).permissions() & 0x0077, 0) << "others may read the copy";
  struct stat st{};
  ASSERT_EQ(::stat(QFile::encodeName(keeper->Folder()).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // Running on: nothing more until a day has passed, then the next day's copy.
  EXPECT_FALSE(keeper->BackUpIfDue());
  clock.Advance(TBackupKeeper::kLookIntervalMs - 1);
  EXPECT_FALSE(keeper->Busy());
  clock.Advance(1);
  WaitIdle(*keeper);
  EXPECT_EQ(Copies().size(), 2);
  EXPECT_TRUE(QFileInfo::exists(keeper->CopyPath(Today())));
}

TEST_F(KeeperFixture, ACopyYoungerThanADayMeansNoneAtStartAnOlderOneMeansOne) {
  MakeOldCopy(Today().addDays(-1), TBackupKeeper::kMaxAgeMs - 60 * 60'000);
  StartAndLook();
  EXPECT_TRUE(failures.isEmpty());
  EXPECT_EQ(Copies().size(), 1);

  keeper = NewKeeper();
  MakeOldCopy(Today().addDays(-1), TBackupKeeper::kMaxAgeMs + 60'000);
  StartAndLook();
  EXPECT_EQ(failures, QStringList{QString()});
  EXPECT_EQ(Copies().size(), 2);
}

TEST_F(KeeperFixture, ANewCopyRotatesTheOldOnes) {
  for (const QDate& d : Days(Today().addDays(-1), 40)) MakeOldCopy(d, TBackupKeeper::kMaxAgeMs * 2);
  StartAndLook();
  QList<QDate> expected = Days(Today(), 41);
  for (const QDate& d : BackupsToRemove(expected)) expected.removeAll(d);
  QStringList names;
  for (const QDate& d : expected) names << QFileInfo(keeper->CopyPath(d)).fileName();
  names.sort();
  EXPECT_EQ(Copies(), names);
  EXPECT_EQ(names.size(), TBackupKeeper::kKeepDaily + TBackupKeeper::kKeepWeekly);
}

TEST(Backup, ACopyTakenWhileNotesAreSavedIsWholeAndOneState) {
  constexpr int kSaveEveryMs = 20;
  TempDb db;
  {
    RawDb w(db.path);
    w.Exec("begin");
    for (int i = 0; i < 3000; ++i) w.AddNote("工作", QStringLiteral("note %1").arg(i), QString(300, QChar(u'记')));
    w.Exec("commit");
  }
  const QString copy = db.File("copy.mdb");
  std::atomic<bool> copying{true};
  QString failure;
  std::thread t([&] {
    TBackupOptions small;
    small.pagesPerStep = 8;
    try {
      BackupNotebook(db.path, copy, small);
    } catch (const EError& e) {
      failure = e.Message();
    }
    copying = false;
  });
  // Each save is its own commit, as the program's are, and faster than any
  // user saves; every body names its title.
  RawDb w(db.path);
  int saved = 0;
  while (copying) {
    w.AddNote("生活", QStringLiteral("saved %1").arg(saved), QStringLiteral("body of saved %1").arg(saved));
    ++saved;
    std::this_thread::sleep_for(std::chrono::milliseconds(kSaveEveryMs));
  }
  t.join();
  ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
  EXPECT_GT(saved, 0);
  EXPECT_EQ(QuickCheck(copy), "ok");
  RawDb c(copy);
  const int inCopy = c.Column("select count(*) from 笔记 where 类别 = '生活'").value(0).toInt();
  EXPECT_LE(inCopy, saved);
  // One committed state: the saved notes it holds are the first ones, whole.
  EXPECT_EQ(c.Column("select count(*) from 笔记 where 类别 = '生活' and 内容 = 'body of ' || 标题").value(0).toInt(),
            inCopy);
  EXPECT_EQ(c.Column("select count(*) from 笔记 where 类别 = '工作'").value(0), "3000");
  EXPECT_FALSE(QFileInfo::exists(copy + ".partial"));
}

TEST(Backup, NeverReplacesAFileAndLeavesNothingOnFailure) {
  TempDb db(true);
  const QString taken = db.File("taken.mdb");
  {
    QFile f(taken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("mine");
  }
  EXPECT_THROW(BackupNotebook(db.path, taken), EError);
  EXPECT_EQ(ReadAll(taken), "mine");
  EXPECT_THROW(BackupNotebook(db.File("missing.mdb"), db.File("out.mdb")), EError);
  EXPECT_EQ(QDir(db.dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"data.mdb", "taken.mdb"}));
}

// A file system whose disk is full once a file passes kRoom bytes.
constexpr sqlite3_int64 kRoom = 4096;
const sqlite3_io_methods* realMethods = nullptr;
sqlite3_io_methods fullMethods;
sqlite3_vfs fullVfs;

int FullWrite(sqlite3_file* f, const void* data, int n, sqlite3_int64 offset) {
  if (offset + n > kRoom) return SQLITE_FULL;
  return realMethods->xWrite(f, data, n, offset);
}

int FullOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* out) {
  sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
  const int rc = real->xOpen(real, name, f, flags, out);
  if (rc == SQLITE_OK && f->pMethods) {
    realMethods = f->pMethods;
    fullMethods = *f->pMethods;
    fullMethods.xWrite = FullWrite;
    f->pMethods = &fullMethods;
  }
  return rc;
}

void RegisterFullDisk() {
  if (sqlite3_vfs_find("full")) return;
  fullVfs = *sqlite3_vfs_find(nullptr);
  fullVfs.zName = "full";
  fullVfs.pNext = nullptr;
  fullVfs.xOpen = FullOpen;
  sqlite3_vfs_register(&fullVfs, 0);
}

TEST_F(KeeperFixture, AFullDiskFailsTheCopyAndTheNextStartSaysSo) {
  {
    RawDb w(db.path);
    for (int i = 0; i < 50; ++i) w.AddNote("工作", QStringLiteral("n%1").arg(i), QString(500, QChar('x')));
  }
  RegisterFullDisk();
  keeper->Options.vfs = "full";
  StartAndLook();
  ASSERT_EQ(failures.size(), 1);
  EXPECT_TRUE(failures[0].contains("the disk is full")) << failures[0].toStdString();
  EXPECT_TRUE(Copies().isEmpty()) << Copies().join(' ').toStdString();

  // The next start: the failure is there to show, and a copy that works clears it.
  keeper = NewKeeper();
  EXPECT_EQ(keeper->LastFailure(), failures[0]);
  StartAndLook();
  EXPECT_EQ(failures.last(), QString());
  EXPECT_EQ(keeper->LastFailure(), QString());
  EXPECT_EQ(Copies().size(), 1);
}

TEST_F(KeeperFixture, AKillDuringACopyLeavesNoPartialCopyAndTheNextStartMakesOne) {
  {
    RawDb w(db.path);
    for (int i = 0; i < 200; ++i) w.AddNote("Travel", QStringLiteral("n%1").arg(i), QString(2000, QChar('x')));
  }
  QProcess child;
  child.start(QStringLiteral(TW_BACKUP_CHILD), {db.path});
  ASSERT_TRUE(child.waitForStarted());
  ASSERT_TRUE(child.waitForReadyRead(30'000)) << "the child never began copying";
  ::kill(pid_t(child.processId()), SIGKILL);
  child.waitForFinished();
  // What the kill left: at most the temporary copy, never one under a backup's name.
  for (const QString& name : Copies()) EXPECT_TRUE(name.endsWith(".partial") || name.endsWith(".partial-journal")) << name.toStdString();

  StartAndLook();
  EXPECT_EQ(failures, QStringList{QString()});
  EXPECT_EQ(Copies(), QStringList{QFileInfo(keeper->CopyPath(Today())).fileName()});
  EXPECT_EQ(QuickCheck(keeper->CopyPath(Today())), "ok");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
