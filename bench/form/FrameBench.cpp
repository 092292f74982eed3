// One resize step of a skinned main window at 1920 x 1080 (geometry, region,
// the four frame bands, caption objects and client background, painted) against a
// plain frameless Qt window resized and repainted to the same size in the
// same run. Prints the ratio skinned / plain (target <= 2.0) and the
// absolute time of a step (target < 4 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <map>
#include <string>

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

void SkinnedFrame(benchmark::State& st, Part part) {
  const int W = int(st.range(0)), H = int(st.range(1));
  TtwCompressedStoredSkin stored;
  stored.SetCompressedData(BuiltinSkinPackage());
  TtwSkinData data;
  data.SetCompressedStoredSkin(&stored);
  TForm form;
  form.SetCaption("Tarnwick");
  form.resize(W, H);
  auto* frame = new TtwSkinForm(&form);
  frame->SetSkinData(&data);
  ShowExposed(form);
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

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, std::pair<double, double>> times;  // real, CPU (ms)
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration)
        times[r.benchmark_name()] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

BENCHMARK_CAPTURE(SkinnedFrame, Step, kWhole)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SkinnedFrame, ResizeOnly, kResizeOnly)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SkinnedFrame, PaintOnly, kPaintOnly)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(PlainWindow)->Args({1920, 1080})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  RatioReporter rep;
  benchmark::RunSpecifiedBenchmarks(&rep);
  const auto a = rep.times.find("SkinnedFrame/Step/1920/1080"), b = rep.times.find("PlainWindow/1920/1080");
  if (a != rep.times.end() && b != rep.times.end() && b->second.first > 0 && b->second.second > 0) {
    std::printf("\nresize step at 1920 x 1080     real      CPU\n");
    std::printf("  skinned frame (ms)        %7.3f  %7.3f   (target < 4)\n", a->second.first, a->second.second);
    std::printf("  plain window (ms)         %7.3f  %7.3f\n", b->second.first, b->second.second);
    std::printf("  ratio skinned / plain     %7.3f  %7.3f   (target <= 2.0)\n", a->second.first / b->second.first,
                a->second.second / b->second.second);
  }
  benchmark::Shutdown();
  return 0;
}
