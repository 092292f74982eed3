// The main window's refresh statements and the keyword search, through our
// datasets and, as the baseline, the same statements through the bare
// SQLite C API (prepare, bind, step, copying every column of every row,
// which is the least any holder of the rows has to do).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Statements.h"
#include "platform/db/Dataset.h"
#include "tools/db/NotesSchema.h"

namespace {

struct Corpus {
  QTemporaryDir dir;
  QString path;
};

QString Text(int seed, int length) {
  static const QString words[] = {"笔记", "今天", "会议", "计划", "notes", "travel", "读书", "the", "生活", "工作"};
  QString s;
  for (int i = 0; s.size() < length; ++i) s += words[(seed * 7 + i * 3) % 10] + (i % 9 == 8 ? "\n" : " ");
  s.truncate(length);
  return s;
}

void Bind(sqlite3_stmt* st, int i, const QByteArray& v) {
  sqlite3_bind_text(st, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
}

// notes spread evenly over categories; every `rareEvery`-th body holds "稀有词".
const Corpus& Notes(int notes, int categories, int bodyChars, int rareEvery) {
  static std::map<std::tuple<int, int, int, int>, std::unique_ptr<Corpus>> cache;
  auto& slot = cache[{notes, categories, bodyChars, rareEvery}];
  if (slot) return *slot;
  slot = std::make_unique<Corpus>();
  slot->path = slot->dir.filePath("data.mdb");
  CreateNotesDatabase(slot->path, false);
  sqlite3* db = nullptr;
  sqlite3_open(QFile::encodeName(slot->path).constData(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* cat = nullptr;
  sqlite3_prepare_v2(db, "insert into 类别 values (?)", -1, &cat, nullptr);
  for (int c = 0; c < categories; ++c) {
    Bind(cat, 1, QStringLiteral("类别%1").arg(c).toUtf8());
    sqlite3_step(cat);
    sqlite3_reset(cat);
  }
  sqlite3_finalize(cat);
  sqlite3_stmt* note = nullptr;
  sqlite3_prepare_v2(db, "insert into 笔记 values (?,?,?,?)", -1, &note, nullptr);
  const QByteArray date = QDateTime::currentDateTime().toString("yyyy-MM-ddTHH:mm:ss").toUtf8();
  for (int n = 0; n < notes; ++n) {
    QString body = Text(n, bodyChars);
    if (n % rareEvery == 0) body.replace(bodyChars / 2, 3, QStringLiteral("稀有词"));
    Bind(note, 1, QStringLiteral("类别%1").arg(n % categories).toUtf8());
    Bind(note, 2, date);
    Bind(note, 3, QStringLiteral("标题 %1 %2").arg(n).arg(Text(n, 8)).toUtf8());
    Bind(note, 4, body.toUtf8());
    sqlite3_step(note);
    sqlite3_reset(note);
  }
  sqlite3_finalize(note);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return *slot;
}

// --- ours -------------------------------------------------------------------

struct Datasets {
  TADOConnection conn;
  TADOTable LB, BZ;
  TADOQuery QBZ, ADOQuery3;
  explicit Datasets(const QString& path) {
    conn.ConnectionString = "Data Source=" + path;
    for (TDataSet* ds : {(TDataSet*)&LB, (TDataSet*)&BZ, (TDataSet*)&QBZ, (TDataSet*)&ADOQuery3})
      ds->Connection = &conn;
    LB.TableName = "类别";
    BZ.TableName = "笔记";
  }
};

void Refresh_Datasets(benchmark::State& state) {
  const Corpus& c = Notes(int(state.range(0)), int(state.range(1)), 200, 1000);
  Datasets d(c.path);
  for (auto _ : state) {
    int titles = 0;
    d.LB.Close();
    d.LB.Open();
    d.LB.First();
    for (int i = 0, n = d.LB.RecordCount(); i < n; ++i, d.LB.Next()) {
      RunStatement(d.QBZ, NotesOfCategory(d.LB.FieldByName("类别").AsString()));
      d.QBZ.First();
      for (int j = 0, m = d.QBZ.RecordCount(); j < m; ++j, d.QBZ.Next())
        titles += int(d.QBZ.FieldByName("标题").AsString().size()) > 0;
    }
    d.BZ.Close();
    d.BZ.Open();
    benchmark::DoNotOptimize(titles + d.BZ.RecordCount());
  }
}

void KeywordSearch_Datasets(benchmark::State& state) {
  const Corpus& c = Notes(50000, 100, 2000, int(state.range(0)));
  Datasets d(c.path);
  for (auto _ : state) {
    RunStatement(d.ADOQuery3, KeywordSearch(QStringLiteral("稀有词")));
    int titles = 0;
    d.ADOQuery3.First();
    for (int j = 0, m = d.ADOQuery3.RecordCount(); j < m; ++j, d.ADOQuery3.Next())
      titles += int(d.ADOQuery3.FieldByName("标题").AsString().size()) > 0;
    benchmark::DoNotOptimize(titles);
  }
}

// --- baseline ---------------------------------------------------------------

using Rows = std::vector<std::vector<std::string>>;

Rows Select(sqlite3* db, const char* sql, const std::vector<std::string>& params) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
  for (size_t i = 0; i < params.size(); ++i)
    sqlite3_bind_text(st, int(i) + 1, params[i].data(), int(params[i].size()), SQLITE_TRANSIENT);
  Rows rows;
  const int n = sqlite3_column_count(st);
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::vector<std::string> row;
    row.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
      const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
      row.emplace_back(p ? p : "", size_t(sqlite3_column_bytes(st, i)));
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(st);
  return rows;
}

sqlite3* OpenRaw(const QString& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  return db;
}

void Refresh_SqliteBaseline(benchmark::State& state) {
  const Corpus& c = Notes(int(state.range(0)), int(state.range(1)), 200, 1000);
  sqlite3* db = OpenRaw(c.path);
  for (auto _ : state) {
    int titles = 0;
    for (const auto& cat : Select(db, "select * from 类别", {}))
      for (const auto& note : Select(db, "select * from 笔记 where 类别=? order by 类别", {cat[0]}))
        titles += !note[2].empty();
    benchmark::DoNotOptimize(titles + int(Select(db, "select * from 笔记", {}).size()));
  }
  sqlite3_close(db);
}

void KeywordSearch_SqliteBaseline(benchmark::State& state) {
  const Corpus& c = Notes(50000, 100, 2000, int(state.range(0)));
  sqlite3* db = OpenRaw(c.path);
  for (auto _ : state) {
    int titles = 0;
    for (const auto& note : Select(db, "select * from 笔记 where (标题 like ? escape '\\')or(内容 like ? escape '\\')",
                                   {"%稀有词%", "%稀有词%"}))
      titles += !note[2].empty();
    benchmark::DoNotOptimize(titles);
  }
  sqlite3_close(db);
}

}  // namespace

// notes, categories
BENCHMARK(Refresh_SqliteBaseline)->Args({10000, 100})->Args({100000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(Refresh_Datasets)->Args({10000, 100})->Args({100000, 1000})->Unit(benchmark::kMillisecond);
// one note in N holds the keyword
BENCHMARK(KeywordSearch_SqliteBaseline)->Arg(1000)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(KeywordSearch_Datasets)->Arg(1000)->Arg(10)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
