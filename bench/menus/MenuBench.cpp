// Opening a 30-entry popup menu up to the first paint of its window: our
// skinned menu (default look and built-in skin) against a QMenu with the
// same entries in the Fusion style, in the same run. Prints the ratio
// ours / QMenu at the end (at or below 1.0: ours opens as fast or faster),
// from the medians of seven repetitions; the Paired runs alternate the two
// in one loop and report the same ratios as counters (the steadier figure
// on a busy machine).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QStyleFactory>
#include <cstdio>
#include <map>
#include <string>

#include "bench/support/twPairedTimer.h"
#include "bench/support/twRatioReporter.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/menus/twSkinMenus.h"
#include "skins/BuiltinSkin.h"
#include "bench/support/twWidgetBench.h"

namespace {

constexpr int kEntries = 30;
const QPoint kAt(200, 100);

// The same 30 entries for every menu: captions, shortcuts, separators, a
// checked and a disabled entry.
void Fill(QMenu& m) {
  for (int i = 0; i < kEntries; ++i) {
    if (i % 7 == 6) {
      m.addSeparator();
      continue;
    }
    QAction* a = m.addAction(QStringLiteral("Entry &%1 of the menu").arg(i));
    if (i % 5 == 0) a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i % 26)));
    if (i == 3) a->setCheckable(true), a->setChecked(true);
    if (i == 4) a->setEnabled(false);
  }
}

TtwSkinData& BuiltinSkin() { return twbench::BuiltinSkinData(); }

void OpenOurs(benchmark::State& st, bool skinned) {
  QWidget form;
  TtwSkinMenu controller(&form);
  TtwSkinData* data = skinned ? &BuiltinSkin() : nullptr;
  QMenu items;
  Fill(items);
  QImage target;
  for (auto _ : st) {
    controller.PopupMenuItems(nullptr, data, false, &items, TRect{kAt.x(), kAt.y(), kAt.x(), kAt.y()}, 0);
    TtwSkinPopupWindow* w = controller.Level(0);
    if (target.size() != w->size()) target = QImage(w->size(), QImage::Format_RGB32);
    w->render(&target);
    benchmark::DoNotOptimize(target.constBits());
    controller.CloseMenu();
    QCoreApplication::processEvents();
  }
}

void OpenQMenu(benchmark::State& st) {
  QMenu m;
  m.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  Fill(m);
  QImage target;
  for (auto _ : st) {
    m.popup(kAt);
    if (target.size() != m.size()) target = QImage(m.size(), QImage::Format_RGB32);
    m.render(&target);
    benchmark::DoNotOptimize(target.constBits());
    m.hide();
    QCoreApplication::processEvents();
  }
}

// Ours and QMenu in turns within one loop, so load from other work on the
// machine falls on both alike; the counters are the ratios ours / QMenu.
void Paired(benchmark::State& st, bool skinned) {
  QWidget form;
  TtwSkinMenu controller(&form);
  TtwSkinData* data = skinned ? &BuiltinSkin() : nullptr;
  QMenu items;
  Fill(items);
  QMenu qmenu;
  qmenu.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  Fill(qmenu);
  QImage target;
  TwPairedTimer timer;
  for (auto _ : st) {
    timer.Run(
        [&] {
          controller.PopupMenuItems(nullptr, data, false, &items, TRect{kAt.x(), kAt.y(), kAt.x(), kAt.y()}, 0);
          TtwSkinPopupWindow* w = controller.Level(0);
          if (target.size() != w->size()) target = QImage(w->size(), QImage::Format_RGB32);
          w->render(&target);
          controller.CloseMenu();
          QCoreApplication::processEvents();
        },
        [&] {
          qmenu.popup(kAt);
          if (target.size() != qmenu.size()) target = QImage(qmenu.size(), QImage::Format_RGB32);
          qmenu.render(&target);
          qmenu.hide();
          QCoreApplication::processEvents();
        });
    benchmark::DoNotOptimize(target.constBits());
  }
  timer.Report(st);
}

}  // namespace

// The baseline first, so the measured runs can carry their ratio to it.
BENCHMARK(OpenQMenu)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK_CAPTURE(OpenOurs, Default, false)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK_CAPTURE(OpenOurs, BuiltinSkin, true)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK_CAPTURE(Paired, Default, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Paired, BuiltinSkin, true)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  return twbench::RunWithRatios(argc, argv,
                                {{"OpenOurs/Default/repeats:7", "OpenQMenu/repeats:7"},
                                 {"OpenOurs/BuiltinSkin/repeats:7", "OpenQMenu/repeats:7"}},
                                "opening a 30-entry menu, ours / QMenu (target <= 1.0)");
}
