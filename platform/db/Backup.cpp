// Online copies of a notebook and the automatic backups beside it. A copy is
// one committed state of the file, checked before it takes its name; a copy
// that fails or is killed never leaves a file under a backup's name.
#include "platform/db/Backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/Clock.h"

namespace {

const char* const kPartialSuffix = ".partial";

// A notebook that stays locked (a stuck writer) or changes without a pause
// for this long is not waited for.
constexpr int kGiveUpMs = 10 * 60'000;
constexpr int kMaxPagesPerStep = 1 << 16;

using Clock = std::chrono::steady_clock;

QString SqliteReason(sqlite3* db, int rc) {
  const int code = rc & 0xff;
  if (code == SQLITE_FULL) return QStringLiteral("the disk is full");
  if (code == SQLITE_NOMEM) return QStringLiteral("out of memory");
  return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

QString ErrnoReason(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// Makes what has been written to `path` durable.
bool SyncPath(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

class Copy {
 public:
  Copy(const QString& source, const QString& dest, const TBackupOptions& options)
      : source_(source), dest_(dest), partial_(dest + kPartialSuffix), options_(options) {}
  ~Copy() {
    if (b_) sqlite3_backup_finish(b_);
    sqlite3_close_v2(to_);
    sqlite3_close_v2(from_);
    if (!done_) {
      QFile::remove(partial_);
      QFile::remove(partial_ + "-journal");
    }
  }

  void Run() {
    if (QFileInfo::exists(dest_)) Fail(QStringLiteral("the file already exists; it was not changed"));
    Claim();
    Open();
    Step();
    Check();
    Publish();
  }

 private:
  [[noreturn]] void Fail(const QString& why) {
    throw EError(QStringLiteral("Cannot back up \"%1\" to \"%2\": %3.")
                     .arg(QDir::toNativeSeparators(source_), QDir::toNativeSeparators(dest_), why));
  }
  void FailSqlite(sqlite3* db, int rc) { Fail(SqliteReason(db, rc)); }

  // The temporary name is created owner-only before SQLite writes to it.
  void Claim() {
    const QByteArray name = QFile::encodeName(partial_);
    int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) {
      // Left by a copy that was killed: nobody finishes it now.
      ::unlink(name.constData());
      ::unlink((name + "-journal").constData());
      fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    if (fd < 0) Fail(ErrnoReason(errno));
    ::close(fd);
  }

  void Open() {
    if (!QFileInfo(source_).isFile()) Fail(QStringLiteral("the notebook does not exist"));
    // Read-write but never created: a reader alone could not roll back a
    // journal that a crashed save left behind.
    int rc = sqlite3_open_v2(QFile::encodeName(source_).constData(), &from_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) FailSqlite(from_, rc);
    const QByteArray vfs = options_.vfs.toUtf8();
    rc = sqlite3_open_v2(QFile::encodeName(partial_).constData(), &to_, SQLITE_OPEN_READWRITE,
                         vfs.isEmpty() ? nullptr : vfs.constData());
    if (rc != SQLITE_OK) FailSqlite(to_, rc);
    sqlite3_exec(to_, "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);  // the copy is new: nothing to undo
  }

  // Each step holds the notebook's read lock only while it copies its pages;
  // a save by the program in between makes the copy start again, so it
  // always ends as one committed state. Steps grow to the time budget, so a
  // copy finishes between saves that come every few seconds.
  void Step() {
    b_ = sqlite3_backup_init(to_, "main", from_, "main");
    if (!b_) FailSqlite(to_, sqlite3_errcode(to_));
    const auto start = Clock::now();
    int pages = std::max(1, options_.pagesPerStep);
    for (;;) {
      if (options_.cancel && options_.cancel->load()) Fail(QStringLiteral("the program was closing"));
      if (Clock::now() - start > std::chrono::milliseconds(kGiveUpMs))
        Fail(QStringLiteral("the notebook stayed busy or kept changing"));
      const auto before = Clock::now();
      const int rc = sqlite3_backup_step(b_, pages);
      if (rc == SQLITE_DONE) break;
      const int code = rc & 0xff;
      if (rc != SQLITE_OK && code != SQLITE_BUSY && code != SQLITE_LOCKED) {
        const int failed = sqlite3_backup_finish(b_);
        b_ = nullptr;
        FailSqlite(to_, failed != SQLITE_OK ? failed : rc);
      }
      if (rc == SQLITE_OK && options_.stepBudgetMs > 0) {
        const auto took = Clock::now() - before;
        const auto budget = std::chrono::milliseconds(options_.stepBudgetMs);
        if (took < budget / 2) pages = std::min(pages * 2, kMaxPagesPerStep);
        else if (took > budget) pages = std::max(1, pages / 2);
      }
      if (options_.progress) options_.progress(sqlite3_backup_remaining(b_));
      if (options_.pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(options_.pauseMs));
    }
    const int rc = sqlite3_backup_finish(b_);
    b_ = nullptr;
    if (rc != SQLITE_OK) FailSqlite(to_, rc);
  }

  void Check() {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(to_, "PRAGMA quick_check", -1, &st, nullptr);
    QString verdict;
    if (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW)
      verdict = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (verdict.isEmpty()) FailSqlite(to_, rc);
    if (verdict != QLatin1String("ok")) Fail(QStringLiteral("the copy failed its check (%1)").arg(verdict));
    rc = sqlite3_close(to_);
    to_ = nullptr;
    if (rc != SQLITE_OK) Fail(QString::fromUtf8(sqlite3_errstr(rc)));
  }

  // Durable first, named second: a crash leaves either no copy or a whole one.
  void Publish() {
    if (!SyncPath(partial_)) Fail(ErrnoReason(errno));
    const QByteArray from = QFile::encodeName(partial_), to = QFile::encodeName(dest_);
    // A link fails if the name was taken meanwhile, where a rename would replace it.
    if (::link(from.constData(), to.constData()) == 0) {
      ::unlink(from.constData());
    } else if ((errno == EPERM || errno == ENOTSUP || errno == EXDEV) && !QFileInfo::exists(dest_)) {
      if (::rename(from.constData(), to.constData()) != 0) Fail(ErrnoReason(errno));
    } else {
      Fail(errno == EEXIST ? QStringLiteral("the file already exists; it was not changed") : ErrnoReason(errno));
    }
    done_ = true;
    SyncPath(QFileInfo(dest_).absolutePath());
  }

  QString source_, dest_, partial_;
  const TBackupOptions& options_;
  sqlite3* from_ = nullptr;
  sqlite3* to_ = nullptr;
  sqlite3_backup* b_ = nullptr;
  bool done_ = false;
};

QDate Monday(QDate d) { return d.addDays(1 - d.dayOfWeek()); }

}  // namespace

void BackupNotebook(const QString& source, const QString& dest, const TBackupOptions& options) {
  Copy(QFileInfo(source).absoluteFilePath(), QFileInfo(dest).absoluteFilePath(), options).Run();
}

QList<QDate> BackupsToRemove(QList<QDate> dates) {
  std::sort(dates.begin(), dates.end(), std::greater<>());
  dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
  QList<QDate> remove;
  if (dates.size() <= TBackupKeeper::kKeepDaily) return remove;
  const QDate dailyWeek = Monday(dates[TBackupKeeper::kKeepDaily - 1]);
  QSet<QDate> weeks;
  for (qsizetype i = TBackupKeeper::kKeepDaily; i < dates.size(); ++i) {
    const QDate week = Monday(dates[i]);
    // A week that still has a daily copy needs no weekly one.
    const bool weekly = week < dailyWeek && !weeks.contains(week) && weeks.size() < TBackupKeeper::kKeepWeekly;
    if (weekly)
      weeks.insert(week);
    else
      remove << dates[i];
  }
  return remove;
}

TBackupKeeper::TBackupKeeper(const QString& notebook, QObject* parent)
    : QObject(parent), notebook_(QFileInfo(notebook).absoluteFilePath()), timer_(new TwTimer(this)) {
  timer_->OnTimeout = [this] {
    timer_->Start(kLookIntervalMs);
    BackUpIfDue();
  };
}

TBackupKeeper::~TBackupKeeper() {
  if (!worker_) return;
  cancel_ = true;
  worker_->join();
}

QString TBackupKeeper::Folder() const { return QFileInfo(notebook_).absolutePath() + QStringLiteral("/backups"); }

QString TBackupKeeper::CopyPath(QDate day) const {
  const QFileInfo n(notebook_);
  return QStringLiteral("%1/%2-%3.%4")
      .arg(Folder(), n.completeBaseName(), day.toString(Qt::ISODate), n.suffix());
}

QString TBackupKeeper::FailureNotePath() const { return Folder() + QStringLiteral("/last-failure.txt"); }

void TBackupKeeper::Start() {
  // Only one program keeps a notebook, so a partial copy now is a killed one's.
  const QDir folder(Folder());
  for (const QString& name : folder.entryList({QStringLiteral("*") + kPartialSuffix,
                                               QStringLiteral("*") + kPartialSuffix + "-journal"},
                                              QDir::Files | QDir::Hidden))
    QFile::remove(folder.filePath(name));
  timer_->Start(kFirstLookDelayMs);
}

QDateTime TBackupKeeper::NewestCopyTime() const {
  QDateTime newest;
  const QFileInfo n(notebook_);
  const QString pattern = n.completeBaseName() + QStringLiteral("-[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9].") + n.suffix();
  for (const QFileInfo& f : QDir(Folder()).entryInfoList({pattern}, QDir::Files))
    newest = std::max(newest, f.lastModified());
  return newest;
}

bool TBackupKeeper::BackUpIfDue() {
  if (worker_ || !QFileInfo(notebook_).isFile()) return false;
  const QDateTime now = WallClock();
  const QDateTime newest = NewestCopyTime();
  if (newest.isValid() && newest.msecsTo(now) < kMaxAgeMs - kAgeSlackMs) return false;
  QString failure;
  if (!QDir().mkpath(Folder()))
    failure = QStringLiteral("Cannot create the backup folder \"%1\".").arg(QDir::toNativeSeparators(Folder()));
  else
    QFile::setPermissions(Folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString dest = CopyPath(now.date());
  // Today's name may be taken by a copy made before the clock went back.
  if (failure.isEmpty() && QFileInfo::exists(dest)) QFile::remove(dest);
  if (!failure.isEmpty()) {
    Finish(failure);
    return true;
  }
  cancel_ = false;
  Options.cancel = &cancel_;
  worker_ = std::make_unique<std::thread>([this, options = Options, source = notebook_, dest] {
    QString failure;
    try {
      BackupNotebook(source, dest, options);
    } catch (const EError& e) {
      failure = e.Message();
    }
    QMetaObject::invokeMethod(this, [this, failure] { Finish(failure); }, Qt::QueuedConnection);
  });
  return true;
}

void TBackupKeeper::Finish(const QString& failure) {
  if (worker_) {
    worker_->join();
    worker_.reset();
  }
  if (failure.isEmpty()) {
    QFile::remove(FailureNotePath());
    Rotate();
  } else if (!cancel_) {
    // The next start shows it; a disk too full for this note still has the
    // message on standard error and in this run's status.
    QSaveFile note(FailureNotePath());
    if (note.open(QIODevice::WriteOnly)) {
      note.write(failure.toUtf8() + '\n');
      note.commit();
    }
  }
  if (OnFinished) OnFinished(failure);
}

void TBackupKeeper::Rotate() {
  const QFileInfo n(notebook_);
  const QRegularExpression dated(QStringLiteral("^%1-(\\d{4}-\\d{2}-\\d{2})\\.%2$")
                                     .arg(QRegularExpression::escape(n.completeBaseName()),
                                          QRegularExpression::escape(n.suffix())));
  QList<QDate> dates;
  for (const QString& name : QDir(Folder()).entryList(QDir::Files)) {
    const auto m = dated.match(name);
    const QDate d = m.hasMatch() ? QDate::fromString(m.captured(1), Qt::ISODate) : QDate();
    if (d.isValid()) dates << d;
  }
  for (const QDate& d : BackupsToRemove(dates)) QFile::remove(CopyPath(d));
}

QString TBackupKeeper::LastFailure() const {
  QFile note(FailureNotePath());
  if (!note.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(note.readAll()).trimmed();
}
