// Datasets over SQLite: snapshots on open, each change written back in a
// transaction, and a file that is not ours never changed before it is refused.
#include "platform/db/Dataset.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <atomic>

namespace {

constexpr int kBusyTimeoutMs = 5000;

QString Utf8(const char* s) { return QString::fromUtf8(s ? s : ""); }

[[noreturn]] void Fail(const QString& text) { throw EDatabaseError(text); }

[[noreturn]] void FailDb(sqlite3* db, const QString& context = QString()) {
  const QString msg = Utf8(sqlite3_errmsg(db));
  throw ESqliteError(context.isEmpty() ? msg : context + ": " + msg, sqlite3_errcode(db) & 0xff);
}

QString QuoteIdent(const QString& name) {
  QString q = name;
  q.replace('"', "\"\"");
  return '"' + q + '"';
}

// An absolute file URI with every special character escaped, so that a
// name holding "?" or "#" still names the file.
QByteArray FileUri(const QString& path, const char* mode) {
  return QUrl::fromLocalFile(path).toEncoded() + "?mode=" + mode;
}

// Owns a prepared statement.
class Stmt {
 public:
  Stmt(sqlite3* db, const QString& sql) : db_(db) {
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &s_, &tail) != SQLITE_OK)
      FailDb(db);
    if (!s_) Fail(QStringLiteral("The statement is empty."));
    for (; tail && *tail; ++tail) {
      if (!QChar::isSpace(uchar(*tail)) && *tail != ';') {
        // A throwing constructor runs no destructor.
        sqlite3_finalize(s_);
        Fail(QStringLiteral("Only one statement can be run at a time: %1").arg(sql));
      }
    }
  }
  ~Stmt() { sqlite3_finalize(s_); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  sqlite3_stmt* get() const { return s_; }

  void Bind(const QVariantList& params) {
    const int wanted = sqlite3_bind_parameter_count(s_);
    if (wanted != params.size())
      Fail(QStringLiteral("The statement takes %1 values but %2 were given.")
               .arg(wanted)
               .arg(params.size()));
    // Kept for as long as the statement, which reads UTF-8 texts in place.
    bound_ = params;
    for (int i = 0; i < bound_.size(); ++i) BindOne(i + 1, bound_[i]);
  }

  void BindOne(int index, const QVariant& v) {
    int rc;
    if (v.isNull()) {
      rc = sqlite3_bind_null(s_, index);
    } else if (v.typeId() == qMetaTypeId<TUtf8Text>()) {
      const QByteArray& u = static_cast<const TUtf8Text*>(v.constData())->bytes;
      rc = sqlite3_bind_text64(s_, index, u.isNull() ? "" : u.constData(), sqlite3_uint64(u.size()),
                               SQLITE_STATIC, SQLITE_UTF8);
    } else {
      switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
          rc = sqlite3_bind_int64(s_, index, v.toLongLong());
          break;
        case QMetaType::Double:
        case QMetaType::Float:
          rc = sqlite3_bind_double(s_, index, v.toDouble());
          break;
        case QMetaType::QByteArray: {
          const QByteArray b = v.toByteArray();
          rc = sqlite3_bind_blob64(s_, index, b.constData(), sqlite3_uint64(b.size()),
                                   SQLITE_TRANSIENT);
          break;
        }
        case QMetaType::QDateTime:
          rc = BindText(index, v.toDateTime().toLocalTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
          break;
        case QMetaType::QDate:
          rc = BindText(index, v.toDate().toString(Qt::ISODate));
          break;
        default:
          rc = BindText(index, v.toString());
      }
    }
    if (rc != SQLITE_OK) FailDb(db_);
  }

  // One step; true while rows come.
  bool Step() {
    const int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    FailDb(db_);
  }

 private:
  int BindText(int index, const QString& s) {
    const QByteArray u = s.toUtf8();
    // A null pointer would bind NULL; the empty text must stay a text.
    return sqlite3_bind_text64(s_, index, u.isNull() ? "" : u.constData(), sqlite3_uint64(u.size()),
                               SQLITE_TRANSIENT, SQLITE_UTF8);
  }

  sqlite3* db_;
  sqlite3_stmt* s_ = nullptr;
  QVariantList bound_;
};

// Read through the engine's own file handle: opening and closing the file
// here would drop the engine's locks on it.
qint64 HeaderChangeCounter(sqlite3* db) {
  sqlite3_file* f = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &f) != SQLITE_OK || !f || !f->pMethods)
    return -1;
  unsigned char b[4] = {};
  if (f->pMethods->xRead(f, b, 4, 24) != SQLITE_OK) return -1;
  return qint64(quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3]);
}

void Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    const QString msg = Utf8(err);
    sqlite3_free(err);
    throw ESqliteError(msg, sqlite3_errcode(db) & 0xff);
  }
}

// A statement that must change exactly one row; `gone` is the error when it
// changes none, because the row is no longer as it was read.
void ChangeOneRow(sqlite3* db, const TStatement& st, const QString& gone) {
  Stmt s(db, st.sql);
  s.Bind(st.params);
  s.Step();
  if (sqlite3_changes(db) != 1) Fail(gone);
}

// One write transaction: every post, delete and execute is all or nothing.
// Inside a transaction the caller opened (BeginTrans) it is a savepoint, so a
// failed step is undone alone and the caller decides about the rest.
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db), nested_(!sqlite3_get_autocommit(db)) {
    // IMMEDIATE takes the write lock up front, so a busy file fails here,
    // before anything was done, rather than half way.
    Exec(db_, nested_ ? "SAVEPOINT tw_step" : "BEGIN IMMEDIATE");
  }
  ~Transaction() {
    if (done_ || sqlite3_get_autocommit(db_)) return;
    sqlite3_exec(db_, nested_ ? "ROLLBACK TO tw_step; RELEASE tw_step" : "ROLLBACK", nullptr, nullptr,
                 nullptr);
  }
  void Commit() {
    Exec(db_, nested_ ? "RELEASE tw_step" : "COMMIT");
    done_ = true;
  }

 private:
  sqlite3* db_;
  bool nested_;
  bool done_ = false;
};

QVariant ReadCell(sqlite3_stmt* s, int i) {
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_NULL:
      return QVariant();
    case SQLITE_INTEGER:
      return QVariant(qlonglong(sqlite3_column_int64(s, i)));
    case SQLITE_FLOAT:
      return QVariant(sqlite3_column_double(s, i));
    case SQLITE_BLOB: {
      const void* p = sqlite3_column_blob(s, i);
      return QVariant(QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(s, i)));
    }
    default: {
      const char* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
      return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(s, i)));
    }
  }
}

bool IsDateType(const char* decl) {
  if (!decl) return false;
  const QByteArray d = QByteArray(decl).toUpper();
  return d.contains("DATE") || d.contains("TIME");
}

QDateTime ParseDateTime(const QString& text) {
  const QString t = text.trimmed();
  QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
  if (!dt.isValid()) dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  if (!dt.isValid()) dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm"));
  if (!dt.isValid()) {
    const QDate d = QDate::fromString(t, Qt::ISODate);
    if (d.isValid()) dt = d.startOfDay();
  }
  return dt;
}

// A value as a field reads it: text kept as UTF-8 is decoded.
QVariant Decoded(const QVariant& v) {
  if (v.typeId() != qMetaTypeId<TUtf8Text>()) return v;
  return QString::fromUtf8(static_cast<const TUtf8Text*>(v.constData())->bytes);
}

// What is written for a value set on a field: dates become ISO-8601 text.
QVariant Stored(const QVariant& v) {
  if (v.typeId() == QMetaType::QDateTime && !v.isNull())
    return v.toDateTime().toLocalTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
  if (v.typeId() == QMetaType::QDate && !v.isNull()) return v.toDate().toString(Qt::ISODate);
  return v;
}

std::atomic<int> connectionCounter{0};

}  // namespace

// ---------------------------------------------------------------------------
// Connection

TADOConnection::TADOConnection(QObject* owner)
    : QObject(owner), name_(QStringLiteral("tw-db-%1").arg(++connectionCounter)) {}

TADOConnection::~TADOConnection() { Close(); }

QList<QPair<QString, QString>> TADOConnection::ParseConnectionString(const QString& s) {
  QList<QPair<QString, QString>> pairs;
  int i = 0;
  const int n = int(s.size());
  while (i < n) {
    // key up to "="
    int eq = i;
    while (eq < n && s[eq] != '=' && s[eq] != ';') ++eq;
    const QString key = s.mid(i, eq - i).trimmed();
    QString value;
    int j = eq;
    if (eq < n && s[eq] == '=') {
      j = eq + 1;
      while (j < n && s[j] == ' ') ++j;
      if (j < n && (s[j] == '"' || s[j] == '\'')) {
        // Quoted value; a doubled quote stands for one.
        const QChar q = s[j++];
        while (j < n) {
          if (s[j] == q) {
            if (j + 1 < n && s[j + 1] == q) {
              value += q;
              j += 2;
              continue;
            }
            ++j;
            break;
          }
          value += s[j++];
        }
        while (j < n && s[j] != ';') ++j;
      } else {
        const int start = j;
        while (j < n && s[j] != ';') ++j;
        value = s.mid(start, j - start).trimmed();
      }
    }
    if (!key.isEmpty()) pairs.append({key, value});
    i = j + 1;
  }
  return pairs;
}

QString TADOConnection::DataSource() const {
  for (const auto& [key, value] : ParseConnectionString(ConnectionString))
    if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0) return value;
  return QString();
}

bool TADOConnection::Connected() const { return open_; }

sqlite3* TADOConnection::Handle() {
  Open();
  return db_;
}

sqlite3* TADOConnection::WritableHandle() {
  Open();
  // The engine opens a file it may not write read-only and keeps it so; an
  // open transaction is never cut short by the reopening.
  if (!InTransaction() && sqlite3_db_readonly(db_, "main") == 1 && QFileInfo(path_).isWritable()) {
    Close();
    Open();
  }
  return db_;
}

namespace {

// The tables (and columns) a file lacks, for the refusal's text.
QStringList MissingSchema(sqlite3* db, const QMap<QString, QStringList>& required) {
  QStringList missing;
  {
    // Reads the header and the schema even when no table is required.
    Stmt st(db, QStringLiteral("select count(*) from sqlite_master"));
    st.Step();
  }
  for (auto it = required.begin(); it != required.end(); ++it) {
    Stmt st(db, QStringLiteral("select name from pragma_table_info(?)"));
    st.Bind({it.key()});
    QStringList have;
    while (st.Step()) have << Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
    if (have.isEmpty()) {
      missing << QStringLiteral("table \"%1\"").arg(it.key());
      continue;
    }
    for (const QString& col : it.value()) {
      bool found = false;
      for (const QString& h : have) found = found || h.compare(col, Qt::CaseInsensitive) == 0;
      if (!found) missing << QStringLiteral("column \"%1\" of table \"%2\"").arg(col, it.key());
    }
  }
  return missing;
}

QString Refusal(const QString& path, const QString& why) {
  return QStringLiteral("\"%1\" is not a notes database (%2). The file was left unchanged.")
      .arg(QDir::toNativeSeparators(path), why);
}

}  // namespace

// What keeps the file opened as `uri` from being a notes database, or an
// empty text when it is one. Errors other than "not a database" raise.
QString SchemaProblem(const QByteArray& uri, int flags, const QString& path,
                      const QMap<QString, QStringList>& required) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(uri.constData(), &db, flags | SQLITE_OPEN_URI, nullptr);
  struct Closer {
    sqlite3* db;
    ~Closer() { sqlite3_close_v2(db); }
  } closer{db};
  if (rc != SQLITE_OK) return Utf8(sqlite3_errmsg(db));
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  try {
    const QStringList missing = MissingSchema(db, required);
    return missing.isEmpty() ? QString() : "it has no " + missing.join(", ");
  } catch (const EDatabaseError& e) {
    const int code = sqlite3_errcode(db) & 0xff;
    if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
      return QStringLiteral("it is not an SQLite database or it is damaged");
    Fail(QStringLiteral("Cannot open the notes database \"%1\": %2")
             .arg(QDir::toNativeSeparators(path), e.Message()));
  }
}

// A file is looked at with no right to change it: immutable, so no journal
// is rolled back and no side file is made, whatever lies beside it.
void TADOConnection::CheckReadOnly(const QString& path) const {
  {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
      Fail(QStringLiteral("Cannot open the notes database \"%1\": %2")
               .arg(QDir::toNativeSeparators(path), f.errorString()));
    const QByteArray head = f.read(100);
    if (!head.startsWith(QByteArray("SQLite format 3\0", 16)))
      Fail(Refusal(path, f.size() == 0 ? QStringLiteral("the file is empty")
                                       : QStringLiteral("it is not an SQLite database")));
  }
  QString why = SchemaProblem(FileUri(path, "ro&immutable=1"), SQLITE_OPEN_READONLY, path, RequiredTables);
  if (why.isEmpty()) return;
  // The tables may live only in a write-ahead log not yet copied back, or
  // the file may be half written by a crash: a private copy with its side
  // files is recovered and looked at instead, so the original stays as it is
  // until it is known to be ours.
  QStringList sides;
  for (const char* suffix : {"-journal", "-wal"})
    if (QFileInfo(path + suffix).isFile()) sides << QString::fromLatin1(suffix);
  if (sides.isEmpty()) Fail(Refusal(path, why));
  QTemporaryDir scratch;
  const QString copy = scratch.filePath(QStringLiteral("check.db"));
  bool copied = scratch.isValid() && QFile::copy(path, copy);
  for (const QString& side : sides) copied = copied && QFile::copy(path + side, copy + side);
  if (!copied) Fail(Refusal(path, why));
  const QString again = SchemaProblem(FileUri(copy, "rw"), SQLITE_OPEN_READWRITE, path, RequiredTables);
  if (!again.isEmpty()) Fail(Refusal(path, again));
}

void TADOConnection::Open() {
  if (open_) return;
  const QString source = DataSource();
  if (source.isEmpty())
    Fail(QStringLiteral("The connection string names no database file (\"Data Source\")."));
  const QString path = QFileInfo(source).absoluteFilePath();
  const QFileInfo info(path);
  if (!info.exists())
    Fail(QStringLiteral("Cannot open the notes database \"%1\": the file does not exist.")
             .arg(QDir::toNativeSeparators(path)));
  if (!info.isFile())
    Fail(QStringLiteral("Cannot open the notes database \"%1\": it is not a file.")
             .arg(QDir::toNativeSeparators(path)));

  CheckReadOnly(path);

  // mode=rw: never create the file, even if it vanished since the check.
  sqlite3* db = nullptr;
  // NOMUTEX: a connection is only ever used by the user-interface thread.
  if (sqlite3_open_v2(FileUri(path, "rw").constData(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    const QString why = Utf8(sqlite3_errmsg(db));
    sqlite3_close_v2(db);
    Fail(QStringLiteral("Cannot open the notes database \"%1\": %2")
             .arg(QDir::toNativeSeparators(path), why));
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  db_ = db;
  path_ = path;
  open_ = true;
  try {
    // Rollback journal, fully synced: a commit is on disk when Post returns,
    // and a crash at any moment leaves either the old or the new row.
    Exec(db_, "PRAGMA synchronous=FULL");
  } catch (...) {
    Close();
    throw;
  }
  LoseChanges();
  if (AfterConnect) AfterConnect(*this);
}

void TADOConnection::NoteChange(const QString& table, qint64 rowid, TRowChange::TKind kind) {
  // Beyond this a caller rereads everything anyway.
  constexpr size_t kMaxChanges = 4096;
  if (!changesComplete_) return;
  if (changes_.size() >= kMaxChanges) {
    LoseChanges();
    return;
  }
  changes_.push_back({table, rowid, kind});
}

void TADOConnection::LoseChanges() {
  changes_.clear();
  changesComplete_ = false;
}

std::vector<TRowChange> TADOConnection::TakeChanges(bool& complete) {
  complete = changesComplete_ && open_;
  std::vector<TRowChange> out = std::move(changes_);
  changes_.clear();
  changesComplete_ = open_;
  return out;
}

qint64 TADOConnection::DataVersion() {
  Stmt s(Handle(), QStringLiteral("pragma data_version"));
  s.Step();
  return sqlite3_column_int64(s.get(), 0);
}

qint64 TADOConnection::ChangeCounter() {
  // A read first, so that a read transaction holds the file as it is.
  Stmt s(Handle(), QStringLiteral("select count(*) from sqlite_master"));
  s.Step();
  return HeaderChangeCounter(db_);
}

bool TRowReader::IsNull(int column) const { return sqlite3_column_type(st_, column) == SQLITE_NULL; }
qint64 TRowReader::Int(int column) const { return sqlite3_column_int64(st_, column); }
QString TRowReader::Text(int column) const {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
  return p ? QString::fromUtf8(p, sqlite3_column_bytes(st_, column)) : QString();
}

void TADOConnection::ReadRows(const TStatement& statement, const std::function<void(const TRowReader&)>& row) {
  Stmt s(Handle(), statement.sql);
  s.Bind(statement.params);
  const TRowReader reader(s.get());
  while (s.Step()) row(reader);
}

void TADOConnection::BeginTrans() {
  sqlite3* db = WritableHandle();
  if (!sqlite3_get_autocommit(db)) Fail(QStringLiteral("A transaction is already open."));
  Exec(db, "BEGIN IMMEDIATE");
}

void TADOConnection::BeginReadTrans() {
  sqlite3* db = Handle();
  if (!sqlite3_get_autocommit(db)) Fail(QStringLiteral("A transaction is already open."));
  Exec(db, "BEGIN DEFERRED");
}

void TADOConnection::CommitTrans() {
  if (!InTransaction()) Fail(QStringLiteral("No transaction is open."));
  Exec(db_, "COMMIT");
}

void TADOConnection::RollbackTrans() {
  if (!InTransaction()) return;
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  LoseChanges();  // posts noted inside it never happened
}

bool TADOConnection::InTransaction() const { return open_ && !sqlite3_get_autocommit(db_); }

void TADOConnection::Close() {
  if (!open_) return;
  open_ = false;
  LoseChanges();
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

// ---------------------------------------------------------------------------
// Fields

bool TField::IsNull() const { return ds_->Get(column_).isNull(); }

QString TField::AsString() const {
  const QVariant v = ds_->Get(column_);
  if (v.isNull())
    Fail(QStringLiteral("The field \"%1\" holds no value (null) and cannot be shown as text.")
             .arg(FieldName()));
  if (v.typeId() == QMetaType::QByteArray) return QString::fromUtf8(v.toByteArray());
  return v.toString();
}

QByteArray TField::AsUtf8() const {
  const QByteArray v = ds_->GetUtf8(column_);
  if (v.isNull())
    Fail(QStringLiteral("The field \"%1\" holds no value (null) and cannot be shown as text.")
             .arg(FieldName()));
  return v;
}

qsizetype TField::ByteSize() const { return ds_->ByteSize(column_); }

QDateTime TField::AsDateTime() const {
  const QVariant v = ds_->Get(column_);
  if (v.isNull())
    Fail(QStringLiteral("The field \"%1\" holds no value (null) and cannot be shown as a date.")
             .arg(FieldName()));
  if (v.typeId() == QMetaType::QDateTime) return v.toDateTime();
  const QDateTime dt = ParseDateTime(v.toString());
  if (!dt.isValid())
    throw EConvertError(QStringLiteral("\"%1\" in the field \"%2\" is not a valid date and time.")
                            .arg(v.toString(), FieldName()));
  return dt;
}

QVariant TField::Value() const {
  QVariant v = ds_->Get(column_);
  if (!v.isNull() && ds_->dateColumns_[size_t(column_)] && v.typeId() == QMetaType::QString) {
    const QDateTime dt = ParseDateTime(v.toString());
    if (dt.isValid()) return dt;
  }
  return v;
}

void TField::SetAsString(const QString& v) const {
  // An empty text is a value, not a null: the windows save empty fields.
  ds_->Set(column_, v.isNull() ? QString(QLatin1String("")) : v);
}
void TField::SetAsUtf8(const QByteArray& v) const {
  ds_->Set(column_, QVariant::fromValue(TUtf8Text{v.isNull() ? QByteArray("") : v}));
}
void TField::SetAsDateTime(const QDateTime& v) const { ds_->Set(column_, v); }
void TField::SetValue(const QVariant& v) const { ds_->Set(column_, v); }
QString TField::FieldName() const { return ds_->columns_.value(column_); }

// ---------------------------------------------------------------------------
// Datasets

TDataSet::TDataSet(QObject* owner) : QObject(owner) {}
TDataSet::~TDataSet() = default;

sqlite3* TDataSet::Db() {
  if (!Connection) Fail(QStringLiteral("%1: no connection is set.").arg(objectName()));
  return Connection->Handle();
}

sqlite3* TDataSet::WriteDb() {
  Db();
  return Connection->WritableHandle();
}

void TDataSet::RequireActive() const {
  if (!Active())
    Fail(QStringLiteral("%1: the operation needs an open dataset.").arg(objectName()));
}

void TDataSet::RequireCurrentRow(const char* what) const {
  RequireActive();
  if (current_ < 0 || current_ >= int(rows_.size()))
    Fail(QStringLiteral("%1: there is no current row to %2.").arg(objectName(), what));
}

void TDataSet::Open() {
  if (Active()) return;
  sqlite3* db = Db();
  const TStatement st = SelectStatement();
  const QString table = SourceTable();
  Stmt s(db, st.sql);
  s.Bind(st.params);
  const int n = sqlite3_column_count(s.get());
  if (n == 0)
    Fail(QStringLiteral("%1: the statement returns no rows; it must be executed, not opened.")
             .arg(objectName()));
  const int first = table.isEmpty() ? 0 : 1;

  QStringList columns;
  std::vector<bool> dates;
  for (int i = first; i < n; ++i) {
    columns << Utf8(sqlite3_column_name(s.get(), i));
    dates.push_back(IsDateType(sqlite3_column_decltype(s.get(), i)));
  }
  std::vector<qint64> rowids;
  std::vector<TRow> rows;
  QByteArray arena;
  std::vector<QByteArray> large;
  std::vector<TCell> cells;
  while (s.Step()) {
    if (first) rowids.push_back(sqlite3_column_int64(s.get(), 0));
    rows.push_back(TRow(cells.size()));
    for (int i = first; i < n; ++i) {
      TCell c;
      c.type = quint8(sqlite3_column_type(s.get(), i));
      c.size = 0;
      switch (c.type) {
        case SQLITE_INTEGER:
          c.i = sqlite3_column_int64(s.get(), i);
          break;
        case SQLITE_FLOAT:
          c.d = sqlite3_column_double(s.get(), i);
          break;
        case SQLITE_NULL:
          c.i = 0;
          break;
        default: {
          const char* p = c.type == SQLITE_BLOB
                              ? static_cast<const char*>(sqlite3_column_blob(s.get(), i))
                              : reinterpret_cast<const char*>(sqlite3_column_text(s.get(), i));
          c.size = sqlite3_column_bytes(s.get(), i);
          if (c.size >= kOwnBufferBytes) {
            c.offset = -1 - qint64(large.size());
            large.emplace_back(p, c.size);
          } else {
            c.offset = arena.size();
            arena.append(p, c.size);
          }
        }
      }
      cells.push_back(c);
    }
  }

  table_ = table;
  columns_ = std::move(columns);
  dateColumns_ = std::move(dates);
  rowids_ = std::move(rowids);
  rows.shrink_to_fit();
  cells.shrink_to_fit();
  arena.squeeze();
  rows_ = std::move(rows);
  written_.clear();
  arena_ = std::move(arena);
  large_ = std::move(large);
  cells_ = std::move(cells);
  buffer_.clear();
  modified_.clear();
  state_ = TDataSetState::dsBrowse;
  First();
}

void TDataSet::OpenForAppend() {
  if (Active()) return;
  if (!CanInsert()) Fail(QStringLiteral("%1: rows can only be added through a table.").arg(objectName()));
  sqlite3* db = Db();
  const QString table = SourceTable();
  // Preparing, not stepping, gives the columns without reading a row.
  Stmt s(db, SelectStatement().sql);
  QStringList columns;
  std::vector<bool> dates;
  for (int i = 1; i < sqlite3_column_count(s.get()); ++i) {
    columns << Utf8(sqlite3_column_name(s.get(), i));
    dates.push_back(IsDateType(sqlite3_column_decltype(s.get(), i)));
  }
  Close();
  table_ = table;
  columns_ = std::move(columns);
  dateColumns_ = std::move(dates);
  appendOnly_ = true;
  appendCount_ = -1;  // counted when first asked: a save never asks
  state_ = TDataSetState::dsBrowse;
}

void TDataSet::RequireRows() const {
  RequireActive();
  if (appendOnly_)
    Fail(QStringLiteral("%1: the table was opened only to add rows; reopen it to read them.")
             .arg(objectName()));
}

void TDataSet::Close() {
  state_ = TDataSetState::dsInactive;
  appendOnly_ = false;
  appendCount_ = 0;
  table_.clear();
  columns_.clear();
  dateColumns_.clear();
  rowids_.clear();
  rows_.clear();
  written_.clear();
  arena_.clear();
  large_.clear();
  cells_.clear();
  buffer_.clear();
  modified_.clear();
  current_ = -1;
  bof_ = eof_ = true;
}

int TDataSet::RecordCount() const {
  RequireActive();
  if (!appendOnly_) return int(rows_.size());
  if (appendCount_ < 0) {
    auto* self = const_cast<TDataSet*>(this);
    Stmt count(self->Db(), QStringLiteral("select count(*) from %1").arg(QuoteIdent(table_)));
    count.Step();
    appendCount_ = sqlite3_column_int(count.get(), 0);
  }
  return appendCount_;
}

void TDataSet::First() {
  RequireRows();
  if (Modifying()) Post();
  current_ = rows_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = rows_.empty();
}

void TDataSet::Next() {
  RequireRows();
  if (Modifying()) Post();
  if (eof_) return;
  if (current_ + 1 < int(rows_.size())) {
    ++current_;
    bof_ = false;
  } else {
    eof_ = true;
  }
}

bool TDataSet::Eof() const { return !Active() || eof_; }
bool TDataSet::Bof() const { return !Active() || bof_; }

int TDataSet::ColumnIndex(const QString& name) const {
  for (int i = 0; i < columns_.size(); ++i)
    if (columns_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

TField TDataSet::FieldByName(const QString& name) {
  RequireActive();
  const int i = ColumnIndex(name);
  if (i < 0) Fail(QStringLiteral("%1: there is no field \"%2\".").arg(objectName(), name));
  return TField(this, i);
}

// A field kept from before the dataset was reopened may name a column that
// is no longer there.
void TDataSet::RequireColumn(int column) const {
  RequireActive();
  if (column < 0 || column >= columns_.size())
    Fail(QStringLiteral("%1: the field no longer exists; the dataset was reopened.").arg(objectName()));
}

QVariant TDataSet::Get(int column) const {
  RequireColumn(column);
  if (Modifying() && (modified_[size_t(column)] || state_ == TDataSetState::dsInsert))
    return Decoded(buffer_[column]);
  if (state_ != TDataSetState::dsEdit) RequireRows();
  if (current_ < 0 || current_ >= int(rows_.size())) return QVariant();
  return CellValue(rows_[size_t(current_)], column);
}

QByteArray TDataSet::GetUtf8(int column) const {
  RequireColumn(column);
  QVariant v;
  if (Modifying() && (modified_[size_t(column)] || state_ == TDataSetState::dsInsert)) {
    v = buffer_[column];
  } else {
    if (state_ != TDataSetState::dsEdit) RequireRows();
    if (current_ < 0 || current_ >= int(rows_.size())) return QByteArray();
    // Text stays as its bytes: straight from the arena or as it was set.
    v = CellRaw(rows_[size_t(current_)], column);
  }
  if (v.isNull()) return QByteArray();
  QByteArray utf8 = v.typeId() == qMetaTypeId<TUtf8Text>()
                        ? static_cast<const TUtf8Text*>(v.constData())->bytes
                        : v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
  return utf8.isNull() ? QByteArray("") : utf8;
}

const char* TDataSet::CellData(const TCell& c) const {
  return c.offset < 0 ? large_[size_t(-1 - c.offset)].constData() : arena_.constData() + c.offset;
}

QByteArray TDataSet::CellBytes(const TCell& c) const {
  return c.offset < 0 ? large_[size_t(-1 - c.offset)] : QByteArray(arena_.constData() + c.offset, c.size);
}

qsizetype TDataSet::ByteSize(int column) const {
  RequireColumn(column);
  if (!Modifying() && current_ >= 0 && current_ < int(rows_.size()) && rows_[size_t(current_)] >= 0) {
    const TCell& c = cells_[size_t(rows_[size_t(current_)] + column)];
    if (c.type == SQLITE_TEXT || c.type == SQLITE_BLOB) return c.size;
  }
  return GetUtf8(column).size();
}

QVariant TDataSet::CellValue(TRow row, int column) const {
  if (row >= 0 && cells_[size_t(row + column)].type == SQLITE_TEXT) {
    const TCell& c = cells_[size_t(row + column)];
    return QVariant(QString::fromUtf8(CellData(c), c.size));
  }
  return Decoded(CellRaw(row, column));
}

QVariant TDataSet::CellRaw(TRow row, int column) const {
  if (row < 0) return written_[size_t(-row - 1)][column];
  const TCell& c = cells_[size_t(row + column)];
  switch (c.type) {
    case SQLITE_NULL:
      return QVariant();
    case SQLITE_INTEGER:
      return QVariant(qlonglong(c.i));
    case SQLITE_FLOAT:
      return QVariant(c.d);
    case SQLITE_BLOB:
      return QVariant(CellBytes(c));
    default:
      return QVariant::fromValue(TUtf8Text{CellBytes(c)});
  }
}

TDataSet::TRow TDataSet::Written(QVariantList values) {
  written_.push_back(std::move(values));
  return -TRow(written_.size());
}

QVariantList TDataSet::RowValues(int row) const {
  const TRow r = rows_[size_t(row)];
  if (r < 0) return written_[size_t(-r - 1)];
  QVariantList values;
  values.reserve(columns_.size());
  for (int i = 0; i < columns_.size(); ++i) values.append(CellRaw(r, i));
  return values;
}

void TDataSet::Set(int column, const QVariant& v) {
  RequireColumn(column);
  if (!Modifying())
    Fail(QStringLiteral("%1: the dataset is not being edited or inserted into.").arg(objectName()));
  buffer_[column] = Stored(v);
  modified_[size_t(column)] = true;
}

void TDataSet::Edit() {
  RequireActive();
  if (Modifying()) return;
  if (!Editable()) Fail(QStringLiteral("%1: the rows of this query cannot be changed.").arg(objectName()));
  RequireRows();
  RequireCurrentRow("edit");
  // Nothing is read yet: a huge text the edit replaces is never copied.
  buffer_ = QVariantList(columns_.size());
  modified_.assign(size_t(columns_.size()), false);
  state_ = TDataSetState::dsEdit;
}

void TDataSet::Insert() {
  RequireActive();
  if (!CanInsert() || !Editable())
    Fail(QStringLiteral("%1: rows can only be added through a table.").arg(objectName()));
  if (Modifying()) Post();
  buffer_ = QVariantList(columns_.size());
  modified_.assign(size_t(columns_.size()), false);
  state_ = TDataSetState::dsInsert;
}

void TDataSet::Cancel() {
  if (!Modifying()) return;
  buffer_.clear();
  modified_.clear();
  state_ = TDataSetState::dsBrowse;
}

QVariantList TDataSet::ReadRow(qint64 rowid) {
  Stmt s(Db(), QStringLiteral("select rowid, * from %1 where rowid=?").arg(QuoteIdent(table_)));
  s.Bind({rowid});
  QVariantList row;
  if (!s.Step() || sqlite3_column_count(s.get()) != columns_.size() + 1) return row;
  for (int i = 1; i <= columns_.size(); ++i) row.append(ReadCell(s.get(), i));
  return row;
}

// The row must still be the one that was read: the rowid alone could name a
// row added since in place of a deleted one, so the columns the edit leaves
// alone must still hold what was read. The columns it sets are not checked:
// the last save of a field wins, as the user expects after, say, re-filing
// the note's category in another window.
TStatement TDataSet::UpdateStatement() const {
  QStringList sets, checks{QStringLiteral("rowid=?")};
  QVariantList values, read{rowids_[size_t(current_)]};
  for (int i = 0; i < columns_.size(); ++i) {
    if (modified_[size_t(i)]) {
      sets << QuoteIdent(columns_[i]) + "=?";
      values << buffer_[i];
    } else {
      checks << QuoteIdent(columns_[i]) + " is ?";
      read << CellRaw(rows_[size_t(current_)], i);
    }
  }
  return {QStringLiteral("update %1 set %2 where %3").arg(QuoteIdent(table_), sets.join(','), checks.join(" and ")),
          values + read};
}

QString TDataSet::GoneMessage() const {
  return QStringLiteral("%1: the row was deleted or replaced since it was read; nothing was "
                        "saved. Reopen it and try again.")
      .arg(objectName());
}

// Every column must still hold what was read.
TStatement TDataSet::DeleteStatement() const {
  QStringList checks;
  QVariantList params{rowids_[size_t(current_)]};
  params << RowValues(current_);
  for (int i = 0; i < columns_.size(); ++i) checks << QuoteIdent(columns_[i]) + " is ?";
  return {QStringLiteral("delete from %1 where rowid=? and %2").arg(QuoteIdent(table_), checks.join(" and ")),
          params};
}

QString TDataSet::DeleteGoneMessage() const {
  return QStringLiteral("%1: the row was changed or deleted since it was read; nothing was "
                        "deleted. Reopen it and try again.")
      .arg(objectName());
}

TRowWrite TDataSet::TakeDelete() {
  RequireActive();
  if (!Editable()) Fail(QStringLiteral("%1: the rows of this query cannot be deleted.").arg(objectName()));
  RequireRows();
  RequireCurrentRow("delete");
  Cancel();
  WriteDb();
  return {Connection->FilePath(), table_,  rowids_[size_t(current_)], DeleteStatement(), DeleteGoneMessage(),
          TRowChange::Delete, {}};
}

TRowWrite TDataSet::TakeEdit() {
  if (state_ != TDataSetState::dsEdit)
    Fail(QStringLiteral("%1: the dataset is not being edited.").arg(objectName()));
  WriteDb();  // the file is known, and refused early when it is not ours
  TRowWrite write{Connection->FilePath(), table_, rowids_[size_t(current_)], {}, GoneMessage(), TRowChange::Update, {}};
  if (std::find(modified_.begin(), modified_.end(), true) != modified_.end()) write.statement = UpdateStatement();
  Cancel();
  return write;
}

qint64 WriteRow(const TRowWrite& write) {
  if (write.statement.sql.isEmpty()) return -1;  // an edit that set nothing
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(FileUri(write.file, "rw").constData(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
  struct Closer {
    sqlite3* db;
    ~Closer() { sqlite3_close_v2(db); }
  } closer{db};
  if (rc != SQLITE_OK) FailDb(db);
  // A search or a backup may be reading the file: waiting for it is better
  // than failing, and the window is not the one waiting.
  sqlite3_busy_timeout(db, 6 * kBusyTimeoutMs);
  Exec(db, "PRAGMA synchronous=FULL");
  Transaction tx(db);
  // No other commit can come while this transaction holds the file.
  const qint64 counter = HeaderChangeCounter(db);
  for (const TStatement& first : write.before) {
    Stmt s(db, first.sql);
    s.Bind(first.params);
    while (s.Step()) {
    }
  }
  ChangeOneRow(db, write.statement, write.gone);
  tx.Commit();
  return counter;
}

void TDataSet::Post() {
  if (!Modifying())
    Fail(QStringLiteral("%1: the dataset is not being edited or inserted into.").arg(objectName()));
  sqlite3* db = WriteDb();
  QStringList names;
  QVariantList values;
  for (int i = 0; i < columns_.size(); ++i) {
    if (!modified_[size_t(i)]) continue;
    names << QuoteIdent(columns_[i]);
    values << buffer_[i];
  }

  if (state_ == TDataSetState::dsEdit) {
    if (names.isEmpty()) {
      Cancel();
      return;
    }
    Transaction tx(db);
    ChangeOneRow(db, UpdateStatement(), GoneMessage());
    tx.Commit();
    Connection->NoteChange(table_, rowids_[size_t(current_)], TRowChange::Update);
    QVariantList row = RowValues(current_);
    for (int i = 0; i < columns_.size(); ++i)
      if (modified_[size_t(i)]) row[i] = buffer_[i];
    TRow& at = rows_[size_t(current_)];
    if (at < 0) written_[size_t(-at - 1)] = std::move(row); else at = Written(std::move(row));
  } else {
    Transaction tx(db);
    {
      Stmt s(db, names.isEmpty()
                     ? QStringLiteral("insert into %1 default values").arg(QuoteIdent(table_))
                     : QStringLiteral("insert into %1 (%2) values (%3)")
                           .arg(QuoteIdent(table_), names.join(','),
                                QStringList(names.size(), QStringLiteral("?")).join(',')));
      s.Bind(values);
      s.Step();
    }
    const qint64 rowid = sqlite3_last_insert_rowid(db);
    if (appendOnly_) {
      tx.Commit();
      Connection->NoteChange(table_, rowid, TRowChange::Insert);
      if (appendCount_ >= 0) ++appendCount_;
      buffer_.clear();
      modified_.clear();
      state_ = TDataSetState::dsBrowse;
      return;
    }
    QVariantList row = ReadRow(rowid);
    tx.Commit();
    Connection->NoteChange(table_, rowid, TRowChange::Insert);
    if (row.isEmpty()) row = buffer_;
    const size_t at = current_ < 0 ? rows_.size() : size_t(current_);
    rows_.insert(rows_.begin() + qsizetype(at), Written(std::move(row)));
    rowids_.insert(rowids_.begin() + qsizetype(at), rowid);
    current_ = int(at);
    eof_ = false;
  }
  buffer_.clear();
  modified_.clear();
  state_ = TDataSetState::dsBrowse;
}

void TDataSet::Delete() {
  RequireActive();
  if (state_ == TDataSetState::dsInsert) {
    Cancel();
    return;
  }
  const TRowWrite remove = TakeDelete();
  sqlite3* db = WriteDb();
  Transaction tx(db);
  ChangeOneRow(db, remove.statement, remove.gone);
  tx.Commit();
  Connection->NoteChange(table_, rowids_[size_t(current_)], TRowChange::Delete);
  rows_.erase(rows_.begin() + current_);
  rowids_.erase(rowids_.begin() + current_);
  if (current_ >= int(rows_.size())) current_ = int(rows_.size()) - 1;
  eof_ = rows_.empty();
}

// ---------------------------------------------------------------------------
// Table and query

TStatement TADOTable::SelectStatement() const {
  if (TableName.isEmpty()) Fail(QStringLiteral("%1: no table name is set.").arg(objectName()));
  return {QStringLiteral("select rowid, * from %1").arg(QuoteIdent(TableName)), {}};
}

namespace {

// A query of the shape "select * from T [where ...] [order by ...]" reads
// whole rows of one table, so its rows can be written back: it is run with
// the rowid in front. Anything else is read-only.
struct SimpleSelect {
  QString table;
  QString withRowid;
};

QString Unquote(const QString& ident) {
  if (ident.size() >= 2) {
    const QChar a = ident.front(), b = ident.back();
    if ((a == '"' && b == '"') || (a == '`' && b == '`')) {
      QString inner = ident.mid(1, ident.size() - 2);
      inner.replace(QString(2, a), QString(a));
      return inner;
    }
    if (a == '[' && b == ']') return ident.mid(1, ident.size() - 2);
  }
  return ident;
}

// Text outside string literals and quoted names, for keyword checks.
QString Unquoted(const QString& sql) {
  QString out;
  QChar quote;
  for (QChar c : sql) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
      continue;
    }
    if (c == '\'' || c == '"' || c == '`') {
      quote = c;
      out += ' ';
      continue;
    }
    if (c == '[') {
      quote = ']';
      out += ' ';
      continue;
    }
    out += c;
  }
  return out;
}

SimpleSelect ParseSimpleSelect(const QString& sql) {
  static const QRegularExpression shape(
      QStringLiteral(R"re(^\s*select\s+\*\s+from\s+("(?:[^"]|"")+"|\[[^\]]+\]|`(?:[^`]|``)+`|[^\s;,()"'\[\]`]+))re"
                     R"((\s+(?:where|order|limit)\b.*|\s*;?\s*)$)"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression compound(
      QStringLiteral(R"(\b(?:group|union|intersect|except|window|having)\b)"),
      QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch m = shape.match(sql);
  if (!m.hasMatch()) return {};
  if (Unquoted(m.captured(2)).contains(compound)) return {};
  return {Unquote(m.captured(1)), "select rowid, * from " + m.captured(1) + m.captured(2)};
}

}  // namespace

void TADOQuery::RequireClosed() const {
  if (Active())
    Fail(QStringLiteral("%1: the text of an open query cannot be changed; close it first.")
             .arg(objectName()));
}

void TADOQuery::ClearSQL() {
  RequireClosed();
  text_.clear();
  params_.clear();
}

void TADOQuery::AddSQL(const TStatement& line) {
  RequireClosed();
  text_ << line.sql;
  params_ << line.params;
}

void TADOQuery::SetSQL(const TStatement& statement) {
  ClearSQL();
  AddSQL(statement);
}

TStatement TADOQuery::SelectStatement() const {
  const QString sql = SQLText();
  const SimpleSelect s = ParseSimpleSelect(sql);
  return {s.table.isEmpty() ? sql : s.withRowid, params_};
}

QString TADOQuery::SourceTable() const { return ParseSimpleSelect(SQLText()).table; }

void TADOQuery::ExecSQL() {
  sqlite3* db = WriteDb();
  rowsAffected_ = 0;
  Stmt s(db, SQLText());
  s.Bind(params_);
  Transaction tx(db);
  while (s.Step()) {
  }
  const int changed = sqlite3_changes(db);
  tx.Commit();
  if (changed > 0) Connection->LoseChanges();  // which rows is not known
  rowsAffected_ = changed;
}
