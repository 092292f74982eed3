#pragma once
// Test helpers: a fresh notes database in a temporary folder, and a direct
// engine handle to prepare and check rows independently of the datasets.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include "tools/db/NotesSchema.h"

class RawDb {
 public:
  explicit RawDb(const QString& path) {
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
      ADD_FAILURE() << "cannot open " << path.toStdString();
    sqlite3_busy_timeout(db_, 5000);
  }
  ~RawDb() { sqlite3_close_v2(db_); }
  RawDb(const RawDb&) = delete;
  RawDb& operator=(const RawDb&) = delete;

  // Runs sql with values bound in order; returns the rows, columns as text
  // ("<null>" for a null).
  QList<QStringList> Rows(const QString& sql, const QVariantList& params = {}) {
    QList<QStringList> rows;
    sqlite3_stmt* st = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), -1, &st, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << " in " << text.constData();
      return rows;
    }
    for (int i = 0; i < params.size(); ++i) {
      if (params[i].isNull()) {
        sqlite3_bind_null(st, i + 1);
      } else {
        const QByteArray v = params[i].toString().toUtf8();
        sqlite3_bind_text(st, i + 1, v.isNull() ? "" : v.constData(), int(v.size()), SQLITE_TRANSIENT);
      }
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      QStringList row;
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
        row << (p ? QString::fromUtf8(p) : QStringLiteral("<null>"));
      }
      rows << row;
    }
    if (rc != SQLITE_DONE) ADD_FAILURE() << sqlite3_errmsg(db_) << " in " << text.constData();
    sqlite3_finalize(st);
    return rows;
  }
  void Exec(const QString& sql, const QVariantList& params = {}) { Rows(sql, params); }
  QStringList Column(const QString& sql, const QVariantList& params = {}) {
    QStringList out;
    for (const QStringList& r : Rows(sql, params)) out << r.value(0);
    return out;
  }
  void AddNote(const QVariant& category, const QVariant& title, const QVariant& body,
               const QVariant& date = QStringLiteral("2026-01-02T03:04:05")) {
    Exec("insert into 笔记 (类别,日期,标题,内容) values (?,?,?,?)", {category, date, title, body});
  }
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// A new database file in its own temporary folder.
struct TempDb {
  QTemporaryDir dir;
  QString path;
  explicit TempDb(bool demo = false, const QString& name = QStringLiteral("data.mdb"))
      : path(dir.filePath(name)) {
    CreateNotesDatabase(path, demo);
  }
  QString File(const QString& name) const { return dir.filePath(name); }
};

// Runs in another working folder for the scope's life.
class InFolder {
 public:
  explicit InFolder(const QString& dir) : old_(QDir::currentPath()) { QDir::setCurrent(dir); }
  ~InFolder() { QDir::setCurrent(old_); }

 private:
  QString old_;
};

inline QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
