// Checking and restoring notebooks for tarnwick-db. A restore never loses a
// state of the notebook: the replaced file is kept, and nothing moves while
// another process has it open or before the copy has passed its check.
#include "tools/db/NotebookCare.h"

#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/NotesIndex.h"
#include "platform/db/Backup.h"
#include "platform/db/Dataset.h"

namespace {

constexpr int kShownProblems = 10;

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

// An engine connection that never creates the file and closes on every path.
class Handle {
 public:
  explicit Handle(const QString& path) {
    if (!QFileInfo(path).isFile())
      throw EError(QStringLiteral("\"%1\" does not exist or is not a file.").arg(Shown(path)));
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) Fail(path);
    sqlite3_busy_timeout(db_, 5000);
  }
  ~Handle() { sqlite3_close_v2(db_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  // The first column of every row.
  QStringList Column(const QString& path, const char* sql) {
    sqlite3_stmt* st = nullptr;
    QStringList out;
    if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) Fail(path);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
      out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) Fail(path);
    return out;
  }

 private:
  [[noreturn]] void Fail(const QString& path) {
    const int code = sqlite3_errcode(db_) & 0xff;
    const QString why = code == SQLITE_NOTADB ? QStringLiteral("it is not an SQLite database")
                                              : QString::fromUtf8(sqlite3_errmsg(db_));
    throw EError(QStringLiteral("Cannot read \"%1\" as a notebook: %2.").arg(Shown(path), why));
  }
  sqlite3* db_ = nullptr;
};

void RequireNotebook(Handle& db, const QString& path) {
  const QStringList tables = db.Column(path, "select name from sqlite_master where type = 'table'");
  if (!tables.contains(QStringLiteral("类别")) || !tables.contains(QStringLiteral("笔记")))
    throw EError(QStringLiteral("\"%1\" is not a Tarnwick notebook: it has no tables 类别 and 笔记.").arg(Shown(path)));
}

}  // namespace

QString HolderOf(const QString& path) {
  const QString target = QFileInfo(path).canonicalFilePath();
  if (target.isEmpty()) return {};
  const qint64 self = ::getpid();
  // Only processes this user may look into are listed, and a notebook is its
  // owner's: a program of another user holding it could not write it anyway.
  for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool number = false;
    const qint64 id = pid.toLongLong(&number);
    if (!number || id == self) continue;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
      if (fd.symLinkTarget() != target) continue;
      QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
      const QString name = comm.open(QIODevice::ReadOnly) ? QString::fromUtf8(comm.readAll()).trimmed() : QString();
      return QStringLiteral("%1 (process %2)").arg(name, pid);
    }
  }
  return {};
}

QString RestoreNotebook(const QString& backup, const QString& path) {
  const QString from = QFileInfo(backup).absoluteFilePath(), to = QFileInfo(path).absoluteFilePath();
  const QString kept = to + QStringLiteral(".before-restore");
  {
    Handle b(from);
    RequireNotebook(b, from);
  }
  const QString holder = HolderOf(to);
  if (!holder.isEmpty())
    throw EError(QStringLiteral("\"%1\" is open in %2. Close Tarnwick first; nothing was changed.")
                     .arg(Shown(to), holder));
  const bool replacing = QFileInfo::exists(to);
  if (replacing && QFileInfo::exists(kept))
    throw EError(QStringLiteral("\"%1\" is kept from an earlier restore. Move it away first; nothing was changed.")
                     .arg(Shown(kept)));
  if (replacing) {
    // A journal left by a crashed save belongs to the old file: settle it now,
    // or the engine would apply it to the restored one.
    Handle old(to);
    old.Column(to, "select count(*) from sqlite_master");
  }
  const QString incoming = to + QStringLiteral(".restoring");
  QFile::remove(incoming);
  BackupNotebook(from, incoming);  // checked with quick_check before it is named
  if (replacing && !QFile::rename(to, kept)) {
    QFile::remove(incoming);
    throw EError(QStringLiteral("Cannot move \"%1\" aside; nothing was changed.").arg(Shown(to)));
  }
  if (!QFile::rename(incoming, to)) {
    if (replacing) QFile::rename(kept, to);
    QFile::remove(incoming);
    throw EError(QStringLiteral("Cannot put the copy in place of \"%1\"; nothing was changed.").arg(Shown(to)));
  }
  return replacing ? QStringLiteral("Restored %1 from %2; the replaced notebook is kept as %3")
                         .arg(Shown(to), Shown(from), Shown(kept))
                   : QStringLiteral("Restored %1 from %2").arg(Shown(to), Shown(from));
}

TCheckReport CheckNotebook(const QString& path) {
  TCheckReport report;
  const QString file = QFileInfo(path).absoluteFilePath();
  {
    Handle db(file);
    RequireNotebook(db, file);
    const QStringList problems = db.Column(file, "pragma integrity_check");
    if (problems == QStringList{QStringLiteral("ok")}) {
      report.lines << QStringLiteral("file: ok");
    } else {
      report.damaged = true;
      report.lines << QStringLiteral("file: damaged (%1 problems found)").arg(problems.size());
      for (const QString& p : problems.mid(0, kShownProblems)) report.lines << QStringLiteral("  ") + p;
    }
    report.lines << QStringLiteral("notes: %1 in %2 categories")
                        .arg(db.Column(file, "select count(*) from \"笔记\"").value(0),
                             db.Column(file, "select count(*) from \"类别\"").value(0));
  }
  if (report.damaged) {
    report.lines << QStringLiteral("search index: not checked, the file is damaged");
    return report;
  }
  TADOConnection conn;
  conn.ConnectionString = QStringLiteral("Data Source=%1").arg(file);
  TNotesIndex index(&conn, nullptr);
  try {
    conn.Open();
  } catch (const EError& e) {
    throw EError(QStringLiteral("Cannot check the search index: %1").arg(e.Message()));
  }
  if (!index.Ready()) {
    report.lines << QStringLiteral("search index: not built yet (Tarnwick builds it when it starts)");
    return report;
  }
  // Every note is looked up: the cheap comparison of totals at start does not
  // see overwritten index pages.
  const QString damage = CheckIndexAgainstNotes(conn.Handle());
  if (!damage.isEmpty()) {
    index.Reset();
    report.damaged = true;
    report.lines << QStringLiteral("search index: damaged; it was cleared and Tarnwick rebuilds it when it starts");
    report.lines << QStringLiteral("  ") + damage;
  } else {
    report.lines << QStringLiteral("search index: ok");
  }
  return report;
}
