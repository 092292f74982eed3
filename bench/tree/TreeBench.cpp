// The skinned category tree (its bars linked, its column fitted to the titles)
// against a stock QTreeWidget with Qt's own bars, filled the same way in the
// same run: 100,000 notes in 1,000 categories to the first paint, and one
// page scroll of the expanded tree with its repaint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTreeWidget>
#include <memory>

#include "bench/support/twPairedTimer.h"
#include "tests/skin/controls/TreeWithBars.h"
#include "bench/support/twWidgetBench.h"

namespace {

constexpr int kCategories = 1'000, kNotesEach = 100;
constexpr int kW = 260, kH = 700;

QList<QTreeWidgetItem*> Categories() {
  QList<QTreeWidgetItem*> top;
  top.reserve(kCategories);
  for (int c = 0; c < kCategories; ++c) {
    auto* cat = new QTreeWidgetItem(QStringList{QStringLiteral("Category %1").arg(c, 4, 10, QLatin1Char('0'))});
    QList<QTreeWidgetItem*> notes;
    notes.reserve(kNotesEach);
    for (int n = 0; n < kNotesEach; ++n)
      notes << new QTreeWidgetItem(QStringList{QStringLiteral("Note %1 of category %2").arg(n).arg(c)});
    cat->addChildren(notes);
    top << cat;
  }
  return top;
}

// The tree as the main window holds it.
struct TSkinnedTree : twtest::TTreeWithBars {
  TSkinnedTree() : TTreeWithBars(kW, kH) {}
};

struct TStockTree {
  QTreeWidget tree;
  TStockTree() {
    tree.resize(kW, kH);
    tree.setHeaderHidden(true);
    tree.setUniformRowHeights(true);
  }
};

void FirstPaint(QWidget& w, QImage& img) {
  QPainter p(&img);
  w.render(&p);
}

void FillToFirstPaint(benchmark::State& st) {
  QImage img(kW, kH, QImage::Format_RGB32);
  TwPairedTimer timer;
  for (auto _ : st) {
    QList<QTreeWidgetItem*> ours = Categories(), stock = Categories();
    std::unique_ptr<TSkinnedTree> a;
    std::unique_ptr<TStockTree> b;
    const double t = timer.Run(
        [&] {
          a = std::make_unique<TSkinnedTree>();
          a->tree->addTopLevelItems(ours);
          FirstPaint(a->host, img);
        },
        [&] {
          b = std::make_unique<TStockTree>();
          b->tree.addTopLevelItems(stock);
          FirstPaint(b->tree, img);
        });
    st.SetIterationTime(t);
    if (a->vbar->isHidden()) st.SkipWithError("the skinned bar did not show");
  }
  timer.Report(st);
  st.counters["stock_ms"] = timer.SecondReal() * 1e3 / double(st.iterations());
}

void PageScroll(benchmark::State& st) {
  TSkinnedTree a;
  a.tree->addTopLevelItems(Categories());
  a.tree->expandAll();
  TStockTree b;
  b.tree.addTopLevelItems(Categories());
  b.tree.expandAll();
  QImage img(kW, kH, QImage::Format_RGB32);
  FirstPaint(a.host, img);
  FirstPaint(b.tree, img);
  TwPairedTimer timer;
  for (auto _ : st) {
    if (a.vbar->Position() + 2 * a.vbar->PageSize() > a.vbar->Max()) {
      a.vbar->SetPosition(0);
      b.tree.verticalScrollBar()->setValue(0);
    }
    const double t = timer.Run(
        [&] {
          // A press on the track below the thumb, as the user pages.
          const TScrollBarParts parts = a.vbar->Parts();
          const QPointF at(parts.Track.Left + 2, parts.Track.Bottom - 2);
          QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
          QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
          QApplication::sendEvent(a.vbar, &press);
          QApplication::sendEvent(a.vbar, &release);
          FirstPaint(a.host, img);
        },
        [&] {
          b.tree.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
          FirstPaint(b.tree, img);
        });
    st.SetIterationTime(t);
  }
  timer.Report(st);
  st.counters["ours_ms"] = timer.FirstReal() * 1e3 / double(st.iterations());
  st.counters["stock_ms"] = timer.SecondReal() * 1e3 / double(st.iterations());
}

}  // namespace

BENCHMARK(FillToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(PageScroll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

int main(int argc, char** argv) { return twbench::RunWidgetBenchmarks(argc, argv); }
