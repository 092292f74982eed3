// The notes window over 10k and 100k notes: start to first paint, and how
// long the window is frozen by Save, Modify, Delete and Refresh, each against
// plain Qt doing the same job in the same run (a QTreeWidget filled from one
// query of category and title, sorted once). Ratios and peak memory are
// counters, so every --benchmark_format shows them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <set>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTreeWidget>
#include <chrono>
#include <functional>

#include "app/Globals.h"
#include "app/NotesIndex.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "bench/db/Notebook.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "skin/boxes/twCalendar.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinTreeView.h"

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The notebook of a benchmark, with its search index already built, as a
// notebook in use has it.
const bench::Notebook& Notebook(int notes, int categories) {
  const bench::Notebook& nb = bench::Notes(notes, categories);
  static std::set<QString> indexed;
  if (indexed.insert(nb.path).second) {
    TADOConnection conn;
    conn.ConnectionString = "Data Source=" + nb.path;
    TNotesIndex index(&conn, nullptr);
    conn.AfterConnect = [&](TADOConnection&) { index.Upgrade(); };
    conn.Open();
    index.BuildAll();
  }
  return nb;
}

// The program's four windows over one notebook, as Project1 creates them.
class Program {
 public:
  explicit Program(const QString& folder) : scope_(&dialogs), app_(std::make_unique<TApplication>()) {
    QDir::setCurrent(folder);
    app_->SetTitle("Tarnwick");
    app_->SetErrorDisplay([](const QString& e) { std::fprintf(stderr, "error: %s\n", qPrintable(e)); });
    CreateNotesForms(*app_);
  }
  ~Program() {
    // A skinned button reacting to the focus leaving a window being
    // destroyed crashes (reported); nothing keeps the focus meanwhile.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    app_.reset();
    Form1 = nullptr;
    Data = nullptr;
    Box = nullptr;
    AboutBox1 = nullptr;
  }
  void ShowAndPaint() {
    Form1->Show();
    Form1->repaint();
  }
  TScriptedDialogs dialogs;

 private:
  TDialogsScope scope_;
  std::unique_ptr<TApplication> app_;
};

// Plain Qt: one query of category and title, one tree, sorted once.
void PlainQtStart(const QString& path) {
  QTreeWidget tree;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "plain");
    db.setDatabaseName(path);
    db.open();
    QHash<QString, QTreeWidgetItem*> categories;
    QList<QTreeWidgetItem*> top;
    QSqlQuery c("select 类别 from 类别", db);
    while (c.next()) {
      auto* item = new QTreeWidgetItem(QStringList{c.value(0).toString()});
      categories.insert(item->text(0), item);
      top << item;
    }
    QSqlQuery q("select 类别, 标题 from 笔记", db);
    while (q.next())
      if (QTreeWidgetItem* parent = categories.value(q.value(0).toString()))
        parent->addChild(new QTreeWidgetItem(QStringList{q.value(1).toString()}));
    tree.addTopLevelItems(top);
    tree.sortItems(0, Qt::AscendingOrder);
    c = QSqlQuery();
    q = QSqlQuery();
    db = QSqlDatabase();
  }
  QSqlDatabase::removeDatabase("plain");
  tree.resize(996, 642);
  tree.show();
  tree.repaint();
}

// Plain Qt after a save: insert, then category and title only, and count.
void PlainQtSave(const QString& path) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "plain");
    db.setDatabaseName(path);
    db.open();
    QSqlQuery ins(db);
    ins.prepare("insert into 笔记 values (?, ?, ?, ?)");
    ins.addBindValue("类别1");
    ins.addBindValue(QDateTime::currentDateTime().toString(Qt::ISODate));
    ins.addBindValue("plain");
    ins.addBindValue(bench::Text(3, bench::kBodyChars));
    ins.exec();
    QSqlQuery q("select 类别, 标题 from 笔记", db);
    int n = 0;
    while (q.next()) n += q.value(1).toString().size() > 0;
    QSqlQuery count("select count(*) from 笔记", db);
    count.next();
    benchmark::DoNotOptimize(n + count.value(0).toInt());
  }
  QSqlDatabase::removeDatabase("plain");
}

// Peak memory of one start, ours or plain Qt's, each in a fresh process of
// its own, so neither is measured on a heap the other has grown: the bench
// runs itself with "--start-peak ours|plain FOLDER", which prints MB.
double StartPeakInOwnProcess(const char* which, const QString& folder) {
  QProcess p;
  p.start(QCoreApplication::applicationFilePath(), {"--start-peak", which, folder});
  p.waitForFinished(-1);
  return p.readAllStandardOutput().trimmed().toDouble();
}
int StartPeakMain(const QString& which, const QString& folder) {
  const double before = bench::PeakMemoryMB();
  if (which == "ours") {
    Program p(folder);
    p.ShowAndPaint();
  } else {
    PlainQtStart(QDir(folder).filePath("data.mdb"));
  }
  std::printf("%.2f\n", bench::PeakMemoryMB() - before);
  return 0;
}

void StartToFirstPaint(benchmark::State& state) {
  const bench::Notebook& nb = Notebook(int(state.range(0)), int(state.range(1)));
  double ours = 0, base = 0, cpu = 0, cpuBase = 0;
  for (auto _ : state) {
    const double c0 = bench::CpuSeconds();
    const auto t0 = Clock::now();
    {
      Program p(nb.dir.path());
      p.ShowAndPaint();
      state.SetIterationTime(Seconds(Clock::now() - t0));
      ours += Seconds(Clock::now() - t0);
      cpu += bench::CpuSeconds() - c0;
    }
    const double c1 = bench::CpuSeconds();
    const auto t1 = Clock::now();
    PlainQtStart(nb.path);
    base += Seconds(Clock::now() - t1);
    cpuBase += bench::CpuSeconds() - c1;
  }
  const double n = double(state.iterations());
  state.counters["ms"] = ours / n * 1e3;
  state.counters["plain_qt_ms"] = base / n * 1e3;
  state.counters["ratio"] = ours / base;
  state.counters["cpu_ms"] = cpu / n * 1e3;
  state.counters["plain_qt_cpu_ms"] = cpuBase / n * 1e3;
  state.counters["cpu_ratio"] = cpu / cpuBase;
  const double peak = StartPeakInOwnProcess("ours", nb.dir.path());
  const double basePeak = StartPeakInOwnProcess("plain", nb.dir.path());
  state.counters["peak_MB"] = peak;
  state.counters["plain_qt_peak_MB"] = basePeak;
  state.counters["peak_ratio"] = basePeak > 0 ? peak / basePeak : 0;
}

enum Command { kSave, kModify, kDelete, kRefresh };
const char* const kCommandNames[] = {"Save", "Modify", "Delete", "Refresh"};

// How long one command keeps the window busy, its refresh included. The
// note to act on is loaded (or typed) before the clock starts.
void Frozen(benchmark::State& state) {
  const bench::Notebook& nb = Notebook(int(state.range(0)), int(state.range(1)));
  const Command command = Command(state.range(2));
  state.SetLabel(kCommandNames[command]);
  Program p(nb.dir.path());
  p.ShowAndPaint();
  // The baseline writes to a copy: a write to the window's own file by
  // another connection would make every refresh read everything again.
  QTemporaryDir plainDir;
  const QString plainPath = plainDir.filePath("data.mdb");
  QFile::copy(nb.path, plainPath);
  const QString body = bench::Text(11, bench::kBodyChars);
  int n = 0;
  double ours = 0, base = 0, cpu = 0;
  bench::ResetPeakMemory();
  const double before = bench::PeakMemoryMB();
  for (auto _ : state) {
    switch (command) {
      case kSave:
        Form1->twSkinSpeedButton1Click();
        Form1->SeSkinMemo1->setPlainText(QStringLiteral("bench %1").arg(n++));
        Form1->twSkinMemo21->setPlainText(body);
        break;
      case kModify:
      case kDelete: {
        TTreeNode* category = Form1->TreeView1->topLevelItem(n++ % Form1->TreeView1->topLevelItemCount());
        if (category->childCount() == 0) continue;
        Form1->TreeView1->SetSelected(category->child(0));
        Form1->TreeView1Click();
        if (command == kModify) Form1->SeSkinMemo1->setPlainText(QStringLiteral("modified %1").arg(n));
        p.dialogs.answers = {mrYes};
        break;
      }
      case kRefresh:
        break;
    }
    const double c0 = bench::CpuSeconds();
    const auto t0 = Clock::now();
    Guarded([&] {
      switch (command) {
        case kSave: Form1->Button2Click(); break;
        case kModify: Form1->Button1Click(); break;
        case kDelete: Form1->Button4Click(); break;
        case kRefresh: Form1->twSkinSpeedButton7Click(); break;
      }
    });
    QApplication::processEvents();
    const double spent = Seconds(Clock::now() - t0);
    state.SetIterationTime(spent);
    ours += spent;
    cpu += bench::CpuSeconds() - c0;
    if (command == kSave) {
      const auto t1 = Clock::now();
      PlainQtSave(plainPath);
      base += Seconds(Clock::now() - t1);
    }
  }
  const double iterations = double(state.iterations());
  state.counters["ms"] = ours / iterations * 1e3;
  state.counters["cpu_ms"] = cpu / iterations * 1e3;
  if (command == kSave) {
    state.counters["plain_qt_ms"] = base / iterations * 1e3;
    state.counters["ratio"] = ours / base;
  }
  state.counters["peak_MB_over_start"] = bench::PeakMemoryMB() - before;
}

// Peak memory of a start, five saves and a search for a common word.
void PeakMemory(benchmark::State& state) {
  const bench::Notebook& nb = Notebook(int(state.range(0)), int(state.range(1)));
  double peak = 0;
  for (auto _ : state) {
    bench::ResetPeakMemory();
    // What the process held before (the generator's leftovers included).
    state.counters["before_MB"] = bench::PeakMemoryMB();
    const auto t0 = Clock::now();
    {
      Program p(nb.dir.path());
      p.ShowAndPaint();
      state.counters["after_start_MB"] = bench::PeakMemoryMB();
      for (int i = 0; i < 5; ++i) {
        Form1->twSkinSpeedButton1Click();
        Form1->SeSkinMemo1->setPlainText(QStringLiteral("memory %1").arg(i));
        Form1->twSkinMemo21->setPlainText(bench::Text(i, bench::kBodyChars));
        Form1->Button2Click();
      }
      state.counters["after_saves_MB"] = bench::PeakMemoryMB();
      Form1->twSkinEdit1->setText("notes");
      Form1->twSkinSpeedButton4Click();
      state.counters["found"] = AboutBox1->ListBox1->count();
      peak = std::max(peak, bench::PeakMemoryMB());
    }
    state.SetIterationTime(Seconds(Clock::now() - t0));
  }
  state.counters["peak_MB"] = peak;
}

}  // namespace

BENCHMARK(StartToFirstPaint)->Args({10000, 100})->Args({100000, 1000})->UseManualTime()
    ->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Frozen)
    ->ArgsProduct({{10000}, {100}, {kSave, kModify, kDelete, kRefresh}})
    ->ArgsProduct({{100000}, {1000}, {kSave, kModify, kDelete, kRefresh}})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(PeakMemory)->Args({100000, 1000})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 4 && QByteArray(argv[1]) == "--start-peak") return StartPeakMain(argv[2], argv[3]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
