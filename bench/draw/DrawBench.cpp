// Piece composition and mask regions against Qt's own border-pixmap drawing
// and bitmap regions, on the same inputs in the same run. Each of ours
// carries the ratio ours / Qt as a counter (below 1.0: ours is faster).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBitmap>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <qdrawutil.h>

#include "bench/support/twRatioReporter.h"
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

void NinePieceOurs(benchmark::State& st, bool tile) {
  const int W = int(st.range(0)), H = int(st.range(1));
  const TPieceAnchors n = ShiftAnchors(pmNinePiece, kSR, kA, W, H);
  const TEdgeStretch e = tile ? TEdgeStretch{} : TEdgeStretch{true, true, true, true};
  QImage target(W, H, QImage::Format_RGB32);
  for (auto _ : st) {
    ComposeNinePiece(Source(), kSR, kA, W, H, n, e, true, !tile, stFull, target);
    benchmark::DoNotOptimize(target.constBits());
  }
}

void NinePieceQt(benchmark::State& st, bool tile) {
  const int W = int(st.range(0)), H = int(st.range(1));
  const QPixmap pm = QPixmap::fromImage(Source());
  const QMargins m(kM, kM, kM, kM);
  const QTileRules rules = tile ? QTileRules(Qt::RepeatTile) : QTileRules(Qt::StretchTile);
  QImage target(W, H, QImage::Format_RGB32);
  for (auto _ : st) {
    QPainter p(&target);
    qDrawBorderPixmap(&p, QRect(0, 0, W, H), m, pm, pm.rect(), m, rules);
    p.end();
    benchmark::DoNotOptimize(target.constBits());
  }
}

void BorderBandsOurs(benchmark::State& st) {
  const int W = int(st.range(0)), H = int(st.range(1));
  const TPieceAnchors n = ShiftAnchors(pmNinePiece, kSR, kA, W, H);
  QImage t, b, l, r;
  for (auto _ : st) {
    ComposeBorderBands(Source(), kSR, kA, n, W, H, TEdgeStretch{true, true, true, true}, t, b, l, r);
    benchmark::DoNotOptimize(t.constBits());
  }
}

void BorderQt(benchmark::State& st) { NinePieceQt(st, false); }

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

void MaskRegionOurs(benchmark::State& st) {
  const QImage& m = FrameMask();
  for (auto _ : st) {
    QRegion r = RegionFromRunList(MaskToRunList(m, 0, 0));
    benchmark::DoNotOptimize(r);
  }
}

void MaskRegionQt(benchmark::State& st) {
  const QBitmap bm = QBitmap::fromImage(FrameMask().convertToFormat(QImage::Format_Mono));
  for (auto _ : st) {
    QRegion r(bm);
    benchmark::DoNotOptimize(r);
  }
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
}

}  // namespace

// Each baseline is registered before what is compared with it, so that its
// time is known when the ratio is added.
BENCHMARK_CAPTURE(NinePieceQt, Stretch, false)->Apply(Sizes);
BENCHMARK_CAPTURE(NinePieceOurs, Stretch, false)->Apply(Sizes);
BENCHMARK_CAPTURE(NinePieceQt, Tile, true)->Apply(Sizes);
BENCHMARK_CAPTURE(NinePieceOurs, Tile, true)->Apply(Sizes);
BENCHMARK(BorderQt)->Apply(Sizes);
BENCHMARK(BorderBandsOurs)->Apply(Sizes);
BENCHMARK(MaskRegionQt)->Unit(benchmark::kMicrosecond);
BENCHMARK(MaskRegionOurs)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  const twbench::TRatioPairs pairs = {
      {"NinePieceOurs/Stretch/1920/1080", "NinePieceQt/Stretch/1920/1080"},
      {"NinePieceOurs/Stretch/3840/2160", "NinePieceQt/Stretch/3840/2160"},
      {"NinePieceOurs/Tile/1920/1080", "NinePieceQt/Tile/1920/1080"},
      {"NinePieceOurs/Tile/3840/2160", "NinePieceQt/Tile/3840/2160"},
      {"BorderBandsOurs/1920/1080", "BorderQt/1920/1080"},
      {"BorderBandsOurs/3840/2160", "BorderQt/3840/2160"},
      {"MaskRegionOurs", "MaskRegionQt"},
  };
  return twbench::RunWithRatios(argc, argv, pairs, "ratio ours / Qt (target <= 1.0)");
}
