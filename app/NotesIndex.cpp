// Keeps the trigram index in step with the notes table: triggers change it in
// the same transaction as the note, and an older notebook is indexed in short
// steps on the event loop so the window never waits for it.
#include "app/NotesIndex.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <limits>

#include "platform/db/Dataset.h"

namespace {

constexpr int kStepBudgetMs = 15;
// Between steps the event loop gets time of its own, so typing stays smooth.
constexpr int kStepPauseMs = 5;
constexpr qint64 kComplete = std::numeric_limits<qint64>::max();
// The check reads whole notes: it runs in short steps with long pauses, so
// the idle program stays nearly idle while it looks the notebook over.
constexpr int kCheckBudgetMs = 6;
constexpr int kCheckPauseMs = 100;

// Notes in (?1, ?2] the index fails: a title or body whose middle trigram
// does not find it, or tails that differ from the note's. The trigram is
// quoted as one phrase, so any character stands for itself.
const char* const kCheckSql =
    "select count(*) from \"笔记\" n where n.rowid > ?1 and n.rowid <= ?2 and ("
    "(length(n.\"标题\") >= 3 and not exists (select 1 from tw_notes_fts f where tw_notes_fts match "
    "'\"' || replace(substr(n.\"标题\", (length(n.\"标题\") - 1) / 2, 3), '\"', '\"\"') || '\"' "
    "and f.rowid = n.rowid)) or "
    "(length(n.\"内容\") >= 3 and not exists (select 1 from tw_notes_fts f where tw_notes_fts match "
    "'\"' || replace(substr(n.\"内容\", (length(n.\"内容\") - 1) / 2, 3), '\"', '\"\"') || '\"' "
    "and f.rowid = n.rowid)) or "
    "not exists (select 1 from tw_notes_tails t where t.id = n.rowid and t.t is substr(n.\"标题\", -2) "
    "and t.b is substr(n.\"内容\", -2)))";

// Indexed rows are those up to `upto`; the build moves it up to kComplete.
// The triggers touch only indexed rows, so a note the build has not reached
// is never removed from the index before it was put there.
const char* const kTable =
    "CREATE VIRTUAL TABLE tw_notes_fts USING fts5(\"标题\", \"内容\", content='笔记', "
    "content_rowid='rowid', tokenize='trigram', detail=none)";
const char* const kState = "CREATE TABLE tw_notes_fts_state (upto INTEGER NOT NULL)";
// The index's terms with the notes holding each: a keyword too short for a
// trigram finds the trigrams it begins by their common prefix.
const char* const kTerms = "CREATE VIRTUAL TABLE tw_notes_fts_terms USING fts5vocab(tw_notes_fts, instance)";
// The last two characters of each title and body: the only places a keyword
// of one or two characters can stand without beginning a trigram (a text
// shorter than three characters is all tail).
const char* const kTails = "CREATE TABLE tw_notes_tails (id INTEGER PRIMARY KEY, t, b)";
const char* const kTriggers[] = {
    "CREATE TRIGGER tw_notes_fts_ai AFTER INSERT ON \"笔记\" "
    "WHEN new.rowid <= (SELECT upto FROM tw_notes_fts_state) BEGIN "
    "INSERT INTO tw_notes_fts(rowid, \"标题\", \"内容\") VALUES (new.rowid, new.\"标题\", new.\"内容\"); "
    "INSERT INTO tw_notes_tails VALUES (new.rowid, substr(new.\"标题\", -2), substr(new.\"内容\", -2)); END",
    "CREATE TRIGGER tw_notes_fts_ad AFTER DELETE ON \"笔记\" "
    "WHEN old.rowid <= (SELECT upto FROM tw_notes_fts_state) BEGIN "
    "INSERT INTO tw_notes_fts(tw_notes_fts, rowid, \"标题\", \"内容\") "
    "VALUES ('delete', old.rowid, old.\"标题\", old.\"内容\"); "
    "DELETE FROM tw_notes_tails WHERE id = old.rowid; END",
    "CREATE TRIGGER tw_notes_fts_au AFTER UPDATE ON \"笔记\" BEGIN "
    "INSERT INTO tw_notes_fts(tw_notes_fts, rowid, \"标题\", \"内容\") "
    "SELECT 'delete', old.rowid, old.\"标题\", old.\"内容\" "
    "WHERE old.rowid <= (SELECT upto FROM tw_notes_fts_state); "
    "DELETE FROM tw_notes_tails WHERE id = old.rowid; "
    "INSERT INTO tw_notes_fts(rowid, \"标题\", \"内容\") SELECT new.rowid, new.\"标题\", new.\"内容\" "
    "WHERE new.rowid <= (SELECT upto FROM tw_notes_fts_state); "
    "INSERT INTO tw_notes_tails SELECT new.rowid, substr(new.\"标题\", -2), substr(new.\"内容\", -2) "
    "WHERE new.rowid <= (SELECT upto FROM tw_notes_fts_state); END",
};
const char* const kTriggerNames[] = {"tw_notes_fts_ai", "tw_notes_fts_ad", "tw_notes_fts_au"};

void Exec(sqlite3* db, const QByteArray& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
    const QString msg = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
    sqlite3_free(err);
    throw ESqliteError(msg, sqlite3_errcode(db) & 0xff);
  }
}

// The first column of the first row, or `fallback` when there is none.
qint64 Int(sqlite3* db, const char* sql, qint64 fallback = -1) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
    throw ESqliteError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db) & 0xff);
  qint64 v = fallback;
  const int rc = sqlite3_step(st);
  if (rc == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL) v = sqlite3_column_int64(st, 0);
  sqlite3_finalize(st);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE)
    throw ESqliteError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db) & 0xff);
  return v;
}

QByteArray StoredSql(sqlite3* db, const char* name) {
  sqlite3_stmt* st = nullptr;
  QByteArray sql;
  if (sqlite3_prepare_v2(db, "select sql from sqlite_master where name=?", -1, &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC);
    if (sqlite3_step(st) == SQLITE_ROW) sql = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  }
  sqlite3_finalize(st);
  return sql;
}

// Every object as this program creates it: anything else is rebuilt.
bool SchemaIntact(sqlite3* db) {
  if (StoredSql(db, "tw_notes_fts") != kTable || StoredSql(db, "tw_notes_fts_state") != kState ||
      StoredSql(db, "tw_notes_fts_terms") != kTerms || StoredSql(db, "tw_notes_tails") != kTails)
    return false;
  for (int i = 0; i < 3; ++i)
    if (StoredSql(db, kTriggerNames[i]) != kTriggers[i]) return false;
  return Int(db, "select count(*) from tw_notes_fts_state") == 1;
}

void Recreate(sqlite3* db) {
  for (const char* name : kTriggerNames) Exec(db, QByteArray("DROP TRIGGER IF EXISTS ") + name);
  Exec(db, "DROP TABLE IF EXISTS tw_notes_fts_terms");
  Exec(db, "DROP TABLE IF EXISTS tw_notes_fts");
  Exec(db, "DROP TABLE IF EXISTS tw_notes_fts_state");
  Exec(db, "DROP TABLE IF EXISTS tw_notes_tails");
  Exec(db, kTable);
  Exec(db, kState);
  Exec(db, kTerms);
  Exec(db, kTails);
  Exec(db, "INSERT INTO tw_notes_fts_state VALUES (-1)");
  for (const char* t : kTriggers) Exec(db, t);
}

class WriteTransaction {
 public:
  explicit WriteTransaction(sqlite3* db) : db_(db) { Exec(db_, "BEGIN IMMEDIATE"); }
  ~WriteTransaction() {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  void Commit() { Exec(db_, "COMMIT"); }

 private:
  sqlite3* db_;
};

}  // namespace

TNotesIndex::TNotesIndex(TADOConnection* connection, QObject* owner)
    : QObject(owner), connection_(connection), timer_(new QTimer(this)), checkTimer_(new QTimer(this)) {
  timer_->setSingleShot(true);
  timer_->setInterval(kStepPauseMs);
  connect(timer_, &QTimer::timeout, this, [this] {
    try {
      if (!BuildStep(kStepBudgetMs)) ScheduleBuild(); else ScheduleCheck();
    } catch (const EError&) {
      // Searches keep scanning; the next start tries again.
    }
  });
  checkTimer_->setSingleShot(true);
  checkTimer_->setInterval(kCheckPauseMs);
  connect(checkTimer_, &QTimer::timeout, this, [this] {
    if (!CheckStep(kCheckBudgetMs) && Ready()) checkTimer_->start();
  });
}

void TNotesIndex::ScheduleCheck() {
  checkedUpto_ = -1;
  if (QCoreApplication::instance()) checkTimer_->start();
}

bool TNotesIndex::CheckStep(int budgetMs) {
  if (!Ready()) return false;
  sqlite3* db = nullptr;
  try {
    db = connection_->Handle();
  } catch (const EError&) {
    return true;
  }
  // A command's own transaction is left alone, and while the user is
  // changing notes the check waits for a pause.
  if (!sqlite3_get_autocommit(db)) return false;
  const qint64 changes = sqlite3_total_changes64(db);
  if (changes != seenChanges_) {
    seenChanges_ = changes;
    return false;
  }
  QElapsedTimer clock;
  clock.start();
  sqlite3_stmt* st = nullptr;
  const char* step =
      "select max(rowid), count(*) from (select rowid from \"笔记\" where rowid > ?1 order by rowid limit ?2)";
  qint64 last = 0, missing = 0;
  int rows = 0;
  int rc = sqlite3_prepare_v2(db, step, -1, &st, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_bind_int64(st, 1, checkedUpto_);
    sqlite3_bind_int(st, 2, checkBatch_);
    rc = sqlite3_step(st);
    last = sqlite3_column_int64(st, 0);
    rows = sqlite3_column_int(st, 1);
  }
  sqlite3_finalize(st);
  st = nullptr;
  if (rc == SQLITE_ROW && rows > 0) {
    rc = sqlite3_prepare_v2(db, kCheckSql, -1, &st, nullptr);
    if (rc == SQLITE_OK) {
      sqlite3_bind_int64(st, 1, checkedUpto_);
      sqlite3_bind_int64(st, 2, last);
      rc = sqlite3_step(st);
      missing = sqlite3_column_int64(st, 0);
    }
    sqlite3_finalize(st);
  }
  const int code = rc & 0xff;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) return false;  // another writer: later
  if (code == SQLITE_CORRUPT || missing > 0) {
    checkedUpto_ = -1;
    // Once a session: a note the check misjudges must not rebuild forever.
    if (foundDamage_) return true;
    foundDamage_ = true;
    Reset();
    return false;
  }
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    checkedUpto_ = -1;  // not a damaged index (a note the check cannot phrase): stop
    return true;
  }
  const bool done = rows < checkBatch_;
  checkedUpto_ = done ? -1 : last;
  const qint64 spent = std::max<qint64>(1, clock.elapsed());
  checkBatch_ = int(std::clamp<qint64>(checkBatch_ * budgetMs / spent, 8, 4096));
  return done;
}

void TNotesIndex::ScheduleBuild() {
  // Without an event loop (tools, tests) the owner builds with BuildStep.
  if (QCoreApplication::instance()) timer_->start();
}

void TNotesIndex::Upgrade() {
  try {
    sqlite3* db = connection_->Handle();
    WriteTransaction tx(db);
    bool rebuild = !SchemaIntact(db);
    // A complete index with another number of notes than the table was
    // changed behind the triggers' back.
    if (!rebuild && Int(db, "select upto from tw_notes_fts_state") == kComplete) {
      const qint64 notes = Int(db, "select count(*) from \"笔记\"");
      rebuild = Int(db, "select count(*) from tw_notes_fts_docsize") != notes ||
                Int(db, "select count(*) from tw_notes_tails") != notes;
    }
    if (rebuild) Recreate(db);
    tx.Commit();
  } catch (const EError&) {
    // A read-only or busy file: searches scan until a later start succeeds.
    return;
  }
  if (!Ready()) ScheduleBuild(); else ScheduleCheck();
}

bool TNotesIndex::Ready() {
  try {
    if (!connection_->Connected()) return false;
    return Int(connection_->Handle(), "select upto from tw_notes_fts_state") == kComplete;
  } catch (const EError&) {
    return false;
  }
}

bool TNotesIndex::BuildStep(int budgetMs) {
  sqlite3* db = connection_->Handle();
  // A command's own transaction is never joined; the next step comes later.
  if (!sqlite3_get_autocommit(db)) return false;
  QElapsedTimer clock;
  clock.start();
  WriteTransaction tx(db);
  const qint64 upto = Int(db, "select upto from tw_notes_fts_state");
  if (upto == kComplete) return true;
  sqlite3_stmt* st = nullptr;
  const char* step =
      "select max(rowid), count(*) from (select rowid from \"笔记\" where rowid > ?1 order by rowid limit ?2)";
  if (sqlite3_prepare_v2(db, step, -1, &st, nullptr) != SQLITE_OK)
    throw ESqliteError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db) & 0xff);
  sqlite3_bind_int64(st, 1, upto);
  sqlite3_bind_int(st, 2, batch_);
  sqlite3_step(st);
  const qint64 last = sqlite3_column_int64(st, 0);
  const int rows = sqlite3_column_int(st, 1);
  sqlite3_finalize(st);
  const bool done = rows < batch_;
  Exec(db, QStringLiteral("insert into tw_notes_fts(rowid, \"标题\", \"内容\") select rowid, \"标题\", \"内容\" "
                          "from \"笔记\" where rowid > %1 and rowid <= %2")
               .arg(upto)
               .arg(done ? kComplete : last)
               .toUtf8());
  Exec(db, QStringLiteral("insert into tw_notes_tails select rowid, substr(\"标题\", -2), substr(\"内容\", -2) "
                          "from \"笔记\" where rowid > %1 and rowid <= %2")
               .arg(upto)
               .arg(done ? kComplete : last)
               .toUtf8());
  Exec(db, QStringLiteral("update tw_notes_fts_state set upto = %1").arg(done ? kComplete : last).toUtf8());
  tx.Commit();
  const qint64 spent = std::max<qint64>(1, clock.elapsed());
  batch_ = int(std::clamp<qint64>(batch_ * budgetMs / spent, 16, 8192));
  return done;
}

void TNotesIndex::BuildAll() {
  batch_ = 8192;
  while (!BuildStep(1000)) batch_ = 8192;
  timer_->stop();
  checkedUpto_ = -1;
}

void TNotesIndex::Reset() {
  try {
    sqlite3* db = connection_->Handle();
    WriteTransaction tx(db);
    Recreate(db);
    tx.Commit();
  } catch (const EError&) {
    return;
  }
  ScheduleBuild();
}
