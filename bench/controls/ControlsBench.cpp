// Painting cost of the skinned main window against the same widget tree of
// stock Qt widgets in the Fusion style, measured in the same run; and what
// one button's hot-state change repaints. Ratios are reported as counters,
// so every Google Benchmark output format carries them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include <QDir>
#include <QTemporaryDir>

#include "app/Globals.h"
#include "bench/support/twPairedTimer.h"
#include "app/Unit1.h"
#include "skin/controls/twSkinTreeView.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Application.h"
#include "tools/db/NotesSchema.h"
#include "skin/controls/twSkinButtons.h"
#include "bench/support/twWidgetBench.h"

namespace {

constexpr int kW = 1920, kH = 1080;

TForm1* SkinnedMainWindow();

// The main window's tree in stock widgets, with the same content: tool row,
// category tree in a group box, splitter, editor panels with group boxes,
// status bar.
std::unique_ptr<QWidget> StockMainWindow() {
  TForm1* ours = SkinnedMainWindow();
  auto w = std::make_unique<QWidget>();
  w->setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  auto* v = new QVBoxLayout(w.get());
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);
  auto* tools = new QWidget;
  auto* th = new QHBoxLayout(tools);
  th->setContentsMargins(0, 0, 0, 0);
  for (const char* t : {"New notes", "Class Modify", "Refresh"}) th->addWidget(new QPushButton(QString::fromLatin1(t)));
  th->addStretch();
  th->addWidget(new QLineEdit(QStringLiteral("Please enter a keyword")));
  th->addWidget(new QPushButton(QStringLiteral("Find")));
  v->addWidget(tools);
  auto* split = new QSplitter;
  auto* notes = new QGroupBox(QStringLiteral("Notes"));
  auto* tree = new QTreeWidget;
  tree->setHeaderHidden(true);
  tree->setFont(ours->TreeView1->font());
  tree->setIconSize(ours->TreeView1->iconSize());
  for (int i = 0; i < ours->TreeView1->topLevelItemCount(); ++i) {
    tree->addTopLevelItem(ours->TreeView1->topLevelItem(i)->clone());
    tree->topLevelItem(i)->setExpanded(true);
  }
  (new QVBoxLayout(notes))->addWidget(tree);
  split->addWidget(notes);
  auto* right = new QWidget;
  auto* rv = new QVBoxLayout(right);
  auto* row = new QWidget;
  auto* rh = new QHBoxLayout(row);
  for (const char* t : {"Modify", "Delete"}) rh->addWidget(new QPushButton(QString::fromLatin1(t)));
  rh->addWidget(new QLabel(QStringLiteral("class")));
  rh->addStretch();
  rv->addWidget(row);
  for (const char* t : {"Caption", "Content"}) {
    auto* g = new QGroupBox(QString::fromLatin1(t));
    QPlainTextEdit* from = t[1] == 'a' ? ours->SeSkinMemo1 : ours->twSkinMemo21;
    auto* memo = new QPlainTextEdit(from->toPlainText());
    memo->setFont(from->font());
    (new QVBoxLayout(g))->addWidget(memo);
    rv->addWidget(g, t[1] == 'o' ? 4 : 1);
  }
  split->addWidget(right);
  v->addWidget(split, 1);
  auto* status = new QStatusBar;
  for (const char* t : {"现共有记录: 8 个", "https://tarnwick.example.org", "Emali：notes@example.org"})
    status->addWidget(new QLabel(QString::fromUtf8(t)));
  v->addWidget(status);
  for (QWidget* c : w->findChildren<QWidget*>()) c->setStyle(w->style());
  w->resize(kW, kH);
  return w;
}

// The program's main window, made the way the program makes it (its first
// show opens the demo notebook) with a note open, restored to 1920 x 1080.
TForm1* SkinnedMainWindow() {
  static TForm1* w = [] {
    static QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    CreateNotesDatabase(dir.filePath("data.mdb"), true);
    // Left alive to the end: the windows must not outlive Qt's application.
    auto* app = new TApplication;
    CreateNotesForms(*app);
    Form1->twSkinData1->SetShowButtonGlowFrames(false);  // the glow is a window of its own
    Form1->show();
    Form1->setWindowState(Qt::WindowNoState);
    Form1->resize(kW, kH);
    TtwSkinTreeView* tree = Form1->TreeView1;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) tree->topLevelItem(i)->setExpanded(true);
    if (TTreeNode* first = tree->topLevelItem(0); first && first->childCount() > 0) {
      tree->SetSelected(first->child(0));
      emit tree->clicked();
    }
    QApplication::processEvents();
    return Form1;
  }();
  return w;
}

// One full repaint of a window into an image of its size.
double RepaintMs(QWidget* w, QImage& target) {
  QElapsedTimer t;
  t.start();
  w->render(&target);
  return t.nsecsElapsed() / 1e6;
}

// A full repaint of each window per iteration; the skinned one is the
// measured time, the stock one the baseline.
void MainWindowRepaint(benchmark::State& st) {
  TForm1* ours = SkinnedMainWindow();
  auto stock = StockMainWindow();
  QImage a(kW, kH, QImage::Format_RGB32), b(kW, kH, QImage::Format_RGB32);
  RepaintMs(ours, a);  // first paints build caches on both sides
  RepaintMs(stock.get(), b);
  TwPairedTimer timer;
  for (auto _ : st) st.SetIterationTime(timer.Run([&] { ours->render(&a); }, [&] { stock->render(&b); }));
  const double n = double(st.iterations());
  st.counters["ours_ms"] = timer.FirstReal() / n * 1e3;
  st.counters["fusion_ms"] = timer.SecondReal() / n * 1e3;
  st.counters["ratio"] = timer.FirstReal() / timer.SecondReal();  // target <= 0.8
}

// Counts paint events per widget.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  QSet<QObject*> widgets;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      ++paints;
      widgets.insert(o);
    }
    return false;
  }
};

// Pointer in, then out, of one toolbar button of the shown main window,
// with the repaint that follows each.
void HotStateChange(benchmark::State& st) {
  TForm1* ours = SkinnedMainWindow();
  ours->twSkinData1->SetEnableSkinEffects(false);  // no cross-fade: the hot look at once
  TtwSkinButton* button = ours->twSkinSpeedButton7;
  PaintCounter counter;
  for (QWidget* w : ours->findChildren<QWidget*>()) w->installEventFilter(&counter);
  ours->installEventFilter(&counter);
  QApplication::processEvents();
  counter.paints = 0;  // only what the changes repaint
  counter.widgets.clear();
  QElapsedTimer t;
  double full = 0;
  {
    QImage img(kW, kH, QImage::Format_RGB32);
    full = RepaintMs(ours, img);
  }
  for (auto _ : st) {
    t.start();
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(button, &enter);
    QApplication::processEvents();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    QApplication::processEvents();
    st.SetIterationTime(t.nsecsElapsed() / 1e9);
  }
  for (QWidget* w : ours->findChildren<QWidget*>()) w->removeEventFilter(&counter);
  ours->removeEventFilter(&counter);
  ours->twSkinData1->SetEnableSkinEffects(true);
  st.counters["paints_per_change"] = counter.paints / (2.0 * double(st.iterations()));
  st.counters["widgets_painted"] = counter.widgets.size();
  st.counters["full_repaint_ms"] = full;
}

}  // namespace

BENCHMARK(MainWindowRepaint)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(HotStateChange)->UseManualTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return twbench::RunWidgetBenchmarks(argc, argv); }
