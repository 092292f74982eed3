// Keeps the trigram index in step with the notes table: triggers change it and
// its totals in the same transaction as the note; building, the comparison of
// the totals at start and the rare full check run on a worker connection, so
// the window never waits for them and rests once they are done.
#include "app/NotesIndex.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <chrono>
#include <limits>

#include "platform/db/Dataset.h"

namespace {

constexpr int kStepBudgetMs = 15;
// Between the worker's steps the window's own writes get the file.
constexpr int kStepPauseMs = 5;
// A busy file is tried again after this long.
constexpr int kBusyRetryMs = 50;
constexpr int kBusyTimeoutMs = 5000;
constexpr qint64 kComplete = std::numeric_limits<qint64>::max();
// Notes looked over in one read transaction of the full check: short, so the
// window's saves never wait long for it.
constexpr int kCheckRows = 256;
// How often (in engine steps) the worker looks whether it must stop.
constexpr int kStopCheckSteps = 10000;

// What the index holds of a title or body: the text, or nothing when it is
// wider than kIndexedTextBytes. Its length is read from the stored bytes, so
// deciding costs nothing beside tokenizing it.
QByteArray Indexed(const QByteArray& x) {
  return "(CASE WHEN length(CAST(" + x + " AS BLOB)) <= " + QByteArray::number(kIndexedTextBytes) + " THEN " + x +
         " END)";
}
// 1 when a note has a title or body the index leaves out, else 0.
QByteArray Wide(const QByteArray& row) {
  auto wide = [](const QByteArray& x) {
    return "coalesce(length(CAST(" + x + " AS BLOB)) > " + QByteArray::number(kIndexedTextBytes) + ", 0)";
  };
  return "(" + wide(row + ".\"标题\"") + " OR " + wide(row + ".\"内容\"") + ")";
}

// Notes in (?1, ?2] the index fails: a title or body whose middle trigram
// does not find it, tails that differ from the note's, or a wide note not
// listed as such. The trigram is quoted as one phrase, so any character
// stands for itself.
QByteArray CheckSql() {
  auto trigramMissing = [](const QByteArray& column) {
    const QByteArray x = Indexed("n.\"" + column + "\"");
    return "(length(" + x + ") >= 3 and not exists (select 1 from tw_notes_fts f where tw_notes_fts match " +
           "'\"' || replace(substr(" + x + ", (length(" + x + ") - 1) / 2, 3), '\"', '\"\"') || '\"' " +
           "and f.rowid = n.rowid))";
  };
  return "select count(*) from \"笔记\" n where n.rowid > ?1 and n.rowid <= ?2 and (" + trigramMissing("标题") +
         " or " + trigramMissing("内容") +
         " or not exists (select 1 from tw_notes_tails t where t.id = n.rowid and t.t is substr(" +
         Indexed("n.\"标题\"") + ", -2) and t.b is substr(" + Indexed("n.\"内容\"") + ", -2))" + " or " +
         Wide("n") + " is not exists (select 1 from tw_notes_wide w where w.id = n.rowid))";
}

// Indexed rows are those up to `upto`; the build moves it up to kComplete.
// The triggers touch only indexed rows, so a note the build has not reached
// is never removed from the index before it was put there. The index reads
// the notes through a view that leaves wide texts out, so that FTS5's own
// check and the triggers agree on what it holds.
QByteArray TextView() {
  return "CREATE VIEW tw_notes_fts_text AS SELECT rowid AS id, " + Indexed("\"标题\"") + " AS \"标题\", " +
         Indexed("\"内容\"") + " AS \"内容\" FROM \"笔记\"";
}
const char* const kTable =
    "CREATE VIRTUAL TABLE tw_notes_fts USING fts5(\"标题\", \"内容\", content='tw_notes_fts_text', "
    "content_rowid='id', tokenize='trigram', detail=none)";
const char* const kState = "CREATE TABLE tw_notes_fts_state (upto INTEGER NOT NULL)";
// The index's terms with the notes holding each: a keyword too short for a
// trigram finds the trigrams it begins by their common prefix.
const char* const kTerms = "CREATE VIRTUAL TABLE tw_notes_fts_terms USING fts5vocab(tw_notes_fts, instance)";
// The last two characters of each title and body: the only places a keyword
// of one or two characters can stand without beginning a trigram (a text
// shorter than three characters is all tail).
const char* const kTails = "CREATE TABLE tw_notes_tails (id INTEGER PRIMARY KEY, t, b)";
// Notes with a text the index leaves out: every search offers them.
const char* const kWide = "CREATE TABLE tw_notes_wide (id INTEGER PRIMARY KEY)";
// Only a change to a title or body touches the index: re-filing notes under
// another category, or a huge note's category changed, costs no reading.
const char* const kIndexedColumns = "OF \"标题\", \"内容\" ON \"笔记\"";
QList<QByteArray> Triggers() {
  const QByteArray indexed = " <= (SELECT upto FROM tw_notes_fts_state)";
  auto add = [&](const char* r, bool when) {
    const QByteArray row(r);
    const QByteArray where = when ? " WHERE " + row + ".rowid" + indexed : QByteArray();
    return "INSERT INTO tw_notes_fts(rowid, \"标题\", \"内容\") SELECT " + row + ".rowid, " +
           Indexed(row + ".\"标题\"") + ", " + Indexed(row + ".\"内容\"") + where + "; " +
           "INSERT INTO tw_notes_tails SELECT " + row + ".rowid, substr(" + Indexed(row + ".\"标题\"") +
           ", -2), substr(" + Indexed(row + ".\"内容\"") + ", -2)" + where + "; " +
           "INSERT INTO tw_notes_wide SELECT " + row + ".rowid WHERE " + Wide(row) +
           (when ? " AND " + row + ".rowid" + indexed : QByteArray()) + "; ";
  };
  auto remove = [&](bool when) {
    const QByteArray where = when ? " WHERE old.rowid" + indexed : QByteArray();
    return "INSERT INTO tw_notes_fts(tw_notes_fts, rowid, \"标题\", \"内容\") SELECT 'delete', old.rowid, " +
           Indexed("old.\"标题\"") + ", " + Indexed("old.\"内容\"") + where + "; " +
           "DELETE FROM tw_notes_tails WHERE id = old.rowid; DELETE FROM tw_notes_wide WHERE id = old.rowid; ";
  };
  return {
      "CREATE TRIGGER tw_notes_fts_ai AFTER INSERT ON \"笔记\" WHEN new.rowid" + indexed + " BEGIN " +
          add("new", false) + "END",
      "CREATE TRIGGER tw_notes_fts_ad AFTER DELETE ON \"笔记\" WHEN old.rowid" + indexed + " BEGIN " +
          remove(false) + "END",
      QByteArray("CREATE TRIGGER tw_notes_fts_au AFTER UPDATE ") + kIndexedColumns + " BEGIN " + remove(true) +
          add("new", true) + "END",
  };
}
const char* const kTriggerNames[] = {"tw_notes_fts_ai", "tw_notes_fts_ad", "tw_notes_fts_au"};

// The totals the triggers keep beside the index, compared with the index's
// own at start: the notes indexed, the trigrams of titles and of bodies (a
// text of n characters has n - 2), a sum over the last two characters as
// the tails table holds them, and the sum of the wide notes' row ids. Null
// values: not known yet.
const char* const kCheckTable =
    "CREATE TABLE tw_notes_check (n INTEGER, t INTEGER, b INTEGER, tails INTEGER, w INTEGER)";
QByteArray Trigrams(const QByteArray& text) { return "max(coalesce(length(" + text + "), 0) - 2, 0)"; }
QByteArray TailSum(const QByteArray& id, const QByteArray& t, const QByteArray& b) {
  auto code = [](const QByteArray& x) { return "coalesce(unicode(" + x + "), 0)"; };
  return id + " + 3 * " + code(t) + " + 5 * " + code("substr(" + t + ", 2)") + " + 7 * " + code(b) +
         " + 11 * " + code("substr(" + b + ", 2)");
}
QByteArray CheckUpdate(const char* row, const char* sign) {
  const QByteArray r(row);
  const QByteArray t = Indexed(r + ".\"标题\""), b = Indexed(r + ".\"内容\"");
  return QByteArray("UPDATE tw_notes_check SET n = n ") + sign + " 1, t = t " + sign + " " + Trigrams(t) +
         ", b = b " + sign + " " + Trigrams(b) + ", tails = tails " + sign + " (" +
         TailSum(r + ".rowid", "substr(" + t + ", -2)", "substr(" + b + ", -2)") + "), w = w " + sign + " " +
         Wide(r) + " * " + r + ".rowid";
}
const char* const kIndexed = " <= (SELECT upto FROM tw_notes_fts_state)";
QList<QByteArray> CheckTriggers() {
  return {
      "CREATE TRIGGER tw_notes_check_ai AFTER INSERT ON \"笔记\" WHEN new.rowid" + QByteArray(kIndexed) +
          " BEGIN " + CheckUpdate("new", "+") + "; END",
      "CREATE TRIGGER tw_notes_check_ad AFTER DELETE ON \"笔记\" WHEN old.rowid" + QByteArray(kIndexed) +
          " BEGIN " + CheckUpdate("old", "-") + "; END",
      "CREATE TRIGGER tw_notes_check_au AFTER UPDATE " + QByteArray(kIndexedColumns) + " BEGIN " +
          CheckUpdate("old", "-") +
          " WHERE old.rowid" + kIndexed + "; " + CheckUpdate("new", "+") + " WHERE new.rowid" + kIndexed + "; END",
  };
}
const char* const kCheckTriggerNames[] = {"tw_notes_check_ai", "tw_notes_check_ad", "tw_notes_check_au"};

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

// Notebooks whose update triggers fired on a change to any column hold the
// same index: only the triggers are replaced.
void NarrowUpdateTriggers(sqlite3* db) {
  const QByteArray narrow = QByteArray("AFTER UPDATE ") + kIndexedColumns, wide = "AFTER UPDATE ON \"笔记\"";
  const QByteArray triggers[] = {Triggers()[2], CheckTriggers()[2]};
  const char* const names[] = {kTriggerNames[2], kCheckTriggerNames[2]};
  for (int i = 0; i < 2; ++i) {
    if (StoredSql(db, names[i]) != QByteArray(triggers[i]).replace(narrow, wide)) continue;
    Exec(db, QByteArray("DROP TRIGGER ") + names[i]);
    Exec(db, triggers[i]);
  }
}

// Every object as this program creates it: anything else is rebuilt.
bool SchemaIntact(sqlite3* db) {
  if (StoredSql(db, "tw_notes_fts") != kTable || StoredSql(db, "tw_notes_fts_state") != kState ||
      StoredSql(db, "tw_notes_fts_terms") != kTerms || StoredSql(db, "tw_notes_tails") != kTails ||
      StoredSql(db, "tw_notes_wide") != kWide || StoredSql(db, "tw_notes_fts_text") != TextView())
    return false;
  const QList<QByteArray> triggers = Triggers();
  for (int i = 0; i < 3; ++i)
    if (StoredSql(db, kTriggerNames[i]) != triggers[i]) return false;
  return Int(db, "select count(*) from tw_notes_fts_state") == 1;
}

// The totals' table and triggers as this program creates them, with one row.
bool CheckIntact(sqlite3* db) {
  if (StoredSql(db, "tw_notes_check") != kCheckTable) return false;
  const QList<QByteArray> triggers = CheckTriggers();
  for (int i = 0; i < 3; ++i)
    if (StoredSql(db, kCheckTriggerNames[i]) != triggers[i]) return false;
  return Int(db, "select count(*) from tw_notes_check") == 1;
}

// Totals not known: the worker looks every note up and then sets them.
void RecreateCheck(sqlite3* db) {
  for (const char* name : kCheckTriggerNames) Exec(db, QByteArray("DROP TRIGGER IF EXISTS ") + name);
  Exec(db, "DROP TABLE IF EXISTS tw_notes_check");
  Exec(db, kCheckTable);
  Exec(db, "INSERT INTO tw_notes_check VALUES (NULL, NULL, NULL, NULL, NULL)");
  for (const QByteArray& t : CheckTriggers()) Exec(db, t);
}

void Recreate(sqlite3* db) {
  for (const char* name : kTriggerNames) Exec(db, QByteArray("DROP TRIGGER IF EXISTS ") + name);
  Exec(db, "DROP TABLE IF EXISTS tw_notes_fts_terms");
  Exec(db, "DROP TABLE IF EXISTS tw_notes_fts");
  Exec(db, "DROP TABLE IF EXISTS tw_notes_fts_state");
  Exec(db, "DROP TABLE IF EXISTS tw_notes_tails");
  Exec(db, "DROP TABLE IF EXISTS tw_notes_wide");
  Exec(db, "DROP VIEW IF EXISTS tw_notes_fts_text");
  Exec(db, TextView());
  Exec(db, kTable);
  Exec(db, kState);
  Exec(db, kTerms);
  Exec(db, kTails);
  Exec(db, kWide);
  Exec(db, "INSERT INTO tw_notes_fts_state VALUES (-1)");
  for (const QByteArray& t : Triggers()) Exec(db, t);
  RecreateCheck(db);  // set when the build completes
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

// SQLite's variable-length integer, as FTS5 writes its totals.
bool ReadVarint(const uchar*& p, const uchar* end, quint64& v) {
  v = 0;
  for (int i = 0; i < 9; ++i) {
    if (p >= end) return false;
    const uchar c = *p++;
    if (i == 8) {
      v = (v << 8) | c;
      return true;
    }
    v = (v << 7) | (c & 0x7f);
    if (!(c & 0x80)) return true;
  }
  return true;
}

struct TTotals {
  qint64 n = 0, t = 0, b = 0, tails = 0, w = 0;
  bool operator==(const TTotals&) const = default;
};

// The index's own totals: its row count and trigram counts (FTS5's averages
// record), and the tails table's rows and sum.
TTotals IndexTotals(sqlite3* db) {
  TTotals totals;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "select block from tw_notes_fts_data where id = 1", -1, &st, nullptr) != SQLITE_OK)
    throw ESqliteError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db) & 0xff);
  const int rc = sqlite3_step(st);
  if (rc == SQLITE_ROW) {
    const auto* p = static_cast<const uchar*>(sqlite3_column_blob(st, 0));
    const uchar* end = p + sqlite3_column_bytes(st, 0);
    quint64 v[3] = {0, 0, 0};
    // An index that never held a note has an empty record; an unreadable
    // one differs from any total.
    if (p != end)
      for (quint64& x : v)
        if (!ReadVarint(p, end, x)) x = quint64(-1);
    totals.n = qint64(v[0]), totals.t = qint64(v[1]), totals.b = qint64(v[2]);
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE)
    throw ESqliteError(QString::fromUtf8(sqlite3_errmsg(db)), rc & 0xff);
  // Rows missing from the index's size table or from the tails.
  if (Int(db, "select count(*) from tw_notes_fts_docsize") != totals.n) totals.n = -1;
  const QByteArray tails = "select count(*), coalesce(sum(" + TailSum("id", "t", "b") + "), 0) from tw_notes_tails";
  st = nullptr;
  if (sqlite3_prepare_v2(db, tails.constData(), -1, &st, nullptr) != SQLITE_OK)
    throw ESqliteError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db) & 0xff);
  if (sqlite3_step(st) == SQLITE_ROW) {
    if (sqlite3_column_int64(st, 0) != totals.n) totals.n = -1;
    totals.tails = sqlite3_column_int64(st, 1);
  }
  sqlite3_finalize(st);
  totals.w = Int(db, "select coalesce(sum(id), 0) from tw_notes_wide");
  return totals;
}

void SetTotalsFromIndex(sqlite3* db) {
  const TTotals totals = IndexTotals(db);
  Exec(db, QStringLiteral("update tw_notes_check set n = %1, t = %2, b = %3, tails = %4, w = %5")
               .arg(totals.n)
               .arg(totals.t)
               .arg(totals.b)
               .arg(totals.tails)
               .arg(totals.w)
               .toUtf8());
}

qint64 Upto(sqlite3* db) { return Int(db, "select upto from tw_notes_fts_state"); }

// One step of the build on `db`; true once the index is complete.
bool BuildStepOn(sqlite3* db, int& batch, int budgetMs) {
  // A command's own transaction is never joined; the next step comes later.
  if (!sqlite3_get_autocommit(db)) return false;
  QElapsedTimer clock;
  clock.start();
  WriteTransaction tx(db);
  const qint64 upto = Upto(db);
  if (upto == kComplete) return true;
  sqlite3_stmt* st = nullptr;
  const char* step =
      "select max(rowid), count(*) from (select rowid from \"笔记\" where rowid > ?1 order by rowid limit ?2)";
  if (sqlite3_prepare_v2(db, step, -1, &st, nullptr) != SQLITE_OK)
    throw ESqliteError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db) & 0xff);
  sqlite3_bind_int64(st, 1, upto);
  sqlite3_bind_int(st, 2, batch);
  sqlite3_step(st);
  const qint64 last = sqlite3_column_int64(st, 0);
  const int rows = sqlite3_column_int(st, 1);
  sqlite3_finalize(st);
  const bool done = rows < batch;
  const qint64 to = done ? kComplete : last;
  const QByteArray range = " where id > " + QByteArray::number(upto) + " and id <= " + QByteArray::number(to);
  Exec(db, "insert into tw_notes_fts(rowid, \"标题\", \"内容\") select id, \"标题\", \"内容\" from tw_notes_fts_text" +
               range);
  Exec(db, "insert into tw_notes_tails select id, substr(\"标题\", -2), substr(\"内容\", -2) from tw_notes_fts_text" +
               range);
  Exec(db, "insert into tw_notes_wide select rowid from \"笔记\" n where rowid > " + QByteArray::number(upto) +
               " and rowid <= " + QByteArray::number(to) + " and " + Wide("n"));
  Exec(db, QStringLiteral("update tw_notes_fts_state set upto = %1").arg(to).toUtf8());
  // The build is trusted: from here on the triggers keep the totals.
  if (done) SetTotalsFromIndex(db);
  tx.Commit();
  const qint64 spent = std::max<qint64>(1, clock.elapsed());
  batch = int(std::clamp<qint64>(batch * budgetMs / spent, 1, 8192));
  return done;
}

QString CheckAgainstNotes(sqlite3* db, const std::atomic<bool>* stop) {
  const qint64 upto = Upto(db);
  qint64 from = -1;
  for (;;) {
    if (stop && stop->load()) return QString();
    sqlite3_stmt* st = nullptr;
    const char* range =
        "select max(rowid), count(*) from (select rowid from \"笔记\" where rowid > ?1 and rowid <= ?2 "
        "order by rowid limit ?3)";
    qint64 last = 0, missing = 0;
    int rows = 0;
    int rc = sqlite3_prepare_v2(db, range, -1, &st, nullptr);
    if (rc == SQLITE_OK) {
      sqlite3_bind_int64(st, 1, from);
      sqlite3_bind_int64(st, 2, upto);
      sqlite3_bind_int(st, 3, kCheckRows);
      rc = sqlite3_step(st);
      last = sqlite3_column_int64(st, 0);
      rows = sqlite3_column_int(st, 1);
    }
    sqlite3_finalize(st);
    st = nullptr;
    if (rc == SQLITE_ROW && rows > 0) {
      rc = sqlite3_prepare_v2(db, CheckSql().constData(), -1, &st, nullptr);
      if (rc == SQLITE_OK) {
        sqlite3_bind_int64(st, 1, from);
        sqlite3_bind_int64(st, 2, last);
        rc = sqlite3_step(st);
        missing = sqlite3_column_int64(st, 0);
      }
      sqlite3_finalize(st);
    }
    const int code = rc & 0xff;
    if (code == SQLITE_CORRUPT)
      return QStringLiteral("the index cannot be read: %1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    if (missing > 0)
      return QStringLiteral("%1 of the notes after row %2 are not found by the index as they are")
          .arg(missing)
          .arg(from);
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kBusyRetryMs));
      continue;
    }
    // Another error is not a damaged index (a note the check cannot phrase).
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return QString();
    if (rows < kCheckRows) return QString();
    from = last;
  }
}

}  // namespace

TIndexTotals CompareIndexTotals(sqlite3* db) {
  // One read transaction: a note saved meanwhile must not fall between reads.
  const bool own = sqlite3_get_autocommit(db);
  if (own) Exec(db, "BEGIN");
  struct TEnd {
    sqlite3* db;
    bool own;
    ~TEnd() {
      if (own) sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
  } end{db, own};
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "select n, t, b, tails, w from tw_notes_check", -1, &st, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    return TIndexTotals::Unknown;
  }
  TTotals kept;
  bool known = false;
  if (sqlite3_step(st) == SQLITE_ROW) {
    known = true;
    for (int i = 0; i < 5; ++i) known = known && sqlite3_column_type(st, i) != SQLITE_NULL;
    kept = {sqlite3_column_int64(st, 0), sqlite3_column_int64(st, 1), sqlite3_column_int64(st, 2),
            sqlite3_column_int64(st, 3), sqlite3_column_int64(st, 4)};
  }
  sqlite3_finalize(st);
  if (!known) return TIndexTotals::Unknown;
  // Notes written behind the triggers' back change the table but not the totals.
  if (Upto(db) == kComplete && Int(db, "select count(*) from \"笔记\"") != kept.n) return TIndexTotals::Differ;
  return IndexTotals(db) == kept ? TIndexTotals::Agree : TIndexTotals::Differ;
}

QString CheckIndexAgainstNotes(sqlite3* db) { return CheckAgainstNotes(db, nullptr); }

namespace {

// Whether a complete index must be built again. Totals that differ mean
// damage (rebuilding costs what a full check costs); an older notebook's
// notes are looked up once, and if the index finds them all it gets its
// totals. `stop` ends the look-up early, deciding nothing.
bool NeedsRebuild(sqlite3* db, const std::atomic<bool>* stop) {
  switch (CompareIndexTotals(db)) {
    case TIndexTotals::Agree:
      return false;
    case TIndexTotals::Differ:
      return true;
    case TIndexTotals::Unknown:
      break;
  }
  if (!CheckAgainstNotes(db, stop).isEmpty()) return true;
  if (stop && stop->load()) return false;
  WriteTransaction tx(db);
  SetTotalsFromIndex(db);
  tx.Commit();
  return false;
}

}  // namespace

TNotesIndex::TNotesIndex(TADOConnection* connection, QObject* owner) : QObject(owner), connection_(connection) {}

TNotesIndex::~TNotesIndex() {
  // Whoever listens may be going away with the owner: say nothing on the way out.
  blockSignals(true);
  Stop();
}

void TNotesIndex::Stop() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
  stop_ = false;
  ++generation_;
  if (busy_) {
    busy_ = false;
    emit BusyChanged(false);
  }
}

void TNotesIndex::StartWorker() {
  // Without an event loop (tools, tests) the owner builds with BuildStep.
  if (!QCoreApplication::instance()) return;
  Stop();
  busy_ = true;
  emit BusyChanged(true);
  // The worker starts from the event loop, once the windows are built: at
  // start it would compete with the first paint for a core and the file.
  QMetaObject::invokeMethod(
      this,
      [this, generation = generation_] {
        // A Stop() meanwhile moved the generation on: nothing to start.
        if (generation == generation_)
          worker_ = std::thread(&TNotesIndex::Work, this, connection_->FilePath(), generation);
      },
      Qt::QueuedConnection);
}

// The worker: builds what is missing in short write transactions, then
// compares the totals; only when they differ does it look every note up, and
// it rebuilds an index found damaged (once a session, so a note the check
// misjudges cannot rebuild forever).
void TNotesIndex::Work(QString path, int generation) {
  sqlite3* db = nullptr;
  const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?mode=rw";
  if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                      nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // A step over a huge note is interrupted when the window closes or resets.
    sqlite3_progress_handler(
        db, kStopCheckSteps, [](void* stop) { return static_cast<std::atomic<bool>*>(stop)->load() ? 1 : 0; },
        &stop_);
    int batch = 64;
    bool rebuilt = foundDamage_;
    while (!stop_) {
      try {
        if (Upto(db) != kComplete) {
          BuildStepOn(db, batch, kStepBudgetMs);
          std::this_thread::sleep_for(std::chrono::milliseconds(kStepPauseMs));
          continue;
        }
        if (!NeedsRebuild(db, &stop_) || rebuilt) break;
        rebuilt = true;
        foundDamage_ = true;
        WriteTransaction tx(db);
        Recreate(db);
        tx.Commit();
      } catch (const ESqliteError& e) {
        if (e.Code() == SQLITE_BUSY || e.Code() == SQLITE_LOCKED) {
          std::this_thread::sleep_for(std::chrono::milliseconds(kBusyRetryMs));
          continue;
        }
        if (e.Code() != SQLITE_CORRUPT || rebuilt) break;
        // Pages of the index that cannot be read: built again.
        rebuilt = true;
        foundDamage_ = true;
        try {
          WriteTransaction tx(db);
          Recreate(db);
          tx.Commit();
        } catch (const EError&) {
          break;
        }
      } catch (const EError&) {
        break;  // searches keep scanning; the next start tries again
      }
    }
  }
  sqlite3_close_v2(db);
  QMetaObject::invokeMethod(
      this,
      [this, generation] {
        if (generation != generation_ || !busy_) return;
        busy_ = false;
        emit BusyChanged(false);
      },
      Qt::QueuedConnection);
}

void TNotesIndex::Upgrade() {
  try {
    sqlite3* db = connection_->Handle();
    WriteTransaction tx(db);
    NarrowUpdateTriggers(db);
    if (!SchemaIntact(db)) Recreate(db);
    else if (!CheckIntact(db)) RecreateCheck(db);  // an older notebook: its totals are found once
    // Without an event loop (tools, tests) there is no worker: totals that
    // differ rebuild the index at once; the caller builds it.
    if (!QCoreApplication::instance() && Upto(db) == kComplete &&
        CompareIndexTotals(db) == TIndexTotals::Differ)
      Recreate(db);
    tx.Commit();
  } catch (const EError&) {
    // A read-only or busy file: searches scan until a later start succeeds.
    return;
  }
  StartWorker();
}

bool TNotesIndex::Ready() {
  try {
    if (!connection_->Connected()) return false;
    return Upto(connection_->Handle()) == kComplete;
  } catch (const EError&) {
    return false;
  }
}

bool TNotesIndex::BuildStep(int budgetMs) { return BuildStepOn(connection_->Handle(), batch_, budgetMs); }

void TNotesIndex::BuildAll() {
  batch_ = 8192;
  while (!BuildStep(1000)) batch_ = 8192;
}

void TNotesIndex::Reset() {
  try {
    sqlite3* db = connection_->Handle();
    Stop();
    WriteTransaction tx(db);
    Recreate(db);
    tx.Commit();
  } catch (const EError&) {
    return;
  }
  StartWorker();
}
