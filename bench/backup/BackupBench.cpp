// The window's longest busy stretch while the automatic backup copies a
// 100,000-note notebook: the user-interface thread keeps handling events and
// saves a note every second, faster than a user saves, while the copy runs
// on its own thread. Baseline: the same loop with no backup.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <chrono>
#include <thread>

#include "bench/db/Notebook.h"
#include "platform/db/Backup.h"

namespace {

constexpr int kNotes = 100'000;
// A save restarts the copy, which must fit between two saves to finish.
constexpr int kSaveEveryMs = 1000;
constexpr int kFirstSaveMs = 300;
constexpr int kTickMs = 1;
constexpr int kBusyTimeoutMs = 5000;  // as the program's connection waits

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Runs the window's loop until `more` says stop; returns its longest stretch
// in ms and counts the saves.
template <class More>
double WindowLoop(sqlite3* db, More more, int* saves) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "insert into 笔记 values ('类别1', '2026-12-10T10:00:00', 'saved', 'body')", -1, &st,
                     nullptr);
  double longest = 0;
  // The first save lands while the copy is under way, where it waits for the
  // copy's read lock and makes the copy start again.
  auto nextSave = Clock::now() + std::chrono::milliseconds(kFirstSaveMs);
  while (more()) {
    const auto t0 = Clock::now();
    QCoreApplication::processEvents();
    if (t0 >= nextSave) {
      sqlite3_step(st);
      sqlite3_reset(st);
      ++*saves;
      nextSave = t0 + std::chrono::milliseconds(kSaveEveryMs);
    }
    longest = std::max(longest, Ms(Clock::now() - t0));
    std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
  }
  sqlite3_finalize(st);
  return longest;
}

void BM_WindowBusyDuringBackup(benchmark::State& state) {
  const bench::Notebook& book = bench::Notes(kNotes, 20);
  sqlite3* db = nullptr;
  sqlite3_open(QFile::encodeName(book.path).constData(), &db);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  double busy = 0, baseline = 0, copyMs = 0;
  int saves = 0, baselineSaves = 0;
  for (auto _ : state) {
    TBackupKeeper keeper(book.path);
    QDir(keeper.Folder()).removeRecursively();
    QString failure = "not finished";
    keeper.OnFinished = [&](const QString& f) { failure = f; };
    const auto start = Clock::now();
    keeper.BackUpIfDue();
    busy = WindowLoop(db, [&] { return keeper.Busy(); }, &saves);
    copyMs = Ms(Clock::now() - start);
    if (!failure.isEmpty()) state.SkipWithError(failure.toUtf8().constData());
    const auto until = Clock::now() + (Clock::now() - start);
    baseline = WindowLoop(db, [&] { return Clock::now() < until; }, &baselineSaves);
    QDir(keeper.Folder()).removeRecursively();
  }
  sqlite3_close(db);
  state.counters["longest_busy_ms"] = busy;
  state.counters["baseline_longest_busy_ms"] = baseline;
  state.counters["busy_ratio"] = baseline > 0 ? busy / baseline : 0;
  state.counters["copy_s"] = copyMs / 1000;
  state.counters["notebook_mb"] = bench::FileMB(book.path);
  state.counters["saves"] = saves;
}
BENCHMARK(BM_WindowBusyDuringBackup)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
