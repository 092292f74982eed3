// One resize step of a skinned main window at 1920 x 1080 (geometry, region,
// the four frame bands, caption objects and client background, painted) against a
// plain frameless Qt window resized and repainted to the same size in the
// same run. Prints the ratio skinned / plain (target <= 2.0) and the
// absolute time of a step (target < 4 ms); the paired run steps both windows
// in turns, which keeps the ratio steady on a busy machine.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <map>
#include <string>

#include "bench/support/twPairedTimer.h"
#include "bench/support/twRatioReporter.h"
#include "platform/Form.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/form/twSkinForm.h"
#include "skins/BuiltinSkin.h"

namespace {

// Until the window is exposed a repaint paints nothing.
void ShowExposed(QWidget& w) {
  w.show();
  if (!QTest::qWaitForWindowExposed(&w)) std::fprintf(stderr, "window not exposed\n");
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// Alternates the width by one pixel so that every step is a real resize.
void Step(QWidget& w, int i, int W, int H) {
  w.resize(W - (i & 1), H);
  w.repaint();
}

// Parts of the skinned step, to see where the time goes.
enum Part { kWhole, kResizeOnly, kPaintOnly };

// The program's main window with the built-in skin's frame, shown.
struct SkinnedWindow {
  SkinnedWindow(int W, int H) {
    stored.SetCompressedData(BuiltinSkinPackage());
    data.SetCompressedStoredSkin(&stored);
    form.SetCaption("Tarnwick");
    form.resize(W, H);
    auto* frame = new TtwSkinForm(&form);
    frame->SetSkinData(&data);
    ShowExposed(form);
  }
  TtwCompressedStoredSkin stored;
  TtwSkinData data;
  TForm form;
};

void SkinnedFrame(benchmark::State& st, Part part) {
  const int W = int(st.range(0)), H = int(st.range(1));
  SkinnedWindow skinned(W, H);
  TForm& form = skinned.form;
  int i = 0;
  for (auto _ : st) {
    ++i;
    if (part == kWhole) Step(form, i, W, H);
    else if (part == kResizeOnly) form.resize(W - (i & 1), H);
    else form.repaint();
  }
}

void PlainWindow(benchmark::State& st) {
  const int W = int(st.range(0)), H = int(st.range(1));
  QWidget w(nullptr, Qt::Window | Qt::FramelessWindowHint);
  w.setAutoFillBackground(true);
  w.resize(W, H);
  ShowExposed(w);
  int i = 0;
  for (auto _ : st) Step(w, ++i, W, H);
}

// Both windows in turns within one loop; the counters are the ratios
// skinned / plain.
void Paired(benchmark::State& st) {
  const int W = int(st.range(0)), H = int(st.range(1));
  SkinnedWindow skinned(W, H);
  QWidget plain(nullptr, Qt::Window | Qt::FramelessWindowHint);
  plain.setAutoFillBackground(true);
  plain.resize(W, H);
  ShowExposed(plain);
  TwPairedTimer timer;
  int i = 0;
  for (auto _ : st) {
    ++i;
    timer.Run([&] { Step(skinned.form, i, W, H); }, [&] { Step(plain, i, W, H); });
  }
  timer.Report(st);
}

}  // namespace

// The baseline first, so the measured runs can carry their ratio to it.
BENCHMARK(PlainWindow)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SkinnedFrame, Step, kWhole)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SkinnedFrame, ResizeOnly, kResizeOnly)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SkinnedFrame, PaintOnly, kPaintOnly)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(Paired)->Args({1920, 1080})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  {
    // The first window shown pays for the platform's set-up; keep that out
    // of the baseline, which runs first.
    QWidget warm(nullptr, Qt::Window | Qt::FramelessWindowHint);
    warm.resize(1920, 1080);
    ShowExposed(warm);
    for (int i = 1; i <= 20; ++i) Step(warm, i, 1920, 1080);
  }
  return twbench::RunWithRatios(argc, argv, {{"SkinnedFrame/Step/1920/1080", "PlainWindow/1920/1080"}},
                                "resize step, skinned / plain window (targets: ratio <= 2.0, step < 4 ms)");
}
