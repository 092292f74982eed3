// The notes database at 10k and 100k notes: the refresh's reads, the keyword
// search and a save, each timed against its baseline in the same run and
// reported as counters (ratio = ours / baseline; below 1 is faster), so every
// --benchmark_format shows them.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/NotesIndex.h"
#include "app/NotesSearch.h"
#include "app/Statements.h"
#include "bench/db/Notebook.h"
#include "platform/db/Dataset.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Times `ours` as the benchmark and `baseline` right after it in every
// iteration, so both meet the same machine load.
void Compare(benchmark::State& state, const std::function<void()>& ours, const std::function<void()>& baseline) {
  TwPairedTimer timer;
  for (auto _ : state) state.SetIterationTime(timer.Run(ours, baseline));
  const double total = timer.FirstReal(), totalBase = timer.SecondReal();
  const double cpu = timer.FirstCpu(), cpuBase = timer.SecondCpu();
  const double n = double(state.iterations());
  state.counters["ms"] = total / n * 1e3;
  state.counters["baseline_ms"] = totalBase / n * 1e3;
  state.counters["ratio"] = total / totalBase;
  state.counters["cpu_ms"] = cpu / n * 1e3;
  state.counters["baseline_cpu_ms"] = cpuBase / n * 1e3;
  state.counters["cpu_ratio"] = cpu / cpuBase;
}

// Our datasets over one notebook, with the search index built.
struct Datasets {
  TADOConnection conn;
  TADOTable BZ;
  TADOQuery titles, ADOQuery3;
  TNotesIndex index{&conn, nullptr};
  Datasets(const QString& path, bool indexed) {
    conn.ConnectionString = "Data Source=" + path;
    if (indexed) conn.AfterConnect = [this](TADOConnection&) { index.Upgrade(); };
    for (TDataSet* ds : {(TDataSet*)&BZ, (TDataSet*)&titles, (TDataSet*)&ADOQuery3}) ds->Connection = &conn;
    BZ.TableName = "笔记";
    conn.Open();
    if (indexed) index.BuildAll();
    // The worker's check of the new index must not run beside the timings.
    while (index.Busy()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
};

Datasets& Indexed(int notes, int categories) {
  static std::map<std::pair<int, int>, std::unique_ptr<Datasets>> cache;
  auto& slot = cache[{notes, categories}];
  if (!slot) slot = std::make_unique<Datasets>(bench::Notes(notes, categories).path, true);
  return *slot;
}

sqlite3* OpenRaw(const QString& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  return db;
}

// Every row of a statement, each column copied out: the least any holder
// of the rows has to do.
size_t Select(sqlite3* db, const char* sql, const std::vector<std::string>& params) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
  for (size_t i = 0; i < params.size(); ++i)
    sqlite3_bind_text(st, int(i) + 1, params[i].data(), int(params[i].size()), SQLITE_TRANSIENT);
  std::vector<std::string> cells;
  size_t rows = 0;
  const int n = sqlite3_column_count(st);
  while (sqlite3_step(st) == SQLITE_ROW) {
    for (int i = 0; i < n; ++i) {
      const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
      cells.emplace_back(p ? p : "", size_t(sqlite3_column_bytes(st, i)));
    }
    ++rows;
  }
  sqlite3_finalize(st);
  return rows;
}

int ReadTitles(TADOQuery& q) {
  int titles = 0;
  q.First();
  const TField title = q.FieldByName("标题");
  for (int j = 0, m = q.RecordCount(); j < m; ++j, q.Next()) titles += int(title.AsString().size()) > 0;
  return titles;
}

// The refresh's reads: category and title of every note, never a body.
// Baseline: the same columns in one bare statement.
void RefreshReads(benchmark::State& state) {
  Datasets& d = Indexed(int(state.range(0)), int(state.range(1)));
  sqlite3* raw = OpenRaw(d.conn.DataSource());
  Compare(
      state,
      [&] {
        // As the window reads them: row by row, nothing held but the values.
        d.conn.BeginReadTrans();
        int rows = 0, titles = 0;
        d.conn.ReadRows(NoteCategories(), [&](const TRowReader& row) { rows += !row.IsNull(1); });
        d.conn.ReadRows(NoteTitles(), [&](const TRowReader& row) { titles += row.Text(1).size() > 0; });
        benchmark::DoNotOptimize(rows + titles);
        d.conn.CommitTrans();
      },
      [&] { benchmark::DoNotOptimize(Select(raw, "select rowid, 类别, 标题 from 笔记", {})); });
  sqlite3_close(raw);
}

const char* const kKeywords[] = {"稀有词", "notes", "稀", "有词", "会议"};
const char* const kKeywordNames[] = {"rare-3", "common-5", "rare-1", "rare-2", "common-2"};

// Find at 50k notes: ours (index when the keyword allows, titles only)
// against today's statement through the datasets (whole rows, a scan), and
// the bare engine running today's scan for titles only.
void Search(benchmark::State& state) {
  Datasets& d = Indexed(50000, 100);
  const QString keyword = QString::fromUtf8(kKeywords[state.range(0)]);
  state.SetLabel(kKeywordNames[state.range(0)]);
  TADOQuery today;
  today.Connection = &d.conn;
  const QString pattern = "%" + keyword + "%";
  Compare(
      state,
      [&] {
        RunStatement(d.ADOQuery3, KeywordSearch(keyword, d.index.Ready()));
        benchmark::DoNotOptimize(ReadTitles(d.ADOQuery3));
      },
      [&] {
        RunStatement(today, {"select * from 笔记 where (标题 like ? escape '\\')or(内容 like ? escape '\\')",
                             {pattern, pattern}});
        benchmark::DoNotOptimize(ReadTitles(today));
        today.Close();
      });
  sqlite3* raw = OpenRaw(d.conn.DataSource());
  const std::string p = pattern.toStdString();
  const auto t0 = Clock::now();
  Select(raw, "select rowid, 标题 from 笔记 where (标题 like ? escape '\\')or(内容 like ? escape '\\')", {p, p});
  state.counters["bare_scan_ms"] = Seconds(Clock::now() - t0) * 1e3;
  state.counters["found"] = d.ADOQuery3.RecordCount();
  sqlite3_close(raw);
}

const char* const kFindKeywords[] = {"稀有词", "会", "travel", ""};
const char* const kFindNames[] = {"rare", "common-chinese-1", "common-word", "empty"};

// Find as the window runs it at 100k notes: the statement on the search's
// worker connection, its pages appended on this thread's event loop. The
// time is until the last row is held, paired with the bare scan of the same
// notebook; max_busy_ms is the longest this thread was busy at a stretch
// (starting the search, or one page), what a user feels as a frozen window.
void FindBusy(benchmark::State& state) {
  Datasets& d = Indexed(100000, 1000);
  const QString keyword = QString::fromUtf8(kFindKeywords[state.range(0)]);
  state.SetLabel(kFindNames[state.range(0)]);
  TNotesSearch search;
  std::vector<qint64> rowids;
  QByteArray titles;
  bool done = false;
  int found = 0;
  QObject::connect(&search, &TNotesSearch::Page, [&](const TResultPage& page) {
    rowids.insert(rowids.end(), page.rowids.begin(), page.rowids.end());
    titles.append(page.text);
  });
  QObject::connect(&search, &TNotesSearch::Finished, [&](int count, const QString&, bool) {
    found = count;
    done = true;
  });
  // Wall time counts the other programs sharing the machine; the thread's
  // own CPU time is the work the window did at a stretch.
  double maxBusy = 0, maxBusyCpu = 0;
  sqlite3* raw = OpenRaw(d.conn.DataSource());
  const std::string p = ("%" + keyword + "%").toStdString();
  Compare(
      state,
      [&] {
        rowids.clear();
        titles.clear();
        done = false;
        auto t0 = Clock::now();
        double c0 = bench::CpuSeconds();
        const bool indexed = d.index.Ready();
        search.Start(d.conn.DataSource(), KeywordSearch(keyword, indexed),
                     indexed ? KeywordSearch(keyword) : TStatement(),
                     indexed ? KeywordIsCommon(keyword) : TStatement());
        maxBusy = std::max(maxBusy, Seconds(Clock::now() - t0));
        maxBusyCpu = std::max(maxBusyCpu, bench::CpuSeconds() - c0);
        while (!done) {
          t0 = Clock::now();
          c0 = bench::CpuSeconds();
          QCoreApplication::processEvents(QEventLoop::AllEvents);
          maxBusy = std::max(maxBusy, Seconds(Clock::now() - t0));
          maxBusyCpu = std::max(maxBusyCpu, bench::CpuSeconds() - c0);
          if (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
      },
      [&] {
        benchmark::DoNotOptimize(
            Select(raw, "select rowid, 标题 from 笔记 where (标题 like ? escape '\\')or(内容 like ? escape '\\')",
                   {p, p}));
      });
  state.counters["max_busy_ms"] = maxBusy * 1e3;
  state.counters["max_busy_cpu_ms"] = maxBusyCpu * 1e3;
  state.counters["found"] = found;
  sqlite3_close(raw);
}

// One Save: with the index kept in step by triggers, against the same save
// on a copy of the notebook without the index. Reports the file sizes.
void Save(benchmark::State& state) {
  Datasets& d = Indexed(int(state.range(0)), int(state.range(1)));
  QTemporaryDir plainDir;
  const QString plainPath = plainDir.filePath("data.mdb");
  QFile::copy(bench::Notes(int(state.range(0)), int(state.range(1))).path, plainPath);
  {
    sqlite3* raw = OpenRaw(plainPath);
    sqlite3_exec(raw,
                 "drop trigger tw_notes_fts_ai; drop trigger tw_notes_fts_ad; drop trigger tw_notes_fts_au; "
                 "drop table tw_notes_fts_terms; drop table tw_notes_fts; drop table tw_notes_fts_state; "
                 "drop table tw_notes_tails; drop trigger tw_notes_check_ai; drop trigger tw_notes_check_ad; "
                 "drop trigger tw_notes_check_au; drop table tw_notes_check; vacuum",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  Datasets plain(plainPath, false);
  const QString body = bench::Text(7, bench::kBodyChars);
  auto save = [&](TADOTable& bz) {
    bz.Close();
    bz.OpenForAppend();
    bz.Insert();
    bz.FieldByName("类别").SetAsString("类别1");
    bz.FieldByName("日期").SetAsDateTime(QDateTime::currentDateTime());
    bz.FieldByName("标题").SetAsString("新笔记 new note");
    bz.FieldByName("内容").SetAsString(body);
    bz.Post();
  };
  Compare(state, [&] { save(d.BZ); }, [&] { save(plain.BZ); });
  state.counters["file_MB"] = bench::FileMB(d.conn.DataSource());
  state.counters["without_index_MB"] = bench::FileMB(plainPath);
  state.counters["growth_pct"] = (bench::FileMB(d.conn.DataSource()) / bench::FileMB(plainPath) - 1) * 100;
}

}  // namespace

BENCHMARK(RefreshReads)->Args({10000, 100})->Args({100000, 1000})->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Search)->DenseRange(0, 4)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FindBusy)->DenseRange(0, 3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Save)->Args({10000, 100})->Args({100000, 1000})->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
