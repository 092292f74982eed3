// Loading a skin (inflate, read the pictures, parse the description, build
// the records) against the bare zlib inflate of the same stream. Without the
// built-in skin a package of the same shape stands in. The load carries the
// ratio load / bare inflate as a counter.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <QImage>

#include "bench/support/twRatioReporter.h"
#include "skin/data/twBmp.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twZStream.h"

#ifdef TW_HAVE_BUILTIN_SKIN
#include "skins/BuiltinSkin.h"
#endif

namespace {

#ifndef TW_HAVE_BUILTIN_SKIN
QByteArray StandInPackage() {
  QImage img(285, 210, QImage::Format_RGB32);
  img.fill(0xFF4A6FA5);
  TtwSkinPackage p;
  p.Picture = TtwBitmap::FromImage(img, 24);
  QList<QRgb> grey;
  for (int i = 0; i < 256; ++i) grey << qRgb(i, i, i);
  p.Mask = TtwBitmap::FromImage(img, 8, grey);
  for (QSize s : {QSize(75, 263), QSize(28, 21), QSize(93, 55), QSize(132, 126), QSize(556, 410), QSize(219, 178)})
    p.ActivePictures << TtwBitmap::FromImage(img.scaled(s), 24);
  p.ActivePictures << TtwBitmap::FromImage(img.scaled(93, 55), 4, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
  p.ActivePictures << TtwBitmap::FromImage(img.scaled(28, 21), 1, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
  QByteArray t = "[VERSION]\r\nskinname=stand-in\r\n[PICTURES]\r\npicture=a.bmp\r\nmask=m.bmp\r\n[FORMINFO]\r\n"
                 "clientrect=4,27,281,206\r\n[SKINCONTROLS]\r\ncount=64\r\n";
  for (int i = 0; i < 64; ++i) t += QByteArray::number(i) + "=c" + QByteArray::number(i) + ":button\r\n";
  for (int i = 0; i < 64; ++i)
    t += "[c" + QByteArray::number(i) +
         "]\r\npictureindex=0\r\nskinrect=0,0,75,25\r\nactiveskinrect=0,25,75,50\r\nfontheight=14\r\n"
         "lefttoppoint=3,3\r\nrightbottompoint=72,22\r\nfontname=Arial\r\nfontcolor=1980974\r\n";
  p.Text = t;
  return TwCompressSkinPackage(p.Write());
}
#endif

const QByteArray& Stream() {
#ifdef TW_HAVE_BUILTIN_SKIN
  static const QByteArray z = BuiltinSkinPackage();
#else
  static const QByteArray z = StandInPackage();
#endif
  return z;
}

// Baseline: zlib alone, into a buffer of the known size.
void BM_BareInflate(benchmark::State& state) {
  const QByteArray& z = Stream();
  const QByteArray plain = TwInflate(z);
  QByteArray out(plain.size(), '\0');
  for (auto _ : state) {
    uLongf n = uLongf(out.size());
    uncompress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(z.constData()), uLong(z.size()));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * plain.size());
}

void BM_LoadSkin(benchmark::State& state) {
  TtwCompressedStoredSkin stored;
  stored.SetCompressedData(Stream());
  const int64_t plain = TwInflate(Stream()).size();
  TtwSkinData skin;
  for (auto _ : state) {
    skin.LoadStoredSkin(&stored);
    benchmark::DoNotOptimize(skin.ControlRecords().size());
  }
  state.counters["controls"] = double(skin.ControlRecords().size());
  state.SetBytesProcessed(int64_t(state.iterations()) * plain);
}

}  // namespace

BENCHMARK(BM_BareInflate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSkin)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  return twbench::RunWithRatios(argc, argv, {{"BM_LoadSkin", "BM_BareInflate"}}, "ratio load / bare inflate");
}
