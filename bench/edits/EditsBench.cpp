// Keystroke-to-repaint cost of the skinned edit against a stock QLineEdit in
// the same run (target ratio <= 1.2), and the time from the date edit's
// button to the pop-up calendar's first paint (target under 16 ms).
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>

#include "bench/support/twPairedTimer.h"
#include "skin/boxes/twCalendar.h"
#include "skin/boxes/twSkinEdits.h"
#include "skin/data/twCompressedSkin.h"
#include "skins/BuiltinSkin.h"
#include "bench/support/twWidgetBench.h"

namespace {

constexpr int kKeystrokes = 1000;

TtwSkinData& Skin() { return twbench::BuiltinSkinData(); }

// Types kKeystrokes letters, repainting after each as the screen would.
void Type(QLineEdit* e) {
  e->clear();
  for (int i = 0; i < kKeystrokes; ++i) {
    const QChar c = QChar(u'a' + i % 26);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A + i % 26, Qt::NoModifier, QString(c));
    QApplication::sendEvent(e, &press);
    e->repaint();
  }
}

void TypingKeystroke(benchmark::State& st) {
  TtwSkinEdit ours;
  ours.SetSkinData(&Skin());
  ours.SetBounds(0, 0, 300, 22);
  QLineEdit stock;
  stock.resize(300, 22);
  ours.show();
  stock.show();
  ours.setFocus();
  QApplication::processEvents();
  Type(&ours);  // first paints build caches on both sides
  Type(&stock);
  TwPairedTimer timer;
  for (auto _ : st) st.SetIterationTime(timer.Run([&] { Type(&ours); }, [&] { Type(&stock); }));
  const double n = double(st.iterations()) * kKeystrokes;
  st.counters["ours_us_per_key"] = timer.FirstReal() / n * 1e6;
  st.counters["stock_us_per_key"] = timer.SecondReal() / n * 1e6;
  st.counters["ratio"] = timer.FirstReal() / timer.SecondReal();  // target <= 1.2
  st.counters["cpu_ratio"] = timer.FirstCpu() / timer.SecondCpu();
}

void PopupCalendarFirstPaint(benchmark::State& st) {
  TtwSkinDateEdit edit;
  edit.SetSkinData(&Skin());
  edit.SetEditMask(QStringLiteral("!0000/99/99;1; "));
  edit.SetDate(QDateTime(QDate(2013, 5, 15), QTime()));
  edit.SetBounds(50, 50, 160, 22);
  edit.show();
  QApplication::processEvents();
  double worst = 0, total = 0;
  for (auto _ : st) {
    QElapsedTimer t;
    bool painted = false;
    edit.Calendar()->OnNextPaint = [&] { painted = true; };
    t.start();
    edit.DropDown();
    while (!painted) QApplication::processEvents();
    const double s = t.nsecsElapsed() / 1e9;
    st.SetIterationTime(s);
    worst = std::max(worst, s);
    total += s;
    edit.CloseUp(false);
    QApplication::processEvents();
  }
  st.counters["open_ms"] = total / double(st.iterations()) * 1e3;  // target < 16
  st.counters["worst_ms"] = worst * 1e3;
}

}  // namespace

BENCHMARK(TypingKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PopupCalendarFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return twbench::RunWidgetBenchmarks(argc, argv); }
