// Opening the category box's list up to its first paint: our combo box as
// the main window has it (121 x 54, built-in skin, eight rows of twelve
// categories) against a QComboBox in the Fusion style with the same items,
// in the same run. The Paired run alternates the two in one loop and reports
// ours / QComboBox as counters (target <= 1.0).
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QStyleFactory>

#include "bench/support/twPairedTimer.h"
#include "bench/support/twRatioReporter.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skins/BuiltinSkin.h"
#include "bench/support/twWidgetBench.h"

namespace {

QStringList Categories() {
  QStringList l;
  for (int i = 0; i < 12; ++i) l << QStringLiteral("类别 %1 读书笔记").arg(i);
  return l;
}

// Runs what the close left posted, so none of it lands in the other job's
// time in the paired run.
void Drain() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

TtwSkinData& BuiltinSkin() { return twbench::BuiltinSkinData(); }

// A window holding one box of the main window's size.
struct TOurs {
  QWidget form;
  TtwSkinComboBox* box = new TtwSkinComboBox(&form);
  QImage target;
  explicit TOurs(bool skinned) {
    form.setGeometry(100, 100, 300, 100);
    box->SetUseSkinSize(false);
    if (skinned) box->SetSkinData(&BuiltinSkin());
    box->SetItems(Categories());
    box->SetBounds(0, 0, 121, 54);
    box->SetItemIndex(3);
    form.show();
  }
  void Open() {
    box->DropDown();
    QWidget* list = box->PopupList();
    if (target.size() != list->size()) target = QImage(list->size(), QImage::Format_RGB32);
    list->render(&target);
    box->CloseUp(false);
    Drain();
  }
};

struct TStock {
  QWidget form;
  QComboBox* box = new QComboBox(&form);
  QImage target;
  TStock() {
    form.setGeometry(100, 300, 300, 100);
    box->setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    box->addItems(Categories());
    box->setGeometry(0, 0, 121, 54);
    box->setMaxVisibleItems(8);
    box->setCurrentIndex(3);
    form.show();
  }
  void Open() {
    box->showPopup();
    QWidget* popup = box->view()->window();
    if (target.size() != popup->size()) target = QImage(popup->size(), QImage::Format_RGB32);
    popup->render(&target);
    box->hidePopup();
    Drain();
  }
};

void OpenOurs(benchmark::State& st, bool skinned) {
  TOurs ours(skinned);
  for (auto _ : st) {
    ours.Open();
    benchmark::DoNotOptimize(ours.target.constBits());
  }
}

void OpenQComboBox(benchmark::State& st) {
  TStock stock;
  for (auto _ : st) {
    stock.Open();
    benchmark::DoNotOptimize(stock.target.constBits());
  }
}

void Paired(benchmark::State& st, bool skinned) {
  TOurs ours(skinned);
  TStock stock;
  TwPairedTimer timer;
  for (auto _ : st) timer.Run([&] { ours.Open(); }, [&] { stock.Open(); });
  timer.Report(st);
}

}  // namespace

// The baseline first, so the measured runs can carry their ratio to it.
BENCHMARK(OpenQComboBox)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK_CAPTURE(OpenOurs, Default, false)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK_CAPTURE(OpenOurs, BuiltinSkin, true)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK_CAPTURE(Paired, Default, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Paired, BuiltinSkin, true)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  return twbench::RunWithRatios(argc, argv,
                                {{"OpenOurs/Default/repeats:5", "OpenQComboBox/repeats:5"},
                                 {"OpenOurs/BuiltinSkin/repeats:5", "OpenQComboBox/repeats:5"}},
                                "opening the category box's list, ours / QComboBox (target <= 1.0)");
}
