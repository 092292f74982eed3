#pragma once
// Large notebooks for the benchmarks, generated once per run in a temporary
// folder: bodies of about 2 KB of mixed Chinese and English text drawn from a
// vocabulary with the shape of real text, notes spread evenly over the
// categories, every `rareEvery`-th body holding "稀有词".
#include <sqlite3.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "bench/support/twPairedTimer.h"
#include "tools/db/NotesSchema.h"

namespace bench {

struct Notebook {
  QTemporaryDir dir;
  QString path;
};

// 6,000 words, English-like ones made of syllables and Chinese ones of one to
// three characters from the commonest block, led by the words a user's notes
// hold most ("的", "会议", "travel"). Words are drawn by Zipf's law (rank r
// about 1/r as often as the first), so a few words are in nearly every note
// and most in a few. "稀有词" is never drawn: its characters lie outside.
inline const std::vector<QString>& Vocabulary() {
  static const std::vector<QString> words = [] {
    std::vector<QString> w = {"的", "the", "是", "and", "了", "会议", "of", "在", "to", "我们", "travel", "工作",
                              "notes", "今天", "is", "计划", "for", "时间", "meeting", "问题"};
    static const char* const syllables[] = {"ba", "con", "de", "fi", "gra", "hel", "in", "jo", "ka", "lo",
                                            "men", "no", "pre", "qua", "ra", "sto", "tur", "un", "ver", "wa",
                                            "ing", "tion", "er", "ly", "est", "ment", "ous", "st", "pa", "re"};
    std::mt19937 rng(24);
    while (w.size() < 6000) {
      QString word;
      if (rng() % 2) {
        for (int i = 0, n = 1 + int(rng() % 3); i < n; ++i) word += QString::fromLatin1(syllables[rng() % 30]);
      } else {
        for (int i = 0, n = 1 + int(rng() % 3); i < n; ++i) word += QChar(char16_t(0x4E00 + rng() % 3000));
      }
      w.push_back(word);
    }
    return w;
  }();
  return words;
}

inline QString Text(int seed, int length) {
  static const std::vector<double> cumulative = [] {
    std::vector<double> c;
    double sum = 0;
    for (size_t r = 1; r <= Vocabulary().size(); ++r) c.push_back(sum += 1.0 / double(r));
    return c;
  }();
  std::mt19937 rng(uint32_t(seed) * 2654435761u + 1);
  std::uniform_real_distribution<double> pick(0, cumulative.back());
  QString s;
  s.reserve(length + 16);
  for (int i = 0; s.size() < length; ++i) {
    const auto at = std::lower_bound(cumulative.begin(), cumulative.end(), pick(rng));
    s += Vocabulary()[size_t(at - cumulative.begin())] + (i % 9 == 8 ? "\n" : " ");
  }
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
