// One resize step of the program's main window, with its controls, as a user
// sizing it waits for (geometry, region and window shape, the frame bands,
// caption objects, the client background and every control, painted),
// against the same widget tree in a plain frameless window, stepped in turns
// in one run. Run it where windows are real, under Xvfb:
//   tests/with-x build/bin/frame_bench
// The counter `ratio` is skinned / plain (target <= 1.3).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "app/Globals.h"
#include "app/Unit1.h"
#include "bench/support/twPairedTimer.h"
#include "bench/support/twRatioReporter.h"
#include "platform/Application.h"
#include "skin/form/twSkinForm.h"
#include "tools/db/NotesSchema.h"

namespace {

constexpr int kW = 1280, kH = 800;

// Until the window is exposed a repaint paints nothing.
void ShowExposed(QWidget& w) {
  w.show();
  if (!QTest::qWaitForWindowExposed(&w)) std::fprintf(stderr, "window not exposed\n");
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// Alternates the width by one pixel so that every step is a real resize,
// with the controls laid out and everything repainted.
void Step(QWidget& w, int i) {
  w.resize(kW - (i & 1), kH);
  w.repaint();
}

// The notes windows, created once; Form1 keeps its frame, and a second main
// window of the same make loses its frame to serve as the plain baseline.
struct Windows {
  TForm1* skinned = nullptr;
  TForm1* plain = nullptr;
};

Windows& MainWindows() {
  static Windows w = [] {
    static QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    CreateNotesDatabase(dir.filePath("data.mdb"), true);
    // Left alive to the end: the windows must not outlive Qt's application.
    auto* app = new TApplication;
    CreateNotesForms(*app);
    Windows out;
    out.skinned = Form1;
    // Neither side shows glow windows of its own.
    Form1->twSkinData1->SetShowButtonGlowFrames(false);
    out.plain = new TForm1();
    out.plain->twSkinData1->SetShowButtonGlowFrames(false);
    delete out.plain->twSkinForm1;
    out.plain->twSkinForm1 = nullptr;
    out.plain->setWindowFlag(Qt::FramelessWindowHint);
    for (TForm1* f : {out.skinned, out.plain}) {
      ShowExposed(*f);
      // The main window opens maximised: a resize step is of the normal window.
      if (f->twSkinForm1) f->twSkinForm1->Restore();
      f->setWindowState(Qt::WindowNoState);
      f->move(0, 0);
      f->resize(kW, kH);
      for (int i = 1; i <= 10; ++i) Step(*f, i);  // first paints build the caches
    }
    return out;
  }();
  return w;
}

void PlainWindow(benchmark::State& st) {
  TForm1& w = *MainWindows().plain;
  int i = 0;
  for (auto _ : st) Step(w, ++i);
}

void SkinnedWindow(benchmark::State& st) {
  TForm1& w = *MainWindows().skinned;
  int i = 0;
  for (auto _ : st) Step(w, ++i);
}

// Both windows in turns within one loop; the counters are the ratios
// skinned / plain.
void Paired(benchmark::State& st) {
  Windows& w = MainWindows();
  TwPairedTimer timer;
  int i = 0;
  for (auto _ : st) {
    ++i;
    timer.Run([&] { Step(*w.skinned, i); }, [&] { Step(*w.plain, i); });
  }
  timer.Report(st);
}

}  // namespace

// The baseline first, so the measured runs can carry their ratio to it.
BENCHMARK(PlainWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(SkinnedWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(Paired)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    std::fprintf(stderr, "note: offscreen has no window shapes; run under Xvfb for the real figure\n");
  return twbench::RunWithRatios(argc, argv, {{"SkinnedWindow", "PlainWindow"}},
                                "main window resize step, skinned / plain frameless (target: ratio <= 1.3)");
}
