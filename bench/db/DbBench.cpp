// The notes database at 10k and 100k notes: the refresh's reads, the keyword
// search and a save, each timed against its baseline in the same run and
// reported as counters (ratio = ours / baseline; below 1 is faster), so every
// --benchmark_format shows them.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/NotesIndex.h"
#include "app/NotesSearch.h"
#include "app/ResultList.h"
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

// The keyword search's bare scan: row id and title of the notes holding the
// keyword, as the search returns them, with no index.
size_t BareScan(sqlite3* raw, const std::string& pattern) {
  return Select(raw, "select rowid, 标题 from 笔记 where (标题 like ? escape '\\')or(内容 like ? escape '\\')",
                {pattern, pattern});
}

// The search statement at 50k notes through the datasets (the index where
// the keyword allows, titles only), paired with the bare scan.
void Search(benchmark::State& state) {
  Datasets& d = Indexed(50000, 100);
  const QString keyword = QString::fromUtf8(kKeywords[state.range(0)]);
  state.SetLabel(kKeywordNames[state.range(0)]);
  sqlite3* raw = OpenRaw(d.conn.DataSource());
  const std::string p = ("%" + keyword + "%").toStdString();
  Compare(
      state,
      [&] {
        RunStatement(d.ADOQuery3, KeywordSearch(keyword, d.index.Ready()));
        benchmark::DoNotOptimize(ReadTitles(d.ADOQuery3));
      },
      [&] { benchmark::DoNotOptimize(BareScan(raw, p)); });
  state.counters["found"] = d.ADOQuery3.RecordCount();
  sqlite3_close(raw);
}

const char* const kFindKeywords[] = {"稀有词", "会", "travel", ""};
const char* const kFindNames[] = {"rare", "common-chinese-1", "common-word", "empty"};

// Find as the window runs it at 100k notes: the statement on the search's
// worker connection, its pages appended to the results list, shown, on this
// thread's event loop. The time is until the last row is listed and painted,
// paired with the bare scan of the same notebook; max_busy_ms is the longest
// this thread was busy between two waits for events (starting the search,
// one page and its paint), what a user feels as a frozen window.
void FindBusy(benchmark::State& state) {
  Datasets& d = Indexed(100000, 1000);
  const QString keyword = QString::fromUtf8(kFindKeywords[state.range(0)]);
  state.SetLabel(kFindNames[state.range(0)]);
  TNotesSearch search;
  TResultList list;
  list.resize(477, 289);
  QEventLoop loop;
  int found = 0;
  QObject::connect(&search, &TNotesSearch::Page, [&](const TResultPage& page) { list.Lines()->Append(page); });
  QObject::connect(&search, &TNotesSearch::Finished, [&](int count, const QString&, bool) {
    found = count;
    list.repaint();  // the last rows on the screen before the clock stops
    loop.quit();
  });
  // Wall time counts the other programs sharing the machine; the thread's
  // own CPU time is the work the window did at a stretch.
  double maxBusy = 0, maxBusyCpu = 0;
  auto awake = Clock::now();
  double awakeCpu = bench::CpuSeconds();
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  const auto a = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] {
    awake = Clock::now();
    awakeCpu = bench::CpuSeconds();
  });
  const auto b = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
    maxBusy = std::max(maxBusy, Seconds(Clock::now() - awake));
    maxBusyCpu = std::max(maxBusyCpu, bench::CpuSeconds() - awakeCpu);
  });
  sqlite3* raw = OpenRaw(d.conn.DataSource());
  const std::string p = ("%" + keyword + "%").toStdString();
  Compare(
      state,
      [&] {
        // As Find does: clear the list, start, show; then the event loop.
        awake = Clock::now();
        awakeCpu = bench::CpuSeconds();
        const bool indexed = d.index.Ready();
        search.Start(d.conn.DataSource(), KeywordSearch(keyword, indexed),
                     indexed ? KeywordSearch(keyword) : TStatement(),
                     indexed ? KeywordIsCommon(keyword) : TStatement());
        list.Lines()->Clear();
        list.show();
        loop.exec();
        list.hide();
      },
      [&] { benchmark::DoNotOptimize(BareScan(raw, p)); });
  QObject::disconnect(a);
  QObject::disconnect(b);
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
                 "drop trigger tw_notes_check_au; drop table tw_notes_check; drop table tw_notes_wide; "
                 "drop view tw_notes_fts_text; vacuum",
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
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
