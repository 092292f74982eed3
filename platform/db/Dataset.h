#pragma once
// Datasets over an SQLite file: a connection, table datasets and query
// datasets with the operations the notes windows rely on. Open reads a static
// snapshot; edits and inserts are written back to the source row (by rowid)
// on Post, each in a transaction of its own. Failures raise EDatabaseError.
#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Errors.h"

struct sqlite3;
struct sqlite3_stmt;

// An error reported by the engine, with its primary result code
// (SQLITE_READONLY, SQLITE_FULL, ...) so callers can explain it plainly.
class ESqliteError : public EDatabaseError {
 public:
  ESqliteError(const QString& message, int code) : EDatabaseError(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// One statement: its text with "?" placeholders, and the values bound to them
// in order. Values never become part of the text.
struct TStatement {
  QString sql;
  QVariantList params;
};

// Text kept as its UTF-8 bytes: set on a field or bound to a statement, it is
// written as text without ever being decoded, so a huge body costs no
// conversion. The bytes must be well-formed UTF-8.
struct TUtf8Text {
  QByteArray bytes;
};
Q_DECLARE_METATYPE(TUtf8Text)

// A row this connection changed and committed.
struct TRowChange {
  enum TKind { Insert, Update, Delete };
  QString table;
  qint64 rowid;
  TKind kind;
};

// A row change to be written away from the window's connection: the
// statement changes exactly one row while the row is as it was read.
struct TRowWrite {
  QString file;        // the database file, absolute
  QString table;
  qint64 rowid = 0;
  TStatement statement;
  QString gone;        // the error when the row was deleted or replaced since
  TRowChange::TKind kind = TRowChange::Update;
  // Run first, in the same transaction, changing any number of rows.
  QList<TStatement> before;
};

// Writes `write` on a connection of its own, in one transaction, fully
// synced: for a worker thread, while the window's connection stays free.
// Raises as a dataset's Post does; an empty statement writes nothing.
// Gives the file's change counter as the write found it (see
// TADOConnection::ChangeCounter): the write's commit moved it by one.
qint64 WriteRow(const TRowWrite& write);

// One row of a statement being read by TADOConnection::ReadRows; valid only
// during the call it is handed to.
class TRowReader {
 public:
  bool IsNull(int column) const;
  qint64 Int(int column) const;
  // The column as text; a null reads as the null QString.
  QString Text(int column) const;

 private:
  friend class TADOConnection;
  explicit TRowReader(sqlite3_stmt* st) : st_(st) {}
  sqlite3_stmt* st_;
};

class TADOConnection : public QObject {
  Q_OBJECT
 public:
  explicit TADOConnection(QObject* owner = nullptr);
  ~TADOConnection() override;

  QString ConnectionString;
  bool LoginPrompt = false;
  // Tables, each with the columns it must have, that make a file one of our
  // databases. A file lacking any of them is refused. Empty: any SQLite file.
  QMap<QString, QStringList> RequiredTables;

  // "Key=Value;..." pairs in order; quoted empty values ("") read as empty.
  static QList<QPair<QString, QString>> ParseConnectionString(const QString& s);
  // The "Data Source" value: the database file, relative to the working folder.
  QString DataSource() const;

  bool Connected() const;
  // Opens the file named by Data Source. Never creates it; refuses (leaving
  // it untouched) a file that is not one of our databases.
  void Open();
  void Close();

  // Runs once each time the connection has opened, before the first dataset
  // reads: for upgrades of the file. It should not throw.
  std::function<void(TADOConnection&)> AfterConnect;

  // One transaction around several changes: the posts, deletes and executes
  // in between become all or nothing. Nested calls are refused.
  void BeginTrans();
  // A transaction that only reads: several statements see one state of the
  // file, and other processes may still write until it is committed.
  void BeginReadTrans();
  void CommitTrans();
  void RollbackTrans();  // harmless when none is open
  bool InTransaction() const;

  // The rows this connection changed since the last call, for callers that
  // keep copies of rows. `complete` is false when they cannot all be named:
  // a statement was executed, a transaction rolled back, the connection
  // reopened, or too many changed.
  std::vector<TRowChange> TakeChanges(bool& complete);
  // Changes whenever another connection commits to the file; our own
  // commits leave it alone.
  qint64 DataVersion();
  // The count of commits the file keeps in its header, from any connection,
  // or -1 when it cannot be read. Stable only inside a read transaction.
  qint64 ChangeCounter();
  // A row this program wrote on a connection of its own (WriteRow): named
  // among the changes, as if this connection had written it.
  void RowWritten(const TRowChange& change) { NoteChange(change.table, change.rowid, change.kind); }

  // Runs a statement and hands each row to `row` as it is read, keeping
  // none: for reading many rows once. Errors raise as for a dataset.
  void ReadRows(const TStatement& statement, const std::function<void(const TRowReader&)>& row);

  // A name unique to this connection in the process.
  QString SqlConnectionName() const { return name_; }
  // The open engine handle (opens the connection first).
  sqlite3* Handle();
  // The handle for a change: a file that could not be written when the
  // connection opened is opened again once it can be, so a notebook the user
  // made writable is saved on the next try without a restart.
  sqlite3* WritableHandle();
  // The database file, absolute, once the connection has opened.
  QString FilePath() const { return path_; }

 private:
  void CheckReadOnly(const QString& path) const;
  friend class TDataSet;
  friend class TADOQuery;
  void NoteChange(const QString& table, qint64 rowid, TRowChange::TKind kind);
  void LoseChanges();
  std::vector<TRowChange> changes_;
  bool changesComplete_ = false;
  QString name_;
  QString path_;
  sqlite3* db_ = nullptr;
  bool open_ = false;
};

class TDataSet;

// A field of the current row, read or written by column name.
class TField {
 public:
  TField(TDataSet* ds, int column) : ds_(ds), column_(column) {}
  bool IsNull() const;
  // For display: a null value raises EDatabaseError.
  QString AsString() const;
  // The text as stored, UTF-8, not decoded: a huge body costs one copy.
  // For display too: a null value raises EDatabaseError.
  QByteArray AsUtf8() const;
  // The stored text's or blob's size in bytes, found without copying it.
  qsizetype ByteSize() const;
  QDateTime AsDateTime() const;
  QVariant Value() const;
  void SetAsString(const QString& v) const;
  // Text given as its UTF-8 bytes (see TUtf8Text).
  void SetAsUtf8(const QByteArray& v) const;
  void SetAsDateTime(const QDateTime& v) const;
  void SetValue(const QVariant& v) const;
  QString FieldName() const;

 private:
  TDataSet* ds_;
  int column_;
};

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

class TDataSet : public QObject {
  Q_OBJECT
 public:
  explicit TDataSet(QObject* owner = nullptr);
  ~TDataSet() override;

  TADOConnection* Connection = nullptr;

  void Open();   // opens the connection first when needed
  // Opens a table only to add rows: no row is read, and the rows are counted
  // only when the row count is first asked for, so a large table costs
  // nothing. Reading or moving raises.
  void OpenForAppend();
  void Close();  // an unposted edit or insert is dropped
  bool Active() const { return state_ != TDataSetState::dsInactive; }
  TDataSetState State() const { return state_; }
  // A row is being edited or inserted: fields can be set, Post writes them.
  bool Modifying() const {
    return state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert;
  }

  int RecordCount() const;
  void First();
  void Next();
  bool Eof() const;
  bool Bof() const;
  int RecNo() const { return current_; }

  TField FieldByName(const QString& name);
  QStringList FieldNames() const { return columns_; }

  void Edit();
  void Insert();  // table datasets only
  void Post();
  // The edit in progress as a write to run elsewhere (WriteRow), for a row
  // too large to write while the window waits. The edit is dropped here: the
  // dataset keeps the row as it was read, so reopen it once written.
  TRowWrite TakeEdit();
  // The same for deleting the current row: the dataset still holds it.
  TRowWrite TakeDelete();
  void Cancel();
  void Delete();

 protected:
  // The statement that fills the snapshot; it must return rowid first when
  // rows are to be edited or deleted.
  virtual TStatement SelectStatement() const = 0;
  // The table rows are written back to, empty for read-only results.
  virtual QString SourceTable() const = 0;
  // Whether new rows may be added (table datasets).
  virtual bool CanInsert() const { return false; }

  sqlite3* Db();
  sqlite3* WriteDb();
  void RequireActive() const;

 private:
  friend class TField;
  int ColumnIndex(const QString& name) const;
  QVariant Get(int column) const;
  // A text's UTF-8 bytes; a null byte array for a null value.
  QByteArray GetUtf8(int column) const;
  qsizetype ByteSize(int column) const;
  void Set(int column, const QVariant& v);
  bool Editable() const { return !table_.isEmpty(); }
  void RequireRows() const;
  void RequireCurrentRow(const char* what) const;
  void RequireColumn(int column) const;
  QVariantList ReadRow(qint64 rowid);

  TDataSetState state_ = TDataSetState::dsInactive;
  QString table_;                        // source table of the open snapshot
  QStringList columns_;                  // without the rowid column
  std::vector<bool> dateColumns_;        // declared as a date and time
  std::vector<qint64> rowids_;
  // Rows as read are kept as raw cells in one buffer and turned into values
  // only when a field is read; rows written since hold their values.
  struct TCell {
    union {
      qint64 i;
      double d;
      qint64 offset;  // into arena_, for text and blobs; -1 - k: large_[k]
    };
    qint32 size;
    quint8 type;
  };
  // A row is its first cell in cells_, or for a row written since, -1 less
  // the index of its values in written_: eight bytes for each row read.
  using TRow = qint64;
  // A field for reading (text decoded), and as kept (text as TUtf8Text).
  QVariant CellValue(TRow row, int column) const;
  QVariant CellRaw(TRow row, int column) const;
  // The update for the row being edited, and the error for no row changed.
  TStatement UpdateStatement() const;
  QString GoneMessage() const;
  TStatement DeleteStatement() const;
  QString DeleteGoneMessage() const;
  TRow Written(QVariantList values);
  QVariantList RowValues(int row) const;
  // A text or blob this large has a buffer of its own, which its field's
  // value then shares rather than copies (a huge body is held once).
  static constexpr qint32 kOwnBufferBytes = 1 << 20;
  const char* CellData(const TCell& c) const;
  QByteArray CellBytes(const TCell& c) const;
  QByteArray arena_;
  std::vector<QByteArray> large_;
  std::vector<TCell> cells_;
  std::vector<TRow> rows_;
  std::vector<QVariantList> written_;
  // The row being edited or inserted: the values set on it (an edit reads
  // the others from the row as read).
  QVariantList buffer_;
  std::vector<bool> modified_;
  int current_ = -1;
  bool appendOnly_ = false;
  mutable int appendCount_ = 0;  // rows of an append-only open, including those added; -1 not yet counted
  bool bof_ = true;
  bool eof_ = true;
};

class TADOTable : public TDataSet {
  Q_OBJECT
 public:
  explicit TADOTable(QObject* owner = nullptr) : TDataSet(owner) {}
  QString TableName;

 protected:
  TStatement SelectStatement() const override;
  QString SourceTable() const override { return TableName; }
  bool CanInsert() const override { return true; }
};

class TADOQuery : public TDataSet {
  Q_OBJECT
 public:
  explicit TADOQuery(QObject* owner = nullptr) : TDataSet(owner) {}

  // The query text, one line per entry. Changing it while open raises.
  QString SQLText() const { return text_.join('\n'); }
  void ClearSQL();
  void AddSQL(const TStatement& line);
  void AddSQL(const QString& line) { AddSQL(TStatement{line, {}}); }
  // Clear and add as the only line (the query must be closed).
  void SetSQL(const TStatement& statement);

  // Runs a statement that returns no rows, in one transaction.
  void ExecSQL();
  // Rows changed by the last ExecSQL.
  int RowsAffected() const { return rowsAffected_; }

 protected:
  TStatement SelectStatement() const override;
  QString SourceTable() const override;

 private:
  void RequireClosed() const;
  QStringList text_;
  QVariantList params_;
  int rowsAffected_ = 0;
};
