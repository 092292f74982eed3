#pragma once
// Large notebooks for the benchmarks, generated once per run in a temporary
// folder: bodies of about 2 KB of mixed Chinese and English text, notes spread
// evenly over the categories, every `rareEvery`-th body holding "稀有词".
#include <sqlite3.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "bench/support/twPairedTimer.h"
#include "tools/db/NotesSchema.h"

namespace bench {

struct Notebook {
  QTemporaryDir dir;
  QString path;
};

inline QString Text(int seed, int length) {
  static const QString words[] = {"笔记", "今天", "会议", "计划", "notes", "travel", "读书", "the", "生活", "工作"};
  QString s;
  for (int i = 0; s.size() < length; ++i) s += words[(seed * 7 + i * 3) % 10] + (i % 9 == 8 ? "\n" : " ");
  s.truncate(length);
  return s;
}

inline void BindText(sqlite3_stmt* st, int i, const QByteArray& v) {
  sqlite3_bind_text(st, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
}

// 800 characters of this mix are about 2 KB in UTF-8.
constexpr int kBodyChars = 800;

inline const Notebook& Notes(int notes, int categories, int rareEvery = 1000) {
  static std::map<std::tuple<int, int, int>, std::unique_ptr<Notebook>> cache;
  auto& slot = cache[{notes, categories, rareEvery}];
  if (slot) return *slot;
  slot = std::make_unique<Notebook>();
  slot->path = slot->dir.filePath("data.mdb");
  CreateNotesDatabase(slot->path, false);
  sqlite3* db = nullptr;
  sqlite3_open(QFile::encodeName(slot->path).constData(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* cat = nullptr;
  sqlite3_prepare_v2(db, "insert into 类别 values (?)", -1, &cat, nullptr);
  for (int c = 0; c < categories; ++c) {
    BindText(cat, 1, QStringLiteral("类别%1").arg(c).toUtf8());
    sqlite3_step(cat);
    sqlite3_reset(cat);
  }
  sqlite3_finalize(cat);
  sqlite3_stmt* note = nullptr;
  sqlite3_prepare_v2(db, "insert into 笔记 values (?,?,?,?)", -1, &note, nullptr);
  const QByteArray date = QDateTime::currentDateTime().toString("yyyy-MM-ddTHH:mm:ss").toUtf8();
  for (int n = 0; n < notes; ++n) {
    QString body = Text(n, kBodyChars);
    if (n % rareEvery == 0) body.replace(kBodyChars / 2, 3, QStringLiteral("稀有词"));
    BindText(note, 1, QStringLiteral("类别%1").arg(n % categories).toUtf8());
    BindText(note, 2, date);
    BindText(note, 3, QStringLiteral("标题 %1 %2").arg(n).arg(Text(n, 8)).toUtf8());
    BindText(note, 4, body.toUtf8());
    sqlite3_step(note);
    sqlite3_reset(note);
  }
  sqlite3_finalize(note);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return *slot;
}

inline double FileMB(const QString& path) { return double(QFileInfo(path).size()) / (1024.0 * 1024.0); }

// Peak resident memory since the last ResetPeakMemory, in MB.
inline void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }
inline double PeakMemoryMB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kb = 0;
      status >> kb;
      return kb / 1024.0;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

}  // namespace bench
