// Piece composition and mask regions against Qt's own border-pixmap drawing
// and bitmap regions, on the same inputs, timed in turns in one loop. Each
// carries the ratio ours / Qt as a counter (below 1.0: ours is faster).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBitmap>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <qdrawutil.h>

#include <functional>

#include "bench/support/twPairedTimer.h"
#include "skin/draw/twUtils.h"

namespace {

constexpr int kPiece = 96, kM = 12;

const QImage& Source() {
  static const QImage img = [] {
    QImage s(kPiece, kPiece, QImage::Format_RGB32);
    for (int y = 0; y < kPiece; ++y)
      for (int x = 0; x < kPiece; ++x) s.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x ^ y) & 255));
    return s;
  }();
  return img;
}

const TRect kSR{0, 0, kPiece, kPiece};
const TPieceAnchors kA{{kM, kM}, {kPiece - kM, kM}, {kM, kPiece - kM}, {kPiece - kM, kPiece - kM},
                       {kM, kM, kPiece - kM, kPiece - kM}};

// Ours and Qt's job for one comparison, each run once per call.
struct TPair {
  std::function<void()> ours, qt;
};

// Runs both jobs in turns in one loop, so load from other work on the
// machine falls on both alike; the iteration time is ours.
void Paired(benchmark::State& st, const TPair& pair) {
  TwPairedTimer timer;
  for (auto _ : st) st.SetIterationTime(timer.Run(pair.ours, pair.qt));
  st.counters["qt_us"] = timer.SecondReal() / double(st.iterations()) * 1e6;
  st.counters["ratio"] = timer.FirstReal() / timer.SecondReal();
  st.counters["cpu_ratio"] = timer.FirstCpu() / timer.SecondCpu();
}

void NinePiece(benchmark::State& st, bool tile) {
  const int W = int(st.range(0)), H = int(st.range(1));
  const TPieceAnchors n = ShiftAnchors(pmNinePiece, kSR, kA, W, H);
  const TEdgeStretch e = tile ? TEdgeStretch{} : TEdgeStretch{true, true, true, true};
  QImage target(W, H, QImage::Format_RGB32), qtTarget(W, H, QImage::Format_RGB32);
  const QPixmap pm = QPixmap::fromImage(Source());
  const QMargins m(kM, kM, kM, kM);
  const QTileRules rules = tile ? QTileRules(Qt::RepeatTile) : QTileRules(Qt::StretchTile);
  Paired(st, {[&] {
                ComposeNinePiece(Source(), kSR, kA, W, H, n, e, true, !tile, stFull, target);
                benchmark::DoNotOptimize(target.constBits());
              },
              [&] {
                QPainter p(&qtTarget);
                qDrawBorderPixmap(&p, QRect(0, 0, W, H), m, pm, pm.rect(), m, rules);
                p.end();
                benchmark::DoNotOptimize(qtTarget.constBits());
              }});
}

// The four border bands of a frame (no centre), each its own image: ours
// composes them, Qt paints the same bands with corners copied and edges
// stretched.
void BorderBands(benchmark::State& st) {
  const int W = int(st.range(0)), H = int(st.range(1));
  const TPieceAnchors n = ShiftAnchors(pmNinePiece, kSR, kA, W, H);
  QImage t, b, l, r;
  const QPixmap pm = QPixmap::fromImage(Source());
  QImage qt(W, kM, QImage::Format_RGB32), qb(W, kM, QImage::Format_RGB32), ql(kM, H - 2 * kM, QImage::Format_RGB32),
      qr(kM, H - 2 * kM, QImage::Format_RGB32);
  const QMargins side(kM, 0, kM, 0);
  const QTileRules stretch(Qt::StretchTile);
  Paired(st, {[&] {
                ComposeBorderBands(Source(), kSR, kA, n, W, H, TEdgeStretch{true, true, true, true}, t, b, l, r);
                benchmark::DoNotOptimize(t.constBits());
              },
              [&] {
                QPainter p(&qt);
                qDrawBorderPixmap(&p, qt.rect(), side, pm, QRect(0, 0, kPiece, kM), side, stretch);
                p.end();
                p.begin(&qb);
                qDrawBorderPixmap(&p, qb.rect(), side, pm, QRect(0, kPiece - kM, kPiece, kM), side, stretch);
                p.end();
                p.begin(&ql);
                p.drawPixmap(ql.rect(), pm, QRect(0, kM, kM, kPiece - 2 * kM));
                p.end();
                p.begin(&qr);
                p.drawPixmap(qr.rect(), pm, QRect(kPiece - kM, kM, kM, kPiece - 2 * kM));
                p.end();
                benchmark::DoNotOptimize(qt.constBits());
              }});
}

const QImage& FrameMask() {
  // A window mask: inside everywhere but rounded corners and a few holes.
  static const QImage img = [] {
    QImage m(1920, 1080, QImage::Format_RGB32);
    m.fill(0xFFFFFFFFu);
    QPainter p(&m);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRect(0, 0, 1920, 1080), 14, 14);
    p.setBrush(Qt::white);
    for (int i = 0; i < 20; ++i) p.drawEllipse(QRect(80 + i * 90, 400 + (i % 5) * 50, 40, 40));
    return m;
  }();
  return img;
}

void MaskRegion(benchmark::State& st) {
  const QImage& m = FrameMask();
  const QBitmap bm = QBitmap::fromImage(m.convertToFormat(QImage::Format_Mono));
  Paired(st, {[&] {
                QRegion r = RegionFromRunList(MaskToRunList(m, 0, 0));
                benchmark::DoNotOptimize(r);
              },
              [&] {
                QRegion r(bm);
                benchmark::DoNotOptimize(r);
              }});
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({1920, 1080})->Args({3840, 2160})->UseManualTime()->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK_CAPTURE(NinePiece, Stretch, false)->Apply(Sizes);
BENCHMARK_CAPTURE(NinePiece, Tile, true)->Apply(Sizes);
BENCHMARK(BorderBands)->Apply(Sizes);
BENCHMARK(MaskRegion)->UseManualTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
